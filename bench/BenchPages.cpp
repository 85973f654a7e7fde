// bench_pages reload : a user-level and a factory-level ReloadAll against the virtual camera
//                      at 115200 baud over a pseudo-terminal
// bench_pages step   : one spin step (send, acknowledge, commit, rules), 100 times
#include <QApplication>
#include <QTemporaryDir>

#include <chrono>
#include <cstdio>
#include <ctime>
#include <string>

#include "bench/BenchClock.h"
#include "bench/CountingPrompts.h"
#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CommandTable.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "dialogs/UiPrompts.h"
#include "support/MainWindowAccess.h"
#include "params/ControlIds.h"
#include "params/CtrlRegistry.h"
#include "params/KavroSpinBox.h"

namespace {

struct Bench {
    Bench() : pty(camera), camLink("/nonexistent")
    {
        pty.Start();
        settings.baudIndex = 4;   // 115200
        settings.offline = 0;
        port.SetDeviceResolver([this](int) { return pty.DevicePath(); });
        window = std::make_unique<CKavroDlg>(settings, port, camLink, prompts);
        window->show();
        window->Initialise();
    }

    double TimedReload(int level)
    {
        settings.activeMode = level;
        MainWindowAccess(*window).RebuildPageTabs();
        const double start = WallSeconds();
        MainWindowAccess(*window).Session().ReloadAll();
        return WallSeconds() - start;
    }

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    CountingPrompts prompts;
    std::unique_ptr<CKavroDlg> window;
};

int Reload()
{
    Bench bench;
    const double user = bench.TimedReload(ActiveUser);
    const double factory = bench.TimedReload(ActiveFactory);
    std::printf("reload, user level:    %.3f s for 64 queries + 1 setting (budget %.3f s)\n", user, 1.10 * 64 * 0.020);
    std::printf("reload, factory level: %.3f s for 344 queries + 1 setting (budget %.3f s)\n", factory,
                1.10 * 344 * 0.020);
    return bench.prompts.shown == 0 ? 0 : 1;
}

int Step(int count)
{
    Bench bench;
    auto* spin = qobject_cast<KavroSpinBox*>(MainWindowAccess(*bench.window).Registry().Find(CtrlId::Bound(CommandTable::Find("GA"))));
    double wall = 0;
    double cpu = 0;
    for (int i = 0; i < count; ++i) {
        const double wall0 = WallSeconds();
        const double cpu0 = ThreadCpuSeconds();
        spin->stepBy(i % 2 == 0 ? 1 : -1);
        cpu += ThreadCpuSeconds() - cpu0;
        wall += WallSeconds() - wall0;
    }
    std::printf("spin step: %.2f ms wall each (20 ms of it the protocol wait), %.2f ms user-interface "
                "processor time each; beyond the wait: %.2f ms (budget 30 ms)\n",
                1000 * wall / count, 1000 * cpu / count, 1000 * wall / count - 20.0);
    return 0;
}

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // The window's profile goes to a folder of the benchmark's own, never the user's.
    QTemporaryDir profileHome;
    qputenv("XDG_CONFIG_HOME", profileHome.path().toUtf8());
    QApplication application(argc, argv);
    const std::string mode = argc > 1 ? argv[1] : "";
    if (mode == "reload")
        return Reload();
    if (mode == "step")
        return Step(argc > 2 ? std::stoi(argv[2]) : 100);
    std::fprintf(stderr, "usage: bench_pages reload | step [COUNT]\n");
    return 2;
}
