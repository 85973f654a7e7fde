#include <gtest/gtest.h>

#include <set>

#include "camsim/RegisterTable.h"
#include "comm/CommandTable.h"

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
