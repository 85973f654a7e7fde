#include "dialogs/StatusPictures.h"

#include <QCoreApplication>
#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

#include <array>

namespace {

// Lit colour of each state; the main window's status strip uses the same pair.
QColor StateColour(bool online)
{
    return online ? QColor(0x2b, 0xb3, 0x4a) : QColor(0xd7, 0x33, 0x2b);
}

// The pictures drawn so far: bar offline, bar online, lamp offline, lamp
// online. Emptied as the application ends, while pixmaps may still be freed.
std::array<QPixmap, 4>& Drawn()
{
    static std::array<QPixmap, 4> drawn;
    static const bool emptiedAtExit = [] {
        qAddPostRoutine([] { Drawn().fill(QPixmap()); });
        return true;
    }();
    (void)emptiedAtExit;
    return drawn;
}

QPixmap Shared(size_t slot, QPixmap (*draw)(bool), bool online)
{
    QPixmap& picture = Drawn()[slot];
    if (picture.isNull())
        picture = draw(online);
    return picture;
}

}  // namespace

QPixmap StatusPictures::LineBar(bool online)
{
    return Shared(online ? 1 : 0, &StatusPictures::DrawLineBar, online);
}

QPixmap StatusPictures::Lamp(bool online)
{
    return Shared(online ? 3 : 2, &StatusPictures::DrawLamp, online);
}

QPixmap StatusPictures::DrawLineBar(bool online)
{
    QPixmap bar(kBarWidth, kBarHeight);
    const QColor colour = StateColour(online);
    QLinearGradient shade(0, 0, 0, kBarHeight);
    shade.setColorAt(0.0, colour.lighter(130));
    shade.setColorAt(1.0, colour.darker(125));
    QPainter painter(&bar);
    painter.fillRect(bar.rect(), shade);
    return bar;
}

QPixmap StatusPictures::DrawLamp(bool online)
{
    QPixmap lamp(kLampSize, kLampSize);
    lamp.fill(Qt::transparent);
    const QColor colour = StateColour(online);
    const QRectF body(1.5, 1.5, kLampSize - 3.0, kLampSize - 3.0);

    QPainter painter(&lamp);
    painter.setRenderHint(QPainter::Antialiasing);

    // Lit from the upper left: a bright spot fading into the dark rim.
    QRadialGradient glow(body.center(), body.width() / 2, body.topLeft() + QPointF(body.width() * 0.35, body.height() * 0.3));
    glow.setColorAt(0.0, colour.lighter(175));
    glow.setColorAt(0.55, colour);
    glow.setColorAt(1.0, colour.darker(160));
    painter.setPen(QPen(QColor(0x40, 0x40, 0x40), 1.0));
    painter.setBrush(glow);
    painter.drawEllipse(body);

    // A small reflection makes it read as glass.
    const QRectF shine(body.left() + body.width() * 0.22, body.top() + body.height() * 0.14, body.width() * 0.32,
                       body.height() * 0.22);
    painter.setPen(Qt::NoPen);
    painter.setBrush(QColor(255, 255, 255, 150));
    painter.drawEllipse(shine);
    return lamp;
}
