// Settings files as text: what is written, which lines a load applies and
// which it skips, and files of any shape read in pieces.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"
#include "files/SettingsFile.h"
#include "files/SettingsInput.h"
#include "params/ControlIds.h"
#include "support/TempFolder.h"

namespace {

std::vector<std::string> Lines(const std::string& text)
{
    std::vector<std::string> lines;
    size_t start = 0;
    for (size_t end; (end = text.find("\r\n", start)) != std::string::npos; start = end + 2)
        lines.push_back(text.substr(start, end - start));
    EXPECT_EQ(start, text.size()) << "every line ends with CR LF";
    return lines;
}

struct Recorder : SettingsSink {
    void Progress(int position) override { positions.push_back(position); }
    void Apply(const SettingsLine& line) override { applied.push_back(line); }
    std::vector<int> positions;
    std::vector<SettingsLine> applied;
};

struct Judge {
    bool Parse(const std::string& piece, bool factory = false)
    {
        return SettingsFile::ParseLine(format, piece, factory, line, reason);
    }
    SettingsInput Text(const std::string& text, bool factory = false)
    {
        SettingsInput input;
        input.Judge(text, format, factory);
        return input;
    }
    AppSettings settings;
    CommandFormat format{settings};
    SettingsLine line;
    std::string reason;
};

}  // namespace

TEST(SettingsFile, WritesEveryValueRowOfTheLevelInTableOrder)
{
    auto valueOf = [](int ctrlId) { return ctrlId == CtrlId::Bound(CmdAGCF) ? 100 : -7; };
    const std::vector<std::string> user = Lines(SettingsFile::Compose(false, valueOf));
    const std::vector<std::string> factory = Lines(SettingsFile::Compose(true, valueOf));
    ASSERT_EQ(user.size(), 64u);
    ASSERT_EQ(factory.size(), 344u);
    EXPECT_EQ(std::vector<std::string>(user.begin(), user.begin() + 4),
              (std::vector<std::string>{"SM=-7", "SH=-7", "PE=-7", "PER=-7"}));
    EXPECT_EQ(std::count(user.begin(), user.end(), "CM=-7"), 4) << "one line per control bound to CM";
    EXPECT_EQ(std::count(user.begin(), user.end(), "AGCF=100"), 1) << "values as the pages show them";
    EXPECT_EQ(factory.back(), "TCNB3=-7");
    EXPECT_EQ(std::count(user.begin(), user.end(), "BMBR1=-7"), 0) << "factory rows stay out of a user file";
}

// The camera judges its own values: a file must bring back whatever a camera
// held, in or out of the pages' ranges.
TEST(SettingsFile, EveryWholeValueOfABoundSettingIsAppliedAndEverythingElseSaysWhyNot)
{
    Judge j;
    const struct {
        const char* piece;
        int value;
    } applied[] = {{" ga = 12 ", 12}, {"GA=&h1F", 31}, {"AGCF=100", 100}, {"GA=700", 700}, {"STL=0", 0},
                   {"AGCF=0", 0}, {"SH=100", 100}, {"GA=+5", 5}, {"GA=&HFFFFFFFF", -1},
                   {"TCNR0=-2147483648", INT32_MIN}, {"CM=115", 115}};
    for (const auto& a : applied) {
        ASSERT_TRUE(j.Parse(a.piece, true)) << a.piece << ": " << j.reason;
        EXPECT_EQ(j.line.value, a.value) << a.piece << ": as the file says, unscaled";
    }
    EXPECT_EQ(j.line.ctrlId, CtrlId::Bound(CmdCM)) << "the first control bound to the command";

    const std::pair<const char*, std::vector<const char*>> skipped[] = {
        {"not a setting: no \"=\"", {"COMPLETE"}}, {"no such command", {"NOPE=1"}}, {"a query, not a setting", {"GA?"}},
        {"not a setting of the pages", {"LD=1", "SA00=0", "ULCK=5963104", "AW=1", "RS=1,1", "ID=X", "LUTR=5"}},
        {"a factory setting, applied only at the factory level", {"BMBR1=5"}},
        {"not a whole number", {"GA=", "GA=12x", "GA=--1", "GA=&H", "GA=0x10"}},
        {"does not fit the camera's register", {"GA=2147483648", "GA=&H100000000", "GA=99999999999"}},
    };
    for (const auto& [reason, pieces] : skipped) {
        for (const char* piece : pieces) {
            EXPECT_FALSE(j.Parse(piece)) << "\"" << piece << "\" must not reach the camera";
            EXPECT_EQ(j.reason, reason) << piece;
        }
    }
    EXPECT_TRUE(j.Parse("BMBR1=5", true)) << "factory lines apply at the factory level";
}

