#include "mainwin/CKavroDlg.h"

#include <QApplication>
#include <QIcon>
#include <QScreen>
#include <QLabel>
#include <QTabBar>
#include <QTabWidget>
#include <QTimer>
#include <QVBoxLayout>

#include "app/AppSettings.h"
#include "comm/CRsCmd.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/StatusPictures.h"
#include "dialogs/UiPrompts.h"
#include "params/CDlgParameterSheet.h"
#include "params/CtrlRegistry.h"

namespace {

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
    setWindowTitle("MX-330/550CL Kavro");
    setWindowIcon(QIcon(":/kavro/kavro.svg"));
    m_commSel = std::make_unique<CCommSelDlg>(m_settings, m_camLink, m_gen, m_prompts, *this, this);
    BuildMenu();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    m_tabs = new QTabWidget(central);
    m_statusPicture = new QLabel(central);
    m_statusPicture->setFixedHeight(4);
    m_statusPicture->setScaledContents(true);
    layout->addWidget(m_tabs, 1);
    layout->addWidget(m_statusPicture);
    setCentralWidget(central);

    BuildPages();
    StoreDefaults();
    RebuildPageTabs();   // sizes the window for its pages before it is first shown
}

CKavroDlg::~CKavroDlg()
{
    DestroyWindow();
    m_commSel.reset();   // records the orderly end
}

void CKavroDlg::Initialise()
{
    CreateCompanions();   // the terminal lists the traffic from the first command on
    m_engine = std::make_unique<CRsCmd>(m_settings, m_port, m_camLink, *this);
    m_engineTimer = new QTimer(this);
    connect(m_engineTimer, &QTimer::timeout, this, [this] { m_engine->OnTimer(); });
    m_engineTimer->start(CRsCmd::kTimerPeriodMs);
    m_commSel->Create();

    const int connected = ConnectCamera();
    setWindowTitle(QStringLiteral("Camera Kavro") + "  Ver " + "1.26");
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

// Beside the main window when the screen has room, else against the screen's right edge.
void CKavroDlg::ShowCommSelBeside()
{
    m_commSel->adjustSize();
    const QRect screen = this->screen()->availableGeometry();
    const QRect main = frameGeometry();
    const int x = std::min(main.right() + 8, screen.right() - m_commSel->frameGeometry().width());
    m_commSel->move(std::max(screen.left(), x), main.top());
    m_commSel->show();
}

void CKavroDlg::DestroyWindow()
{
    if (!m_engine)
        return;
    for (QTimer* timer : {m_engineTimer, m_idleTimer, m_simulatorTimer})
        if (timer)
            timer->stop();
    m_engine->ClosePort();
    m_engine.reset();
    m_commSel->hide();
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
    m_settings.lineOnline = state == 1 ? 1 : 0;
    m_statusPicture->setPixmap(StatusPictures::LineBar(state == 1));
    m_commSel->SetLineStatus(state);
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
