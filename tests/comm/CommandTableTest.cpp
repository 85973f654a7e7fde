#include <gtest/gtest.h>

#include <regex>
#include <set>

#include "comm/CommandTable.h"

TEST(CommandTable, RowsAreUniqueWellFormedAndIndexed)
{
    std::set<std::string> seen;
    const std::regex mnemonic("[A-Z0-9]{2,6}");
    int withAddress = 0;
    for (int i = 0; i < CommandTable::kCount; ++i) {
        const CommandEntry& row = CommandTable::Row(i);
        EXPECT_EQ(row.index, static_cast<uint32_t>(i));
        EXPECT_TRUE(std::regex_match(row.mnemonic, mnemonic)) << "row " << i << ": " << row.mnemonic;
        EXPECT_TRUE(seen.insert(row.mnemonic).second) << "duplicate mnemonic " << row.mnemonic;
        EXPECT_EQ(row.hasChannel, 0);
        withAddress += CommandTable::HasRegAddress(i) ? 1 : 0;
    }
    EXPECT_EQ(withAddress, 49);
}

TEST(CommandTable, WellKnownRowsSitWhereCallersExpectThem)
{
    const std::pair<int, const char*> known[] = {
        {0, "EB"},       {CmdGA, "GA"},      {CmdAGCF, "AGCF"},   {CmdBL, "BL"},       {CmdBLB, "BLB"},
        {CmdTPN, "TPN"}, {CmdEA, "EA"},      {CmdMD00, "MD00"},   {119, "BMBR1"},      {150, "BMBR32"},
        {310, "BMWB32"}, {317, "MGRR1"},     {325, "MGBB1"},      {343, "MGBB3"},      {CmdTMS, "TMS"},
        {CmdPSCM, "PSCM"}, {CmdPSHD, "PSHD"}, {371, "TCNB3"},
    };
    for (const auto& [index, name] : known)
        EXPECT_STREQ(CommandTable::Row(index).mnemonic, name) << "row " << index;

    EXPECT_EQ(CommandTable::Find("GA"), 24);
    EXPECT_EQ(CommandTable::Find("ga"), -1) << "lookup is exact; callers upper-case first";
    EXPECT_EQ(CommandTable::Find("GAX"), -1);
}

TEST(CommandTable, TextRowsAndRegisterAddresses)
{
    for (int i = 0; i < CommandTable::kCount; ++i) {
        const bool text = i == CmdID || i == CmdMD || i == CmdUD || i == CmdMD00;
        EXPECT_EQ(CommandTable::Row(i).kind, text ? KindText : KindInteger) << CommandTable::Row(i).mnemonic;
    }
    EXPECT_STREQ(CommandTable::Row(CommandTable::Find("SM")).regAddress, "A000");
    EXPECT_STREQ(CommandTable::Row(CmdMD).regAddress, "0068");
    EXPECT_STREQ(CommandTable::Row(CmdMD00).regAddress, "0068");
    EXPECT_STREQ(CommandTable::Row(CommandTable::Find("TCLY2")).regAddress, "F204");
    EXPECT_EQ(CommandTable::Row(CmdGA).regAddress, CommandTable::kNoRegAddress);
}
