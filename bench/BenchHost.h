#pragma once

#include "comm/EngineHost.h"

// A host that throws everything away, so only the engine is measured.
class BenchHost : public EngineHost {
public:
    void ShowMessage(const std::string&, const std::string&, Icon) override { ++messages; }
    void SetCommStatus(int) override {}
    void AddTraffic(const std::string&) override {}
    void AddMessage(const std::string&) override {}
    void RestartIdleTimer() override {}
    void SetWaitCursor(bool) override {}

    int messages = 0;
};
