#include "dialogs/CProgDlg.h"

#include <QFrame>
#include <QGuiApplication>
#include <QLabel>
#include <QProgressBar>
#include <QScreen>
#include <QVBoxLayout>

namespace {

constexpr int kWindowWidth = 360;

}  // namespace

CProgDlg::CProgDlg() = default;

CProgDlg::~CProgDlg()
{
    Destroy();
}

bool CProgDlg::Create(QWidget* owner)
{
    Destroy();
    message_.clear();
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    owner_ = ownerWindow;
    if (ownerWindow && ownerWindow->isEnabled())
        ownerWindow->setEnabled(false);

    // A framed panel without caption or close box; a child window of the owner
    // so that it stays above it.
    auto frame = new QFrame(ownerWindow, Qt::Dialog | Qt::FramelessWindowHint);
    window_ = frame;
    frame->setObjectName(QStringLiteral("progressWindow"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setWindowModality(Qt::NonModal);
    // A child window of a disabled owner would be greyed out with it.
    frame->setEnabled(true);

    auto layout = new QVBoxLayout(frame);
    layout->setContentsMargins(16, 12, 16, 14);
    layout->setSpacing(8);
    messageLabel_ = new QLabel(message_, frame);
    bar_ = new QProgressBar(frame);
    bar_->setRange(0, 100);
    bar_->setValue(0);
    layout->addWidget(messageLabel_);
    layout->addWidget(bar_);
    frame->setFixedWidth(kWindowWidth);
    frame->adjustSize();

    CentreOver(ownerWindow);
    frame->show();
    // The caller blocks the event loop from now until Destroy, so the window
    // never sees its first expose event; without this mark repaint() would
    // paint nothing until the operation is over.
    frame->setAttribute(Qt::WA_Mapped);
    frame->repaint();
    return true;
}

void CProgDlg::CentreOver(const QWidget* owner)
{
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (area.isValid())
        window_->move(area.center() - window_->rect().center());
}

// The caller blocks the event loop while the window is up: everything is
// painted at once with repaint(), never by letting events run.
void CProgDlg::SetMessage(const QString& text)
{
    message_ = text;
    if (!window_)
        return;
    messageLabel_->setText(text);
    messageLabel_->repaint();
}

void CProgDlg::SetPos(int position)
{
    if (!window_)
        return;
    bar_->setValue(position);
    messageLabel_->setText(message_);
    window_->repaint();
}

int CProgDlg::Pos() const
{
    return bar_ && window_ ? bar_->value() : -1;
}

void CProgDlg::Destroy()
{
    if (!window_)
        return;
    if (owner_)
        owner_->setEnabled(true);
    window_->close();
    delete window_.data();
    messageLabel_ = nullptr;
    bar_ = nullptr;
    owner_.clear();
}
