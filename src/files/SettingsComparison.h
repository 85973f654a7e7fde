#pragma once

#include <functional>
#include <string>
#include <vector>

#include "files/SettingsInput.h"
#include "params/ParamStore.h"

// Compares a camera with a settings file: every line that applying the file
// would send at that level, each queried from the camera in file order.
// Shared by the main window and kavro-cli; the caller supplies the query.
// The camera's values are kept by command, as the pages keep them, so the
// lines of one command always show the same camera value; both sides are in
// the units the pages show.
class SettingsComparison {
public:
    // The camera's value of a command as the pages show it; false when the
    // camera gave no valid answer.
    using Query = std::function<bool(int commandIndex, int& value)>;
    // Lines queried so far and the number of lines to query.
    using Progress = std::function<void(size_t done, size_t total)>;

    // The lines applying the file would send.
    void Load(const SettingsInput& input);
    // Queries every loaded line; false at the first line without an answer,
    // whose index FailedLine() gives then.
    bool ReadCamera(const Query& query, const Progress& progress = {});

    const std::vector<SettingsLine>& Lines() const { return m_lines; }
    int CameraValue(size_t index) const;
    bool Differs(size_t index) const;
    size_t DifferenceCount() const;
    size_t FailedLine() const { return m_failed; }
    // The camera now holds the file's value of that line (it was applied).
    void MarkApplied(size_t index);
    // The camera now holds this value of the command; true when it changed.
    bool SetCameraValue(int commandIndex, int value);

    // "NAME=FILEVALUE (camera: CAMERAVALUE)".
    std::string DifferenceText(size_t index) const;

private:
    std::vector<SettingsLine> m_lines;
    ParamStore m_camera;
    size_t m_failed = 0;
};
