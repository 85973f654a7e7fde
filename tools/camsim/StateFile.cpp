#include "camsim/StateFile.h"

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <fstream>
#include <sstream>
#include <unistd.h>

#include "camsim/RegisterTable.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

const char kHeader[] = "# kavro-camsim state";

bool IsStoredText(const RegisterRow& row)
{
    return row.role == Role::Text || row.role == Role::LockedText;
}

std::string JoinLut(const std::vector<int>& lut)
{
    std::string text;
    for (size_t k = 0; k < lut.size(); ++k)
        text += (k ? "," : "") + std::to_string(lut[k]);
    return text;
}

bool ReadLut(const std::string& text, std::vector<int>& lut)
{
    std::vector<int> entries;
    std::istringstream in(text);
    std::string item;
    while (std::getline(in, item, ',')) {
        int value = 0;
        if (!ParseValue(item, value))
            return false;
        entries.push_back(value);
    }
    if (entries.size() != lut.size())
        return false;
    lut = entries;
    return true;
}

bool WriteAll(int fd, const std::string& text)
{
    size_t done = 0;
    while (done < text.size()) {
        ssize_t n = ::write(fd, text.data() + done, text.size() - done);
        if (n < 0)
            return false;
        done += static_cast<size_t>(n);
    }
    return true;
}

}  // namespace

std::string StateFile::Format(const CameraMemory& memory)
{
    const RegisterTable& table = RegisterTable::Instance();
    std::string text = std::string(kHeader) + "\n";
    text += "EA=" + std::to_string(memory.currentArea) + "\n";
    for (int i = 0; i < table.Size(); ++i) {
        if (IsStoredText(table.Row(i)) && table.StorageOf(i) == i)
            text += table.Row(i).mnemonic + "=" + memory.texts[i] + "\n";
    }
    for (size_t ch = 0; ch < memory.luts.size(); ++ch)
        text += std::string("LUT") + CameraMemory::kLutChannels[ch] + "=" + JoinLut(memory.luts[ch]) + "\n";
    for (int area = 0; area < CameraMemory::kAreaCount; ++area) {
        for (int i = 0; i < table.Size(); ++i) {
            if (table.Row(i).role == Role::Setting)
                text += std::to_string(area) + "," + table.Row(i).mnemonic + "="
                    + std::to_string(memory.areas[area][i]) + "\n";
        }
    }
    return text;
}

bool StateFile::Write(const std::string& path, const CameraMemory& memory)
{
    std::string temp = path + ".XXXXXX";
    int fd = ::mkstemp(temp.data());
    if (fd < 0)
        return false;
    bool written = WriteAll(fd, Format(memory)) && ::fsync(fd) == 0;
    written = (::close(fd) == 0) && written;
    if (!written || std::rename(temp.c_str(), path.c_str()) != 0) {
        ::unlink(temp.c_str());
        return false;
    }
    return true;
}

bool StateFile::Read(const std::string& path, CameraMemory& memory)
{
    std::ifstream in(path);
    if (!in)
        return false;
    CameraMemory loaded = memory;
    std::string line;
    while (std::getline(in, line)) {
        if (!line.empty() && line.back() == '\r')
            line.pop_back();
        if (line.empty() || line[0] == '#')
            continue;
        if (!ReadLine(line, loaded))
            return false;
    }
    if (in.bad())
        return false;
    memory = loaded;
    return true;
}

bool StateFile::ReadLine(const std::string& line, CameraMemory& memory)
{
    size_t equals = line.find('=');
    if (equals == std::string::npos)
        return false;
    const std::string name = line.substr(0, equals);
    const std::string value = line.substr(equals + 1);
    size_t comma = name.find(',');
    if (comma == std::string::npos)
        return ReadItem(name, value, memory);
    int area = -1;
    if (!ParseValue(name.substr(0, comma), area) || area < 0 || area >= CameraMemory::kAreaCount)
        return false;
    return ReadSetting(area, name.substr(comma + 1), value, memory);
}

bool StateFile::ReadItem(const std::string& name, const std::string& value, CameraMemory& memory)
{
    if (name == "EA") {
        int area = -1;
        if (!ParseValue(value, area) || area < 0 || area >= CameraMemory::kAreaCount)
            return false;
        memory.currentArea = area;
        return true;
    }
    if (name.size() == 4 && name.compare(0, 3, "LUT") == 0 && name[3] != '\0') {
        const char* channel = std::strchr(CameraMemory::kLutChannels, name[3]);
        return channel && ReadLut(value, memory.luts[channel - CameraMemory::kLutChannels]);
    }
    const RegisterTable& table = RegisterTable::Instance();
    int row = table.Find(name);
    if (row < 0)
        return true;   // a register this camera no longer has
    if (!IsStoredText(table.Row(row)))
        return false;
    memory.texts[table.StorageOf(row)] = value;
    return true;
}

bool StateFile::ReadSetting(int area, const std::string& name, const std::string& value, CameraMemory& memory)
{
    const RegisterTable& table = RegisterTable::Instance();
    int row = table.Find(name);
    if (row < 0)
        return true;
    return table.Row(row).role == Role::Setting && ParseValue(value, memory.areas[area][row]);
}

}  // namespace camsim
