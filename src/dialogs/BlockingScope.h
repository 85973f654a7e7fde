#pragma once

// Marks one blocking camera operation: a reading, a reload, a store or load, a
// setting that waits for its reply. The user-interface thread serves no events
// while it runs, so what the operator clicks or types meanwhile waits in the
// window system's queue.
//
// On entry every pending picture is shown (paints, closed popups, moved
// windows, the wait cursor), so the operator sees the state the operation runs
// in. When the outermost scope ends, everything still queued is served with
// user input thrown away: nothing is replayed on whatever is then under the
// pointer. Scopes nest; the windows' timers do nothing while one is active.
class BlockingScope {
public:
    BlockingScope();
    ~BlockingScope();
    BlockingScope(const BlockingScope&) = delete;
    BlockingScope& operator=(const BlockingScope&) = delete;

    static bool IsActive() { return s_depth > 0; }

    // Serves the pending window-system and posted events without letting any
    // user input through.
    static void ServeEventsWithoutInput();

    // Around a modal box shown during an operation: input queued before it is
    // dropped (it must not answer the box) and the wait cursor is lifted.
    class Prompt {
    public:
        Prompt();
        ~Prompt();
        Prompt(const Prompt&) = delete;
        Prompt& operator=(const Prompt&) = delete;

    private:
        int m_liftedCursors = 0;
    };

private:
    static int s_depth;
};
