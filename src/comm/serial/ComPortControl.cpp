#include "comm/serial/ComPortControl.h"

namespace {

// Client-to-server command codes; the server answers with code + 100.
constexpr uint8_t kSetBaudRate = 1;
constexpr uint8_t kSetDataSize = 2;
constexpr uint8_t kSetParity = 3;
constexpr uint8_t kSetStopSize = 4;
constexpr uint8_t kSetControl = 5;
constexpr uint8_t kReplyOffset = 100;

constexpr uint8_t kParityNone = 1;
constexpr uint8_t kOneStopBit = 1;
constexpr uint8_t kTwoStopBits = 2;
constexpr uint8_t kNoFlowControl = 1;
constexpr uint8_t kDtrOn = 8;

}  // namespace

ComPortControl::ComPortControl(int baud, int byteSize, int stopBitsCode)
    : m_settings{
          {kSetBaudRate, static_cast<uint32_t>(baud), 4, "baud"},
          {kSetDataSize, static_cast<uint32_t>(byteSize), 1, "data bits"},
          {kSetParity, kParityNone, 1, "parity code"},
          {kSetStopSize, stopBitsCode == 2 ? kTwoStopBits : kOneStopBit, 1, "stop-size code"},
      }
{
}

std::vector<std::string> ComPortControl::Commands() const
{
    std::vector<std::string> commands;
    for (const Setting& setting : m_settings)
        commands.push_back(Payload(setting.command, setting.asked, setting.valueBytes));
    // Not acknowledged by every server: a pseudo-terminal has no modem lines.
    commands.push_back(Payload(kSetControl, kNoFlowControl, 1));
    commands.push_back(Payload(kSetControl, kDtrOn, 1));
    return commands;
}

// Replies the client has no use for (line and modem state notices, flow
// control, a signature) and malformed ones are passed over.
void ComPortControl::OnReply(const std::string& payload)
{
    if (payload.empty())
        return;
    const auto code = static_cast<uint8_t>(payload[0]);
    for (Setting& setting : m_settings) {
        if (code != setting.command + kReplyOffset || payload.size() != static_cast<size_t>(1 + setting.valueBytes))
            continue;
        uint32_t value = 0;
        for (size_t i = 1; i < payload.size(); ++i)
            value = (value << 8) | static_cast<uint8_t>(payload[i]);   // network byte order
        setting.set = value;
        setting.acknowledged = true;
    }
}

bool ComPortControl::Confirmed() const
{
    for (const Setting& setting : m_settings)
        if (!setting.acknowledged)
            return false;
    return true;
}

std::string ComPortControl::Difference() const
{
    for (const Setting& setting : m_settings)
        if (setting.acknowledged && setting.set != setting.asked)
            return "the far side set " + std::to_string(setting.set) + " " + setting.name + " instead of "
                   + std::to_string(setting.asked);
    return "";
}

std::string ComPortControl::Payload(uint8_t command, uint32_t value, int valueBytes)
{
    std::string payload(1, static_cast<char>(command));
    for (int shift = (valueBytes - 1) * 8; shift >= 0; shift -= 8)
        payload += static_cast<char>((value >> shift) & 0xFF);
    return payload;
}
