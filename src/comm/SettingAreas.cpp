#include "comm/SettingAreas.h"

#include <chrono>
#include <thread>

#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/StopRequest.h"

int SettingAreas::Store(CRsCmd& engine, int area, int timeoutMs)
{
    if (!IsArea(area))
        return 0;
    return area == 0 ? engine.SetInt(CmdSA00, 0, 0, timeoutMs) : engine.SetInt(CmdSA, 0, area, timeoutMs);
}

int SettingAreas::Load(CRsCmd& engine, int area, int timeoutMs)
{
    return IsArea(area) ? engine.SetInt(CmdLD, 0, area, timeoutMs) : 0;
}

SettingAreas::StoreAllResult SettingAreas::StoreAll(CRsCmd& engine, int timeoutMs, const AfterStore& goOn)
{
    StoreAllResult result;
    for (int area : kStoreAllOrder) {
        if (StopRequest::Stopping())
            break;
        std::this_thread::sleep_for(std::chrono::milliseconds(kPauseMs));
        const int stored = Store(engine, area, timeoutMs);
        result.stored += stored == 1 ? 1 : 0;
        ++result.tried;
        if (goOn && !goOn(area, stored))
            break;
    }
    return result;
}
