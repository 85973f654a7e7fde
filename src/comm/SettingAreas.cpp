#include "comm/SettingAreas.h"

#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"

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
