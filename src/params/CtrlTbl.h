#pragma once

#include <cstdint>

// How a bound control shows its value.
enum CtrlKind : int32_t {
    CtrlKindNone = 0,
    CtrlKindCheck = 1,
    CtrlKindRadio = 2,    // the row names the group's first button
    CtrlKindCombo = 4,
    CtrlKindEdit = 6,     // edit with spin
    CtrlKindButton = 7,
};

// When a row is read from the camera.
enum CtrlAccess : int32_t {
    AccessNever = 0,
    AccessBoth = 1,
    AccessFactory = 2,
};

// One binding of a page control to a camera command.
struct CtrlTblEntry {
    int32_t ctrlId;         // 0: row without a control
    int32_t commandIndex;   // -1: control without a parameter
    int32_t kind;           // CtrlKind
    int32_t wrap;           // 1: values wrap around at the ends of the range
    int32_t access;         // CtrlAccess
    int32_t min;
    int32_t max;
    int32_t defaultValue;
};

// The binding table: every control of every page, and the commands without a control.
class CtrlTbl {
public:
    static const CtrlTblEntry* Rows();
    static int Count();
    // Row index of the first row with that control id, or -1.
    static int FindByCtrl(int ctrlId);
    // Row index of the first row bound to that command, or -1.
    static int FindByCommand(int commandIndex);
};
