#pragma once

#include <QLabel>

class QCursor;

// A static text that can look and act like a link: a click opens the
// label's own text with the desktop's handler.
class CLabel : public QLabel {
    Q_OBJECT

public:
    explicit CLabel(const QString& text = QString(), QWidget* parent = nullptr);

    CLabel& SetLink(bool on);
    CLabel& SetTextColor(const QColor& colour);
    CLabel& SetFontUnderline(bool on);
    CLabel& SetLinkCursor(const QCursor& cursor);

protected:
    void mouseReleaseEvent(QMouseEvent* event) override;

private:
    bool m_link = false;
};
