#include "files/GammaFile.h"

#include <cstdio>

#include "files/InputFile.h"
#include "files/SafeFile.h"

std::string GammaFile::Format(const GammaTables& tables)
{
    std::string text = std::string(kHeader) + "\r\n";
    text.reserve(kLutEntries * 18);
    char line[48];
    for (size_t k = 0; k < kLutEntries; ++k) {
        std::snprintf(line, sizeof line, "%d,%d,%d\r\n", tables[0][k], tables[1][k], tables[2][k]);
        text += line;
    }
    return text;
}

bool GammaFile::Write(const std::string& path, const GammaTables& tables, std::string* why)
{
    return SafeFile::WriteAll(path, Format(tables), why);
}

int GammaFile::Read(const std::string& path, GammaTables& tables, std::string* why)
{
    InputFile input;
    if (!input.Read(path)) {
        if (why)
            *why = input.Error();
        return -1;
    }
    GammaFileReader reader(tables);
    reader.Feed(input.Text().data(), input.Text().size());
    reader.Finish();
    return reader.DataPieces();
}
