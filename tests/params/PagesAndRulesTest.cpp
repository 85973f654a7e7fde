#include <gtest/gtest.h>

#include <map>
#include <set>
#include <tuple>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/CtrlTbl.h"
#include "params/PageContents.h"

namespace {

int B(const std::string& mnemonic) { return CtrlId::Bound(CommandTable::Find(mnemonic)); }

struct PlacedCell {
    int page;
    const PageGroup* group;
    const PageCell* cell;
};

std::vector<PlacedCell> AllCells()
{
    std::vector<PlacedCell> cells;
    const auto& pages = PageContents();
    for (size_t p = 0; p < pages.size(); ++p)
        for (const PageGroup& group : pages[p].groups)
            for (const PageRow& row : group.rows)
                for (const PageCell& cell : row.cells)
                    cells.push_back({static_cast<int>(p), &group, &cell});
    return cells;
}

// Control id -> the cells showing it.
std::map<int, std::vector<PlacedCell>> CellsById()
{
    std::map<int, std::vector<PlacedCell>> byId;
    for (const PlacedCell& placed : AllCells())
        if (placed.cell->ctrlId != 0)
            byId[placed.cell->ctrlId].push_back(placed);
    return byId;
}

const PageGroup* FindGroup(int page, const std::string& caption)
{
    for (const PageGroup& group : PageContents()[page].groups)
        if (group.caption == caption)
            return &group;
    return nullptr;
}

bool HasText(int page, const std::string& text)
{
    for (const PlacedCell& placed : AllCells())
        if (placed.page == page && placed.cell->text == text)
            return true;
    return false;
}

}  // namespace

TEST(PageContents, PagesGroupsAndExactTexts)
{
    const auto& pages = PageContents();
    const std::pair<const char*, ParamPageKind> tabs[] = {
        {"User Parameter", UserPage}, {"User Parameter2", UserPage}, {"Factory A", FactoryPage},
        {"Factory B", FactoryPage},   {"Factory C", FactoryPage},     {"Factory E", FactoryPage},
        {"Factory F", FactoryPage},   {"Factory G", FactoryPage}};
    ASSERT_EQ(pages.size(), 8u);
    for (size_t i = 0; i < pages.size(); ++i) {
        EXPECT_EQ(pages[i].caption, tabs[i].first);
        EXPECT_EQ(pages[i].kind, tabs[i].second) << tabs[i].first;
    }

    EXPECT_TRUE(FindGroup(3, "AFE 1(Red)") && FindGroup(3, "AFE 2(Green)"));
    EXPECT_TRUE(FindGroup(4, "AFE 3(Blue)") && FindGroup(4, "AFE_TG"));
    EXPECT_TRUE(HasText(0, "Scannig Format"));
    EXPECT_TRUE(HasText(1, "Treshold"));
    EXPECT_TRUE(HasText(7, " Y  from Camera"));
    EXPECT_EQ(CellsById()[B("BDRT")].front().cell->entries.front(), " 9600bps");

    std::set<int> hidden, factoryOnly;
    for (const PlacedCell& placed : AllCells()) {
        if (placed.cell->hidden)
            hidden.insert(placed.cell->ctrlId);
        if (placed.cell->factoryOnly)
            factoryOnly.insert(placed.cell->ctrlId);
    }
    EXPECT_EQ(hidden, (std::set<int>{CtrlId::ProtectEnable, CtrlId::FlatColor, CtrlId::AutoMonitor}));
    EXPECT_EQ(factoryOnly, std::set<int>{B("VPP")});
}

