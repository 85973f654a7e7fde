#pragma once

#include <string>

// Writes a whole file so that it appears complete or not at all, by the one
// rule of every file the tool writes (see ReplaceFile): the bytes go to a
// temporary file beside the file really written, reach the disk, and only
// then replace the old file, keeping its mode and owner; a link is written
// through to its target. A failed write (disk full, no room, no right, a
// target that is a device or a FIFO) leaves the old file as it was.
class SafeFile {
public:
    // "" when `path` can be written; otherwise "PATH: why not". Quick and
    // harmless, so a caller can judge an output before a long job.
    static std::string CheckWritable(const std::string& path);
    // False when the file could not be written; `why` then holds "PATH: why".
    static bool WriteAll(const std::string& path, const std::string& content, std::string* why = nullptr);
    // For a stop signal's handler (async-signal-safe): a write cut short by
    // the stop leaves no temporary file behind.
    static void RemoveTemporaryForSignal();
};
