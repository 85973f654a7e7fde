// The binding table, the pages, the rules and the value store: data and logic without a window.
#include <gtest/gtest.h>

#include <algorithm>
#include <climits>
#include <map>
#include <set>
#include <sstream>
#include <string>
#include <tuple>
#include <utility>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/CtrlTbl.h"
#include "params/PageContents.h"
#include "params/ParamStore.h"

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

// The lines of kFileLines with every run of numbered names spelt out.
std::vector<std::string> ExpectedFileLines()
{
    std::vector<std::string> lines;
    std::istringstream tokens(kFileLines);
    for (std::string token; tokens >> token;) {
        const auto dots = token.find("..");
        if (dots == std::string::npos) {
            lines.push_back(token);
            continue;
        }
        const std::string stem = token.substr(0, dots - 1);
        const std::string marks = token.substr(std::min(token.find_first_of("*~"), token.size()));
        for (int n = token[dots - 1] - '0'; n <= std::stoi(token.substr(dots + 2)); ++n)
            lines.push_back(stem + std::to_string(n) + marks);
    }
    return lines;
}

int Cmd(const std::string& mnemonic) { return CommandTable::Find(mnemonic); }
int B(const std::string& mnemonic) { return CtrlId::Bound(Cmd(mnemonic)); }

std::vector<const PageCell*> AllCells()
{
    std::vector<const PageCell*> cells;
    for (const PageContent& page : PageContents())
        for (const PageGroup& group : page.groups)
            for (const PageRow& row : group.rows)
                for (const PageCell& cell : row.cells)
                    cells.push_back(&cell);
    return cells;
}

// Control id -> how many cells show it.
std::map<int, int> CellsById()
{
    std::map<int, int> byId;
    for (const PageCell* cell : AllCells())
        if (cell->ctrlId != 0)
            ++byId[cell->ctrlId];
    return byId;
}

const PageGroup* FindGroup(int page, const std::string& caption)
{
    for (const PageGroup& group : PageContents()[page].groups)
        if (group.caption == caption)
            return &group;
    return nullptr;
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
        EXPECT_TRUE(row.min <= row.defaultValue && row.defaultValue <= row.max);
        if (row.ctrlId == 0) {
            EXPECT_TRUE(row.kind == CtrlKindNone && row.access == AccessNever) << "a row without control is never read";
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
    std::vector<std::string> actual;
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        if (row.commandIndex >= 0 && row.ctrlId != 0 && row.access != AccessNever)
            actual.push_back(std::string(CommandTable::Row(row.commandIndex).mnemonic) +
                             (row.access == AccessFactory ? "*" : "") + (row.wrap ? "~" : ""));
    }
    EXPECT_EQ(actual, ExpectedFileLines());
}

TEST(PageContents, EveryBoundControlHasExactlyOneMatchingCell)
{
    const auto byId = CellsById();
    for (const auto& [id, count] : byId) {
        EXPECT_EQ(count, 1) << "control " << id << " shown " << count << " times";
        EXPECT_TRUE(!CtrlId::IsBound(id) || CtrlTbl::FindByCtrl(id) >= 0) << "cell " << id << " binds a command but has no row";
    }
    for (int i = 0; i < CtrlTbl::Count(); ++i) {
        const CtrlTblEntry& row = CtrlTbl::Rows()[i];
        EXPECT_TRUE(row.ctrlId == 0 || byId.count(row.ctrlId) == 1) << "row " << i << " has no cell";
    }

    // Each cell matches the kind of its row; lists and radio groups offer max + 1 values.
    const std::map<CellKind, int> kindOfCell = {{CellKind::Edit, CtrlKindEdit},   {CellKind::List, CtrlKindCombo},
                                                {CellKind::Check, CtrlKindCheck}, {CellKind::Radio, CtrlKindRadio},
                                                {CellKind::Button, CtrlKindButton}};
    std::map<int, int> radiosPerHead;
    for (const PageCell* cell : AllCells()) {
        if (cell->kind == CellKind::Radio)
            ++radiosPerHead[cell->groupHead];
        const int index = CtrlTbl::FindByCtrl(cell->ctrlId);
        if (index < 0)
            continue;
        const CtrlTblEntry& row = CtrlTbl::Rows()[index];
        EXPECT_EQ(row.kind, kindOfCell.at(cell->kind)) << "control " << cell->ctrlId;
        EXPECT_TRUE(cell->kind != CellKind::List || static_cast<int>(cell->entries.size()) == row.max + 1)
            << "list " << cell->ctrlId << " offers " << cell->entries.size() << " entries";
    }
    ASSERT_EQ(radiosPerHead.size(), 2u);
    for (const auto& [head, count] : radiosPerHead)
        EXPECT_EQ(count, CtrlTbl::Rows()[CtrlTbl::FindByCtrl(head)].max + 1) << "radio group " << head;
}

