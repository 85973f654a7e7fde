#pragma once

#include <memory>

#include "comm/CRsCmd.h"
#include "support/CameraOnCom1.h"
#include "support/RecordingHost.h"

// The engine on COM1, which reaches a virtual camera over a real pseudo-terminal.
struct CameraLine : CameraOnCom1 {
    explicit CameraLine(int wireBaud = 0, int thinkMs = 0) : CameraOnCom1(wireBaud, thinkMs)
    {
        engine = std::make_unique<CRsCmd>(settings, port, camLink, host);
    }
    ~CameraLine() { engine->ClosePort(); }

    bool Open() { return engine->OpenPort(0) == 1; }

    RecordingHost host;
    std::unique_ptr<CRsCmd> engine;
};
