#include "camsim/RegisterTable.h"

#include <map>

#include "camsim/ValueText.h"

namespace camsim {

namespace {

using R = Role;

// One row, or a numbered family name<from> .. name<to> when from >= 0.
struct RowSpec {
    const char* name;
    int powerOn = 0;
    const char* address = "";
    Role role = R::Setting;
    int from = -1;
    int to = -1;
};

// Power-on values are what the pages show before anything is read: AGCF is
// held in sixteenths (32 -> 512) and the black levels with an offset of 511.
// TMS counts sixteenths of a degree (656 = 41.0 C).
const RowSpec kRowSpecs[] = {
    {"EB"}, {"ST"}, {"HP"}, {"VN", 126, "0088", R::Reading},
    {"ID", 0, "00D8", R::LockedText}, {"MD", 0, "0068", R::FixedText}, {"UD", 0, "00E8", R::Text},
    {"SM", 0, "A000"}, {"SH", 0, "A004"}, {"PE", 1056, "A008"},
    {"PER", 1056}, {"PEG", 1056}, {"PEB", 1056}, {"TR", 0, "A040"}, {"TP", 0, "A048"}, {"TI", 0, "A044"},
    {"SL"}, {"LS"}, {"BA", 0, "A410"}, {"SC", 0, "A080"},
    {"VB", 0, "A084"}, {"STL", 1}, {"ETL", 1040}, {"PRGP"}, {"GA"}, {"GAR"}, {"GAB"}, {"AGC"},
    {"AASX", 8}, {"AASY", 8},
    {"AAOX"}, {"AAOY"}, {"AGCS"}, {"AGCF", 512}, {"BL", 511, "A0E0"}, {"BLR", 511}, {"BLB", 511},
    {"SDM"}, {"RS", 0, "", R::Action}, {"KN"},
    {"KSR", 667}, {"KSM", 667}, {"KSB", 667}, {"KPR", 4095}, {"KPM", 4095}, {"KPB", 4095},
    {"SP00"}, {"SPR0"}, {"SPB0"}, {"WB"},
    {"AW", 0, "", R::Action}, {"WASX", 8}, {"WASY", 8}, {"WAOX"}, {"WAOY"}, {"AWRS", 0, "", R::Reading},
    {"LUTC"}, {"LUTR", 0, "", R::Lut}, {"LUTG", 0, "", R::Lut}, {"LUTB", 0, "", R::Lut},
    {"TPN", 0, "A13C"}, {"RF"}, {"CM"}, {"CMTX"}, {"BLM", 0, "A140"}, {"BMRC", 0, "", R::Action},
    {"BMTHB"}, {"BMTHW"}, {"LD", 0, "A304", R::Action}, {"SA", 0, "A300", R::Action},
    {"EA", 0, "A308", R::Reading}, {"SA00", 0, "F000", R::Action}, {"ULCK", 0, "F004", R::Action},
    {"MD00", 0, "0068", R::FixedText}, {"BDRT", 0, "F034"}, {"TRGM"}, {"FPVN", 103, "", R::Reading},
    {"VSUBR"}, {"VSUBG"}, {"VSUBB"},
    {"GA00", 109}, {"GAR0", 109}, {"GAB0", 109}, {"BL00"}, {"BLR0"}, {"BLB0"},
    {"H1PL", 60, "F170"}, {"H1NL", 29, "F174"}, {"H1PO", 0, "F178"},
    {"H2PL", 59, "F17C"}, {"H2NL", 25, "F180"}, {"H2PO", 1, "F184"},
    {"HLPL", 0, "F188"}, {"HLNL", 0, "F18C"}, {"HLPO", 0, "F190"},
    {"RGPL", 6, "F194"}, {"RGNL", 23, "F198"}, {"RGPO", 0, "F19C"},
    {"SHDL", 32, "F1A0"}, {"SHPL", 0, "F1A4"}, {"SHPT", 6, "F1A8"}, {"DPHP", 43, "F1AC"},
    {"DPHN", 6, "F1B0"}, {"TXCR", 0, "F1B4"}, {"TCLY", 7, "F1B8"},
    {"SHDL2", 32, "F1EC"}, {"SHPL2", 0, "F1F0"}, {"SHPT2", 6, "F1F4"}, {"DPHP2", 43, "F1F8"},
    {"DPHN2", 6, "F1FC"}, {"TXCR2", 0, "F200"}, {"TCLY2", 7, "F204"},
    {"SHDL3", 32}, {"SHPL3"}, {"SHPT3", 6}, {"DPHP3", 43}, {"DPHN3", 6}, {"TXCR3"}, {"TCLY3", 7},
    {"BMBR", 0, "", R::Setting, 1, 32}, {"BMBG", 0, "", R::Setting, 1, 32}, {"BMBB", 0, "", R::Setting, 1, 32},
    {"BMWR", 0, "", R::Setting, 1, 32}, {"BMWG", 0, "", R::Setting, 1, 32}, {"BMWB", 0, "", R::Setting, 1, 32},
    {"GR40"}, {"GB40"}, {"GR46"}, {"GB46"}, {"GR56"}, {"GB56"},
    {"MGRR", 0, "", R::Setting, 1, 3}, {"MGRG", 0, "", R::Setting, 1, 3}, {"MGRB", 0, "", R::Setting, 1, 3},
    {"MGGR", 0, "", R::Setting, 1, 3}, {"MGGG", 0, "", R::Setting, 1, 3}, {"MGGB", 0, "", R::Setting, 1, 3},
    {"MGBR", 0, "", R::Setting, 1, 3}, {"MGBG", 0, "", R::Setting, 1, 3}, {"MGBB", 0, "", R::Setting, 1, 3},
    {"RS00", 0, "", R::Action}, {"QELS", 5501042, "", R::Reading},
    {"AVDR", 512, "", R::Reading}, {"AVDG", 498, "", R::Reading}, {"AVDB", 505, "", R::Reading},
    {"TMS", 656, "", R::Reading}, {"VPP"}, {"DGR", 16384}, {"DGG", 16384}, {"DGB", 16384},
    {"SDTH", 16384}, {"NRC"}, {"NRS"}, {"PSCM"}, {"PSHD", 0, "", R::Action}, {"TC00"},
    {"TCNR", 0, "", R::Setting, 0, 3}, {"TCNG", 0, "", R::Setting, 0, 3}, {"TCNB", 0, "", R::Setting, 0, 3},
};

// MD00 shares the model name with MD (same address).
const std::map<std::string, std::string> kPowerOnTexts = {
    {"ID", "CK00000001"},
    {"MD", "MX-550CL"},
    {"UD", ""},
};

RegisterRow MakeRow(const RowSpec& entry, const std::string& mnemonic)
{
    RegisterRow row;
    row.mnemonic = mnemonic;
    row.address = entry.address;
    row.powerOn = entry.powerOn;
    row.role = entry.role;
    auto text = kPowerOnTexts.find(mnemonic);
    if (text != kPowerOnTexts.end())
        row.powerOnText = text->second;
    return row;
}

}  // namespace

const RegisterTable& RegisterTable::Instance()
{
    static const RegisterTable table;
    return table;
}

RegisterTable::RegisterTable()
{
    for (const RowSpec& entry : kRowSpecs) {
        if (entry.from < 0) {
            m_rows.push_back(MakeRow(entry, entry.name));
            continue;
        }
        for (int n = entry.from; n <= entry.to; ++n)
            m_rows.push_back(MakeRow(entry, entry.name + std::to_string(n)));
    }
    for (int i = 0; i < Size(); ++i) {
        int shared = m_rows[i].address.empty() ? -1 : FindByAddress(m_rows[i].address);
        m_storage.push_back(shared >= 0 ? shared : i);
    }
}

int RegisterTable::Find(const std::string& upperMnemonic) const
{
    for (int i = 0; i < Size(); ++i) {
        if (m_rows[i].mnemonic == upperMnemonic)
            return i;
    }
    return -1;
}

int RegisterTable::FindByAddress(const std::string& address) const
{
    const std::string wanted = UpperCase(address);
    for (int i = 0; i < Size(); ++i) {
        if (!m_rows[i].address.empty() && m_rows[i].address == wanted)
            return i;
    }
    return -1;
}

}  // namespace camsim
