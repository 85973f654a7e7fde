#include "files/GammaFile.h"

#include <cstdio>
#include <memory>

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

bool GammaFile::Write(const std::string& path, const GammaTables& tables)
{
    return SafeFile::WriteAll(path, Format(tables));
}

bool GammaFile::Read(const std::string& path, GammaTables& tables)
{
    const std::unique_ptr<std::FILE, int (*)(std::FILE*)> file(std::fopen(path.c_str(), "rb"), &std::fclose);
    if (!file)
        return false;
    // Read into a copy: a file that fails half-way (a folder, an I/O error)
    // changes nothing.
    GammaTables read = tables;
    GammaFileReader reader(read);
    char buffer[64 * 1024];
    std::size_t count;
    while ((count = std::fread(buffer, 1, sizeof buffer, file.get())) > 0)
        reader.Feed(buffer, count);
    if (std::ferror(file.get()))
        return false;
    reader.Finish();
    tables = read;
    return true;
}
