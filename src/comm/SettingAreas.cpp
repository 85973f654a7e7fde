#include "comm/SettingAreas.h"

#include <chrono>
#include <thread>

#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/StopRequest.h"

int SettingAreas::Store(CRsCmd& engine, int area)
{
    if (!IsArea(area))
        return 0;
    return area == 0 ? engine.SetInt(CmdSA00, 0, 0, kStoreTimeoutMs) : engine.SetInt(CmdSA, 0, area, kStoreTimeoutMs);
}

int SettingAreas::Load(CRsCmd& engine, int area)
{
    return IsArea(area) ? engine.SetInt(CmdLD, 0, area, kLoadTimeoutMs) : 0;
}

SettingAreas::StoreAllResult SettingAreas::StoreAll(CRsCmd& engine, const std::function<void(int tried)>& tried)
{
    StoreAllResult result;
    for (int area : kStoreAllOrder) {
        if (StopRequest::Stopping())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
        result.stored += Store(engine, area) == 1 ? 1 : 0;
        ++result.tried;
        if (tried)
            tried(result.tried);
    }
    return result;
}
