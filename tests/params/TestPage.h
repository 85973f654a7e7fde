#pragma once

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/PageContents.h"

// A small page with one control of every kind, independent of the real page
// data. Only the "CM" and "SM" ids matter to the code; the others are any free ids.
namespace TestPage {

constexpr int kGain = CtrlId::Bound(CmdGA);
constexpr int kMode = CtrlId::Bound(13);
constexpr int kScan = CtrlId::Bound(19);
constexpr int kKnee = CtrlId::Bound(39);
constexpr int kMarker = CtrlId::Bound(CmdCM);
constexpr int kShutter = CtrlId::Bound(CmdSM);
constexpr int kPush = CtrlId::Bound(CmdAW);
constexpr int kVpp = CtrlId::Bound(300);

inline PageCell Cell(CellKind kind, int ctrlId, const char* text = "")
{
    PageCell cell;
    cell.kind = kind;
    cell.ctrlId = ctrlId;
    cell.text = text;
    return cell;
}

inline PageCell List(int ctrlId, std::vector<std::string> entries)
{
    PageCell cell = Cell(CellKind::List, ctrlId);
    cell.entries = std::move(entries);
    return cell;
}

inline PageCell Radio(int ctrlId, const char* text)
{
    PageCell cell = Cell(CellKind::Radio, ctrlId, text);
    cell.groupHead = kShutter;
    return cell;
}

inline PageContent Content()
{
    using K = CellKind;
    PageGroup values{"Values", {}, 0, 0, 1, 1};
    values.rows = {
        {{Cell(K::Label, 0, "Gain"), Cell(K::Edit, kGain)}},
        {{Cell(K::Label, 0, "Mode"), List(kMode, {"NORMAL", "EPS", "PWC", "RCT"})}},
        {{Cell(K::Label, 0, "Scan"), List(kScan, {"FULL Frame", "Partial", "Third"})}},
        {{Cell(K::Check, kKnee, "Knee On")}},
        {{Cell(K::Label, 0, "CenterMarker"), List(kMarker, {"OFF", "Vertical", "Horizontal", "Both"}),
          Cell(K::Check, CtrlId::CmR, "R"), Cell(K::Check, CtrlId::CmG, "G"), Cell(K::Check, CtrlId::CmB, "B")}},
    };
    // The head is listed after another button: the group must still start at the head.
    PageGroup shutter{"Shutter", {}, 1, 0, 1, 1};
    shutter.rows = {
        {{Radio(CtrlId::SmProgrammableCommon, "Programmable exposure")}},
        {{Radio(kShutter, "Preset")}},
        {{Radio(CtrlId::SmProgrammableRgb, "Programmable exposure")}},
        {{Radio(CtrlId::SmAuto, "Auto exposure")}},
    };
    PageCell hidden = Cell(K::Check, CtrlId::ProtectEnable, "Enable to Protected Controls");
    hidden.hidden = true;
    PageCell vppLabel = Cell(K::Label, 0, "VPP");
    vppLabel.factoryOnly = true;
    PageCell vpp = List(kVpp, {"Video Process", "Direct Output"});
    vpp.factoryOnly = true;
    PageGroup loose{"", {}, 0, 1, 1, 2};
    loose.rows = {
        {{Cell(K::Button, kPush, "One-Push AWB"), Cell(K::ReadOut, CtrlId::TemperatureText)}},
        {{hidden}},
        {{vppLabel, vpp}},
    };
    return {"Test Page", FactoryPage, {values, shutter, loose}};
}

}  // namespace TestPage
