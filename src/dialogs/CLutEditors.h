#pragma once

#include <QString>

#include <array>
#include <memory>

#include "dialogs/CLUTDlg.h"
#include "files/GammaFileReader.h"

class UiPrompts;
class CompanionOwner;

// The three editors (red, green, blue) and the "Gamma(&G)" menu, which moves
// their three tables as a whole between them, gamma data files and the camera.
// File choosers open in the process's working folder, and a confirmed choice
// makes its folder the working folder, so the next chooser opens there.
class CLutEditors {
public:
    CLutEditors(CompanionOwner& owner, UiPrompts& prompts, int lineOnline);
    ~CLutEditors();

    // "LUT Setting": shows the three editors and brings each forward.
    void OnLutSetting();
    void SetCommStatus(int state);

    void OnOpenGammaFile();
    void OnSaveGammaFile();
    void OnLoadGammaFromCamera();
    bool ReadGammaFile(const QString& path);
    bool WriteGammaFile(const QString& path);
    void ReadLutsFromCamera();

    CLUTDlg& Editor(int channel) { return *m_editors.at(static_cast<size_t>(channel)); }
    void SetReadTimeout(int ms) { m_readTimeoutMs = ms; }

private:
    void ShowCannotOpen(const QString& path);
    void PlaceInCascade();
    void ShowTable(int channel, const GammaTables& tables);

    CompanionOwner& m_owner;
    UiPrompts& m_prompts;
    std::array<std::unique_ptr<CLUTDlg>, 3> m_editors;   // top-level windows, destroyed with this
    int m_readTimeoutMs;
};
