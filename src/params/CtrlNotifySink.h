#pragma once

class QKeyEvent;
class QWidget;

// What a page control reports to the main window.
enum class CtrlNotification {
    Clicked,     // push button, check box or radio button clicked by the user
    KillFocus,   // an edit lost the focus
    SelChange,   // the user chose another combo box entry
    DeltaPos,    // a spin arrow (or wheel, or Up/Down key) asked for a step
};

// The main window receives every notification of every page through this one
// routine, and every key press first.
class CtrlNotifySink {
public:
    virtual ~CtrlNotifySink() = default;
    // position: the spin's value before the step (DeltaPos only); step: +1/-1 or larger.
    virtual void OnCtrlNotify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step) = 0;
    // True when the key was handled and must not reach the widget.
    virtual bool OnKeyDownMsg(QWidget* source, QKeyEvent* event) = 0;
};
