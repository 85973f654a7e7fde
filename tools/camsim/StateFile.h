#pragma once

#include <string>

#include "camsim/CameraMemory.h"

namespace camsim {

// The camera's memory as a text file, one "NAME=value" line per item and
// one "area,NAME=value" line per setting of each area:
//   # kavro-camsim state
//   EA=1
//   ID=CK00000001
//   LUTR=0,16,...
//   0,GA=0
// Written to a temporary file and renamed into place, so a failed save
// leaves the old file intact.
class StateFile {
public:
    static bool Write(const std::string& path, const CameraMemory& memory);
    // Reads into memory, which holds the values for anything the file does not
    // name; false (memory unchanged) when the file cannot be read or is malformed.
    static bool Read(const std::string& path, CameraMemory& memory);

private:
    static std::string Format(const CameraMemory& memory);
    static bool ReadLine(const std::string& line, CameraMemory& memory);
    static bool ReadItem(const std::string& name, const std::string& value, CameraMemory& memory);
    static bool ReadSetting(int area, const std::string& name, const std::string& value, CameraMemory& memory);
};

}  // namespace camsim
