#include "lut/LutTransfer.h"

#include <algorithm>
#include <string>

#include "comm/CRsCmd.h"
#include "comm/SteadyClock.h"

namespace {

const char* const kSetPrefix[] = {"LUTR=", "LUTG=", "LUTB="};
const char* const kQuery[] = {"LUTR?\r\n", "LUTG?\r\n", "LUTB?\r\n"};

bool IsChannel(int channel)
{
    return channel >= 0 && channel < 3;
}

// A camera that answered one query twice has its last answer still coming
// about one answer's time after the table's end; the line is listened to for
// twice the slowest answer of the table.
int QuietTimeAfter(long long slowestAnswerMs)
{
    return static_cast<int>(std::clamp(2 * slowestAnswerMs, static_cast<long long>(LutTransfer::kQuietLeastMs),
                                       static_cast<long long>(LutTransfer::kQuietMostMs)));
}

}  // namespace

int LutTransfer::SendTable(int channel, const LutTable& table, const EntryDone& done)
{
    if (!IsChannel(channel))
        return 0;
    for (int k = 0; k < kLutEntries; ++k) {
        if (!m_engine.SetRaw(kSetPrefix[channel] + std::to_string(table[k]) + "\r\n", m_sendTimeoutMs))
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
    long long slowestAnswerMs = 0;
    for (int k = 0; k < kLutEntries; ++k) {
        int value = 0;
        const long long askedMs = SteadyMs();
        if (!m_engine.QueryRaw(value, kQuery[channel], m_readTimeoutMs))
            return 0;
        slowestAnswerMs = std::max(slowestAnswerMs, SteadyMs() - askedMs);
        if (k == 0)
            m_engine.StartSeries();   // what came before the table is no part of it
        table[k] = ClampLutTop(value);   // a negative value is kept as the camera gave it
        if (done)
            done(k);
    }
    // The entries carry no index: one answer too many shifts all after it.
    return m_engine.EndSeries(QuietTimeAfter(slowestAnswerMs), kQuery[channel]);
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
