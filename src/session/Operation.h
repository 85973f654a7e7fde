#pragma once

#include <functional>

// An operation: camera commands that block the user-interface thread (a
// reading, a reload, a level switch, a settings file, an area store or load,
// a LUT transfer, a camera operation, a comparison, the idle check, a single
// setting waiting for its reply). Operations nest; the outermost one is the
// operation, and these are its rules, all kept here:
//
// - The windows are repainted and timers run while it waits (every timer that
//   would reach the camera does nothing during an operation), but nothing acts
//   on input except the live window, the progress window with its Cancel. Esc
//   pressed anywhere, and the progress window's close box, press Cancel.
//   Every other click, key, wheel turn and
//   drag is dropped, never replayed afterwards.
// - A mouse release is always delivered, away from any control: a press made
//   before the operation ends without a click, and no spin arrow goes on
//   repeating as if it were still held.
// - A request to close a window is remembered and made when the operation
//   ends; the main window then asks its exit question as usual. Only a stop
//   (a signal, the end of the desktop session) closes at once, and it ends
//   the operation too.
// - No modal box opens while input is dropped: a box the operation must show
//   opens inside a prompt scope and takes input normally.
// - The operator's Cancel lasts until the operation ends.
//
// This class keeps the state of the operation, without any window: whether
// one runs, the close requests it defers, the end of the Cancel. The windows
// follow the rules through a Watcher (dialogs/BlockingScope).
class Operation {
public:
    Operation();
    ~Operation();
    Operation(const Operation&) = delete;
    Operation& operator=(const Operation&) = delete;

    static bool IsRunning() { return s_depth > 0; }

    // The windows' side: told as each operation, nested or not, begins and ends.
    class Watcher {
    public:
        virtual ~Watcher() = default;
        virtual void Began(bool outermost) = 0;
        virtual void Ending(bool outermost) = 0;
    };
    static void SetWatcher(Watcher* watcher);

    // A request to close a window, made while the operation runs: kept once
    // per window and carried out when the outermost operation ends, unless the
    // tool is being stopped by then.
    static void CloseWhenDone(const void* window, std::function<void()> close);

private:
    static int s_depth;
};
