#include "dialogs/CProgDlg.h"

#include <algorithm>

#include <QFrame>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QVBoxLayout>

#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"

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
    m_message.clear();
    m_position = 0;
    m_sincePaint.invalidate();
    m_cancelled = false;
    QWidget* ownerWindow = owner ? owner->window() : nullptr;
    m_owner = ownerWindow;
    if (ownerWindow && ownerWindow->isEnabled())
        ownerWindow->setEnabled(false);

    // A framed panel without caption or close box; a child window of the owner
    // so that it stays above it.
    auto frame = new QFrame(ownerWindow, Qt::Dialog | Qt::FramelessWindowHint);
    m_window = frame;
    frame->setObjectName(QStringLiteral("progressWindow"));
    frame->setFrameStyle(QFrame::Panel | QFrame::Raised);
    frame->setLineWidth(2);
    frame->setWindowModality(Qt::NonModal);
    // A child window of a disabled owner would be greyed out with it.
    frame->setEnabled(true);

    auto layout = new QVBoxLayout(frame);
    layout->setContentsMargins(16, 12, 16, 14);
    layout->setSpacing(8);
    m_messageLabel = new QLabel(m_message, frame);
    m_bar = new QProgressBar(frame);
    m_bar->setRange(0, 100);
    m_bar->setValue(0);
    m_cancel = new QPushButton(QStringLiteral("Cancel"), frame);
    m_cancel->setObjectName(QStringLiteral("cancel"));
    m_cancel->setAutoDefault(false);
    QObject::connect(m_cancel, &QPushButton::clicked, [this] { OnCancel(); });
    auto buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_cancel);
    layout->addWidget(m_messageLabel);
    layout->addWidget(m_bar);
    layout->addLayout(buttons);
    frame->setFixedWidth(kWindowWidth);
    frame->adjustSize();

    CentreOver(ownerWindow);
    frame->show();
    // The caller blocks the event loop from now until Destroy, so the window
    // never sees its first expose event; without this mark repaint() would
    // paint nothing until the operation is over.
    frame->setAttribute(Qt::WA_Mapped);
    frame->repaint();
    BlockingScope::SetLiveWindow(frame, [this] { OnCancel(); });
    // The owner and its companion windows are painted greyed out as the first
    // command waits for its reply, while it crosses the line.
    return true;
}

void CProgDlg::CentreOver(const QWidget* owner)
{
    QRect area;
    if (owner)
        area = owner->frameGeometry();
    else if (const QScreen* screen = QGuiApplication::primaryScreen())
        area = screen->availableGeometry();
    if (!area.isValid())
        return;
    m_window->adjustSize();   // its real size, before anything is shown
    QRect placed = m_window->rect();
    placed.moveCenter(area.center());
    if (const QScreen* screen = QGuiApplication::screenAt(area.center())) {
        const QRect visible = screen->availableGeometry();
        placed.moveLeft(std::clamp(placed.left(), visible.left(), std::max(visible.left(), visible.right() - placed.width())));
        placed.moveTop(std::clamp(placed.top(), visible.top(), std::max(visible.top(), visible.bottom() - placed.height())));
    }
    m_window->move(placed.topLeft());
}

// The caller blocks the event loop while the window is up: everything is
// painted at once with repaint(); events run only under the operation's rules.
void CProgDlg::SetMessage(const QString& text)
{
    m_message = text;
    if (!m_window)
        return;
    m_messageLabel->setText(text);
    m_messageLabel->repaint();
}

void CProgDlg::SetPos(int position)
{
    if (!m_window)
        return;
    m_position = position;
    if (position == m_bar->value())
        return;
    if (position == 100 || !m_sincePaint.isValid() || m_sincePaint.elapsed() >= 2 * kRepaintStepMs) {
        Paint();
        BlockingScope::ServeEvents();   // a Cancel pressed meanwhile is seen now
    }
}

void CProgDlg::PaintWhenDue()
{
    if (m_window && m_position != m_bar->value() && (!m_sincePaint.isValid() || m_sincePaint.elapsed() >= kRepaintStepMs))
        Paint();
}

// The bar repaints itself as its value changes, so between paints it is not touched.
void CProgDlg::Paint()
{
    m_sincePaint.start();
    m_bar->setValue(m_position);
    m_bar->repaint();
    if (m_messageLabel->text() != m_message) {
        m_messageLabel->setText(m_message);
        m_messageLabel->repaint();
    }
}

void CProgDlg::Destroy()
{
    m_slowSince.invalidate();
    m_slowOwner.clear();
    if (!m_window)
        return;
    BlockingScope::SetLiveWindow(nullptr, nullptr);
    if (m_owner)
        m_owner->setEnabled(true);
    m_window->close();
    delete m_window.data();
    m_messageLabel = nullptr;
    m_bar = nullptr;
    m_cancel = nullptr;
    m_owner.clear();
}

void CProgDlg::CreateWhenSlow(QWidget* owner, const QString& message)
{
    Destroy();
    m_cancelled = false;
    m_slowOwner = owner;
    m_message = message;
    m_slowSince.start();
}

void CProgDlg::ShowIfDue()
{
    if (!m_slowSince.isValid() || m_slowSince.elapsed() < kSlowMs)
        return;
    m_slowSince.invalidate();
    const QString message = m_message;
    Create(m_slowOwner);
    SetMessage(message);
}

// The operation ends after the command in flight; only an operation's own
// Cancel is raised, so that its end clears it.
void CProgDlg::OnCancel()
{
    if (!m_window || m_cancelled || !Operation::IsRunning())
        return;
    m_cancelled = true;
    StopRequest::RaiseCancel();
    m_cancel->setEnabled(false);
    m_window->repaint();
}
