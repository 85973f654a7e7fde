#pragma once

#include <functional>

class QWidget;

// An operation: camera commands that block the user-interface thread (a
// reading, a reload, a level switch, a settings file, an area store or load,
// a LUT transfer, a camera operation, a comparison, the idle check, a single
// setting waiting for its reply). Scopes nest; the outermost one is the
// operation, and these are its rules, all kept here:
//
// - The windows are repainted and timers run while it waits (every timer that
//   would reach the camera does nothing during an operation), but nothing acts
//   on input except the live window, the progress window with its Cancel. Esc
//   pressed anywhere presses Cancel. Every other click, key, wheel turn and
//   drag is dropped, never replayed afterwards.
// - A mouse release is always delivered, away from any control: a press made
//   before the operation ends without a click, and no spin arrow goes on
//   repeating as if it were still held.
// - A request to close a window is remembered and made when the operation
//   ends; the main window then asks its exit question as usual. Only a stop
//   (a signal, the end of the desktop session) closes at once, and it ends
//   the operation too.
// - No modal box opens while input is dropped: a box the operation must show
//   opens inside a Prompt and takes input normally.
// - The operator's Cancel lasts until the operation ends.
class BlockingScope {
public:
    BlockingScope();
    ~BlockingScope();
    BlockingScope(const BlockingScope&) = delete;
    BlockingScope& operator=(const BlockingScope&) = delete;

    static bool IsActive() { return s_depth > 0; }

    // Serves what is pending under the rules above: pictures, timers, the
    // live window's input. Does nothing outside an operation.
    static void ServeEvents();

    // The window that keeps acting on input, and what Esc does; nullptr: none.
    static void SetLiveWindow(QWidget* window, std::function<void()> onEscape);

    // Around a modal box shown during an operation: input queued before it is
    // dropped (it must not answer the box), the wait cursor is lifted, and the
    // box takes input.
    class Prompt {
    public:
        Prompt();
        ~Prompt();
        Prompt(const Prompt&) = delete;
        Prompt& operator=(const Prompt&) = delete;

    private:
        bool m_active = false;
        int m_liftedCursors = 0;
    };

private:
    static void EndOperation();

    static int s_depth;
};