TEST(PageContents, EveryBoundControlHasExactlyOneMatchingCell)
{
    const auto byId = CellsById();
    for (const auto& [id, cells] : byId) {
        EXPECT_EQ(cells.size(), 1u) << "control " << id << " shown " << cells.size() << " times";
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
    for (const PlacedCell& placed : AllCells()) {
        const PageCell& cell = *placed.cell;
        if (cell.kind == CellKind::Radio)
            ++radiosPerHead[cell.groupHead];
        const int index = CtrlTbl::FindByCtrl(cell.ctrlId);
        if (index < 0)
            continue;
        const CtrlTblEntry& row = CtrlTbl::Rows()[index];
        EXPECT_EQ(row.kind, kindOfCell.at(cell.kind)) << "control " << cell.ctrlId;
        if (cell.kind == CellKind::List) {
            EXPECT_EQ(static_cast<int>(cell.entries.size()), row.max + 1) << "list " << cell.ctrlId;
        }
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
    ASSERT_EQ(red->rows.size(), 17u);
    EXPECT_EQ(red->rows[0].cells[1].text, "( H )");
    EXPECT_EQ(red->rows[1].cells[0].text, "01");
    EXPECT_EQ(red->rows[1].cells[1].ctrlId, B("BMBR1"));
    EXPECT_EQ(red->rows[1].cells[2].ctrlId, B("BMBR2"));
    EXPECT_EQ(blue->rows[16].cells[0].text, "16");
    EXPECT_EQ(blue->rows[16].cells[2].ctrlId, B("BMWB32"));

    const PageGroup* tg = FindGroup(4, "AFE_TG");
    ASSERT_TRUE(tg);
    ASSERT_EQ(tg->rows.size(), 5u);
    EXPECT_EQ(tg->rows[0].cells[3].text, "POL");
    EXPECT_EQ(tg->rows[4].cells[0].text, "RG");
    EXPECT_EQ(tg->rows[4].cells[3].ctrlId, B("RGPO"));

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
    std::set<int> disabledByPwc;
    for (int i = 0; i < DisableRuleTbl::Count(); ++i) {
        const DisableRule& rule = DisableRuleTbl::Rows()[i];
        EXPECT_TRUE(exists(rule.controllingCtrl) && exists(rule.dependentCtrl)) << "rule " << i;
        EXPECT_EQ(rule.disable, 1);
        EXPECT_TRUE(seen.insert({rule.controllingCtrl, rule.value, rule.dependentCtrl}).second) << "rule " << i;
        if (rule.controllingCtrl == B("TR") && rule.value == 2)
            disabledByPwc.insert(rule.dependentCtrl);
    }
    const std::set<int> pwc = {B("SH"), B("PE"), B("PER"), B("PEG"), B("PEB"), B("RF"), B("SM"),
                               CtrlId::SmProgrammableCommon, CtrlId::SmProgrammableRgb, CtrlId::SmAuto, B("AW")};
    EXPECT_EQ(disabledByPwc, pwc) << "pulse-width trigger greys out the exposure controls";

    // Window size and offset limit each other both ways; DOUOFFSET moves its own channel's phases.
    std::multimap<int, LinkedPair> pairs;
    for (int i = 0; i < LinkedPairTbl::Count(); ++i) {
        const LinkedPair& pair = LinkedPairTbl::Rows()[i];
        EXPECT_TRUE(exists(pair.primaryCtrl) && exists(pair.secondaryCtrl)) << "pair " << i;
        pairs.insert({pair.primaryCtrl, pair});
    }
    EXPECT_EQ(LinkedPairTbl::Count(), 14);
    for (const auto& [primary, pair] : pairs) {
        if (pair.sumLimit == 0)
            continue;
        EXPECT_EQ(pair.sumLimit, 8);
        EXPECT_EQ(pair.reverse, 1);
        const auto back = pairs.find(pair.secondaryCtrl);
        EXPECT_TRUE(back != pairs.end() && back->second.secondaryCtrl == primary) << "pair " << primary << " is one-way";
    }
    const auto third = pairs.equal_range(CtrlId::DouOffset3);
    std::set<int> phases;
    for (auto it = third.first; it != third.second; ++it)
        phases.insert(it->second.secondaryCtrl);
    EXPECT_EQ(phases, (std::set<int>{B("DPHP3"), B("DPHN3")}));
}
