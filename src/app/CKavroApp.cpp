#include "app/CKavroApp.h"

#include <QApplication>

#include "app/Profile.h"
#include "app/SignalCloser.h"
#include "comm/camlink/ClSerialLib.h"
#include "mainwin/CKavroDlg.h"

CKavroApp::CKavroApp(UiPrompts& prompts)
    : m_prompts(prompts)
{
    m_port.SetDeviceResolver([this](int comNumber) { return Profile::ComDevice(m_gen, comNumber); });
}

CKavroApp::~CKavroApp() = default;

int CKavroApp::InitInstance()
{
    Profile::LoadSettings(m_settings, m_gen);
    m_camLink = std::make_unique<ClSerialLib>(m_settings, Profile::CamLinkFolder(m_gen));
    auto window = std::make_unique<CKavroDlg>(m_settings, m_port, *m_camLink, m_gen, m_prompts);
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
    window->Initialise();
    if (!closed)   // a signal during start-up has already closed the window
        QApplication::exec();

    window->DestroyWindow();
    Profile::SaveSettings(m_settings, m_gen);
    m_mainWindow = nullptr;
    window.reset();   // the communication object records the orderly end
    return 0;
}