TEST(PageContents, GeneratedGridsAndPageLayout)
{
    // Blemish rows: "01" holds points 1 and 2, "16" points 31 and 32.
    const PageGroup* red = FindGroup(5, "Red");
    const PageGroup* blue = FindGroup(6, "Blue");
    ASSERT_TRUE(red && blue);
    ASSERT_EQ(red->rows.size(), 17u) << "a heading and sixteen rows";
    EXPECT_EQ(red->rows[1].cells[1].ctrlId, B("BMBR1"));
    EXPECT_EQ(red->rows[1].cells[2].ctrlId, B("BMBR2"));
    EXPECT_EQ(blue->rows[16].cells[2].ctrlId, B("BMWB32"));

    const PageGroup* tg = FindGroup(4, "AFE_TG");
    ASSERT_TRUE(tg && tg->rows.size() == 5u);
    EXPECT_EQ(tg->rows[4].cells[3].ctrlId, B("RGPO")) << "the last row and column: RG's POL";

    // Groups tile each page without overlapping, in at most three columns.
    for (const PageContent& page : PageContents()) {
        std::set<std::pair<int, int>> taken;
        for (const PageGroup& group : page.groups) {
            EXPECT_LE(group.pageColumn + group.columnSpan, 3) << page.caption << " / " << group.caption;
            for (int c = group.pageColumn; c < group.pageColumn + group.columnSpan; ++c)
                for (int r = group.pageRow; r < group.pageRow + group.rowSpan; ++r)
                    EXPECT_TRUE(taken.insert({c, r}).second) << page.caption << ": overlap at " << c << "," << r;
        }
    }
}

TEST(ControlRules, RulesAndPairsNameExistingControls)
{
    const auto cells = CellsById();
    const auto exists = [&](int id) { return CtrlTbl::FindByCtrl(id) >= 0 || cells.count(id) != 0; };

    std::set<std::tuple<int, int, int>> seen;
    for (int i = 0; i < DisableRuleTbl::Count(); ++i) {
        const DisableRule& rule = DisableRuleTbl::Rows()[i];
        EXPECT_TRUE(exists(rule.controllingCtrl) && exists(rule.dependentCtrl)) << "rule " << i;
        EXPECT_TRUE(seen.insert({rule.controllingCtrl, rule.value, rule.dependentCtrl}).second) << "rule " << i;
    }

    // Window size and offset limit each other both ways.
    std::multimap<int, LinkedPair> pairs;
    for (int i = 0; i < LinkedPairTbl::Count(); ++i) {
        const LinkedPair& pair = LinkedPairTbl::Rows()[i];
        EXPECT_TRUE(exists(pair.primaryCtrl) && exists(pair.secondaryCtrl)) << "pair " << i;
        pairs.insert({pair.primaryCtrl, pair});
    }
    for (const auto& [primary, pair] : pairs) {
        if (pair.sumLimit == 0)
            continue;
        const auto back = pairs.find(pair.secondaryCtrl);
        EXPECT_TRUE(back != pairs.end() && back->second.secondaryCtrl == primary) << "pair " << primary << " is one-way";
    }
}

