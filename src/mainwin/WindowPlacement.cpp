#include "mainwin/WindowPlacement.h"

#include <QScreen>
#include <QWidget>

#include <algorithm>
#include <vector>

void WindowPlacement::PlaceBeside(QWidget& main, QWidget& companion)
{
    const QRect screen = main.screen()->availableGeometry();
    const int lacking = main.frameGeometry().right() + kGap + companion.frameGeometry().width() - screen.right();
    const int roomOnLeft = main.frameGeometry().left() - screen.left();
    const bool placedByDesktop = main.windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    if (lacking > 0 && roomOnLeft > 0 && !placedByDesktop)
        main.move(main.pos() - QPoint(std::min(lacking, roomOnLeft), 0));
    Follow(main, companion);
}

void WindowPlacement::Follow(const QWidget& main, QWidget& companion)
{
    const QRect screen = main.screen()->availableGeometry();
    const QRect frame = main.frameGeometry();
    const int x = std::min(frame.right() + kGap, screen.right() - companion.frameGeometry().width());
    companion.move(std::max(screen.left(), x), frame.top());
}

void WindowPlacement::PlaceClearOf(const QWidget& main, QWidget& window, const QWidget* control)
{
    const QRect screen = main.screen()->availableGeometry();
    const QRect frame = main.frameGeometry();
    const QSize size = window.frameGeometry().size();
    const QRect avoid = control ? QRect(control->mapToGlobal(QPoint()), control->size()) : QRect();
    std::vector<QRect> places = {
        QRect(QPoint(frame.left() - kGap - size.width(), frame.top()), size),
        QRect(QPoint(frame.left(), frame.bottom() + kGap), size),
        QRect(QPoint(frame.left(), frame.top() - kGap - size.height()), size),
    };
    QRect corner(QPoint(), size);
    for (const QPoint& at : {screen.topLeft(), screen.topRight(), screen.bottomLeft(), screen.bottomRight()}) {
        corner.moveCenter(at);
        corner.moveTo(std::clamp(corner.left(), screen.left(), screen.right() - size.width()),
                      std::clamp(corner.top(), screen.top(), screen.bottom() - size.height()));
        places.push_back(corner);
    }
    const auto farFromControl = [&](const QRect& a, const QRect& b) {
        return (a.center() - avoid.center()).manhattanLength() > (b.center() - avoid.center()).manhattanLength();
    };
    std::stable_sort(places.begin() + 3, places.end(), farFromControl);
    for (const QRect& place : places)
        if (screen.contains(place) && !place.intersects(avoid)) {
            window.move(place.topLeft());
            return;
        }
}
