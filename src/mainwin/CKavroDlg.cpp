#include "mainwin/CKavroDlg.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QLabel>
#include <QResizeEvent>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "settings/AppSettings.h"
#include "settings/Version.h"
#include "comm/CRsCmd.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/StatusPictures.h"
#include "dialogs/UiPrompts.h"
#include "mainwin/CAreaSelDlg.h"
#include "params/CDlgParameterSheet.h"
#include "params/CtrlRegistry.h"

namespace {

const QString kCaption = QStringLiteral("Camera Kavro") + "  Ver " + kKavroVersion;

UiPrompts::Icon PromptIcon(EngineHost::Icon icon)
{
    switch (icon) {
    case EngineHost::Icon::Information:
        return UiPrompts::Icon::Information;
    case EngineHost::Icon::Question:
        return UiPrompts::Icon::Question;
    case EngineHost::Icon::Exclamation:
        break;
    }
    return UiPrompts::Icon::Exclamation;
}

}  // namespace

CKavroDlg::CKavroDlg(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, CGen& gen, UiPrompts& prompts,
                     QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_port(port),
      m_camLink(camLink),
      m_gen(gen),
      m_prompts(prompts),
      m_registry(std::make_unique<CtrlRegistry>()),
      m_progress(std::make_unique<CProgDlg>())
{
    setWindowIcon(QIcon(":/kavro/kavro.svg"));
    m_commSel = std::make_unique<CCommSelDlg>(m_settings, m_camLink, m_prompts, *this, this);
    m_lutEditors = std::make_unique<CLutEditors>(*this, m_prompts, static_cast<int>(m_settings.lineOnline));
    BuildMenu();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    m_tabs = new QTabWidget(central);
    m_statusPicture = new QLabel(central);
    m_statusPicture->setObjectName(QStringLiteral("statusStrip"));
    m_statusPicture->setFixedHeight(4);
    m_statusPicture->setScaledContents(true);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_statusPicture);
    setCentralWidget(central);

    BuildPages();
    // What the window shows before anything can go wrong at start-up: its
    // caption, every default in range and the offline strip.
    setWindowTitle(kCaption);
    InitCtrlRanges();
    StoreDefaults();
    RefreshAllCtrls();
    UpdateEnables(0, 0);
    m_statusPicture->setPixmap(StatusPictures::LineBar(false));
    RebuildPageTabs();   // sizes the window for its pages before it is first shown
}

CKavroDlg::~CKavroDlg()
{
    DestroyWindow();
    // The pages go while this window can still hear them: the edit that has
    // the focus reports losing it as they die, and nothing is sent any more.
    m_initialised = false;
    delete centralWidget();
    m_commSel.reset();
}

void CKavroDlg::Initialise()
{
    CreateCompanions();   // the terminal lists the traffic from the first command on
    m_engine = std::make_unique<CRsCmd>(m_settings, m_port, m_camLink, *this);
    m_engineTimer = new QTimer(this);
    // Never inside a blocking operation: the tick would take the reply its command waits for.
    connect(m_engineTimer, &QTimer::timeout, this, [this] {
        if (!BlockingScope::IsActive())
            m_engine->OnTimer();
    });
    m_engineTimer->start(CRsCmd::kTimerPeriodMs);
    m_commSel->Create();

    const int connected = ConnectCamera();
    InitCtrlRanges();
    StoreDefaults();
    RefreshAllCtrls();
    m_initialised = true;
    // The pages are on their tabs while the first reading runs, not only after it.
    RebuildPageTabs();
    repaint();
    if (connected)
        ReloadAll();
    RebuildPageTabs();
    ShowCommSelBeside();
    UpdateEnables(0, 0);
    activateWindow();
    SetCommStatus(connected && !m_engine->Interrupted());   // a line that hung up while read is offline
    StartTimers();
}

void CKavroDlg::ShowCommSelBeside()
{
    m_commSel->adjustSize();
    PlaceCommSelBeside();
    m_commSel->show();
}

