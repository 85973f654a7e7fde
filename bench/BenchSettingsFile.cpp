// Applying a factory settings file of 344 lines in the main window, against
// the virtual camera at 115200 baud over a pseudo-terminal.
#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <memory>

#include "bench/CountingPrompts.h"
#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "dialogs/UiPrompts.h"
#include "support/MainWindowAccess.h"

namespace {

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir home;
    qputenv("XDG_CONFIG_HOME", home.path().toUtf8());
    QApplication application(argc, argv);

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty(camera);
    pty.Start();
    AppSettings settings;
    settings.baudIndex = 4;   // 115200
    settings.activeMode = ActiveFactory;
    SerialPort port;
    port.SetDeviceResolver([&pty](int) { return pty.DevicePath(); });
    ClSerialLib camLink("/nonexistent");
    CountingPrompts prompts;
    auto window = std::make_unique<CKavroDlg>(settings, port, camLink, prompts);
    window->show();
    window->Initialise();

    const QString path = home.filePath("factory.cam");
    MainWindowAccess(*window).Session().WriteSettingFile(path.toStdString());
    const auto start = std::chrono::steady_clock::now();
    MainWindowAccess(*window).Session().ApplySettingFile(path.toStdString());
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    std::printf("apply a 344-line file in the window: %.3f s (budget %.3f s)\n", seconds, 1.15 * 344 * 0.020);
    window.reset();
    pty.Stop();
    return prompts.shown == 1 ? 0 : 1;   // only "Save Complete"
}
