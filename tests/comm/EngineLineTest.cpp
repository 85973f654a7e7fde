// The engine's line readers, fed byte by byte by the test over a pseudo-terminal.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>

#include "support/RawLine.h"

class EngineLine : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(line.opened); }

    RawLine line;
    CRsCmd& engine = *line.engine;
};

TEST_F(EngineLine, LinesAreKeptWholeWhateverEndsThem)
{
    const std::string longText = "UD=" + std::string(60, 'X');
    const std::string binary("A\0B\x01\xff", 5);
    line.Send("GA=1\r\nGA=2\n\n" + longText + "\r\n" + binary + "\r\n");
    for (int n = 0; n < 5; ++n)
        EXPECT_EQ(engine.ReceiveLines(1), 1) << "line " << n;
    // A bare LF does not cost the last character; a long line is kept whole, and so is a line of any bytes.
    std::vector<std::string> replies;
    while (engine.GetReplyCount() > 0)
        replies.push_back(engine.PopReply());
    EXPECT_EQ(replies, (std::vector<std::string>{"GA=1", "GA=2", "", longText, binary}));
    EXPECT_EQ(engine.PopReply(), "") << "an empty list gives an empty text";
}

TEST_F(EngineLine, PartialLinesSurviveBetweenCalls)
{
    line.Send("COMP");
    EXPECT_EQ(engine.ReceiveLines(1), 0);
    line.Send("LETE\r\n");
    EXPECT_EQ(engine.ReceiveLines(1), 1);
    EXPECT_EQ(engine.PopReply(), "COMPLETE");

    line.settings.commandFormat = 1;
    engine.EncodeRegisterBase("SM?");
    line.Send(":r0000@A0");
    EXPECT_EQ(engine.ReadLineCr(1), 0);
    line.Send("00#=42\r");
    EXPECT_EQ(engine.ReadLineCr(1), 1);
    EXPECT_EQ(engine.PopReply(), "SM=42") << "the register-base reader keeps its partial line too";
}

TEST_F(EngineLine, ANoticeNeverTakesAWaitingReplyWithIt)
{
    line.Send("GA=5\r\n");
    ASSERT_EQ(engine.ReceiveLines(1), 1);
    line.Send("!!Door open\r\nTR=1\r\n");
    EXPECT_EQ(engine.ReceiveLines(1), 0) << "the reader hands back control after the notice";
    ASSERT_EQ(engine.ReceiveLines(1), 1);
    ASSERT_EQ(engine.GetReplyCount(), 2);
    EXPECT_EQ(engine.PopReply(), "GA=5");
    EXPECT_EQ(engine.PopReply(), "TR=1");
    EXPECT_EQ(line.host.traffic.size(), 3u) << "the notice is logged";
}

TEST_F(EngineLine, OnlyAValueInTheRowsFormIsAnAnswer)
{
    CommandValue value;
    const auto query = [&](int index) { return [&, index] { return engine.GetValue(index, 0, value, 1000, 1, 1); }; };

    for (const char* reply : {"GA?", "GA=", "GA=abc", "GA=1x", "GA=&H"}) {
        line.host.Clear();
        EXPECT_EQ(line.Answering(std::string(reply) + "\r\n", query(CmdGA)), 0) << reply << " is no answer";
        ASSERT_EQ(line.host.boxes.size(), 1u) << reply;
        EXPECT_EQ(line.host.boxes[0].text, std::string(reply) + " for GA?");
    }
    EXPECT_EQ(line.Answering("GA=-12\r\n", query(CmdGA)), 1);
    EXPECT_EQ(value.intValue, -12);
    EXPECT_EQ(line.Answering("GA=&H1f\r\n", query(CmdGA)), 1);
    EXPECT_EQ(value.intValue, 31);
    EXPECT_EQ(line.Answering("UD=\r\n", query(CmdUD)), 1) << "an empty text is a text";

    // A raw query takes only NAME=number for its NAME: a table entry must never be a refusal.
    int entry = -1;
    const auto entryQuery = [&] { return engine.QueryRaw(entry, "LUTR?\r\n", 1000); };
    for (const char* reply : {"03 Invalid Value!!", "LUTR?", "LUTG=5", "LUTR="})
        EXPECT_EQ(line.Answering(std::string(reply) + "\r\n", entryQuery), 0) << reply << " is no entry";
    EXPECT_EQ(line.Answering("LUTR=8191\r\n", entryQuery), 1);
    EXPECT_EQ(entry, 8191);

    // Numbers beyond 32 bits are clamped, and so is what the row's scaling makes of them.
    int number = 0;
    ASSERT_EQ(line.Answering("BL=-99999999999\r\n", [&] { return engine.GetInt(CmdBL, 0, number, 1000); }), 1);
    EXPECT_EQ(number, INT_MIN);

    line.settings.commandFormat = 1;
    const int sm = CommandTable::Find("SM");
    EXPECT_EQ(line.Answering(":r0000@A000#=\r", [&] { return engine.GetInt(sm, 0, number, 1000); }), 0)
        << "register base: an empty value is no answer either";
}

