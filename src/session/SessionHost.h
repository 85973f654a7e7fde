#pragma once

#include <string>

#include "comm/EngineHost.h"
#include "params/ParamStore.h"

// Everything the camera session needs from the windows: what its engine
// needs, and the boxes, the progress window and the pages. The main window
// implements it; tests record the calls.
class SessionHost : public EngineHost {
public:
    // ---- boxes (the engine's ShowMessage, and these)
    // The box with details behind a button.
    virtual void ShowMessageWithDetails(const std::string& text, const std::string& caption, Icon icon,
                                        const std::string& /*details*/)
    {
        ShowMessage(text, caption, icon);
    }
    // Yes/No with the question icon and the tool's caption; true for Yes.
    virtual bool AskYesNo(const std::string& question) = 0;

    // ---- the progress window, over the main window, which it disables
    virtual void ShowProgress(const std::string& message) = 0;
    // For an operation that is usually quick: the window appears only once
    // the operation has taken a while.
    virtual void ShowProgressWhenSlow(const std::string& message) = 0;
    virtual void SetProgress(int position) = 0;   // 0..100
    virtual bool ProgressShown() const = 0;
    virtual void CloseProgress() = 0;
    // The main window active again; raised: also in front of the others.
    virtual void ActivateMainWindow(bool raised) = 0;

    // ---- the pages
    virtual void WriteCtrlValue(int ctrlId, int value) = 0;
    virtual int ReadCtrlValue(int ctrlId) const = 0;
    virtual void SetSpinBound(const ParamStore::CoupledBound& bound) = 0;
    // The disable rules of the control (0: all of them) follow what the controls show.
    virtual void UpdateEnables(int ctrlId, int value) = 0;
    // The values the camera holds (the committed ones) changed.
    virtual void ParamsCommitted() = 0;
};
