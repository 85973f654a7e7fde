#pragma once

#include <functional>

#include "session/Operation.h"

class QWidget;

// The windows under the rules of an operation (session/Operation states
// them): input dropped except for the live window, a mouse release always
// delivered, close requests deferred, the wait cursor shown, events served
// while the camera takes its time. A scope is itself an operation; once one
// was made (or Watch was called), every operation follows the rules, also
// those the session begins.
class BlockingScope {
public:
    BlockingScope() : m_watching(Watch()) {}
    BlockingScope(const BlockingScope&) = delete;
    BlockingScope& operator=(const BlockingScope&) = delete;

    // Puts the windows under the rules of every operation from now on.
    static bool Watch();

    // Serves what is pending under the rules: pictures, timers, the live
    // window's input. Does nothing outside an operation.
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
    bool m_watching;           // first: the windows watch before the operation begins
    Operation m_operation;
};
