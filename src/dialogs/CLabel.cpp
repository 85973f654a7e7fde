#include "dialogs/CLabel.h"

#include <QDesktopServices>
#include <QMouseEvent>
#include <QUrl>

CLabel::CLabel(const QString& text, QWidget* parent) : QLabel(text, parent)
{
    setTextFormat(Qt::PlainText);   // the text is an address, never markup
}

CLabel& CLabel::SetLink(bool on)
{
    m_link = on;
    return *this;
}

CLabel& CLabel::SetTextColor(const QColor& colour)
{
    QPalette palette = this->palette();
    palette.setColor(QPalette::WindowText, colour);
    setPalette(palette);
    return *this;
}

CLabel& CLabel::SetFontUnderline(bool on)
{
    QFont font = this->font();
    font.setUnderline(on);
    setFont(font);
    return *this;
}

CLabel& CLabel::SetLinkCursor(const QCursor& cursor)
{
    setCursor(cursor);
    return *this;
}

void CLabel::mouseReleaseEvent(QMouseEvent* event)
{
    QLabel::mouseReleaseEvent(event);
    if (m_link && event->button() == Qt::LeftButton && rect().contains(event->position().toPoint()))
        QDesktopServices::openUrl(QUrl::fromUserInput(text()));
}
