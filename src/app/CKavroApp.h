#pragma once

#include <memory>

#include "settings/AppSettings.h"
#include "profile/CGen.h"
#include "comm/serial/SerialPort.h"

class ClSerialLib;
class CKavroDlg;
class UiPrompts;
class QWidget;

// The application: the process-wide objects, the profile loaded before the
// main window and saved after it, the crash guard around the run, and the
// main window run until it closes.
class CKavroApp {
public:
    explicit CKavroApp(UiPrompts& prompts);
    ~CKavroApp();
    CKavroApp(const CKavroApp&) = delete;
    CKavroApp& operator=(const CKavroApp&) = delete;

    // Start-up, the main loop, shutdown; the process's exit code.
    int InitInstance();

    // While InitInstance runs (tests close the window through it).
    CKavroDlg* MainWindow() const { return m_mainWindow; }
    AppSettings& Settings() { return m_settings; }

private:
    static constexpr int kShowWaitMs = 1000;
    static void WaitUntilShown(QWidget& window);

    UiPrompts& m_prompts;
    AppSettings m_settings;
    CGen m_gen;
    SerialPort m_port;
    std::unique_ptr<ClSerialLib> m_camLink;   // made after the profile names its folder
    CKavroDlg* m_mainWindow = nullptr;
};
