#include <gtest/gtest.h>

#include "app/AppSettings.h"
#include "comm/CommandFormat.h"

namespace {

CommandValue Int(int n)
{
    CommandValue value;
    value.intValue = n;
    return value;
}

CommandValue Text(const std::string& text)
{
    CommandValue value;
    value.text = text;
    return value;
}

}  // namespace

TEST(CommandFormat, CheckCharactersMatchTheCameraExamples)
{
    EXPECT_EQ(CommandFormat::CrcText(""), "00");
    EXPECT_EQ(CommandFormat::CrcText("a"), "90");
    EXPECT_EQ(CommandFormat::CrcText("abc"), "5e");
    EXPECT_EQ(CommandFormat::CrcText(":R0000@A000#04?"), "f9");
}

TEST(CommandFormat, SettingsAndQueries)
{
    AppSettings settings;
    CommandFormat format(settings);
    EXPECT_EQ(format.FormatSet(CmdGA, 0, Int(100), 1), "GA=100\r\n");
    EXPECT_EQ(format.FormatSet(CmdGA, 0, Int(-92), 0), "GA=-92");
    EXPECT_EQ(format.FormatSet(CmdID, 0, Text("ABC"), 1), "ID=ABC\r\n");
    EXPECT_EQ(format.FormatSet(CmdUD, 0, [] { auto v = Int(7); v.text = "cam 7"; return v; }(), 0), "UD=cam 7")
        << "a text row writes its text whatever the integer says";
    EXPECT_EQ(format.FormatQuery(CmdGA, 0, 1), "GA?\r\n");
    EXPECT_EQ(format.FormatQuery(0, 0, 0), "EB?");

    format.Row(CmdGA).kind = KindDecimal;
    format.Row(CmdGA).decimals = 2;
    auto decimal = Int(0);
    decimal.floatValue = 1.5;
    EXPECT_EQ(format.FormatSet(CmdGA, 0, decimal, 0), "GA=1.50");
}

TEST(CommandFormat, ParsingRepliesAndFileLines)
{
    AppSettings settings;
    CommandFormat format(settings);

    CommandFields f;
    EXPECT_EQ(format.ParseCommand("ga=100\r", f), 1);
    EXPECT_EQ(f.name, "GA");
    EXPECT_EQ(f.param1, "100");
    EXPECT_EQ(f.index, 24);
    EXPECT_EQ(f.intValue, 100);

    f = {};
    format.ParseCommand("SH=&H1F", f);
    EXPECT_EQ(f.intValue, 31) << "&H introduces a hexadecimal value";

    f = {};
    format.ParseCommand("GA = 1 0 0", f);
    EXPECT_EQ(f.param1, "100") << "spaces vanish everywhere";

    f = {};
    format.ParseCommand("GA?5", f);
    EXPECT_EQ(f.op, "?");
    EXPECT_EQ(f.param1, "5");
    EXPECT_EQ(f.paramCount, 1u);

    f = {};
    format.ParseCommand("GA=1,200", f);
    EXPECT_EQ(f.paramCount, 2u);
    EXPECT_EQ(f.channelParam, 1);
    EXPECT_EQ(f.intValue, 1) << "a row without channel takes its value from the first parameter";

    f = {};
    format.ParseCommand("ID=abc", f);
    EXPECT_EQ(f.textValue, "ABC");
    EXPECT_EQ(f.text, "ID=abc");

    f = {};
    EXPECT_EQ(format.ParseCommand("COMPLETE", f), 0);
    EXPECT_EQ(f.error, 1u);
    f = {};
    EXPECT_EQ(format.ParseCommand("XX=1", f), 0);
    EXPECT_EQ(f.index, -1);
    EXPECT_EQ(f.error, 1u);
}

TEST(CommandFormat, HostileLinesParseWithoutHarm)
{
    AppSettings settings;
    CommandFormat format(settings);
    const std::string lines[] = {
        "A,B=1",  "=", "?", ",=,", "GA=99999999999999999999", "GA=-99999999999999999999",
        "SH=&HFFFFFFFFFFFF", std::string("GA=1\0" "2", 6), "GA=\xff\xfe", "",
    };
    for (const auto& line : lines) {
        CommandFields f;
        format.ParseCommand(line, f);
    }
    CommandFields f;
    format.ParseCommand("GA=99999999999999999999", f);
    EXPECT_EQ(f.intValue, 2147483647) << "huge numbers clamp instead of wrapping";
}

TEST(CommandFormat, RegisterBaseWithoutCheck)
{
    AppSettings settings;
    settings.commandFormat = 1;
    CommandFormat format(settings);
    const int sm = format.FindRow("SM");

    EXPECT_EQ(format.EncodeRegisterBase(format.FormatSet(sm, 0, Int(100), 1)), ":R0000@A000#=100\r\n");
    EXPECT_EQ(format.EncodeRegisterBase(format.FormatQuery(sm, 0, 1)), ":R0000@A000#?");
    EXPECT_EQ(format.DecodeReply(":r0000@A000#=100"), "SM=100");
    EXPECT_EQ(format.DecodeReply(":ok"), "COMPLETE");
    EXPECT_EQ(format.DecodeReply(":er"), "");
    EXPECT_EQ(format.EncodeRegisterBase(format.FormatSet(CmdID, 0, Text("CAM1"), 1)), ":R0000@00D8$=CAM1\r\n");

    EXPECT_EQ(format.EncodeRegisterBase(format.FormatSet(CmdGA, 0, Int(1), 1)), "")
        << "a row without register address cannot be sent in this form";
    EXPECT_EQ(format.EncodeRegisterBase("NOSUCH=1\r\n"), "");
}

TEST(CommandFormat, RegisterBaseWithCheck)
{
    AppSettings settings;
    settings.commandFormat = 1;
    settings.commandCrc = 1;
    CommandFormat format(settings);
    const int sm = format.FindRow("SM");

    EXPECT_EQ(format.EncodeRegisterBase(format.FormatQuery(sm, 0, 1)) + "\r\n", ":R0000@A000#04?f9\r\n");
    const std::string setting = format.EncodeRegisterBase(format.FormatSet(sm, 0, Int(100), 1));
    const std::string body = ":R0000@A000#03=100";
    EXPECT_EQ(setting, body + CommandFormat::CrcText(body) + "\r\n")
        << "the check stands before the line end so the camera sees one line";

    const std::string reply = ":r0000@A000#03=250";
    EXPECT_EQ(format.DecodeReply(reply + CommandFormat::CrcText(reply)), "SM=250");
    EXPECT_EQ(format.DecodeReply(reply + "00"), "CRC errer");
    EXPECT_EQ(format.DecodeReply("#9=1"), "CRC errer");
    const std::string shortValue = ":r0000@A000#ff=12";
    EXPECT_EQ(format.DecodeReply(shortValue + CommandFormat::CrcText(shortValue)), "SM=12")
        << "a length past the end takes what is there";
}
