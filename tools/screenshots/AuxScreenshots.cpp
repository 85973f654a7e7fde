// kavro-aux-screenshots OUTDIR: the terminal, the monitor, the AFE sender, the
// identity dialogs and the progress window off screen, talking to a virtual
// camera on a pseudo-terminal, one picture each.
#include <QApplication>
#include <QDir>
#include <QLineEdit>
#include <QPixmap>

#include <cstdio>

#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "dialogs/AutoMonitorDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CCamIDDlg.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/CUserIDDlg.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/QtUiPrompts.h"

namespace {

// The engine on COM1, reaching the virtual camera; the terminal lists its traffic.
class CameraOwner : public CompanionOwner, public EngineHost {
public:
    CameraOwner() : m_pty(m_camera), m_camLink("/nonexistent")
    {
        m_pty.Start();
        settings.baudIndex = 4;
        settings.lineOnline = 1;
        settings.activeMode = ActiveFactory;
        m_port.SetDeviceResolver([this](int) { return m_pty.DevicePath(); });
        engine = std::make_unique<CRsCmd>(settings, m_port, m_camLink, *this);
        engine->OpenPort(0);
    }
    ~CameraOwner() override
    {
        engine->ClosePort();
        m_pty.Stop();
    }

    // The companion windows shown here use the engine alone.
    CRsCmd* Camera() override { return engine.get(); }
    CProgDlg& Progress() override { return progress; }
    QWidget* OwnerWindow() override { return nullptr; }
    UiPrompts& Prompts() override { return prompts; }
    void ShowMessage(const std::string&, const std::string&, Icon) override {}
    void SetCommStatus(int) override {}
    void AddTraffic(const std::string& text) override
    {
        if (terminal)
            terminal->AddTraffic(QString::fromStdString(text));
    }
    void AddMessage(const std::string&) override {}
    void RestartIdleTimer() override {}
    void SetWaitCursor(bool) override {}

    AppSettings settings;
    CProgDlg progress;
    QtUiPrompts prompts;
    CRsTermDlg* terminal = nullptr;
    std::unique_ptr<CRsCmd> engine;

private:
    camsim::VirtualCamera m_camera;
    camsim::PtyCamera m_pty;
    SerialPort m_port;
    ClSerialLib m_camLink;
};

bool Save(QWidget& window, const QDir& outDir, const char* name)
{
    window.show();
    QApplication::processEvents();
    const QString file = outDir.filePath(QString(name) + ".png");
    if (!window.grab().save(file)) {
        std::fprintf(stderr, "kavro-aux-screenshots: cannot write %s\n", qPrintable(file));
        return false;
    }
    std::printf("%s\n", qPrintable(file));
    window.hide();
    return true;
}

}  // namespace

int main(int argc, char* argv[])
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    if (argc != 2) {
        std::fprintf(stderr, "usage: kavro-aux-screenshots OUTDIR\n");
        return 2;
    }
    const QDir outDir(QString::fromLocal8Bit(argv[1]));
    QDir().mkpath(outDir.path());
    CameraOwner owner;
    QtUiPrompts& prompts = owner.prompts;
    int failures = 0;

    CRsTermDlg terminal(owner.settings, owner);
    owner.terminal = &terminal;
    terminal.CommandEdit()->setText("GA?");
    for (const char* line : {"EA?\r\n", "GA?\r\n", "VN?\r\n"}) {
        int value = 0;
        owner.engine->QueryRaw(value, line, 1000);
    }
    failures += !Save(terminal, outDir, "terminal");

    AutoMonitorDlg monitor(owner);
    monitor.shutterAuto = 1;
    failures += !Save(monitor, outDir, "auto-monitor");
    monitor.OnStop();

    CAfeSenderDlg afe(owner);
    failures += !Save(afe, outDir, "afe-sender");
    CAboutDlg about(owner.settings, owner, prompts);
    failures += !Save(about, outDir, "about");
    CUserIDDlg userId(owner.settings, owner, prompts);
    userId.OnReadUserId();
    failures += !Save(userId, outDir, "user-id");
    CCamIDDlg cameraId(owner.settings, owner, prompts);
    failures += !Save(cameraId, outDir, "camera-id");

    QWidget mainWindow;   // what the progress window stands over
    mainWindow.resize(600, 400);
    mainWindow.show();
    CProgDlg progress;
    progress.Create(&mainWindow);
    progress.SetMessage("Now, reading camera settings.");
    progress.SetPos(40);
    failures += !Save(*progress.Window(), outDir, "progress");
    progress.Destroy();
    return failures == 0 ? 0 : 1;
}
