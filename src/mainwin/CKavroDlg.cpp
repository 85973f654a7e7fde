#include "mainwin/CKavroDlg.h"

#include <QIcon>
#include <QResizeEvent>
#include <QTabWidget>
#include <QVBoxLayout>

#include "settings/AppSettings.h"
#include "settings/Version.h"
#include "comm/CRsCmd.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/LineStatusStrip.h"
#include "dialogs/StatusPictures.h"
#include "mainwin/PageButtons.h"
#include "mainwin/SettingFinder.h"
#include "mainwin/WindowPlacement.h"

namespace {

const QString kCaption = QStringLiteral("Camera Kavro") + "  Ver " + kKavroVersion;

}  // namespace

CKavroDlg::CKavroDlg(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, UiPrompts& prompts,
                     QWidget* parent)
    : QMainWindow(parent),
      m_settings(settings),
      m_camLink(camLink),
      m_prompts(prompts),
      m_session(settings, port, camLink, *this),
      m_wait(this),
      m_timers(m_session, this),
      m_companions(settings, *this, prompts, this)
{
    BlockingScope::Watch();   // the session's operations follow the rules too
    setWindowIcon(QIcon(":/kavro/kavro.svg"));
    m_commSel = std::make_unique<CCommSelDlg>(m_settings, m_camLink, m_prompts, *this, this);
    m_lutEditors = std::make_unique<CLutEditors>(*this, m_prompts, static_cast<int>(m_settings.lineOnline));
    BuildMenu();
    auto* central = new QWidget(this);
    auto* layout = new QVBoxLayout(central);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    m_pages = std::make_unique<ParameterPages>(m_settings, static_cast<CtrlNotifySink&>(*this), central);
    m_pageButtons = std::make_unique<PageButtons>(m_session, *m_pages, m_companions, *m_lutEditors, m_prompts, this);
    m_finder = std::make_unique<SettingFinder>(m_settings, *m_pages, *this);
    m_statusStrip = new LineStatusStrip(central, QStringLiteral("statusStrip"));
    m_statusStrip->setPixmap(StatusPictures::LineBar(false));   // offline until the first state comes
    layout->addWidget(&m_pages->Tabs(), 1);
    layout->addWidget(m_statusStrip);
    setCentralWidget(central);

    // What the window shows before anything can go wrong at start-up: its
    // caption and every default in range; the strip shows the line offline.
    setWindowTitle(kCaption);
    m_pages->InitCtrlRanges();
    m_session.RefreshAllCtrls();
    UpdateEnables(0, 0);
    RebuildPageTabs();   // sizes the window for its pages before it is first shown
}

CKavroDlg::~CKavroDlg()
{
    DestroyWindow();
    // The pages go while this window can still hear them: the edit that has
    // the focus reports losing it as they die, and nothing is sent any more.
    m_session.ShutDown();
    delete centralWidget();
    m_commSel.reset();
}

void CKavroDlg::Initialise()
{
    m_companions.Create();
    m_session.Open();
    m_timers.StartTick();
    m_commSel->Create();

    const int connected = m_session.ConnectCamera();
    m_pages->InitCtrlRanges();
    m_session.Params().StoreDefaults();
    m_session.RefreshAllCtrls();
    m_session.StartUpDone();
    // The pages are on their tabs while the first reading runs, not only after it.
    RebuildPageTabs();
    repaint();
    if (connected)
        m_session.ReloadAll();
    RebuildPageTabs();
    m_commSel->adjustSize();
    PlaceCommSelBeside();
    m_commSel->show();
    UpdateEnables(0, 0);
    activateWindow();
    SetCommStatus(connected && !Camera()->Interrupted());   // a line that hung up while read is offline
    m_timers.StartChecks(m_settings.simulation == 1);
}

void CKavroDlg::DestroyWindow()
{
    StopRequest::Clear();   // a stop asks for this end and no more
    if (!Camera())
        return;
    m_timers.Stop();
    m_session.Close();
    m_commSel->hide();
    for (int ch = 0; ch < 3; ++ch)
        m_lutEditors->Editor(ch).hide();
    m_companions.Hide();
    m_wait.EndWaitCursors();
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
        WindowPlacement::Follow(*this, *m_commSel);
}
