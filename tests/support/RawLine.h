#pragma once

#include <pty.h>
#include <termios.h>
#include <unistd.h>

#include <memory>
#include <string>

#include "app/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "support/RecordingHost.h"
#include "support/WaitFor.h"

// The engine on COM1, a bare pseudo-terminal whose other end the test plays.
struct RawLine {
    RawLine()
        : camLink(settings, "/nonexistent")
    {
        termios raw {};
        cfmakeraw(&raw);
        char name[256] = {};
        openpty(&master, &slave, name, &raw, nullptr);
        device = name;
        port.SetDeviceResolver([this](int) { return device; });
        engine = std::make_unique<CRsCmd>(settings, port, camLink, host);
        opened = engine->OpenPort(0) == 1;
    }
    ~RawLine()
    {
        engine->ClosePort();
        engine.reset();
        close(slave);
        close(master);
    }

    // Bytes "from the camera"; returns once the engine's port holds them.
    void Send(const std::string& bytes)
    {
        const int before = port.Available();
        (void)!write(master, bytes.data(), bytes.size());
        WaitFor([&] { return port.Available() >= before + static_cast<int>(bytes.size()); });
    }

    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    RecordingHost host;
    std::unique_ptr<CRsCmd> engine;
    int master = -1;
    int slave = -1;
    std::string device;
    bool opened = false;
};
