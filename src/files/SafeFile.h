#pragma once

#include <string>

// Writes a whole file so that it appears complete or not at all: the bytes go
// to a temporary file beside it, reach the disk, and only then replace the
// old file. A failed write (disk full, no room, no right) leaves the old file
// as it was.
class SafeFile {
public:
    static bool WriteAll(const std::string& path, const std::string& content);
};
