#include <gtest/gtest.h>

#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/CtrlTbl.h"

namespace {

// The lines of a settings file written at factory level, in order; '*' marks
// the lines that user level leaves out, '~' the edits whose steps wrap round
// (the front ends' timings), "BMBR1..32" a run of numbered names.
const char* const kFileLines =
    "SM SH PE PER PEG PEB TR TP TI SL LS BA SC VB STL ETL PRGP GA GAR GAB AGC AASX AASY AAOX AAOY AGCS AGCF "
    "SDM KN KSR KSM KSB KPR KPM KPB SP00 SPR0 SPB0 WB WASX WASY WAOX WAOY LUTC TPN RF CM CM CM CM CMTX BLM "
    "BMTHB* BMTHW* BDRT* TRGM VSUBR* VSUBG* VSUBB* GA00* GAR0* GAB0* BL00* BLR0* BLB0* "
    "H1PL*~ H1NL*~ H1PO*~ H2PL*~ H2NL*~ H2PO*~ HLPL*~ HLNL*~ HLPO*~ RGPL*~ RGNL*~ RGPO*~ "
    "SHDL*~ SHPL*~ SHPT*~ DPHP*~ DPHN*~ TXCR* TCLY*~ SHDL2*~ SHPL2*~ SHPT2*~ DPHP2*~ DPHN2*~ TXCR2* TCLY2*~ "
    "SHDL3*~ SHPL3*~ SHPT3*~ DPHP3*~ DPHN3*~ TXCR3* TCLY3*~ "
    "BMBR1..32* BMBG1..32* BMBB1..32* BMWR1..32* BMWG1..32* BMWB1..32* GR40* GB40* GR46* GB46* GR56* GB56* "
    "MGRR1* MGRG1* MGRB1* MGGR1* MGGG1* MGGB1* MGBR1* MGBG1* MGBB1* "
    "MGRR2* MGRG2* MGRB2* MGGR2* MGGG2* MGGB2* MGBR2* MGBG2* MGBB2* "
    "MGRR3 MGRG3 MGRB3 MGGR3 MGGG3 MGGB3 MGBR3 MGBG3 MGBB3 VPP* DGR* DGG* DGB* SDTH* NRC NRS PSCM* TC00* "
    "TCNR0..3* TCNG0..3* TCNB0..3*";

struct FileLine {
    std::string mnemonic;
    bool factoryOnly;
    bool wraps;
};

std::vector<FileLine> ExpectedFileLines()
{
    std::vector<FileLine> lines;
    std::istringstream tokens(kFileLines);
    std::string token;
    while (tokens >> token) {
        const bool wraps = token.back() == '~';
        if (wraps)
            token.pop_back();
        const bool factoryOnly = token.back() == '*';
        if (factoryOnly)
            token.pop_back();
        const auto dots = token.find("..");
        if (dots == std::string::npos) {
            lines.push_back({token, factoryOnly, wraps});
            continue;
        }
        const std::string stem = token.substr(0, dots - 1);
        for (int n = token[dots - 1] - '0'; n <= std::stoi(token.substr(dots + 2)); ++n)
            lines.push_back({stem + std::to_string(n), factoryOnly, wraps});
    }
    return lines;
}

}  // namespace

TEST(CtrlTbl, RowsAreWellFormed)
{
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
        EXPECT_TRUE(!row.wrap || (row.kind == CtrlKindEdit && row.access != AccessNever)) << "only file rows wrap";
    }
}

TEST(CtrlTbl, ReadableRowsComeInSettingsFileOrderAndOnlyTimingsWrap)
{
    const std::vector<FileLine> expected = ExpectedFileLines();
    std::vector<FileLine> actual;
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        if (row.commandIndex >= 0 && row.ctrlId != 0 && row.access != AccessNever)
            actual.push_back({CommandTable::Row(row.commandIndex).mnemonic, row.access == AccessFactory, row.wrap != 0});
    }
    ASSERT_EQ(actual.size(), expected.size());
    for (size_t i = 0; i < expected.size(); ++i) {
        EXPECT_EQ(actual[i].mnemonic, expected[i].mnemonic) << "file line " << i;
        EXPECT_EQ(actual[i].factoryOnly, expected[i].factoryOnly) << expected[i].mnemonic;
        EXPECT_EQ(actual[i].wraps, expected[i].wraps) << expected[i].mnemonic;
    }
}
