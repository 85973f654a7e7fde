// The value store without any window: what the pages' events come down to.
#include <gtest/gtest.h>

#include <climits>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"
#include "params/ControlRules.h"
#include "params/ParamStore.h"

namespace {

int Cmd(const std::string& mnemonic) { return CommandTable::Find(mnemonic); }
int B(const std::string& mnemonic) { return CtrlId::Bound(Cmd(mnemonic)); }

}  // namespace

TEST(ParamStore, ARefusalRevertsItselfAndEveryLaterChangeOfThePass)
{
    ParamStore store;
    store.StoreDefaults();
    EXPECT_FALSE(store.HasChanges());
    EXPECT_EQ(store.Cur(Cmd("PE")), 1056);
    ASSERT_TRUE(Cmd("PE") < Cmd("AASX") && Cmd("AASX") < Cmd("AAOX"));
    store.SetParam(B("PE"), 1000);
    store.SetParam(B("AASX"), 3);
    store.SetParam(B("AAOX"), 5);

    std::vector<std::pair<int, int>> sent;
    const auto refuseAasx = [&](int index, int value) {
        sent.push_back({index, value});
        return index != Cmd("AASX");
    };
    EXPECT_EQ(store.SendChanges(refuseAasx), (std::vector<int>{Cmd("AASX"), Cmd("AAOX")}));
    EXPECT_EQ(sent, (std::vector<std::pair<int, int>>{{Cmd("PE"), 1000}, {Cmd("AASX"), 3}})) << "nothing after the refusal";
    EXPECT_EQ(store.Cur(Cmd("AASX")), 8);
    EXPECT_EQ(store.Cur(Cmd("AAOX")), 0) << "the unsent change goes back too";
    EXPECT_EQ(store.Cur(Cmd("PE")), 1000) << "what the camera took stays";
    store.Commit();
    EXPECT_FALSE(store.HasChanges());
    EXPECT_TRUE(store.SendChanges([](int, int) { return false; }).empty()) << "nothing changed, nothing sent";
}

TEST(ParamStore, ControlsReachTheirValueThroughTheBindingTable)
{
    ParamStore store;
    store.StoreDefaults();
    EXPECT_EQ(ParamStore::CommandOf(CtrlId::DouOffset1), ParamStore::kNoCommand);
    EXPECT_EQ(store.GetParam(CtrlId::DouOffset1), 0) << "a control without a command shows 0";
    EXPECT_FALSE(store.SetParam(CtrlId::DouOffset1, 5));
    EXPECT_EQ(store.GetParam(12345), -1) << "an unknown control";
    EXPECT_FALSE(store.SetParam(12345, 5));
    EXPECT_FALSE(store.HasChanges());
    EXPECT_EQ(store.Cur(-1), 0);
    EXPECT_EQ(store.Cur(CommandTable::kCount), 0) << "indexes outside the table are never read";
    EXPECT_EQ(ParamStore::ParamIndex2CtrlId(Cmd("CM")), B("CM")) << "the first of the four";
    EXPECT_EQ(ParamStore::ParamIndex2CtrlId(Cmd("EB")), 0) << "a command without a control";
    EXPECT_EQ(ParamStore::ParamIndex2CtrlId(-1), -1);

    // The centre marker: the combo box sets the low four bits, each check box one colour bit.
    store.SetParam(B("CM"), store.ValueOfControl(B("CM"), 2));
    store.SetParam(CtrlId::CmG, store.ValueOfControl(CtrlId::CmG, 1));
    EXPECT_EQ(store.GetParam(CtrlId::CmR), 34);
    store.SetParam(B("CM"), store.ValueOfControl(B("CM"), 3));
    EXPECT_EQ(store.GetParam(B("CM")), 35);
    EXPECT_EQ(store.ValueOfControl(CtrlId::CmG, 0), 3);
    EXPECT_EQ(store.ValueOfControl(B("GA"), 17), 17) << "other controls stand for what they show";
}

