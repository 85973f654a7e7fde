#include "params/PageContents.h"

#include <cstdio>
#include <stdexcept>
#include <utility>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"

namespace {

using Entries = std::vector<std::string>;

// Id of the first control bound to the command.
int B(const std::string& mnemonic)
{
    const int index = CommandTable::Find(mnemonic);
    if (index < 0)
        throw std::logic_error("page contents name an unknown command: " + mnemonic);
    return CtrlId::Bound(index);
}

// ---- cells -----------------------------------------------------------------

PageCell Cell(CellKind kind, int ctrlId, std::string text = {})
{
    PageCell cell;
    cell.kind = kind;
    cell.ctrlId = ctrlId;
    cell.text = std::move(text);
    return cell;
}

PageCell Label(std::string text) { return Cell(CellKind::Label, 0, std::move(text)); }
PageCell Spacer() { return Cell(CellKind::Spacer, 0); }
PageCell Edit(int ctrlId) { return Cell(CellKind::Edit, ctrlId); }
PageCell Edit(const std::string& mnemonic) { return Edit(B(mnemonic)); }
PageCell Check(int ctrlId, std::string text) { return Cell(CellKind::Check, ctrlId, std::move(text)); }
PageCell Button(int ctrlId, std::string text) { return Cell(CellKind::Button, ctrlId, std::move(text)); }
PageCell ReadOut(int ctrlId) { return Cell(CellKind::ReadOut, ctrlId); }

PageCell List(int ctrlId, Entries entries)
{
    PageCell cell = Cell(CellKind::List, ctrlId);
    cell.entries = std::move(entries);
    return cell;
}

PageCell List(const std::string& mnemonic, Entries entries) { return List(B(mnemonic), std::move(entries)); }

PageCell Radio(int ctrlId, std::string text, int groupHead)
{
    PageCell cell = Cell(CellKind::Radio, ctrlId, std::move(text));
    cell.groupHead = groupHead;
    return cell;
}

PageCell Hidden(PageCell cell)
{
    cell.hidden = true;
    return cell;
}

PageCell FactoryOnly(PageCell cell)
{
    cell.factoryOnly = true;
    return cell;
}

// ---- rows and groups -------------------------------------------------------

PageRow Row(std::vector<PageCell> cells) { return PageRow{std::move(cells)}; }

PageRow LabelledEdit(const std::string& label, const std::string& mnemonic)
{
    return Row({Label(label), Edit(mnemonic)});
}

PageRow LabelledList(const std::string& label, const std::string& mnemonic, Entries entries)
{
    return Row({Label(label), List(mnemonic, std::move(entries))});
}

struct Place {
    int column;
    int row;
    int rowSpan = 1;
    int columnSpan = 1;
};

PageGroup Group(std::string caption, Place place, std::vector<PageRow> rows)
{
    PageGroup group;
    group.caption = std::move(caption);
    group.rows = std::move(rows);
    group.pageColumn = place.column;
    group.pageRow = place.row;
    group.rowSpan = place.rowSpan;
    group.columnSpan = place.columnSpan;
    return group;
}

// Three [label][edit] rows "R", "G", "B" over the given mnemonics.
PageGroup RgbGroup(std::string caption, Place place, const char* red, const char* green, const char* blue)
{
    return Group(std::move(caption), place, {LabelledEdit("R", red), LabelledEdit("G", green), LabelledEdit("B", blue)});
}

PageGroup PixelGainGroup(const std::string& kelvin, Place place)
{
    return Group("Pixel Gain " + kelvin + "k", place,
                 {LabelledEdit("R", "GR" + kelvin.substr(0, 2)), LabelledEdit("B", "GB" + kelvin.substr(0, 2))});
}

// Colour matrix "MG<out><in><set>": one row per output colour, labels "R_R" ... "B_B".
PageGroup MatrixGroup(std::string caption, Place place, char set)
{
    const std::string colours = "RGB";
    std::vector<PageRow> rows;
    for (char out : colours) {
        PageRow row;
        for (char in : colours) {
            row.cells.push_back(Label(std::string{out, '_', in}));
            row.cells.push_back(Edit(std::string{'M', 'G', out, in, set}));
        }
        rows.push_back(std::move(row));
    }
    return Group(std::move(caption), place, std::move(rows));
}

// One analogue front end; the mnemonics carry the channel suffix ("" for AFE 1).
PageGroup AfeGroup(std::string caption, Place place, const std::string& suffix, int douOffsetId)
{
    return Group(std::move(caption), place,
                 {
                     LabelledEdit("SHD LOC", "SHDL" + suffix),
                     LabelledEdit("SHP LOC", "SHPL" + suffix),
                     LabelledEdit("SHP WIDTH", "SHPT" + suffix),
                     LabelledEdit("DOUTPHASE P", "DPHP" + suffix),
                     LabelledEdit("DOUTPHASE N", "DPHN" + suffix),
                     Row({Label("DOUOFFSET"), Edit(douOffsetId)}),
                     LabelledEdit("TCLK_DELAY", "TCLY" + suffix),
                     LabelledEdit("TX_CTRL", "TXCR" + suffix),
                 });
}

PageGroup TimingGeneratorGroup(Place place)
{
    std::vector<PageRow> rows = {Row({Spacer(), Label("POSLOC"), Label("NEGLOC"), Label("POL")})};
    for (const char* signal : {"H1", "H2", "HL", "RG"}) {
        const std::string name = signal;
        rows.push_back(Row({Label(name), Edit(name + "PL"), Edit(name + "NL"), Edit(name + "PO")}));
    }
    return Group("AFE_TG", place, std::move(rows));
}

// 16 numbered rows of (H, V) points: row n holds <prefix>(2n-1) and <prefix>(2n).
PageGroup BlemishGroup(std::string caption, Place place, const std::string& prefix)
{
    constexpr int kPointRows = 16;
    std::vector<PageRow> rows = {Row({Spacer(), Label("( H )"), Label("( V )")})};
    for (int n = 1; n <= kPointRows; ++n) {
        char number[8];
        std::snprintf(number, sizeof number, "%02d", n);
        rows.push_back(Row({Label(number), Edit(prefix + std::to_string(2 * n - 1)), Edit(prefix + std::to_string(2 * n))}));
    }
    return Group(std::move(caption), place, std::move(rows));
}

// ---- pages -----------------------------------------------------------------

Entries Numbered(const std::string& stem, int count)
{
    Entries entries;
    for (int n = 1; n <= count; ++n)
        entries.push_back(stem + std::to_string(n));
    return entries;
}

PageContent UserParameterPage()
{
    using namespace CtrlId;
    const int sm = B("SM");
    Entries testPatterns = {"OFF"};
    for (std::string& pattern : Numbered("Pattern", 15))
        testPatterns.push_back(std::move(pattern));

    return {"User Parameter", UserPage, {
        Group("Shutter", {0, 0}, {
            Row({Radio(sm, "Preset", sm),
                 List("SH", {"OFF", "1/60", "1/100", "1/120", "1/250", "1/500", "1/1000", "1/2000", "1/4000",
                             "1/10000", "1/16000", "1/50000"})}),
            Row({Radio(SmProgrammableCommon, "Programmable exposure", sm), Label("Common"), Edit("PE")}),
            Row({Radio(SmProgrammableRgb, "Programmable exposure", sm), Label("R"), Edit("PER"), Label("G"),
                 Edit("PEG"), Label("B"), Edit("PEB")}),
            Row({Radio(SmAuto, "Auto exposure", sm)}),
        }),
        Group("Knee", {0, 1}, {
            Row({Check(B("KN"), "Knee On")}),
            Row({Label("KneeSlope R"), Edit("KSR"), Label("KneePoint R"), Edit("KPR")}),
            Row({Label("KneeSlope G"), Edit("KSM"), Label("KneePoint G"), Edit("KPM")}),
            Row({Label("KneeSlope B"), Edit("KSB"), Label("KneePoint B"), Edit("KPB")}),
        }),
        RgbGroup("Setup", {0, 2}, "SPR0", "SP00", "SPB0"),
        Group("Trigger", {1, 0}, {
            LabelledList("Mode", "TR", {"NORMAL", "EPS", "PWC", "RCT"}),
            LabelledList("Input", "TI", {"Camera-Link", "Hirose12pin"}),
            LabelledList("Polarity", "TP", {"Active-L", "Active-H"}),
            LabelledList("Smearless", "SL", {"Off", "On"}),
            LabelledList("RCT FVAL", "RF", {"CameraLink Standard", "QEL Standard"}),
            LabelledList("LVAL", "LS", {"AUTO", "Sync", "Async"}),
            LabelledList("TriggerMask", "TRGM", {"OFF", "1"}),
        }),
        Group("Output", {1, 1}, {
            LabelledList("Scannig Format", "SC", {"FULL Frame", "Partial"}),
            LabelledList("Programmable Partial", "PRGP",
                         {"ProgrammablePartial", "PARTIAL 2/3", "PARTIAL 1/2", "PARTIAL 1/4", "PARTIAL 1/8"}),
            LabelledEdit("Start line", "STL"),
            LabelledEdit("End line", "ETL"),
            LabelledList("Vertical Binning", "VB", {"OFF", "ON"}),
            LabelledList("Bit Allocation", "BA", {"8bit", "10bit", "12bit"}),
        }),
        Group("Other", {1, 2}, {
            LabelledList("Test Pattern", "TPN", testPatterns),
            LabelledList("ColorMatrix", "CMTX", {"OFF", "sRGB", "Adobe RGB", "USER"}),
            LabelledList("Blemish Ctrl", "BLM", {"OFF", "Black", "White", "Both"}),
            Row({Label("CenterMarker"), List("CM", {"OFF", "Vertical", "Horizontal", "Both"}), Check(CmR, "R"),
                 Check(CmG, "G"), Check(CmB, "B")}),
        }),
    }};
}

PageContent UserParameter2Page()
{
    using namespace CtrlId;
    const int agc = B("AGC");
    return {"User Parameter2", UserPage, {
        Group("Gain", {0, 0, 2}, {
            Row({Radio(agc, "Manual Gain Control", agc)}),
            Row({Radio(AgcAuto, "Auto Gain Control", agc)}),
            LabelledEdit("MASTER Gain", "GA"),
            LabelledEdit("R", "GAR"),
            LabelledEdit("B", "GAB"),
            Row({Label("WindowSizeX"), Edit("AASX"), Label("WindowSizeY"), Edit("AASY")}),
            Row({Label("WindowOffsetX"), Edit("AAOX"), Label("WindowOffsetY"), Edit("AAOY")}),
            LabelledList("Speed", "AGCS", {"Slow", "Standard", "fast"}),
            LabelledEdit("Reference", "AGCF"),
        }),
        MatrixGroup("Matrix Gain USER", {0, 2}, '3'),
        Group("AWB", {1, 0}, {
            LabelledList("AWB Mode", "WB", {"Manual/PWB", "ContAWB", "4000k", "4600k", "5600k"}),
            Row({Button(B("AW"), "One-Push AWB")}),
            Row({Label("WindowSize X"), Edit("WASX"), Label("WindowSize Y"), Edit("WASY")}),
            Row({Label("WindowOffset X"), Edit("WAOX"), Label("WindowOffset Y"), Edit("WAOY")}),
        }),
        Group("Shading", {1, 1}, {
            LabelledList("ShadingCorrection", "SDM", {"off", "Factory", "User1", "User2"}),
            Row({Button(B("RS"), "ReCalibrate(Flat)"), Button(RecalibrateColor, "ReCalibrate(Color)")}),
            Row({Hidden(List(FlatColor, {"Flat", "Color"}))}),
        }),
        Group("LUT", {1, 2}, {
            Row({List("LUTC", {"OFF(1.0)", "0.45", "0.6", "LUT"}), Button(LutSetting, "LUT Setting")}),
        }),
        Group("Noise Reduction", {0, 3}, {
            Row({List("NRC", {"OFF", "ON"})}),
            LabelledEdit("Treshold", "NRS"),
        }),
        Group("", {1, 3}, {
            Row({Button(Temperature, "Temperature"), ReadOut(TemperatureText)}),
            Row({Hidden(Button(AutoMonitor, "AutoMonitor"))}),
        }),
    }};
}

PageContent FactoryAPage()
{
    using namespace CtrlId;
    return {"Factory A", FactoryPage, {
        RgbGroup("Gain Offset", {0, 0}, "GAR0", "GA00", "GAB0"),
        RgbGroup("Black Offset", {1, 0}, "BLR0", "BL00", "BLB0"),
        RgbGroup("Digital Gain", {2, 0}, "DGR", "DGG", "DGB"),
        RgbGroup("VSUB", {0, 1}, "VSUBR", "VSUBG", "VSUBB"),
        PixelGainGroup("4000", {1, 1}),
        PixelGainGroup("4600", {2, 1}),
        PixelGainGroup("5600", {0, 2}),
        Group("", {1, 2, 1, 2}, {
            LabelledList("Baud Rate", "BDRT", {" 9600bps", "19200bps", "38400bps"}),
            Row({FactoryOnly(Label("Video Path")), FactoryOnly(List("VPP", {"Video Process", "Direct Output"}))}),
            Row({Button(StoreAll, "Store All"), Button(Terminal, "Terminal"), Button(AfeSender, "AfeSender")}),
            Row({Hidden(Check(ProtectEnable, "Enable to Protected Controls"))}),
        }),
    }};
}

PageContent FactoryBPage()
{
    return {"Factory B", FactoryPage, {
        AfeGroup("AFE 1(Red)", {0, 0}, "", CtrlId::DouOffset1),
        AfeGroup("AFE 2(Green)", {1, 0}, "2", CtrlId::DouOffset2),
    }};
}

PageContent FactoryCPage()
{
    return {"Factory C", FactoryPage, {
        AfeGroup("AFE 3(Blue)", {0, 0}, "3", CtrlId::DouOffset3),
        TimingGeneratorGroup({1, 0}),
    }};
}

// 'B' for the black blemish page, 'W' for the white one.
PageContent BlemishPage(std::string caption, const std::string& title, char blackOrWhite, int recalibrateId)
{
    const std::string stem = std::string("BM") + blackOrWhite;
    return {std::move(caption), FactoryPage, {
        Group("", {0, 0, 1, 3}, {Row({Label(title)})}),
        BlemishGroup("Red", {0, 1}, stem + "R"),
        BlemishGroup("Green", {1, 1}, stem + "G"),
        BlemishGroup("Blue", {2, 1}, stem + "B"),
        Group("", {0, 2, 1, 3}, {
            Row({Label("Threshold"), Edit("BMTH" + std::string(1, blackOrWhite)), Button(recalibrateId, "Recalibrate")}),
        }),
    }};
}

PageContent FactoryGPage()
{
    using namespace CtrlId;
    std::vector<PageRow> compensation = {LabelledList("ON/OFF", "TC00", {"OFF", "ON"})};
    for (char colour : std::string("RGB")) {
        const std::string label = std::string(1, colour) + "_a";
        const std::string mnemonic = std::string("TCN") + colour;
        for (int first : {0, 2}) {
            const std::string a = std::to_string(first), b = std::to_string(first + 1);
            compensation.push_back(Row({Label(label + a), Edit(mnemonic + a), Label(label + b), Edit(mnemonic + b)}));
        }
    }
    return {"Factory G", FactoryPage, {
        MatrixGroup("Matrix Gain sRGB", {0, 0}, '1'),
        MatrixGroup("Matrix Gain AdbeRGB", {0, 1}, '2'),
        Group("AverageDataAccess", {1, 0}, {
            Row({Button(AverageRed, "RED from Camera")}),
            Row({Button(AverageGreen, "Green from Camera")}),
            Row({Button(AverageBlue, "BLUE from Camera")}),
            Row({Button(AverageY, " Y  from Camera")}),
        }),
        Group("Shading", {1, 1}, {LabelledEdit("Threshold", "SDTH")}),
        Group("Prism Shading", {1, 2}, {Row({List("PSCM", {"OFF", "ON"}), Button(PrismShadingGet, "Get")})}),
        Group("", {1, 3}, {Row({Button(SNumber, "QEL S number"), ReadOut(SNumberText)})}),
        Group("Temp Compensation", {2, 0, 2}, std::move(compensation)),
    }};
}

std::vector<PageContent> BuildPages()
{
    return {
        UserParameterPage(),
        UserParameter2Page(),
        FactoryAPage(),
        FactoryBPage(),
        FactoryCPage(),
        BlemishPage("Factory E", "Black Blemish Point", 'B', CtrlId::BlemishRecalibrateBlack),
        BlemishPage("Factory F", "White Blemish Point", 'W', CtrlId::BlemishRecalibrateWhite),
        FactoryGPage(),
    };
}

}  // namespace

const std::vector<PageContent>& PageContents()
{
    static const std::vector<PageContent> pages = BuildPages();
    return pages;
}
