#pragma once

#include <string>

#include "comm/CommandTable.h"

// Identifiers of the page controls. The first control bound to a command has
// the id Bound(command index); every other control has one of the fixed ids.
namespace CtrlId {

constexpr int kBoundBase = 1000;
constexpr int Bound(int commandIndex) { return kBoundBase + commandIndex; }
constexpr bool IsBound(int id) { return id >= kBoundBase && id < kBoundBase + 400; }
// The id of the first control bound to the command of that mnemonic.
inline int Bound(const std::string& mnemonic) { return Bound(CommandTable::Find(mnemonic)); }

enum Fixed : int {
    kFirstFixed = 2000,
    // Radio buttons after the head of their group (the head is Bound(SM) / Bound(AGC)).
    SmProgrammableCommon = kFirstFixed,
    SmProgrammableRgb,
    SmAuto,
    AgcAuto,
    // The centre marker's colour check boxes share the "CM" value with its combo box.
    CmR,
    CmG,
    CmB,
    // The first shading button is Bound(RS); this is the second.
    RecalibrateColor,
    DouOffset1,
    DouOffset2,
    DouOffset3,
    BlemishRecalibrateBlack,
    BlemishRecalibrateWhite,
    ProtectEnable,   // hidden check box
    FlatColor,       // hidden combo box
    // Push buttons and read-outs without a command.
    LutSetting,
    StoreAll,
    Terminal,
    AfeSender,
    Temperature,
    TemperatureText,
    SNumber,
    SNumberText,
    AverageRed,
    AverageGreen,
    AverageBlue,
    AverageY,
    PrismShadingGet,
    AutoMonitor,   // hidden
    kLastFixed = AutoMonitor,
};

}  // namespace CtrlId