TEST(ParamStore, WrapRowsWrapOtherRowsStopAtTheirEnds)
{
    const int shdl = B("SHDL");
    const auto [lo, hi] = ParamStore::SpinRangeOf(shdl);
    EXPECT_EQ(lo, -1);
    EXPECT_EQ(hi, 64) << "one past each end, so that a step there can wrap";
    int value = 0;
    ASSERT_TRUE(ParamStore::TypedValue(shdl, 64, lo, hi, value));
    EXPECT_EQ(value, 63) << "one past the end is the end";
    ASSERT_TRUE(ParamStore::TypedValue(shdl, -1, lo, hi, value));
    EXPECT_EQ(value, 0);
    EXPECT_FALSE(ParamStore::TypedValue(shdl, 65, lo, hi, value));
    EXPECT_EQ(ParamStore::SteppedValue(shdl, 63, 1, lo, hi), 0);
    EXPECT_EQ(ParamStore::SteppedValue(shdl, 0, -1, lo, hi), 63);
    EXPECT_EQ(ParamStore::SteppedValue(shdl, 10, 1, lo, hi), 11);

    EXPECT_EQ(ParamStore::SpinRangeOf(B("KSR")), std::make_pair(0, 16383));
    EXPECT_EQ(ParamStore::SteppedValue(B("KSR"), 16383, 1, 0, 16383), 16383);
    EXPECT_EQ(ParamStore::SteppedValue(B("TCNR0"), INT_MAX - 1, 10, INT_MIN + 1, INT_MAX - 1), INT_MAX - 1)
        << "a step at the edge of int stops there";
    ASSERT_TRUE(ParamStore::TypedValue(12345, 7, 0, 10, value)) << "an unknown control is no wrap row";
    EXPECT_EQ(value, 7);
}

TEST(ParamStore, LinkedPairsAndTheStartAndEndLines)
{
    ParamStore store;
    store.StoreDefaults();
    std::map<int, int> shown = {{B("AASX"), 8}, {B("AAOX"), 5}};
    const auto show = [&](int id) { return shown[id]; };

    // Growing a detection window shrinks its offset, and the other way round.
    auto moves = store.MoveLinked(B("AASX"), 0, show);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].ctrlId, B("AAOX"));
    EXPECT_EQ(moves[0].value, 0);
    EXPECT_EQ(store.GetParam(B("AAOX")), 0) << "stored as well";
    shown[B("AAOX")] = 0;
    moves = store.MoveLinked(B("AAOX"), 1, show);
    ASSERT_EQ(moves.size(), 1u);
    EXPECT_EQ(moves[0].value, 7);
    EXPECT_TRUE(store.MoveLinked(B("AAOX"), 8, show).empty()) << "the offset would leave its range";

    // A DOUOFFSET step moves both phases of its channel; DPHP wraps round.
    shown = {{CtrlId::DouOffset1, 0}, {B("DPHP"), 63}, {B("DPHN"), 6}};
    moves = store.MoveLinked(CtrlId::DouOffset1, 1, show);
    ASSERT_EQ(moves.size(), 2u);
    EXPECT_EQ(store.GetParam(B("DPHP")), 0);
    EXPECT_EQ(store.GetParam(B("DPHN")), 7);

    // A pair naming a control without a binding row never moves.
    int moved = -1;
    EXPECT_FALSE(ParamStore::MoveSecondary(LinkedPair{CtrlId::DouOffset1, 12345, 0, 0}, 0, 0, 1, moved));
    EXPECT_FALSE(ParamStore::MoveSecondary(LinkedPair{12345, B("DPHP"), 0, 0}, 0, 0, 1, moved));
    EXPECT_EQ(moved, -1);

    const ParamStore::CoupledBound start = ParamStore::LineCoupling(B("STL"), 100);
    EXPECT_TRUE(start.ctrlId == B("ETL") && start.lower && start.value == 101);
    const ParamStore::CoupledBound end = ParamStore::LineCoupling(B("ETL"), INT_MIN);
    EXPECT_TRUE(end.ctrlId == B("STL") && !end.lower && end.value == INT_MIN) << "the bound stops at the edge of int";
    EXPECT_EQ(ParamStore::LineCoupling(B("GA"), 5).ctrlId, 0);
}