// Beside the main window. A desktop centres the main window, which leaves too
// little room on its right: the main window then moves left to make it, unless
// the window manager has it maximised (a move then would make the maximised
// size its normal one). Only a pair wider than the screen overlaps, the
// communication window at the right edge.
void CKavroDlg::PlaceCommSelBeside()
{
    const QRect screen = this->screen()->availableGeometry();
    const int commWidth = m_commSel->frameGeometry().width();
    const int lacking = frameGeometry().right() + kCommSelGap + commWidth - screen.right();
    const int roomOnLeft = frameGeometry().left() - screen.left();
    const bool placedByDesktop = windowState() & (Qt::WindowMaximized | Qt::WindowFullScreen);
    if (lacking > 0 && roomOnLeft > 0 && !placedByDesktop)
        move(pos() - QPoint(std::min(lacking, roomOnLeft), 0));
    FollowWithCommSel();
}

void CKavroDlg::FollowWithCommSel()
{
    const QRect screen = this->screen()->availableGeometry();
    const int commWidth = m_commSel->frameGeometry().width();
    const QRect main = frameGeometry();
    const int x = std::min(main.right() + kCommSelGap, screen.right() - commWidth);
    m_commSel->move(std::max(screen.left(), x), main.top());
}

// The factory pages widen the window: the communication window moves along
// instead of being covered.
void CKavroDlg::resizeEvent(QResizeEvent* event)
{
    QMainWindow::resizeEvent(event);
    // A desktop without a window manager does not hold the minimum size.
    if (!minimumSize().isEmpty() && (width() < minimumWidth() || height() < minimumHeight()) &&
        windowState() == Qt::WindowNoState) {
        resize(size().expandedTo(minimumSize()));
        return;
    }
    if (m_commSel && m_commSel->isVisible())
        PlaceCommSelBeside();
}

// Dragged by the operator, the main window takes the communication window along.
void CKavroDlg::moveEvent(QMoveEvent* event)
{
    QMainWindow::moveEvent(event);
    if (m_commSel && m_commSel->isVisible())
        FollowWithCommSel();
}

void CKavroDlg::DestroyWindow()
{
    StopRequest::Clear();   // a stop asks for this end and no more
    if (!m_engine)
        return;
    for (QTimer* timer : {m_engineTimer, m_idleTimer, m_simulatorTimer})
        if (timer)
            timer->stop();
    m_engine->ClosePort();
    m_engine.reset();
    m_commSel->hide();
    for (int ch = 0; ch < 3; ++ch)
        m_lutEditors->Editor(ch).hide();
    HideCompanions();
    while (m_waitCursorDepth > 0)
        SetWaitCursor(false);
}

void CKavroDlg::ShowUnexpected(const char* where)
{
    m_prompts.Message(this, QStringLiteral("Unexpected error occurred in %1().").arg(where), kToolCaption,
                      UiPrompts::Icon::Exclamation);
}

void CKavroDlg::ShowMessage(const std::string& text, const std::string& caption, Icon icon)
{
    m_prompts.Message(this, QString::fromStdString(text), QString::fromStdString(caption), PromptIcon(icon));
}

void CKavroDlg::SetCommStatus(int state)
{
    if (state == 0 && StopRequest::Stopping())
        return;   // a wait ended by a stop or a Cancel says nothing about the line
    m_settings.lineOnline = state == 1 ? 1 : 0;
    // Every reply confirms the line: the windows are redrawn only when it changes.
    if (static_cast<int>(m_settings.lineOnline) == m_shownCommStatus)
        return;
    m_shownCommStatus = static_cast<int>(m_settings.lineOnline);
    m_statusPicture->setPixmap(StatusPictures::LineBar(state == 1));
    m_commSel->SetLineStatus(state);
    m_lutEditors->SetCommStatus(state);
    if (m_areaSel)
        m_areaSel->SetLineStatus(state);
    BroadcastLineStatus(state);
}

void CKavroDlg::AddMessage(const std::string& text)
{
    m_commSel->AddMessage(QString::fromStdString(text));
}

void CKavroDlg::SetWaitCursor(bool on)
{
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_waitCursorDepth;
    } else if (m_waitCursorDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_waitCursorDepth;
    }
}

// Inside an operation the windows stay painted and the progress window's
// Cancel is live while the camera takes its time.
void CKavroDlg::WhileWaiting()
{
    if (!BlockingScope::IsActive())
        return;
    m_progress->ShowIfDue();
    BlockingScope::ServeEvents();
}
