#include "dialogs/StatusPictures.h"

#include <QLinearGradient>
#include <QPainter>
#include <QRadialGradient>

namespace {

// Lit colour of each state; the main window's status strip uses the same pair.
QColor StateColour(bool online)
{
    return online ? QColor(0x2b, 0xb3, 0x4a) : QColor(0xd7, 0x33, 0x2b);
}

}  // namespace

QPixmap StatusPictures::LineBar(bool online)
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

QPixmap StatusPictures::Lamp(bool online)
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
