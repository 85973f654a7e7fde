// Register-base replies, with and without check, after a query of any row.
#include <cstdint>
#include <cstdlib>
#include <string>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size)
{
    if (size < 2)
        return 0;
    static AppSettings settings;
    static CommandFormat format(settings);
    settings.commandFormat = 1;
    settings.commandCrc = data[0] & 1;
    const int row = data[1] % CommandTable::kCount;
    format.EncodeRegisterBase(format.FormatQuery(row, 0, 1));
    const std::string reply(reinterpret_cast<const char*>(data + 2), size - 2);
    const std::string decoded = format.DecodeReply(reply);
    CommandFields fields;
    format.ParseCommand(decoded, fields);
    if (decoded.size() > reply.size() + 16)
        std::abort();
    return 0;
}
