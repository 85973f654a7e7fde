// Settings files as text: what is written, which lines a load may apply, and
// files of any shape read in pieces.
#include <gtest/gtest.h>

#include <fstream>
#include <vector>

#include "settings/AppSettings.h"
#include "comm/CommandFormat.h"
#include "files/SettingsFile.h"
#include "files/SettingsFileReader.h"
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

struct Parser {
    bool Parse(const std::string& piece, bool factory = false) { return SettingsFile::ParseLine(format, piece, factory, line); }
    AppSettings settings;
    CommandFormat format{settings};
    SettingsLine line;
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

TEST(SettingsFile, OnlyValueSettingsWithinTheirRangeAreApplied)
{
    Parser p;
    ASSERT_TRUE(p.Parse(" ga = 12 \r\n"));
    EXPECT_EQ(p.line.commandIndex, CmdGA);
    EXPECT_EQ(p.line.ctrlId, CtrlId::Bound(CmdGA));
    EXPECT_EQ(p.line.value, 12) << "spaces and lower case are taken as if absent";
    ASSERT_TRUE(p.Parse("GA=&h1F"));
    EXPECT_EQ(p.line.value, 31);
    ASSERT_TRUE(p.Parse("AGCF=100\n"));
    EXPECT_EQ(p.line.value, 100) << "the file holds what the control shows; sending scales it";

    for (const char* skipped : {"", "=", "\r\n", "GA?", "GA=", "GA=12x", "GA=--1", "GA=&H", "GA=99999999999",
                                "GA=606", "GA=-93", "NOPE=1", "LD=1", "SA=2", "SA00=0", "EA=1", "ULCK=5963104",
                                "AWRS=0", "AW=1", "RS=1,1", "ID=X", "SH=-1", "SM=200", "BMBR1=5"})
        EXPECT_FALSE(p.Parse(skipped)) << "\"" << skipped << "\" must not reach the camera";
    EXPECT_TRUE(p.Parse("BMBR1=5", true)) << "factory lines apply at the factory level";
    EXPECT_TRUE(p.Parse("CM=115")) << "the centre marker packs its four controls into one value";
}

TEST(SettingsFile, FilesOfAnyShapeAreReadInPieces)
{
    TempFolder folder;
    const std::string path = folder.File("odd.cam");
    std::ofstream(path, std::ios::binary) << std::string(600, 'G') << "\nGA=5\r\n" << std::string("\0\xff=\n", 4)
                                          << "GAR=1";
    SettingsFileReader reader;
    ASSERT_TRUE(reader.Open(path));
    EXPECT_EQ(reader.PieceCount(), 6);
    std::vector<size_t> sizes;
    for (std::string piece; reader.Next(piece);)
        sizes.push_back(piece.size());
    EXPECT_EQ(sizes, (std::vector<size_t>{255, 255, 91, 6, 4, 5}));

    Parser p;
    Recorder sink;
    ASSERT_TRUE(SettingsFile::Apply(path, p.format, false, sink));
    ASSERT_EQ(sink.applied.size(), 2u);
    EXPECT_EQ(sink.applied[0].value, 5);
    EXPECT_EQ(sink.applied[1].commandIndex, CommandTable::Find("GAR"));

    const std::string empty = folder.File("empty.cam");
    std::ofstream{empty};
    Recorder none;
    EXPECT_TRUE(SettingsFile::Apply(empty, p.format, false, none));
    EXPECT_TRUE(none.applied.empty() && none.positions.empty());
    EXPECT_FALSE(SettingsFile::Apply(folder.File("missing.cam"), p.format, false, none));
}

TEST(SettingsFile, AHundredMegabyteFileMovesTheBarAndAppliesOnlyItsSettings)
{
    TempFolder folder;
    const std::string path = folder.File("huge.cam");
    {
        std::ofstream out(path, std::ios::binary);
        const std::string junk = "THIS IS NOT A SETTING=" + std::string(1000, 'x') + "\n";
        for (size_t written = 0; written < 100u << 20; written += junk.size() + 6)
            out << junk << "GA=7\r\n";
    }
    Parser p;
    Recorder sink;
    ASSERT_TRUE(SettingsFile::Apply(path, p.format, false, sink));
    EXPECT_EQ(sink.positions.size(), 100u) << "every position 0..99 is shown once";
    EXPECT_EQ(sink.positions.back(), 99);
    EXPECT_GT(sink.applied.size(), 90000u);
    for (const SettingsLine& line : sink.applied)
        ASSERT_EQ(line.value, 7);
}
