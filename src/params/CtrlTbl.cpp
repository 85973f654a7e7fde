#include "params/CtrlTbl.h"

#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"

namespace {

constexpr CtrlKind None = CtrlKindNone;
constexpr CtrlKind Check = CtrlKindCheck;
constexpr CtrlKind Radio = CtrlKindRadio;
constexpr CtrlKind Combo = CtrlKindCombo;
constexpr CtrlKind Edit = CtrlKindEdit;
constexpr CtrlKind Button = CtrlKindButton;

constexpr CtrlAccess Never = AccessNever;
constexpr CtrlAccess Both = AccessBoth;
constexpr CtrlAccess Factory = AccessFactory;

constexpr int NoWrap = 0;
constexpr int Wrap = 1;

// Temperature compensation coefficients use almost the whole 32-bit range.
constexpr int kTcMin = -2147483647;
constexpr int kTcMax = 2147483646;

// One line of the binding description. `names` lists the commands of the
// line's rows in order ("BMBR1..32" is the run BMBR1 .. BMBR32), "" for one
// control without a command. Every row of a line shares kind, range and
// default. A row with a control takes Bound(command) unless the line names a
// fixed id; a row of kind None has no control.
struct BindingLine {
    const char* names;
    CtrlKind kind;
    int wrap;
    CtrlAccess access;
    int min;
    int max;
    int defaultValue;
    int fixedId = 0;
};

// The rows follow the command table; the rows that are read from the camera
// come in the order in which a settings file lists them.
const BindingLine kBindingLines[] = {
    // names                              kind    wrap    access   min     max     default  fixed id
    {"EB ST HP VN ID MD UD",              None,   NoWrap, Never,   0,      0,      0},
    {"SM",                                Radio,  NoWrap, Both,    0,      3,      0},
    {"SH",                                Combo,  NoWrap, Both,    0,      11,     0},
    {"PE PER PEG PEB",                    Edit,   NoWrap, Both,    0,      1056,   1056},
    {"TR",                                Combo,  NoWrap, Both,    0,      3,      0},
    {"TP TI SL",                          Combo,  NoWrap, Both,    0,      1,      0},
    {"LS BA",                             Combo,  NoWrap, Both,    0,      2,      0},
    {"SC VB",                             Combo,  NoWrap, Both,    0,      1,      0},
    {"STL",                               Edit,   NoWrap, Both,    1,      1040,   1},
    {"ETL",                               Edit,   NoWrap, Both,    1,      1040,   1040},
    {"PRGP",                              Combo,  NoWrap, Both,    0,      4,      0},
    {"GA",                                Edit,   NoWrap, Both,    -92,    605,    0},
    {"GAR",                               Edit,   NoWrap, Both,    -200,   200,    0},
    {"GAB",                               Edit,   NoWrap, Both,    -200,   300,    0},
    {"AGC",                               Radio,  NoWrap, Both,    0,      1,      0},
    {"AASX AASY",                         Edit,   NoWrap, Both,    1,      8,      8},
    {"AAOX AAOY",                         Edit,   NoWrap, Both,    0,      7,      0},
    {"AGCS",                              Combo,  NoWrap, Both,    0,      2,      0},
    {"AGCF",                              Edit,   NoWrap, Both,    32,     890,    32},
    {"SDM",                               Combo,  NoWrap, Both,    0,      3,      0},
    {"RS",                                Button, NoWrap, Never,   0,      0,      0},
    {"RS",                                Button, NoWrap, Never,   0,      0,      0,       CtrlId::RecalibrateColor},
    {"KN",                                Check,  NoWrap, Both,    0,      1,      0},
    {"KSR KSM KSB",                       Edit,   NoWrap, Both,    0,      16383,  667},
    {"KPR KPM KPB",                       Edit,   NoWrap, Both,    0,      4095,   4095},
    {"SP00 SPR0 SPB0",                    Edit,   NoWrap, Both,    -128,   128,    0},
    {"WB",                                Combo,  NoWrap, Both,    0,      4,      0},
    {"AW",                                Button, NoWrap, Never,   0,      0,      0},
    {"WASX WASY",                         Edit,   NoWrap, Both,    1,      8,      8},
    {"WAOX WAOY",                         Edit,   NoWrap, Both,    0,      7,      0},
    {"AWRS",                              None,   NoWrap, Never,   0,      0,      0},
    {"LUTC",                              Combo,  NoWrap, Both,    0,      3,      0},
    {"LUTR LUTG LUTB",                    None,   NoWrap, Never,   0,      0,      0},
    {"TPN",                               Combo,  NoWrap, Both,    0,      15,     0},
    {"RF",                                Combo,  NoWrap, Both,    0,      1,      0},
    // The centre marker's combo box and its three colour check boxes share "CM".
    {"CM",                                Combo,  NoWrap, Both,    0,      3,      0},
    {"CM",                                Check,  NoWrap, Both,    0,      1,      0,       CtrlId::CmR},
    {"CM",                                Check,  NoWrap, Both,    0,      1,      0,       CtrlId::CmG},
    {"CM",                                Check,  NoWrap, Both,    0,      1,      0,       CtrlId::CmB},
    {"CMTX BLM",                          Combo,  NoWrap, Both,    0,      3,      0},
    {"BMTHB BMTHW",                       Edit,   NoWrap, Factory, 0,      255,    0},
    {"LD SA EA SA00 ULCK MD00",           None,   NoWrap, Never,   0,      0,      0},
    {"BDRT",                              Combo,  NoWrap, Factory, 0,      2,      0},
    {"TRGM",                              Combo,  NoWrap, Both,    0,      1,      0},
    {"FPVN",                              None,   NoWrap, Never,   0,      0,      0},
    {"VSUBR VSUBG VSUBB",                 Edit,   NoWrap, Factory, 0,      255,    0},
    {"GA00 GAR0 GAB0",                    Edit,   NoWrap, Factory, 0,      511,    109},
    {"BL00 BLR0 BLB0",                    Edit,   NoWrap, Factory, -255,   256,    0},
    // Timing generator: positive and negative edge locations, polarity.
    {"H1PL",                              Edit,   Wrap,   Factory, 0,      63,     60},
    {"H1NL",                              Edit,   Wrap,   Factory, 0,      63,     29},
    {"H1PO",                              Edit,   Wrap,   Factory, 0,      1,      0},
    {"H2PL",                              Edit,   Wrap,   Factory, 0,      63,     59},
    {"H2NL",                              Edit,   Wrap,   Factory, 0,      63,     25},
    {"H2PO",                              Edit,   Wrap,   Factory, 0,      1,      1},
    {"HLPL HLNL",                         Edit,   Wrap,   Factory, 0,      63,     0},
    {"HLPO",                              Edit,   Wrap,   Factory, 0,      1,      0},
    {"RGPL",                              Edit,   Wrap,   Factory, 0,      63,     6},
    {"RGNL",                              Edit,   Wrap,   Factory, 0,      63,     23},
    {"RGPO",                              Edit,   Wrap,   Factory, 0,      1,      0},
    // The three analogue front ends.
    {"SHDL",                              Edit,   Wrap,   Factory, 0,      63,     32},
    {"SHPL",                              Edit,   Wrap,   Factory, 0,      63,     0},
    {"SHPT",                              Edit,   Wrap,   Factory, 0,      63,     6},
    {"DPHP",                              Edit,   Wrap,   Factory, 0,      63,     43},
    {"DPHN",                              Edit,   Wrap,   Factory, 0,      63,     6},
    {"TXCR",                              Edit,   NoWrap, Factory, 0,      1,      0},
    {"TCLY",                              Edit,   Wrap,   Factory, 0,      15,     7},
    {"SHDL2",                             Edit,   Wrap,   Factory, 0,      63,     32},
    {"SHPL2",                             Edit,   Wrap,   Factory, 0,      63,     0},
    {"SHPT2",                             Edit,   Wrap,   Factory, 0,      63,     6},
    {"DPHP2",                             Edit,   Wrap,   Factory, 0,      63,     43},
    {"DPHN2",                             Edit,   Wrap,   Factory, 0,      63,     6},
    {"TXCR2",                             Edit,   NoWrap, Factory, 0,      1,      0},
    {"TCLY2",                             Edit,   Wrap,   Factory, 0,      15,     7},
    {"SHDL3",                             Edit,   Wrap,   Factory, 0,      63,     32},
    {"SHPL3",                             Edit,   Wrap,   Factory, 0,      63,     0},
    {"SHPT3",                             Edit,   Wrap,   Factory, 0,      63,     6},
    {"DPHP3",                             Edit,   Wrap,   Factory, 0,      63,     43},
    {"DPHN3",                             Edit,   Wrap,   Factory, 0,      63,     6},
    {"TXCR3",                             Edit,   NoWrap, Factory, 0,      1,      0},
    {"TCLY3",                             Edit,   Wrap,   Factory, 0,      15,     7},
    // Blemish points, (H, V) pairs: black, then white.
    {"BMBR1..32 BMBG1..32 BMBB1..32 BMWR1..32 BMWG1..32 BMWB1..32",
                                          Edit,   NoWrap, Factory, 0,      65535,  0},
    {"GR40",                              Edit,   NoWrap, Factory, -200,   200,    0},
    {"GB40",                              Edit,   NoWrap, Factory, -200,   300,    0},
    {"GR46",                              Edit,   NoWrap, Factory, -200,   200,    0},
    {"GB46",                              Edit,   NoWrap, Factory, -200,   300,    0},
    {"GR56",                              Edit,   NoWrap, Factory, -200,   200,    0},
    {"GB56",                              Edit,   NoWrap, Factory, -200,   300,    0},
    // Colour matrices: sRGB, Adobe RGB (factory), then the user's own.
    {"MGRR1 MGRG1 MGRB1 MGGR1 MGGG1 MGGB1 MGBR1 MGBG1 MGBB1 "
     "MGRR2 MGRG2 MGRB2 MGGR2 MGGG2 MGGB2 MGBR2 MGBG2 MGBB2",
                                          Edit,   NoWrap, Factory, -2048,  2048,   0},
    {"MGRR3 MGRG3 MGRB3 MGGR3 MGGG3 MGGB3 MGBR3 MGBG3 MGBB3",
                                          Edit,   NoWrap, Both,    -2048,  2048,   0},
    {"RS00 QELS AVDR AVDG AVDB TMS",      None,   NoWrap, Never,   0,      0,      0},
    {"VPP",                               Combo,  NoWrap, Factory, 0,      1,      0},
    {"DGR DGG DGB",                       Edit,   NoWrap, Factory, 0,      65535,  16384},
    {"SDTH",                              Edit,   NoWrap, Factory, 16384,  65535,  16384},
    {"NRC",                               Combo,  NoWrap, Both,    0,      1,      0},
    {"NRS",                               Edit,   NoWrap, Both,    0,      255,    0},
    {"PSCM",                              Combo,  NoWrap, Factory, 0,      1,      0},
    {"PSHD",                              None,   NoWrap, Never,   0,      0,      0},
    {"TC00",                              Combo,  NoWrap, Factory, 0,      1,      0},
    {"TCNR0..3 TCNG0..3 TCNB0..3",        Edit,   NoWrap, Factory, kTcMin, kTcMax, 0},
    // Controls without a parameter of their own.
    {"",                                  Edit,   NoWrap, Never,   -128,   128,    0,       CtrlId::DouOffset1},
    {"",                                  Edit,   NoWrap, Never,   -128,   128,    0,       CtrlId::DouOffset2},
    {"",                                  Edit,   NoWrap, Never,   -128,   128,    0,       CtrlId::DouOffset3},
    {"",                                  Button, NoWrap, Never,   0,      0,      0,       CtrlId::BlemishRecalibrateBlack},
    {"",                                  Button, NoWrap, Never,   0,      0,      0,       CtrlId::BlemishRecalibrateWhite},
    {"",                                  Check,  NoWrap, Never,   0,      1,      0,       CtrlId::ProtectEnable},
    {"",                                  Combo,  NoWrap, Never,   0,      1,      0,       CtrlId::FlatColor},
};

// "NAME" stays as it is; "BMBR1..32" gives BMBR1, BMBR2, ... BMBR32.
void AppendExpanded(std::vector<std::string>& names, const std::string& token)
{
    const auto dots = token.find("..");
    if (dots == std::string::npos) {
        names.push_back(token);
        return;
    }
    const std::string first = token.substr(0, dots);
    const auto digits = first.find_last_not_of("0123456789") + 1;
    const std::string stem = first.substr(0, digits);
    const int from = std::stoi(first.substr(digits));
    const int to = std::stoi(token.substr(dots + 2));
    for (int n = from; n <= to; ++n)
        names.push_back(stem + std::to_string(n));
}

std::vector<std::string> ExpandNames(const char* names)
{
    std::vector<std::string> expanded;
    std::istringstream tokens(names);
    std::string token;
    while (tokens >> token)
        AppendExpanded(expanded, token);
    return expanded;
}

int CommandOf(const std::string& mnemonic)
{
    const int index = CommandTable::Find(mnemonic);
    if (index < 0)
        throw std::logic_error("binding table names an unknown command: " + mnemonic);
    return index;
}

CtrlTblEntry MakeRow(const BindingLine& line, int commandIndex)
{
    int ctrlId = 0;
    if (line.kind != CtrlKindNone)
        ctrlId = line.fixedId != 0 ? line.fixedId : CtrlId::Bound(commandIndex);
    return CtrlTblEntry{ctrlId, commandIndex, line.kind, line.wrap, line.access,
                        line.min, line.max, line.defaultValue};
}

std::vector<CtrlTblEntry> BuildRows()
{
    std::vector<CtrlTblEntry> rows;
    for (const BindingLine& line : kBindingLines) {
        const std::vector<std::string> names = ExpandNames(line.names);
        if (names.empty())
            rows.push_back(MakeRow(line, CmdNone));
        for (const std::string& name : names)
            rows.push_back(MakeRow(line, CommandOf(name)));
    }
    return rows;
}

const std::vector<CtrlTblEntry>& AllRows()
{
    static const std::vector<CtrlTblEntry> rows = BuildRows();
    return rows;
}

}  // namespace

const CtrlTblEntry* CtrlTbl::Rows()
{
    return AllRows().data();
}

int CtrlTbl::Count()
{
    return static_cast<int>(AllRows().size());
}

int CtrlTbl::FindByCtrl(int ctrlId)
{
    if (ctrlId == 0)   // 0 marks rows without a control; it names no control
        return -1;
    const auto& rows = AllRows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].ctrlId == ctrlId)
            return static_cast<int>(i);
    return -1;
}

int CtrlTbl::FindByCommand(int commandIndex)
{
    if (commandIndex < 0)   // -1 marks rows without a command
        return -1;
    const auto& rows = AllRows();
    for (size_t i = 0; i < rows.size(); ++i)
        if (rows[i].commandIndex == commandIndex)
            return static_cast<int>(i);
    return -1;
}
