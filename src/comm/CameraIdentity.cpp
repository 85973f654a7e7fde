#include "comm/CameraIdentity.h"

#include <cstdio>

#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"

std::string CameraIdentity::VersionText(long long number)
{
    const long long magnitude = number < 0 ? -number : number;
    char text[48];
    std::snprintf(text, sizeof text, "%s%lld.%02lld", number < 0 ? "-" : "", magnitude / 100, magnitude % 100);
    return text;
}

bool CameraIdentity::Read(CRsCmd& engine, bool registerBase, CameraIdentity& identity, int timeoutMs)
{
    CommandValue value;
    auto ask = [&](const char* mnemonic, bool mayUseRegisterBase) {
        value = CommandValue();
        const int index = CommandTable::Find(mnemonic);
        return registerBase && mayUseRegisterBase ? engine.GetValueReg(index, 0, value, timeoutMs)
                                                  : engine.GetValue(index, 0, value, timeoutMs, 1, 1);
    };
    if (!ask("VN", true))
        return false;
    identity.firmwareVersion = VersionText(value.intValue);
    identity.modelName = ask("MD", true) ? value.text : kNoText;
    identity.cameraId = ask("ID", false) ? value.text : kNoText;
    identity.fpgaVersion = ask("FPVN", true) ? VersionText(value.intValue) : kNoVersion;
    identity.userId = ask("UD", false) ? value.text : kNoUserId;
    return true;
}
