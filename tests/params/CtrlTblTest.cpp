#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/CtrlTbl.h"

namespace {

int Cmd(const std::string& mnemonic) { return CommandTable::Find(mnemonic); }
int B(const std::string& mnemonic) { return CtrlId::Bound(Cmd(mnemonic)); }

// The lines of a settings file written at factory level, in order; '*' marks
// the lines that user level leaves out, "BMBR1..32" a run of numbered names.
const char* const kFileLines =
    "SM SH PE PER PEG PEB TR TP TI SL LS BA SC VB STL ETL PRGP GA GAR GAB AGC AASX AASY AAOX AAOY AGCS AGCF "
    "SDM KN KSR KSM KSB KPR KPM KPB SP00 SPR0 SPB0 WB WASX WASY WAOX WAOY LUTC TPN RF CM CM CM CM CMTX BLM "
    "BMTHB* BMTHW* BDRT* TRGM VSUBR* VSUBG* VSUBB* GA00* GAR0* GAB0* BL00* BLR0* BLB0* "
    "H1PL* H1NL* H1PO* H2PL* H2NL* H2PO* HLPL* HLNL* HLPO* RGPL* RGNL* RGPO* "
    "SHDL* SHPL* SHPT* DPHP* DPHN* TXCR* TCLY* SHDL2* SHPL2* SHPT2* DPHP2* DPHN2* TXCR2* TCLY2* "
    "SHDL3* SHPL3* SHPT3* DPHP3* DPHN3* TXCR3* TCLY3* "
    "BMBR1..32* BMBG1..32* BMBB1..32* BMWR1..32* BMWG1..32* BMWB1..32* GR40* GB40* GR46* GB46* GR56* GB56* "
    "MGRR1* MGRG1* MGRB1* MGGR1* MGGG1* MGGB1* MGBR1* MGBG1* MGBB1* "
    "MGRR2* MGRG2* MGRB2* MGGR2* MGGG2* MGGB2* MGBR2* MGBG2* MGBB2* "
    "MGRR3 MGRG3 MGRB3 MGGR3 MGGG3 MGGB3 MGBR3 MGBG3 MGBB3 VPP* DGR* DGG* DGB* SDTH* NRC NRS PSCM* TC00* "
    "TCNR0..3* TCNG0..3* TCNB0..3*";

struct FileLine {
    std::string mnemonic;
    bool factoryOnly;
};

std::vector<FileLine> ExpectedFileLines()
{
    std::vector<FileLine> lines;
    std::istringstream tokens(kFileLines);
    std::string token;
    while (tokens >> token) {
        const bool factoryOnly = token.back() == '*';
        if (factoryOnly)
            token.pop_back();
        const auto dots = token.find("..");
        if (dots == std::string::npos) {
            lines.push_back({token, factoryOnly});
            continue;
        }
        const std::string stem = token.substr(0, dots - 1);
        for (int n = token[dots - 1] - '0'; n <= std::stoi(token.substr(dots + 2)); ++n)
            lines.push_back({stem + std::to_string(n), factoryOnly});
    }
    return lines;
}

const CtrlTblEntry& RowOf(int ctrlId)
{
    const int index = CtrlTbl::FindByCtrl(ctrlId);
    EXPECT_GE(index, 0) << "no row for control " << ctrlId;
    return CtrlTbl::Rows()[index < 0 ? 0 : index];
}

}  // namespace

TEST(CtrlTbl, RowsAreWellFormed)
{
    ASSERT_EQ(CtrlTbl::Count(), 379);
    std::set<int> ids;
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        SCOPED_TRACE("row " + std::to_string(i));
        EXPECT_TRUE(row.commandIndex >= -1 && row.commandIndex < CommandTable::kCount);
        EXPECT_NE(row.commandIndex == -1 && row.ctrlId == 0, true) << "a row needs a command or a control";
        EXPECT_LE(row.min, row.defaultValue);
        EXPECT_LE(row.defaultValue, row.max);
        if (row.ctrlId == 0) {
            EXPECT_EQ(row.kind, CtrlKindNone);
            EXPECT_EQ(row.access, AccessNever);
            continue;
        }
        EXPECT_NE(row.kind, CtrlKindNone);
        EXPECT_TRUE(ids.insert(row.ctrlId).second) << "control " << row.ctrlId << " bound twice";
        const bool bound = CtrlId::IsBound(row.ctrlId);
        EXPECT_TRUE(bound ? row.ctrlId == CtrlId::Bound(row.commandIndex)
                          : row.ctrlId >= CtrlId::kFirstFixed && row.ctrlId <= CtrlId::kLastFixed)
            << "control " << row.ctrlId << " does not fit its command";
        EXPECT_TRUE(row.kind != CtrlKindButton || row.access == AccessNever) << "buttons are never read";
    }
}

TEST(CtrlTbl, ReadableRowsComeInSettingsFileOrder)
{
    const std::vector<FileLine> expected = ExpectedFileLines();
    std::vector<FileLine> actual;
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        if (row.commandIndex >= 0 && row.ctrlId != 0 && row.access != AccessNever)
            actual.push_back({CommandTable::Row(row.commandIndex).mnemonic, row.access == AccessFactory});
    }
    ASSERT_EQ(actual.size(), expected.size());
    int userLines = 0;
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].mnemonic, expected[i].mnemonic) << "file line " << i;
        EXPECT_EQ(actual[i].factoryOnly, expected[i].factoryOnly) << expected[i].mnemonic;
        userLines += expected[i].factoryOnly ? 0 : 1;
    }
    EXPECT_EQ(userLines, 64);
    EXPECT_EQ(expected.size(), 344u);
}

