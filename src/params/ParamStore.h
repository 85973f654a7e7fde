#pragma once

#include <array>
#include <functional>
#include <string>
#include <utility>
#include <vector>

#include "comm/CommandTable.h"

struct LinkedPair;

// The value of every camera setting, without any window: the current value
// the pages show and the last one the camera took (committed). Controls are
// named by id and reach their value through the binding table; the rules for
// typed and stepped values, the linked pairs and the start/end line coupling
// are worked out here and applied to the controls by whoever shows them.
class ParamStore {
public:
    // What CommandOf gives for a control that sets no command.
    static constexpr int kNoCommand = 65535;

    // A secondary control moved along with its primary.
    struct LinkedMove {
        int ctrlId;
        int value;
    };
    // The bound a start or end line puts on the other's spin; ctrlId 0: none.
    struct CoupledBound {
        int ctrlId = 0;
        bool lower = false;   // the other's lowest value, else its highest
        int value = 0;
    };

    // Command index the control sets, kNoCommand for a control without one,
    // -1 for an id the binding table does not know.
    static int CommandOf(int ctrlId);
    // Control id of the first row bound to the command, or -1.
    static int ParamIndex2CtrlId(int commandIndex);

    // By command index; 0 for an index outside the command table.
    int Cur(int commandIndex) const;
    int Prev(int commandIndex) const;

    // By control: -1 for an unknown control, 0 for one without a command.
    int GetParam(int ctrlId) const;
    // False when the control is unknown or sets no command: nothing is stored.
    bool SetParam(int ctrlId, int value);
    // The parameter a control showing `shown` stands for: the centre marker's
    // combo box holds the low four bits of "CM", each colour check box one bit.
    int ValueOfControl(int ctrlId, int shown) const;

    void StoreDefaults();
    bool HasChanges() const;
    // Sends every changed value in command order. After a refusal neither it
    // nor any later change of the pass reached the camera: those go back to
    // their committed values and their command indexes are returned.
    std::vector<int> SendChanges(const std::function<bool(int commandIndex, int value)>& send);
    void Commit();

    // ---- the one range rule: what the operator may give a setting
    // The binding row's range of the first value control bound to the
    // command; "CM" packs its combo box (0..3) with three colour bits (16, 32,
    // 64). False for a command that no value control binds. A camera or a file
    // may hold any value: the camera judges those, the pages show them.
    static bool AcceptedRange(int commandIndex, int& min, int& max);
    static bool Accepts(int commandIndex, long long value);
    // "-92..605"; for "CM" what its bits mean.
    static std::string AcceptedText(int commandIndex);

    // Spin range of an edit row: a wrap row reaches one past each end, so a
    // step there can wrap round.
    static std::pair<int, int> SpinRangeOf(int ctrlId);
    static bool IsWrapRow(int ctrlId);
    // A typed value on a spin of range [lo, hi]; false when refused. One past
    // either end of a wrap row stops at that end.
    static bool TypedValue(int ctrlId, int typed, int lo, int hi, int& value);
    // A step from position on a spin of range [lo, hi]: wrap rows wrap round,
    // other rows stop at the ends. A position outside the range (a value the
    // camera or a file gave) moves one step at a time toward it, never away.
    static int SteppedValue(int ctrlId, int position, int step, int lo, int hi);

    // Where the pair's secondary goes when its primary, showing primaryShown,
    // moves by step; false when it stays (a control without a binding row
    // never moves).
    static bool MoveSecondary(const LinkedPair& pair, int primaryShown, int secondaryShown, int step, int& moved);
    // Moves and stores the secondaries of the primary control; `shown` reads
    // what a control shows.
    std::vector<LinkedMove> MoveLinked(int primaryCtrl, int step, const std::function<int(int ctrlId)>& shown);
    // The start line stays before the end line: setting one bounds the other,
    // within the other's own range.
    static CoupledBound LineCoupling(int ctrlId, int value);

private:
    static bool IsCommand(int commandIndex) { return commandIndex >= 0 && commandIndex < CommandTable::kCount; }

    std::array<int, CommandTable::kCount> m_cur{};
    std::array<int, CommandTable::kCount> m_prev{};
};
