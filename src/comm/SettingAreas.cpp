#include "comm/SettingAreas.h"

#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"

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
