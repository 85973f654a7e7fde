#include "params/KavroSpinBox.h"

#include <QFocusEvent>
#include <QFontMetrics>
#include <QLineEdit>
#include <QStyle>
#include <QStyleOptionSpinBox>

#include <algorithm>

#include "comm/NumberText.h"

KavroSpinBox::KavroSpinBox(int ctrlId, QWidget* parent)
    : QAbstractSpinBox(parent), m_ctrlId(ctrlId)
{
    setObjectName(QStringLiteral("ctrl%1").arg(ctrlId));
    setAlignment(Qt::AlignRight | Qt::AlignVCenter);
    setFixedWidth(kUsualWidth);
    lineEdit()->setText(QStringLiteral("0"));
}

void KavroSpinBox::SetRange(int lo, int hi)
{
    m_lo = lo;
    m_hi = hi;
}

void KavroSpinBox::SetPos(int position)
{
    m_position = position;
    lineEdit()->setText(QString::number(position));
}

QString KavroSpinBox::Text() const
{
    return lineEdit()->text();
}

int KavroSpinBox::StepBasePos() const
{
    int32_t typed = 0;
    const bool whole = NumberText::IsWhole(Text().trimmed().toStdString(), typed);
    return whole && typed >= m_lo && typed <= m_hi ? typed : m_position;
}

void KavroSpinBox::FitWidthTo(int lo, int hi)
{
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QFontMetrics metrics(font());
    const int textWidth = std::max(metrics.horizontalAdvance(QString::number(lo)),
                                   metrics.horizontalAdvance(QString::number(hi)));
    const QRect editArea = style()->subControlRect(QStyle::CC_SpinBox, &option,
                                                   QStyle::SC_SpinBoxEditField, this);
    const int decoration = width() - editArea.width();
    const int margin = 2 * metrics.averageCharWidth();
    setFixedWidth(std::max(kUsualWidth, textWidth + decoration + margin));
}

void KavroSpinBox::stepBy(int steps)
{
    emit stepRequested(this, StepBasePos(), steps);
}

QValidator::State KavroSpinBox::validate(QString&, int&) const
{
    return QValidator::Acceptable;   // any text; the main window judges it when the edit is left
}

void KavroSpinBox::fixup(QString&) const
{
}

QAbstractSpinBox::StepEnabled KavroSpinBox::stepEnabled() const
{
    // Both arrows always ask: the main window clamps or wraps at the ends.
    if (isReadOnly())
        return StepNone;
    return StepUpEnabled | StepDownEnabled;
}

void KavroSpinBox::focusOutEvent(QFocusEvent* event)
{
    QAbstractSpinBox::focusOutEvent(event);
    emit focusLost(this);
}