// The value store without any window: what the pages' events come down to.
TEST(ParamStore, ARefusalRevertsItselfAndEveryLaterChangeOfThePass)
{
    ParamStore store;
    store.StoreDefaults();
    ASSERT_TRUE(Cmd("PE") < Cmd("AASX") && Cmd("AASX") < Cmd("AAOX"));
    store.SetParam(B("PE"), 1000);
    store.SetParam(B("AASX"), 3);
    store.SetParam(B("AAOX"), 5);

    std::vector<int> sent;
    const auto refuseAasx = [&](int index, int) { sent.push_back(index); return index != Cmd("AASX"); };
    EXPECT_EQ(store.SendChanges(refuseAasx), (std::vector<int>{Cmd("AASX"), Cmd("AAOX")}));
    EXPECT_EQ(sent, (std::vector<int>{Cmd("PE"), Cmd("AASX")})) << "nothing is sent after the refusal";
    EXPECT_EQ(store.Cur(Cmd("AAOX")), 0) << "the unsent change goes back too";
    EXPECT_EQ(store.Cur(Cmd("PE")), 1000) << "what the camera took stays";
    store.Commit();
    EXPECT_FALSE(store.HasChanges());
    EXPECT_TRUE(store.SendChanges([](int, int) { return false; }).empty());
}

TEST(ParamStore, ControlsReachTheirValueThroughTheBindingTable)
{
    ParamStore store;
    EXPECT_EQ(store.GetParam(CtrlId::DouOffset1), 0) << "a control without a command shows 0";
    EXPECT_FALSE(store.SetParam(CtrlId::DouOffset1, 5));
    for (int unknown : {0, 12345}) {
        EXPECT_EQ(store.GetParam(unknown), -1);
        EXPECT_FALSE(store.SetParam(unknown, 5));
    }
    EXPECT_EQ(store.Cur(CommandTable::kCount), 0) << "indexes outside the table are never read";
    EXPECT_EQ(ParamStore::ParamIndex2CtrlId(Cmd("CM")), B("CM")) << "the first of its four controls";
    EXPECT_EQ(ParamStore::ParamIndex2CtrlId(-1), -1);

    // The centre marker: the combo box sets the low four bits, each colour box its own bit.
    store.SetParam(B("CM"), store.ValueOfControl(B("CM"), 2));
    store.SetParam(CtrlId::CmG, store.ValueOfControl(CtrlId::CmG, 1));
    store.SetParam(B("CM"), store.ValueOfControl(B("CM"), 3));
    EXPECT_EQ(store.GetParam(CtrlId::CmR), 35);
    EXPECT_EQ(store.ValueOfControl(CtrlId::CmG, 0), 3);
}

