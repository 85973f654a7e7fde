#pragma once

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/camlink/ClSerialLib.h"
#include "comm/serial/SerialPort.h"
#include "support/PtyPair.h"
#include "support/RecordingHost.h"
#include "support/WaitFor.h"

// The engine on COM1, a bare pseudo-terminal whose other end the test plays.
struct RawLine {
    RawLine()
        : camLink("/nonexistent")
    {
        port.SetDeviceResolver([this](int) { return pty.SlavePath(); });
        engine = std::make_unique<CRsCmd>(settings, port, camLink, host);
        opened = engine->OpenPort(0) == 1;
    }
    ~RawLine()
    {
        engine->ClosePort();
        engine.reset();
    }

    // Bytes "from the camera"; returns once the engine's port holds them.
    void Send(const std::string& bytes)
    {
        const int before = port.Available();
        pty.Send(bytes);
        WaitFor([&] { return port.Available() >= before + static_cast<int>(bytes.size()); });
    }

    // Runs command while the far end answers it as a camera would: `reply` is
    // sent once the command's line end has arrived. Returns what command returns.
    template <class Command>
    auto Answering(const std::string& reply, Command command)
    {
        std::thread camera([this, reply] {
            pty.ReceiveUntil("\n", std::chrono::milliseconds(3000));
            pty.Send(reply);
        });
        auto result = command();
        camera.join();
        return result;
    }

    PtyPair pty;
    AppSettings settings;
    SerialPort port;
    ClSerialLib camLink;
    RecordingHost host;
    std::unique_ptr<CRsCmd> engine;
    bool opened = false;
};
