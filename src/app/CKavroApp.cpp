#include "app/CKavroApp.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QWindow>

#include "profile/Profile.h"
#include "app/SignalCloser.h"
#include "comm/camlink/ClSerialLib.h"
#include "mainwin/CKavroDlg.h"

CKavroApp::CKavroApp(UiPrompts& prompts)
    : m_prompts(prompts)
{
    m_port.SetDeviceResolver([this](int comNumber) { return Profile::ComDevice(m_gen, comNumber); });
}

CKavroApp::~CKavroApp() = default;

// The start-up blocks the user-interface thread while it reads the camera, so
// the window system must have shown the window before. No engine exists yet
// whose timer an event could run.
void CKavroApp::WaitUntilShown(QWidget& window)
{
    QElapsedTimer waited;
    waited.start();
    while (window.windowHandle() && !window.windowHandle()->isExposed() && waited.elapsed() < kShowWaitMs)
        QCoreApplication::processEvents(QEventLoop::AllEvents, 10);
}

int CKavroApp::InitInstance()
{
    Profile::LoadSettings(m_settings, m_gen);
    Profile::EnterCrashGuard(m_settings, m_gen);   // marks the run; after a crash: the serial port
    m_camLink = std::make_unique<ClSerialLib>(Profile::CamLinkFolder(m_gen));
    auto window = std::make_unique<CKavroDlg>(m_settings, m_port, *m_camLink, m_prompts);
    m_mainWindow = window.get();

    // Closing the main window ends the run, whatever companions are still shown.
    QApplication::setQuitOnLastWindowClosed(false);
    bool closed = false;
    QObject::connect(window.get(), &CKavroDlg::Closed, qApp, [&closed] {
        closed = true;
        QCoreApplication::exit(0);   // ends every running loop, a message box's too
    });
    SignalCloser signalCloser([&window] { window->CloseInOrder(); });
    QObject::connect(qApp, &QGuiApplication::commitDataRequest, window.get(), &CKavroDlg::CloseInOrder);

    window->show();
    WaitUntilShown(*window);
    window->Initialise();
    if (!closed)   // a signal during start-up has already closed the window
        QApplication::exec();

    window->DestroyWindow();
    Profile::SaveSettings(m_settings, m_gen);
    Profile::LeaveCrashGuard(m_gen);   // the next start may trust the stored line kind again
    m_mainWindow = nullptr;
    window.reset();
    return 0;
}
