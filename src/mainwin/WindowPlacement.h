#pragma once

class QWidget;

// Where the windows beside the main window go on the screen.
class WindowPlacement {
public:
    static constexpr int kGap = 8;   // between the main window and a window beside it

    // On the main window's right. A desktop centres the main window, which
    // leaves too little room there: the main window then moves left to make
    // it, unless the window manager has it maximised (a move then would make
    // the maximised size its normal one). Only a pair wider than the screen
    // overlaps, the companion at the right edge.
    static void PlaceBeside(QWidget& main, QWidget& companion);
    // Back on the right of a main window that moved or grew.
    static void Follow(const QWidget& main, QWidget& companion);
    // Beside the main window where the screen has room for it, else in the
    // screen's corner farthest from the control; never over that control.
    static void PlaceClearOf(const QWidget& main, QWidget& window, const QWidget* control);
};
