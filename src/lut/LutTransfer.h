#pragma once

#include <array>
#include <functional>

#include "lut/LutTable.h"

class CRsCmd;

// Moves one channel's look-up table between the tool and the camera, entry by
// entry: the camera counts the entries itself, so a table is sent as 512
// "LUTR=v" and read as 512 "LUTR?" without an index, in order. Nothing is
// retried; a transfer stops at the first entry that fails, and the engine has
// already reported that failure. Shared by the editors and kavro-cli.
class LutTransfer {
public:
    static constexpr int kSendTimeoutMs = 5000;    // each entry's acknowledgement
    static constexpr int kReadTimeoutMs = 50000;   // each entry's answer
    // How long the line must stay quiet after a table's last answer.
    static constexpr int kQuietLeastMs = 5;
    static constexpr int kQuietMostMs = 100;
    // Called after each entry that went through (0..511).
    using EntryDone = std::function<void(int entry)>;

    explicit LutTransfer(CRsCmd& engine) : m_engine(engine) {}

    // 1 when all 512 entries were acknowledged, 0 when sending stopped.
    int SendTable(int channel, const LutTable& table, const EntryDone& done = {});
    // 1 when all 512 entries were read and nothing came unasked meanwhile or
    // just after; 0 when reading stopped, the entries read so far already
    // stored, or when an answer came unasked (the entries may be shifted).
    // Values above 8191 are stored as 8191.
    int ReadTable(int channel, LutTable& table, const EntryDone& done = {});

    // The three tables, red, green, blue: 1536 queries. Stops at the first
    // failure (0); the tables read before it are complete, the interrupted
    // one holds what was read, the later ones are untouched. tableDone is
    // called after each complete table, entryDone with (channel, entry).
    int ReadAll(std::array<LutTable, 3>& tables, const std::function<void(int channel, int entry)>& entryDone,
                const std::function<void(int channel)>& tableDone);

    // Tests shorten the limits; the camera's are those above.
    void SetTimeouts(int sendMs, int readMs);

private:
    CRsCmd& m_engine;
    int m_sendTimeoutMs = kSendTimeoutMs;
    int m_readTimeoutMs = kReadTimeoutMs;
};