TEST(CtrlTbl, RowsWithoutControlOrCommand)
{
    const char* const first[] = {"EB", "ST", "HP", "VN", "ID", "MD", "UD"};
    for (int i = 0; i < 7; ++i) {
        EXPECT_EQ(CtrlTbl::Rows()[i].commandIndex, Cmd(first[i])) << "row " << i;
        EXPECT_EQ(CtrlTbl::Rows()[i].ctrlId, 0);
    }

    const std::set<std::string> expectedControlless = {
        "EB", "ST", "HP", "VN", "ID", "MD", "UD", "AWRS", "LUTR", "LUTG", "LUTB", "LD", "SA",
        "EA", "SA00", "ULCK", "MD00", "FPVN", "RS00", "QELS", "AVDR", "AVDG", "AVDB", "TMS", "PSHD"};
    const std::set<int> expectedCommandless = {
        CtrlId::DouOffset1, CtrlId::DouOffset2, CtrlId::DouOffset3, CtrlId::BlemishRecalibrateBlack,
        CtrlId::BlemishRecalibrateWhite, CtrlId::ProtectEnable, CtrlId::FlatColor};
    std::multiset<std::string> controlless;
    std::multiset<int> commandless;
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        if (row.ctrlId == 0)
            controlless.insert(CommandTable::Row(row.commandIndex).mnemonic);
        if (row.commandIndex == -1) {
            commandless.insert(row.ctrlId);
            EXPECT_EQ(row.access, AccessNever);
        }
    }
    EXPECT_EQ(controlless, std::multiset<std::string>(expectedControlless.begin(), expectedControlless.end()));
    EXPECT_EQ(commandless, std::multiset<int>(expectedCommandless.begin(), expectedCommandless.end()));

    for (const char* unbound : {"BL", "BLR", "BLB", "BMRC"})
        EXPECT_EQ(CtrlTbl::FindByCommand(Cmd(unbound)), -1) << unbound << " has no row";

    // Push buttons that steer a command, and the "CM" family sharing one value.
    EXPECT_EQ(RowOf(B("RS")).kind, CtrlKindButton);
    EXPECT_EQ(RowOf(CtrlId::RecalibrateColor).commandIndex, Cmd("RS"));
    EXPECT_EQ(RowOf(B("AW")).kind, CtrlKindButton);
    EXPECT_EQ(CtrlTbl::FindByCommand(Cmd("CM")), CtrlTbl::FindByCtrl(B("CM")));
    for (int box : {CtrlId::CmR, CtrlId::CmG, CtrlId::CmB})
        EXPECT_EQ(RowOf(box).commandIndex, Cmd("CM"));
    EXPECT_EQ(CtrlTbl::FindByCtrl(0), -1) << "0 names no control";
    EXPECT_EQ(CtrlTbl::FindByCommand(-1), -1) << "-1 names no command";
}

TEST(CtrlTbl, RangesDefaultsAndWrap)
{
    struct Expected {
        int ctrlId;
        int kind, wrap, access, min, max, defaultValue;
    };
    const Expected expected[] = {
        {B("PE"), CtrlKindEdit, 0, AccessBoth, 0, 1056, 1056},
        {B("PEB"), CtrlKindEdit, 0, AccessBoth, 0, 1056, 1056},
        {B("STL"), CtrlKindEdit, 0, AccessBoth, 1, 1040, 1},
        {B("ETL"), CtrlKindEdit, 0, AccessBoth, 1, 1040, 1040},
        {B("GA"), CtrlKindEdit, 0, AccessBoth, -92, 605, 0},
        {B("AGCF"), CtrlKindEdit, 0, AccessBoth, 32, 890, 32},
        {B("SM"), CtrlKindRadio, 0, AccessBoth, 0, 3, 0},
        {B("TPN"), CtrlKindCombo, 0, AccessBoth, 0, 15, 0},
        {B("SHDL"), CtrlKindEdit, 1, AccessFactory, 0, 63, 32},
        {B("H2PO"), CtrlKindEdit, 1, AccessFactory, 0, 1, 1},
        {B("TXCR3"), CtrlKindEdit, 0, AccessFactory, 0, 1, 0},
        {B("TCLY2"), CtrlKindEdit, 1, AccessFactory, 0, 15, 7},
        {B("TCNR0"), CtrlKindEdit, 0, AccessFactory, -2147483647, 2147483646, 0},
        {B("SDTH"), CtrlKindEdit, 0, AccessFactory, 16384, 65535, 16384},
        {B("BMBR1"), CtrlKindEdit, 0, AccessFactory, 0, 65535, 0},
        {B("MGBB3"), CtrlKindEdit, 0, AccessBoth, -2048, 2048, 0},
        {CtrlId::DouOffset2, CtrlKindEdit, 0, AccessNever, -128, 128, 0},
    };
    for (const Expected& e : expected) {
        const CtrlTblEntry& row = RowOf(e.ctrlId);
        SCOPED_TRACE("control " + std::to_string(e.ctrlId));
        EXPECT_EQ(row.kind, e.kind);
        EXPECT_EQ(row.wrap, e.wrap);
        EXPECT_EQ(row.access, e.access);
        EXPECT_EQ(row.min, e.min);
        EXPECT_EQ(row.max, e.max);
        EXPECT_EQ(row.defaultValue, e.defaultValue);
    }
}
