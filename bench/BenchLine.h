#pragma once

#include <memory>

#include "settings/AppSettings.h"
#include "bench/BenchHost.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

// The engine at 115200 baud on a pseudo-terminal to the virtual camera.
struct BenchLine {
    BenchLine() : pty(camera), camLink("/nonexistent")
    {
        settings.baudIndex = 4;
        started = pty.Start();
        port.SetDeviceResolver([this](int) { return pty.DevicePath(); });
        engine = std::make_unique<CRsCmd>(settings, port, camLink, host);
        opened = started && engine->OpenPort(0);
    }
    ~BenchLine()
    {
        engine->ClosePort();
        engine.reset();
        pty.Stop();
    }

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    BenchHost host;
    std::unique_ptr<CRsCmd> engine;
    bool started = false;
    bool opened = false;
};