// Whatever came before a command, an old reply gathered by the timer, a
// repeated acknowledgement, half a line, is dropped before it is sent: only
// what follows can answer it.
TEST_F(EngineLine, WhatCameBeforeACommandNeverAnswersIt)
{
    const std::vector<std::string> stale = {"GA=1\r\n", "COMPLETE\r\n", "LUTB=160\r\nLUTB=1", ":r0000@A000#=42\r"};
    for (const std::string& before : stale) {
        SCOPED_TRACE(before);
        line.host.Clear();
        line.Send("TR=3\r\n");
        engine.OnTimer();   // an unsolicited line gathered into the reply list
        line.Send(before);

        int value = 0;
        EXPECT_EQ(line.Answering("GA=5\r\n", [&] { return engine.GetInt(CmdGA, 0, value, 1000); }), 1);
        EXPECT_EQ(value, 5);
        line.Send(before);
        EXPECT_EQ(line.Answering("03 Invalid Value!!\r\n", [&] { return engine.SetInt(CmdGA, 0, 1, 1000); }), 0)
            << "a refusal is never hidden behind an old acknowledgement";
        line.Send(before);
        EXPECT_EQ(line.Answering("LUTB=7\r\n", [&] { return engine.QueryRaw(value, "LUTB?\r\n", 1000); }), 1);
        EXPECT_EQ(value, 7);
        line.Send(before);
        EXPECT_EQ(line.Answering("COMPLETE\r\n", [&] { return engine.SetRaw("AFES=AFE1\r\n", 1000); }), 1);
        EXPECT_EQ(line.host.boxes.size(), 1u) << "only the refusal was shown";
        EXPECT_EQ(engine.GetReplyCount(), 0);
        if (before == stale[0]) {
            EXPECT_EQ(std::count(line.host.traffic.begin(), line.host.traffic.end(), "Rx: GA=1"), 4)
                << "a line dropped unanswered is still logged";
        }
    }

    line.settings.commandFormat = 1;
    const int sm = CommandTable::Find("SM");
    int value = 0;
    line.Send(":r0000@A000#=42\r:r00");
    EXPECT_EQ(line.Answering(":r0000@A000#=7\r", [&] { return engine.GetInt(sm, 0, value, 1000); }), 1);
    EXPECT_EQ(value, 7) << "the register-base form drops what came before as well";
}

// A table's answers carry no index: anything but a notice that comes unasked
// while it is read, or just after its last answer, fails the read.
TEST_F(EngineLine, AnAnswerTooManyInATableIsAnError)
{
    int value = 0;
    const auto entry = [&] { return engine.QueryRaw(value, "LUTB?\r\n", 1000); };
    line.Send("LUTB=1\r\n");   // before the table: no part of it
    ASSERT_EQ(line.Answering("LUTB=2\r\n", entry), 1);
    engine.StartSeries();
    line.Send("!!Fan stopped\r\n");
    ASSERT_EQ(line.Answering("LUTB=3\r\n", entry), 1);
    EXPECT_EQ(engine.EndSeries(30, "LUTB?\r\n"), 1) << "a notice is no answer";
    EXPECT_TRUE(line.host.boxes.empty());

    for (const auto& [bytes, shown] : {std::pair<std::string, std::string>{"LUTB=160\r\n", "LUTB=160"}, {"LUTB=1", "LUTB=1"}}) {
        for (bool afterTheLast : {false, true}) {
            line.host.Clear();
            engine.StartSeries();
            if (!afterTheLast) {
                line.Send(bytes);   // dropped before the next query
                ASSERT_EQ(line.Answering("LUTB=4\r\n", entry), 1);
            } else {
                ASSERT_EQ(line.Answering("LUTB=4\r\n" + bytes, entry), 1);
            }
            EXPECT_EQ(engine.EndSeries(30, "LUTB?\r\n"), 0) << bytes << (afterTheLast ? " after the last" : "");
            ASSERT_EQ(line.host.boxes.size(), 1u);
            EXPECT_EQ(line.host.boxes[0].text, shown + " after the answer to LUTB?");
            EXPECT_EQ(line.host.boxes[0].caption, "Communication Error");
        }
    }
}

TEST_F(EngineLine, AWaitTakesAReplyGatheredWhileABoxWasOpen)
{
    // A modal box runs the window's timers, and so the engine's tick; another
    // window may read the line itself.
    const std::vector<std::function<void()>> boxLoops = {[&] { engine.OnTimer(); },
                                                         [&] { engine.ReceiveLines(1); }};
    for (const auto& boxLoop : boxLoops) {
        line.host.Clear();
        line.host.whileBoxOpen = [&] {
            line.Send("ZZ\r\nGA=5\r\n");
            for (int tick = 0; tick < 3; ++tick)
                boxLoop();
        };
        CommandValue value;
        // A line that overflows while the query waits.
        EXPECT_EQ(line.Answering(std::string(LineAssembler::kCapacity, 'Z'),
                                 [&] { return engine.GetValue(CmdGA, 0, value, 2000, 1, 1); }),
                  1) << "the reply is not lost";
        EXPECT_EQ(value.intValue, 5);
        ASSERT_EQ(line.host.boxes.size(), 1u);
        EXPECT_EQ(line.host.boxes[0].text, "RS-232C receiving buffer overflowed");
        EXPECT_EQ(line.host.LastStatus(), 1);
    }
}