TEST(ParamStore, OneRangeRuleWrapRowsWrapAndNoStepJumps)
{
    // What the operator may give: the binding row's range, the centre marker's bits beside it.
    const struct {
        const char* name;
        long long value;
        bool accepted;
    } values[] = {{"GA", 605, true},  {"GA", 606, false}, {"GA", -92, true},  {"GA", -93, false},
                  {"SH", 11, true},   {"SH", 12, false},  {"CM", 0x73, true}, {"CM", 0x04, false},
                  {"CM", 0x80, false}, {"EB", 0, false}};
    for (const auto& v : values)
        EXPECT_EQ(ParamStore::Accepts(Cmd(v.name), v.value), v.accepted) << v.name << "=" << v.value;
    EXPECT_EQ(ParamStore::AcceptedText(Cmd("GA")), "-92..605");
    EXPECT_EQ(ParamStore::AcceptedText(Cmd("EB")), "") << "no control binds it";


    const int shdl = B("SHDL");   // 0 .. 63, wraps
    const auto [lo, hi] = ParamStore::SpinRangeOf(shdl);
    EXPECT_EQ(std::make_pair(lo, hi), std::make_pair(-1, 64)) << "one past each end, so that a step there can wrap";
    int value = 0;
    EXPECT_TRUE(ParamStore::TypedValue(shdl, 64, lo, hi, value) && value == 63) << "one past the end is the end";
    EXPECT_TRUE(ParamStore::TypedValue(shdl, -1, lo, hi, value) && value == 0);
    EXPECT_FALSE(ParamStore::TypedValue(shdl, 65, lo, hi, value));
    EXPECT_EQ(ParamStore::SteppedValue(shdl, 63, 1, lo, hi), 0);
    EXPECT_EQ(ParamStore::SteppedValue(shdl, 0, -1, lo, hi), 63);

    EXPECT_EQ(ParamStore::SteppedValue(B("KSR"), 16383, 1, 0, 16383), 16383);
    EXPECT_EQ(ParamStore::SteppedValue(B("TCNR0"), INT_MAX - 1, 10, 0, INT_MAX - 1), INT_MAX - 1)
        << "a step at the edge of int stops there";

    // A value the camera or a file gave outside the range moves toward it one step at a time.
    EXPECT_EQ(ParamStore::SteppedValue(B("GA"), 700, -1, -92, 605), 699);
    EXPECT_EQ(ParamStore::SteppedValue(B("GA"), 700, 1, -92, 605), 700) << "never further out";
    EXPECT_EQ(ParamStore::SteppedValue(shdl, 100, -1, lo, hi), 99) << "a wrap row does not wrap from outside";
    EXPECT_EQ(ParamStore::SteppedValue(B("STL"), 0, 10, 1, 1040), 1) << "a step into the range stops at its edge";

    // The start line bounds the end line's spin and the other way round, within the other's range:
    // after a file set STL 500 and ETL 100, the ETL arrow goes 100, 101, not 100, 501.
    const ParamStore::CoupledBound endBound = ParamStore::LineCoupling(B("STL"), 500);
    EXPECT_TRUE(endBound.ctrlId == B("ETL") && endBound.lower && endBound.value == 501);
    EXPECT_EQ(ParamStore::SteppedValue(B("ETL"), 100, 1, endBound.value, 1040), 101);
    EXPECT_EQ(ParamStore::LineCoupling(B("STL"), INT_MAX).value, 1040);
    EXPECT_EQ(ParamStore::LineCoupling(B("ETL"), 0).value, 1);
}

TEST(ParamStore, LinkedPairsMoveTheirPartner)
{
    ParamStore store;
    std::map<int, int> shown = {{B("AASX"), 8}, {B("AAOX"), 5}};
    const auto show = [&](int id) { return shown[id]; };

    // Growing an offset shrinks its detection window (the other way round is sent in the window tests).
    shown[B("AAOX")] = 0;
    const auto moves = store.MoveLinked(B("AAOX"), 1, show);
    EXPECT_TRUE(moves.size() == 1u && moves[0].ctrlId == B("AASX") && moves[0].value == 7);
    EXPECT_TRUE(store.MoveLinked(B("AAOX"), 8, show).empty()) << "the offset would leave its range";

    // A DOUOFFSET step moves both phases of its channel; DPHP wraps round.
    shown = {{CtrlId::DouOffset1, 0}, {B("DPHP"), 63}, {B("DPHN"), 6}};
    EXPECT_EQ(store.MoveLinked(CtrlId::DouOffset1, 1, show).size(), 2u);
    EXPECT_EQ(store.GetParam(B("DPHP")), 0);
    EXPECT_EQ(store.GetParam(B("DPHN")), 7);

    // A pair naming a control without a binding row never moves.
    int moved = -1;
    EXPECT_FALSE(ParamStore::MoveSecondary(LinkedPair{CtrlId::DouOffset1, 12345, 0, 0}, 0, 0, 1, moved));
    EXPECT_FALSE(ParamStore::MoveSecondary(LinkedPair{12345, B("DPHP"), 0, 0}, 0, 0, 1, moved));
}
