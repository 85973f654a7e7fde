#include "lut/LutTransfer.h"

#include <string>

#include "comm/CRsCmd.h"

namespace {

const char* const kSetPrefix[] = {"LUTR=", "LUTG=", "LUTB="};
const char* const kQuery[] = {"LUTR?\r\n", "LUTG?\r\n", "LUTB?\r\n"};

bool IsChannel(int channel)
{
    return channel >= 0 && channel < 3;
}

}  // namespace

int LutTransfer::SendTable(int channel, const LutTable& table, const EntryDone& done)
{
    if (!IsChannel(channel))
        return 0;
    for (int k = 0; k < kLutEntries; ++k) {
        if (m_engine.Interrupted())
            return 0;   // a stop or a Cancel: not one entry more
        // A line left over from before would be taken as this entry's answer.
        m_engine.ClearReplies();
        std::string line = kSetPrefix[channel] + std::to_string(table[k]) + "\r\n";
        m_engine.SendText(line, 1);
        if (!m_engine.WaitComplete(m_sendTimeoutMs))
            return 0;
        if (done)
            done(k);
    }
    return 1;
}

int LutTransfer::ReadTable(int channel, LutTable& table, const EntryDone& done)
{
    if (!IsChannel(channel))
        return 0;
    for (int k = 0; k < kLutEntries; ++k) {
        int value = 0;
        if (!m_engine.QueryRaw(value, kQuery[channel], m_readTimeoutMs))
            return 0;
        table[k] = ClampLutTop(value);   // a negative value is kept as the camera gave it
        if (done)
            done(k);
    }
    return 1;
}

int LutTransfer::ReadAll(std::array<LutTable, 3>& tables,
                         const std::function<void(int channel, int entry)>& entryDone,
                         const std::function<void(int channel)>& tableDone)
{
    for (int ch = 0; ch < 3; ++ch) {
        const auto done = [&](int k) {
            if (entryDone)
                entryDone(ch, k);
        };
        if (!ReadTable(ch, tables[ch], done))
            return 0;
        if (tableDone)
            tableDone(ch);
    }
    return 1;
}

void LutTransfer::SetTimeouts(int sendMs, int readMs)
{
    m_sendTimeoutMs = sendMs;
    m_readTimeoutMs = readMs;
}
