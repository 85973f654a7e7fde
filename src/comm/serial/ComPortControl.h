#pragma once

#include <cstdint>
#include <string>
#include <vector>

// The COM-port option of telnet (RFC 2217), from the client's side: the
// commands that set the far serial line and the far side's acknowledgements,
// which carry the value really set.
class ComPortControl {
public:
    static constexpr uint8_t kOption = 44;

    // A line of `baud`, `byteSize` data bits, no parity, one stop bit (code 0)
    // or two (code 2), no flow control, DTR raised.
    ComPortControl(int baud, int byteSize, int stopBitsCode);

    // Subnegotiation payloads, in the order the option advises.
    std::vector<std::string> Commands() const;
    // A subnegotiation of the option from the far side.
    void OnReply(const std::string& payload);
    // Every setting of the line was acknowledged.
    bool Confirmed() const;
    // "" when each acknowledged value is the one asked for; else what the far side set.
    std::string Difference() const;

private:
    // A setting and its acknowledgement. The far side answers a command with
    // its code plus 100.
    struct Setting {
        uint8_t command;
        uint32_t asked;
        int valueBytes;   // 4 for the speed, 1 for the rest
        const char* name;
        bool acknowledged = false;
        uint32_t set = 0;
    };

    static std::string Payload(uint8_t command, uint32_t value, int valueBytes);

    std::vector<Setting> m_settings;
};
