#pragma once

class QKeyEvent;

// The level switch from the keyboard: a chord (Ctrl+Shift+F10), then the
// three letters of the access code. Any other key in between ends the
// sequence; the chord starts it again.
class LevelKeys {
public:
    enum class Step {
        NotMine,    // the key goes on as usual
        Taken,      // part of the sequence, and goes no further
        Completed,  // the last letter: the level switches
    };
    Step Advance(const QKeyEvent& event);

private:
    int m_matched = 0;   // 0 idle, else letters of the access code matched + 1
};
