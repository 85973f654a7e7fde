#include "mainwin/CtrlHighlight.h"

#include <QPainter>
#include <QVariantAnimation>

namespace {

constexpr int kMargin = 3;       // the frame sits just outside the control
constexpr int kPenWidth = 3;
const QColor kColour(255, 140, 0);

}  // namespace

CtrlHighlight* CtrlHighlight::Mark(QWidget* control)
{
    QWidget* parent = control->parentWidget();
    if (parent == nullptr)
        return nullptr;
    for (CtrlHighlight* old : parent->findChildren<CtrlHighlight*>(QString(), Qt::FindDirectChildrenOnly))
        if (old->property("control").value<QWidget*>() == control)
            old->deleteLater();
    return new CtrlHighlight(control);
}

CtrlHighlight::CtrlHighlight(QWidget* control) : QWidget(control->parentWidget())
{
    setProperty("control", QVariant::fromValue(control));
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(control->geometry().adjusted(-kMargin, -kMargin, kMargin, kMargin));
    m_fade = new QVariantAnimation(this);
    m_fade->setStartValue(1.0);
    m_fade->setEndValue(0.0);
    m_fade->setDuration(kFadeMs);
    connect(m_fade, &QVariantAnimation::valueChanged, this, [this](const QVariant& value) {
        m_strength = value.toDouble();
        update();
    });
    connect(m_fade, &QVariantAnimation::finished, this, &QObject::deleteLater);
    raise();
    show();
    m_fade->start();
}

void CtrlHighlight::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.setRenderHint(QPainter::Antialiasing);
    QColor colour = kColour;
    colour.setAlphaF(static_cast<float>(m_strength));
    painter.setPen(QPen(colour, kPenWidth));
    painter.drawRoundedRect(QRectF(rect()).adjusted(1.5, 1.5, -1.5, -1.5), 3, 3);
}
