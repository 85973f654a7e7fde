#include "comm/CommandTable.h"

#include <array>
#include <cstring>
#include <deque>
#include <stdexcept>

namespace {

// The vocabulary in row order. "NAME*32" stands for NAME1 .. NAME32; a
// "NAME#3" entry stands for the nine colour-matrix names ending in 3.
const char* const kMnemonicSource[] = {
    "EB", "ST", "HP", "VN", "ID", "MD", "UD", "SM", "SH", "PE",
    "PER", "PEG", "PEB", "TR", "TP", "TI", "SL", "LS", "BA", "SC",
    "VB", "STL", "ETL", "PRGP", "GA", "GAR", "GAB", "AGC", "AASX", "AASY",
    "AAOX", "AAOY", "AGCS", "AGCF", "BL", "BLR", "BLB", "SDM", "RS", "KN",
    "KSR", "KSM", "KSB", "KPR", "KPM", "KPB", "SP00", "SPR0", "SPB0", "WB",
    "AW", "WASX", "WASY", "WAOX", "WAOY", "AWRS", "LUTC", "LUTR", "LUTG", "LUTB",
    "TPN", "RF", "CM", "CMTX", "BLM", "BMRC", "BMTHB", "BMTHW", "LD", "SA",
    "EA", "SA00", "ULCK", "MD00", "BDRT", "TRGM", "FPVN", "VSUBR", "VSUBG", "VSUBB",
    "GA00", "GAR0", "GAB0", "BL00", "BLR0", "BLB0", "H1PL", "H1NL", "H1PO", "H2PL",
    "H2NL", "H2PO", "HLPL", "HLNL", "HLPO", "RGPL", "RGNL", "RGPO", "SHDL", "SHPL",
    "SHPT", "DPHP", "DPHN", "TXCR", "TCLY", "SHDL2", "SHPL2", "SHPT2", "DPHP2", "DPHN2",
    "TXCR2", "TCLY2", "SHDL3", "SHPL3", "SHPT3", "DPHP3", "DPHN3", "TXCR3", "TCLY3",
    "BMBR*32", "BMBG*32", "BMBB*32", "BMWR*32", "BMWG*32", "BMWB*32",
    "GR40", "GB40", "GR46", "GB46", "GR56", "GB56",
    "MG#1", "MG#2", "MG#3",
    "RS00", "QELS", "AVDR", "AVDG", "AVDB", "TMS", "VPP", "DGR", "DGG", "DGB",
    "SDTH", "NRC", "NRS", "PSCM", "PSHD", "TC00", "TCNR0", "TCNR1", "TCNR2", "TCNR3",
    "TCNG0", "TCNG1", "TCNG2", "TCNG3", "TCNB0", "TCNB1", "TCNB2", "TCNB3",
};

const char* const kMatrixNames[] = {"RR", "RG", "RB", "GR", "GG", "GB", "BR", "BG", "BB"};

struct RegisterAddress {
    const char* mnemonic;
    const char* address;
};

const RegisterAddress kRegisterAddresses[] = {
    {"VN", "0088"}, {"ID", "00D8"}, {"MD", "0068"}, {"UD", "00E8"}, {"SM", "A000"},
    {"SH", "A004"}, {"PE", "A008"}, {"TR", "A040"}, {"TP", "A048"}, {"TI", "A044"},
    {"BA", "A410"}, {"SC", "A080"}, {"VB", "A084"}, {"BL", "A0E0"}, {"TPN", "A13C"},
    {"BLM", "A140"}, {"LD", "A304"}, {"SA", "A300"}, {"EA", "A308"}, {"SA00", "F000"},
    {"ULCK", "F004"}, {"MD00", "0068"}, {"BDRT", "F034"}, {"H1PL", "F170"}, {"H1NL", "F174"},
    {"H1PO", "F178"}, {"H2PL", "F17C"}, {"H2NL", "F180"}, {"H2PO", "F184"}, {"HLPL", "F188"},
    {"HLNL", "F18C"}, {"HLPO", "F190"}, {"RGPL", "F194"}, {"RGNL", "F198"}, {"RGPO", "F19C"},
    {"SHDL", "F1A0"}, {"SHPL", "F1A4"}, {"SHPT", "F1A8"}, {"DPHP", "F1AC"}, {"DPHN", "F1B0"},
    {"TXCR", "F1B4"}, {"TCLY", "F1B8"}, {"SHDL2", "F1EC"}, {"SHPL2", "F1F0"}, {"SHPT2", "F1F4"},
    {"DPHP2", "F1F8"}, {"DPHN2", "F1FC"}, {"TXCR2", "F200"}, {"TCLY2", "F204"},
};

const char* const kTextRows[] = {"ID", "MD", "UD", "MD00"};

// Expanded names must outlive the table: a deque never moves its elements.
std::deque<std::string>& NameStore()
{
    static std::deque<std::string> store;
    return store;
}

void AppendNames(std::deque<std::string>& names, const std::string& source)
{
    const auto star = source.find('*');
    const auto hash = source.find('#');
    if (star != std::string::npos) {
        const int count = std::stoi(source.substr(star + 1));
        for (int n = 1; n <= count; ++n)
            names.push_back(source.substr(0, star) + std::to_string(n));
    } else if (hash != std::string::npos) {
        for (const char* colours : kMatrixNames)
            names.push_back(source.substr(0, hash) + colours + source.substr(hash + 1));
    } else {
        names.push_back(source);
    }
}

const char* AddressOf(const std::string& mnemonic)
{
    for (const auto& reg : kRegisterAddresses)
        if (mnemonic == reg.mnemonic)
            return reg.address;
    return CommandTable::kNoRegAddress;
}

int32_t KindOf(const std::string& mnemonic)
{
    for (const char* text : kTextRows)
        if (mnemonic == text)
            return KindText;
    return KindInteger;
}

std::array<CommandEntry, CommandTable::kCount> BuildRows()
{
    auto& names = NameStore();
    for (const char* source : kMnemonicSource)
        AppendNames(names, source);
    if (names.size() != CommandTable::kCount)
        throw std::logic_error("command vocabulary does not hold 372 rows");

    std::array<CommandEntry, CommandTable::kCount> rows{};
    for (size_t i = 0; i < rows.size(); ++i) {
        const std::string& name = names[i];
        rows[i] = CommandEntry{static_cast<uint32_t>(i), name.c_str(), 0, 0, KindOf(name), 0, AddressOf(name)};
    }
    return rows;
}

}  // namespace

const char* const CommandTable::kNoRegAddress = "FFFF";

const CommandEntry* CommandTable::Rows()
{
    static const std::array<CommandEntry, kCount> rows = BuildRows();
    return rows.data();
}

const CommandEntry& CommandTable::Row(int index)
{
    return Rows()[index];
}

int CommandTable::Find(const std::string& name)
{
    const CommandEntry* rows = Rows();
    for (int i = 0; i < kCount; ++i)
        if (name == rows[i].mnemonic)
            return i;
    return -1;
}

bool CommandTable::HasRegAddress(int index)
{
    return index >= 0 && index < kCount && Row(index).regAddress != kNoRegAddress;
}
