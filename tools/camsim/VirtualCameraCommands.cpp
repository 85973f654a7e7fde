// The commands the camera understands and the operations they start.
#include "camsim/VirtualCamera.h"

#include <cctype>
#include <cstdio>
#include <map>

#include "camsim/RegisterTable.h"
#include "camsim/ValueText.h"

namespace camsim {

namespace {

const char kUnknownCommand[] = "01 Unknown Command!!";
const char kLocked[] = "02 Locked!!";
const char kInvalidValue[] = "03 Invalid Value!!";
const char kReadOnly[] = "04 Read Only!!";

const size_t kCameraIdLength = 10;
const size_t kUserIdLength = 16;
const int kBlockCount = 64;            // "AVDR01?" .. "AVDR64?"
const int kAwbTriggerNotNormal = 6;    // white balance result when the trigger mode is not NORMAL
const int kBalancedRedGain = 37;       // "GAR" and "GAB" after a successful white balance
const int kBalancedBlueGain = -21;
const int kBlemishPoints = 32;         // per colour: "BMBR1" .. "BMBR32"
const int kBlemishPointLimit = 4096;

const RegisterTable& Table()
{
    return RegisterTable::Instance();
}

bool IsBlockAverage(const std::string& name)
{
    return name.size() == 6 && name.compare(0, 3, "AVD") == 0 && std::string("RGBY").find(name[3]) != std::string::npos
        && std::isdigit(static_cast<unsigned char>(name[4])) && std::isdigit(static_cast<unsigned char>(name[5]));
}

}  // namespace

// ---- commands --------------------------------------------------------------

VirtualCamera::Outcome VirtualCamera::Query(const std::string& name, bool continuing)
{
    if (IsBlockAverage(name))
        return QueryBlockAverage(name);
    int row = Table().Find(name);
    if (row < 0)
        return {Outcome::Kind::Error, kUnknownCommand};
    switch (Table().Row(row).role) {
    case Role::Setting:
    case Role::Reading:
        return {Outcome::Kind::Value, std::to_string(ValueOf(row))};
    case Role::Text:
    case Role::LockedText:
    case Role::FixedText:
        return {Outcome::Kind::Value, m_memory.texts[Table().StorageOf(row)]};
    case Role::Action:
        return {Outcome::Kind::Value, m_actionValues[row]};
    case Role::Lut:
        break;
    }
    return LutEntry(row, nullptr, continuing);
}

VirtualCamera::Outcome VirtualCamera::QueryBlockAverage(const std::string& name)
{
    const int block = std::stoi(name.substr(4));
    if (block < 1 || block > kBlockCount)
        return {Outcome::Kind::Error, kInvalidValue};
    const char channel = name[3];
    int base = 0;
    if (channel == 'Y')
        base = (ValueOf(Table().Find("AVDR")) + ValueOf(Table().Find("AVDG")) + ValueOf(Table().Find("AVDB"))) / 3;
    else
        base = ValueOf(Table().Find(std::string("AVD") + channel));
    return {Outcome::Kind::Value, NumberText(base + (block * 7) % 16 - 8)};
}

// A number as the camera writes it into a free answer.
std::string VirtualCamera::NumberText(int value)
{
    if (!m_faults.numbersInEveryForm)
        return std::to_string(value);
    const char* sign = value < 0 ? "-" : "";
    const unsigned magnitude = value < 0 ? 0u - static_cast<unsigned>(value) : static_cast<unsigned>(value);
    char text[24];
    switch (m_numberForm++ % 4) {
    case 1:
        std::snprintf(text, sizeof text, "&H%X", static_cast<unsigned>(value));
        break;
    case 2:
        std::snprintf(text, sizeof text, "%s0x%x", sign, magnitude);
        break;
    case 3:
        std::snprintf(text, sizeof text, "%s0%o", sign, magnitude);
        break;
    default:
        std::snprintf(text, sizeof text, "%d", value);
        break;
    }
    return text;
}

VirtualCamera::Outcome VirtualCamera::Set(const std::string& name, const std::string& value, bool continuing)
{
    if (name == "AFES" || name == "AFED")
        return FrontEnd(name, value);
    int row = Table().Find(name);
    if (row < 0)
        return {Outcome::Kind::Error, kUnknownCommand};
    switch (Table().Row(row).role) {
    case Role::Setting:
        return SetSetting(row, value);
    case Role::Reading:
    case Role::FixedText:
        return {Outcome::Kind::Error, kReadOnly};
    case Role::Text:
    case Role::LockedText:
        return SetTextRow(row, value);
    case Role::Action:
        return RunAction(row, value);
    case Role::Lut:
        break;
    }
    return LutEntry(row, &value, continuing);
}

VirtualCamera::Outcome VirtualCamera::SetSetting(int row, const std::string& value)
{
    int number = 0;
    if (!ParseValue(value, number))
        return {Outcome::Kind::Error, kInvalidValue};
    m_registers[Table().StorageOf(row)] = number;
    return {};
}

VirtualCamera::Outcome VirtualCamera::SetTextRow(int row, const std::string& value)
{
    const bool cameraId = Table().Row(row).role == Role::LockedText;
    if (cameraId && !m_unlocked)
        return {Outcome::Kind::Error, kLocked};
    if (value.size() > (cameraId ? kCameraIdLength : kUserIdLength))
        return {Outcome::Kind::Error, kInvalidValue};
    m_memory.texts[Table().StorageOf(row)] = value;
    return {};
}

// A table is sent and read entry by entry: each "LUTR=v" stores the next
// entry, each "LUTR?" answers the next one (see LutCursor).
VirtualCamera::Outcome VirtualCamera::LutEntry(int row, const std::string* value, bool continuing)
{
    const int channel = LutChannelOf(row);
    std::vector<int>& lut = m_memory.luts[channel];
    if (!value)
        return {Outcome::Kind::Value, NumberText(lut[m_lutCursor.Take(channel, kLutSize, continuing)])};
    int number = 0;
    if (!ParseValue(*value, number))
        return {Outcome::Kind::Error, kInvalidValue};   // a refused value takes no entry
    lut[m_lutCursor.Take(channel, kLutSize, continuing)] = number;
    return {};
}

VirtualCamera::Outcome VirtualCamera::RunAction(int row, const std::string& value)
{
    static const std::map<std::string, ActionHandler> kActions = {
        {"AW", &VirtualCamera::WhiteBalance},
        {"BMRC", &VirtualCamera::BlemishRecalibration},
        {"RS", &VirtualCamera::ShadingRecalibration},
        {"RS00", &VirtualCamera::ShadingRecalibration},
        {"PSHD", &VirtualCamera::PrismShading},
        {"LD", &VirtualCamera::LoadArea},
        {"SA", &VirtualCamera::StoreArea},
        {"SA00", &VirtualCamera::StoreFactoryArea},
        {"ULCK", &VirtualCamera::Unlock},
    };
    auto action = kActions.find(Table().Row(row).mnemonic);
    if (action == kActions.end())
        return {Outcome::Kind::Error, kUnknownCommand};
    Outcome outcome = (this->*action->second)(value);
    if (outcome.kind == Outcome::Kind::Done)
        m_actionValues[row] = value;
    return outcome;
}

// ---- operations ------------------------------------------------------------

VirtualCamera::Outcome VirtualCamera::WhiteBalance(const std::string& value)
{
    int unused = 0;
    if (!ParseValue(value, unused))
        return {Outcome::Kind::Error, kInvalidValue};
    const bool normalTrigger = ValueOf(Table().Find("TR")) == 0;
    const int result = m_faults.awbResult >= 0 ? m_faults.awbResult : normalTrigger ? 0 : kAwbTriggerNotNormal;
    m_registers[Table().StorageOf(Table().Find("AWRS"))] = result;
    if (result == 0) {
        m_registers[Table().StorageOf(Table().Find("GAR"))] = kBalancedRedGain;
        m_registers[Table().StorageOf(Table().Find("GAB"))] = kBalancedBlueGain;
    }
    return {};
}

VirtualCamera::Outcome VirtualCamera::BlemishRecalibration(const std::string& value)
{
    int page = 0;   // 0 black points, 1 white points
    if (!ParseValue(value, page) || (page != 0 && page != 1))
        return {Outcome::Kind::Error, kInvalidValue};
    // Each run finds points of its own, so a re-read shows whether the pages followed.
    ++m_blemishRuns;
    const std::string prefix = page == 0 ? "BMB" : "BMW";
    for (int colour = 0; colour < 3; ++colour) {
        for (int n = 1; n <= kBlemishPoints; ++n) {
            const int row = Table().Find(prefix + "RGB"[colour] + std::to_string(n));
            m_registers[Table().StorageOf(row)] = (m_blemishRuns * 101 + colour * 32 + n) % kBlemishPointLimit;
        }
    }
    return {};
}

VirtualCamera::Outcome VirtualCamera::ShadingRecalibration(const std::string& value)
{
    // "table,kind": table 0 User1, 1 User2, 2 Factory; kind 0 flat, 1 colour; e.g. "1,0"
    size_t comma = value.find(',');
    int table = 0;
    int kind = 0;
    if (comma == std::string::npos || !ParseValue(value.substr(0, comma), table)
        || !ParseValue(value.substr(comma + 1), kind) || table < 0 || table > 2 || kind < 0 || kind > 1)
        return {Outcome::Kind::Error, kInvalidValue};
    return {};
}

VirtualCamera::Outcome VirtualCamera::PrismShading(const std::string& value)
{
    int unused = 0;
    if (!ParseValue(value, unused))
        return {Outcome::Kind::Error, kInvalidValue};
    return {};
}

VirtualCamera::Outcome VirtualCamera::LoadArea(const std::string& value)
{
    int area = -1;
    if (!ParseValue(value, area) || area < 0 || area >= kAreaCount)
        return {Outcome::Kind::Error, kInvalidValue};
    Recall(area);
    return {};
}

VirtualCamera::Outcome VirtualCamera::StoreArea(const std::string& value)
{
    int area = -1;
    if (!ParseValue(value, area) || area < 0 || area >= kAreaCount)
        return {Outcome::Kind::Error, kInvalidValue};
    Store(area);
    return {};
}

VirtualCamera::Outcome VirtualCamera::StoreFactoryArea(const std::string& value)
{
    int unused = 0;
    if (!ParseValue(value, unused))
        return {Outcome::Kind::Error, kInvalidValue};
    Store(0);
    return {};
}

VirtualCamera::Outcome VirtualCamera::Unlock(const std::string& value)
{
    int number = 0;
    m_unlocked = ParseValue(value, number) && number == kUnlockNumber;
    if (!m_unlocked)
        return {Outcome::Kind::Error, kLocked};
    return {};
}

// The stored area is the one the registers now match, so it becomes current.
void VirtualCamera::Store(int area)
{
    m_pendingDelayMs = m_faults.storeDelayMs;
    for (int i = 0; i < Table().Size(); ++i) {
        if (Table().Row(i).role == Role::Setting)
            m_memory.areas[area][i] = m_registers[i];
    }
    m_memory.currentArea = area;
}

void VirtualCamera::Recall(int area)
{
    for (int i = 0; i < Table().Size(); ++i) {
        if (Table().Row(i).role == Role::Setting)
            m_registers[i] = m_memory.areas[area][i];
    }
    m_memory.currentArea = area;
}

// ---- helpers ---------------------------------------------------------------

int VirtualCamera::ValueOf(int row) const
{
    if (Table().Row(row).mnemonic == "EA")
        return m_memory.currentArea;
    return m_registers[Table().StorageOf(row)];
}

int VirtualCamera::RowOf(const std::string& mnemonic) const
{
    return Table().Find(UpperCase(mnemonic));
}

int VirtualCamera::LutChannelOf(int row) const
{
    const char channel = Table().Row(row).mnemonic.back();
    return static_cast<int>(std::string(CameraMemory::kLutChannels).find(channel));
}

}  // namespace camsim
