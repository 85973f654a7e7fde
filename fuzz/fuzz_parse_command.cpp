// Any line the camera or a settings file may hold goes through ParseCommand.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    static AppSettings settings;
    static CommandFormat format(settings);
    const std::string line(reinterpret_cast<const char*>(data), size);
    CommandFields fields;
    const int result = format.ParseCommand(line, fields);
    if (result != (fields.error ? 0 : 1))
        std::abort();
    if (result && (fields.index < 0 || fields.index >= CommandTable::kCount))
        std::abort();
    if (fields.text.find_first_of(" \r\n") != std::string::npos)
        std::abort();
    return 0;
}
