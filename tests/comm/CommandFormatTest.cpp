#include <gtest/gtest.h>

#include <set>
#include <vector>

#include "camsim/RegisterTable.h"
#include "comm/CommandFormat.h"
#include "comm/CommandTable.h"
#include "comm/NumberText.h"
#include "settings/AppSettings.h"

// Values written out in full: kind, number, fraction, text.
using Value = CommandValue;

// Settings, queries and file lines of the plain form reach the camera in the
// engine's tests; here what those do not reach.
TEST(CommandFormat, SettingsAndParsedLines)
{
    AppSettings settings;
    CommandFormat format(settings);
    EXPECT_EQ(format.FormatSet(CmdGA, 0, Value{0, -92, 0, ""}, 0), "GA=-92");
    EXPECT_EQ(format.FormatSet(CmdUD, 0, Value{0, 7, 0, "cam 7"}, 0), "UD=cam 7")
        << "a text row writes its text whatever the integer says";
    EXPECT_EQ(format.FormatSet(CmdRS, 0, Value{0, 7, 0, "1,0"}, 0, KindText), "RS=1,0") << "a number row sent as text";

    const auto parse = [&](const std::string& line) {
        CommandFields f;
        const int result = format.ParseCommand(line, f);
        EXPECT_EQ(result, f.error == 0 ? 1 : 0) << line;
        return f;
    };
    EXPECT_EQ(parse("GA = 1 0 0").param1, "100") << "spaces vanish everywhere";
    CommandFields f = parse("GA?5");
    EXPECT_EQ(f.op, "?");
    EXPECT_EQ(f.param1, "5");
    EXPECT_EQ(f.paramCount, 1u);
    f = parse("GA=1,200");
    EXPECT_EQ(f.paramCount, 2u);
    EXPECT_EQ(f.channelParam, 1);
    EXPECT_EQ(f.intValue, 1) << "a row without channel takes its value from the first parameter";
    const std::string hostile[] = {"A,B=1", "=", "?", ",=,", "GA=-99999999999999999999", "SH=&HFFFFFFFFFFFF",
                                   std::string("GA=1\0" "2", 6), "GA=\xff\xfe", ""};
    for (const std::string& line : hostile)
        parse(line);   // must parse without harm
}

// One reader of whole numbers for files, the command line, typed values and
// the answers of free queries.
TEST(NumberText, OneReaderOfWholeNumbers)
{
    using NumberText::WholeForms;
    using NumberText::WholeRead;
    constexpr WholeForms Tool = WholeForms::Tool, Reply = WholeForms::Reply;
    constexpr WholeRead Ok = WholeRead::Ok, TooLarge = WholeRead::TooLarge, NotWhole = WholeRead::NotWhole;
    const struct {
        const char* text;
        WholeForms forms;
        WholeRead read;
        int32_t value;
    } cases[] = {
        {"12", Tool, Ok, 12}, {"-12", Tool, Ok, -12}, {"+5", Tool, Ok, 5}, {"010", Tool, Ok, 10}, {"&h1f", Tool, Ok, 31},
        {"&HFFFFFFFF", Tool, Ok, -1}, {"&H00000000F", Tool, Ok, 15}, {"2147483647", Tool, Ok, INT32_MAX},
        {"-2147483648", Tool, Ok, INT32_MIN}, {"2147483648", Tool, TooLarge, 0}, {"-2147483649", Tool, TooLarge, 0},
        {"&H100000000", Tool, TooLarge, 0}, {"99999999999999999999999", Tool, TooLarge, 0}, {"0x10", Tool, NotWhole, 0},
        {"0x10", Reply, Ok, 16}, {"0X1F", Reply, Ok, 31}, {"-0x10", Reply, Ok, -16}, {"010", Reply, Ok, 8},
        {"-010", Reply, Ok, -8}, {"0", Reply, Ok, 0}, {"&H1F", Reply, Ok, 31}, {"0xFFFFFFFF", Reply, TooLarge, 0},
    };
    for (const auto& c : cases) {
        int32_t value = 0;
        EXPECT_EQ(NumberText::ReadWhole(c.text, value, c.forms), c.read) << c.text;
        EXPECT_EQ(value, c.value) << c.text;
    }
    for (const char* text : {"", "-", "+", "+-1", "1x", " 1", "1.0", "&H", "&HG", "&H-1", "0x", "09", "08"}) {
        int32_t value = 7;
        EXPECT_EQ(NumberText::ReadWhole(text, value, Reply), NotWhole) << text;
        EXPECT_EQ(value, 7) << "nothing is stored for \"" << text << "\"";
    }
}