TEST(SettingsFile, FilesOfAnyShapeAreReadLineByLine)
{
    Judge j;
    TempFolder folder;
    const std::string path = folder.File("odd.cam");
    // A byte-order mark, lines ended by CR alone, LF alone and CR LF, blank
    // lines, NUL bytes, and a line too long to be one.
    std::ofstream(path, std::ios::binary) << "\xEF\xBB\xBFGAB=133\rSH=1\nGA=5\r\n\r\n  \n"
                                          << std::string("GA=6\0\0\n", 7) << std::string(600, 'G') << "\nGAR=1";
    SettingsInput input;
    ASSERT_TRUE(input.Read(path, j.format, false));
    std::vector<std::string> sent;
    for (const SettingsLine& line : input.Lines())
        sent.push_back(std::to_string(line.lineNumber) + ":" + std::to_string(line.value));
    EXPECT_EQ(sent, (std::vector<std::string>{"1:133", "2:1", "3:5", "10:1"}))
        << "CR alone, LF alone and CR LF each end one line; the mark does not swallow the first";
    ASSERT_EQ(input.Skipped().size(), 4u) << "blank lines are neither sent nor skipped";
    EXPECT_EQ(input.Skipped()[0].lineNumber, 6);
    EXPECT_EQ(input.Skipped()[0].text, std::string("GA=6\0\0", 6));
    EXPECT_EQ(input.Skipped()[1].text, std::string(255, 'G')) << "a long line comes in pieces of 255";
    EXPECT_EQ(input.Skipped()[3].text, std::string(90, 'G'));
    EXPECT_EQ(input.LineCount(), 10);
    EXPECT_EQ(input.NothingUsable(), "");

    EXPECT_EQ(j.Text("").NothingUsable(), "the file is empty");
    EXPECT_EQ(j.Text("\r\n \n").NothingUsable(), "the file holds only blank lines");
    EXPECT_EQ(j.Text(std::string("\0\xff\x01\n\x7f", 5)).NothingUsable(),
              "no line of the file is a setting this level applies");
    EXPECT_EQ(j.Text("BMBR1=5\r\n").NothingUsable(), "no line of the file is a setting this level applies");
    EXPECT_EQ(j.Text("BMBR1=5\r\n", true).NothingUsable(), "");

    Recorder none;
    j.Text("").Apply(none);
    EXPECT_TRUE(none.applied.empty() && none.positions.empty());
}

TEST(SettingsFile, ALongFileMovesTheBarAndAppliesOnlyItsSettings)
{
    std::string text;
    size_t settings = 0;
    const std::string junk = "THIS IS NOT A SETTING=" + std::string(1000, 'x') + "\n";
    for (; text.size() < (4u << 20); ++settings)
        text += junk + "GA=7\r\n";
    Judge j;
    const SettingsInput input = j.Text(text);
    Recorder sink;
    input.Apply(sink);
    EXPECT_EQ(sink.positions.size(), 100u) << "every position 0..99 is shown once";
    EXPECT_EQ(sink.positions.back(), 99);
    EXPECT_EQ(sink.applied.size(), settings);
    for (const SettingsLine& line : sink.applied)
        ASSERT_EQ(line.value, 7);
}
