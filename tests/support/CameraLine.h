#pragma once

#include <memory>
#include <string>

#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "support/RecordingHost.h"

// The engine on COM1, which reaches a virtual camera over a real pseudo-terminal,
// at once or keeping a line's wire time.
struct CameraLine {
    explicit CameraLine(int wireBaud = 0, int thinkMs = 0)
        : pty(camera), camLink("/nonexistent")
    {
        pty.SetWireTime(wireBaud, thinkMs);
        pty.Start();
        port.SetDeviceResolver([this](int comNumber) {
            return comNumber == 1 ? pty.DevicePath() : "/nonexistent/ttyS" + std::to_string(comNumber);
        });
        settings.baudIndex = 4;
        engine = std::make_unique<CRsCmd>(settings, port, camLink, host);
    }
    ~CameraLine()
    {
        engine->ClosePort();
        engine.reset();
        pty.Stop();
    }

    bool Open() { return engine->OpenPort(0) == 1; }

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    RecordingHost host;
    std::unique_ptr<CRsCmd> engine;
};