TEST(CommandFormat, RegisterBaseForms)
{
    AppSettings settings;
    settings.commandFormat = 1;
    CommandFormat format(settings);
    const int sm = format.FindRow("SM");
    const auto encodeSet = [&](int row, const CommandValue& value) {
        return format.EncodeRegisterBase(format.FormatSet(row, 0, value, 1));
    };

    EXPECT_EQ(encodeSet(CmdID, Value{0, 0, 0, "CAM1"}), ":R0000@00D8$=CAM1\r\n") << "a text register has the $ marker";
    EXPECT_EQ(format.DecodeReply(":er"), "");
    EXPECT_EQ(format.EncodeRegisterBase("NOSUCH=1\r\n"), "") << "a raw line naming no command";

    settings.commandCrc = 1;
    EXPECT_EQ(format.EncodeRegisterBase(format.FormatQuery(sm, 0, 1)) + "\r\n", ":R0000@A000#04?f9\r\n")
        << "the camera's own example";
    const std::string body = ":R0000@A000#03=100";
    EXPECT_EQ(encodeSet(sm, Value{0, 100, 0, ""}), body + CommandFormat::CrcText(body) + "\r\n")
        << "the check stands before the line end so the camera sees one line";
    const std::string reply = ":r0000@A000#03=250";
    EXPECT_EQ(format.DecodeReply(reply + CommandFormat::CrcText(reply)), "SM=250");
    EXPECT_EQ(format.DecodeReply(reply + "00"), "CRC errer");
    EXPECT_EQ(format.DecodeReply("#9=1"), "CRC errer");
    const std::string shortValue = ":r0000@A000#ff=12";
    EXPECT_EQ(format.DecodeReply(shortValue + CommandFormat::CrcText(shortValue)), "SM=12")
        << "a length past the end takes what is there";
}

// The tool's vocabulary and the virtual camera's register map were written
// apart; where they disagree, one of them sends or answers the wrong thing.
TEST(CommandTable, AgreesWithTheCamerasRegisterMap)
{
    const camsim::RegisterTable& camera = camsim::RegisterTable::Instance();
    ASSERT_EQ(camera.Size(), CommandTable::kCount);
    std::set<std::string> seen;
    for (int i = 0; i < CommandTable::kCount; ++i) {
        const CommandEntry& row = CommandTable::Row(i);
        EXPECT_EQ(row.index, static_cast<uint32_t>(i));
        EXPECT_TRUE(seen.insert(row.mnemonic).second) << "duplicate mnemonic " << row.mnemonic;
        const int found = camera.Find(row.mnemonic);
        ASSERT_GE(found, 0) << row.mnemonic << " is unknown to the camera";
        const camsim::RegisterRow& reg = camera.Row(found);
        EXPECT_EQ(CommandTable::HasRegAddress(i) ? row.regAddress : "", reg.address) << row.mnemonic;
        EXPECT_EQ(row.kind == KindText, reg.IsText()) << row.mnemonic;
    }

    const std::pair<int, const char*> named[] = {
        {CmdEB, "EB"},     {CmdVN, "VN"},     {CmdID, "ID"},     {CmdMD, "MD"},       {CmdUD, "UD"},
        {CmdSM, "SM"},     {CmdGA, "GA"},     {CmdAGCF, "AGCF"}, {CmdBL, "BL"},       {CmdBLR, "BLR"},
        {CmdBLB, "BLB"},   {CmdRS, "RS"},     {CmdAW, "AW"},     {CmdLUTR, "LUTR"},   {CmdLUTG, "LUTG"},
        {CmdLUTB, "LUTB"}, {CmdTPN, "TPN"},   {CmdCM, "CM"},     {CmdLD, "LD"},       {CmdSA, "SA"},
        {CmdEA, "EA"},     {CmdSA00, "SA00"}, {CmdULCK, "ULCK"}, {CmdMD00, "MD00"},   {CmdTMS, "TMS"},
        {CmdPSCM, "PSCM"}, {CmdPSHD, "PSHD"},
    };
    for (const auto& [index, name] : named)
        EXPECT_EQ(CommandTable::Find(name), index) << "the constant for " << name << " names another row";
    EXPECT_EQ(CommandTable::Find("ga"), -1) << "lookup is exact; callers upper-case first";
    EXPECT_EQ(CommandTable::Find("GAX"), -1);
}
