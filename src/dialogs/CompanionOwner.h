#pragma once

class CRsCmd;

// What the small companion windows (terminal, monitor, AFE sender, identity
// dialogs) need from the main window.
class CompanionOwner {
public:
    virtual ~CompanionOwner() = default;

    // The command engine, or nullptr before start-up and after the window's end.
    virtual CRsCmd* Camera() = 0;
};
