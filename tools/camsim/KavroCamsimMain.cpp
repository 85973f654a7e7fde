// kavro-camsim: a virtual camera on a pseudo-terminal, for trying the tool without hardware.
#include <csignal>
#include <cstdio>
#include <pthread.h>
#include <sys/stat.h>

#include "camsim/CamsimOptions.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"

namespace {

bool FileExists(const std::string& path)
{
    struct stat info {};
    return ::stat(path.c_str(), &info) == 0;
}

// Blocks the stop signals in this thread and in every thread started later,
// so that sigwait receives them; nothing runs inside a signal handler.
sigset_t BlockStopSignals()
{
    sigset_t signals;
    sigemptyset(&signals);
    for (int signal : {SIGTERM, SIGINT, SIGHUP})
        sigaddset(&signals, signal);
    pthread_sigmask(SIG_BLOCK, &signals, nullptr);
    return signals;
}

}  // namespace

int main(int argc, char** argv)
{
    using namespace camsim;
    const CamsimOptions options = CamsimOptions::Parse(argc, argv);
    if (options.help) {
        std::fputs(CamsimOptions::Usage().c_str(), stdout);
        return 0;
    }
    if (!options.error.empty()) {
        std::fprintf(stderr, "kavro-camsim: %s\n%s", options.error.c_str(), CamsimOptions::Usage().c_str());
        return 2;
    }

    VirtualCamera camera;
    // A state file that exists but cannot be read is not overwritten with power-on values at exit.
    if (!options.statePath.empty() && FileExists(options.statePath) && !camera.LoadState(options.statePath)) {
        std::fprintf(stderr, "kavro-camsim: cannot read the state file %s\n", options.statePath.c_str());
        return 1;
    }
    camera.SetFaults(options.faults);

    const sigset_t stopSignals = BlockStopSignals();
    PtyCamera line(camera);
    line.SetLineBaud(options.baud);
    line.SetWireTime(options.wireBaud, options.thinkMs);
    if (!line.Start(options.linkPath)) {
        std::fprintf(stderr, "kavro-camsim: %s\n", line.ErrorText().c_str());
        return 1;
    }
    std::printf("%s\n", line.DevicePath().c_str());
    std::fflush(stdout);

    int received = 0;
    sigwait(&stopSignals, &received);
    line.Stop();
    if (!options.statePath.empty() && !camera.SaveState(options.statePath)) {
        std::fprintf(stderr, "kavro-camsim: cannot save the state file %s\n", options.statePath.c_str());
        return 1;
    }
    return 0;
}
