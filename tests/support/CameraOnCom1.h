#pragma once

#include <string>
#include <vector>

#include "settings/AppSettings.h"
#include "camsim/PtyCamera.h"
#include "camsim/VirtualCamera.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"

// A virtual camera on a real pseudo-terminal that COM1 leads to, at once or
// keeping a line's wire time; the other COM ports lead nowhere. The rigs put
// the engine, the session or the main window on top.
struct CameraOnCom1 {
    explicit CameraOnCom1(int wireBaud = 0, int thinkMs = 0) : pty(camera), camLink("/nonexistent")
    {
        pty.SetWireTime(wireBaud, thinkMs);
        pty.Start();
        settings.baudIndex = 4;
        settings.replyWaitMs = 0;   // the camera answers at once; a test of the pace sets its own
        port.SetDeviceResolver([this](int n) { return n == 1 ? pty.DevicePath() : "/nonexistent/ttyS" + std::to_string(n); });
    }
    ~CameraOnCom1() { pty.Stop(); }

    // Lines the camera received since the last call.
    std::vector<std::string> Wire()
    {
        std::vector<std::string> lines = camera.ReceivedLines();
        camera.ClearReceivedLines();
        return lines;
    }

    camsim::VirtualCamera camera;
    camsim::PtyCamera pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
};
