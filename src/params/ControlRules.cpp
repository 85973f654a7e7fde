#include "params/ControlRules.h"

#include <stdexcept>
#include <string>
#include <vector>

#include "comm/CommandTable.h"
#include "params/ControlIds.h"

namespace {

// Id of the first control bound to the command.
int B(const char* mnemonic)
{
    const int index = CommandTable::Find(mnemonic);
    if (index < 0)
        throw std::logic_error(std::string("control rules name an unknown command: ") + mnemonic);
    return CtrlId::Bound(index);
}

// Each dependent is disabled while the controlling control shows any of the values.
struct RuleLine {
    int controlling;
    std::vector<int> values;
    std::vector<int> dependents;
};

std::vector<RuleLine> RuleLines()
{
    using namespace CtrlId;
    const std::vector<int> exposureRadios = {B("SM"), SmProgrammableCommon, SmProgrammableRgb, SmAuto};
    const int onePushAwb = B("AW");

    std::vector<int> pwcDisables = {B("RF"), B("PE"), B("PER"), B("PEG"), B("PEB"), B("SH")};
    pwcDisables.insert(pwcDisables.end(), exposureRadios.begin(), exposureRadios.end());
    pwcDisables.push_back(onePushAwb);

    return {
        // Exposure mode: 0 preset shutter, 1 one common time, 2 one time per colour, 3 auto.
        {B("SM"), {0}, {B("PE"), B("PER"), B("PEG"), B("PEB")}},
        {B("SM"), {1}, {B("SH"), B("PER"), B("PEG"), B("PEB")}},
        {B("SM"), {2}, {B("SH"), B("PE")}},
        {B("SM"), {3}, {B("SH"), B("PE"), B("PER"), B("PEG"), B("PEB")}},
        // Gain mode: auto gain owns the gains.
        {B("AGC"), {1}, {B("GA"), B("GAR"), B("GAB")}},
        // Scanning: full frame has no partial window; partial scan excludes binning and back.
        {B("SC"), {0}, {B("STL"), B("ETL"), B("PRGP")}},
        {B("SC"), {1}, {B("VB")}},
        {B("VB"), {1}, {B("SC")}},
        // A fixed partial window ignores the start and end lines.
        {B("PRGP"), {1, 2, 3, 4}, {B("STL"), B("ETL")}},
        // Trigger mode: 0 NORMAL, 1 EPS, 2 PWC (pulse width sets the exposure), 3 RCT.
        {B("TR"), {0}, {B("TI"), B("TP"), B("SL"), B("LS"), B("RF"), B("TRGM")}},
        {B("TR"), {1}, {B("RF"), onePushAwb}},
        {B("TR"), {2}, pwcDisables},
        {B("TR"), {3}, {B("SL"), B("LS"), B("TRGM"), onePushAwb}},
        // White balance: continuous AWB or a colour temperature preset.
        {B("WB"), {1}, {onePushAwb}},
        {B("WB"), {2, 3, 4}, {B("WASX"), B("WASY"), B("WAOX"), B("WAOY"), onePushAwb}},
        // Shading: "off" and "Factory" cannot be recalibrated (factory mode re-enables "Factory").
        {B("SDM"), {0, 1}, {B("RS"), RecalibrateColor}},
    };
}

std::vector<DisableRule> BuildRules()
{
    std::vector<DisableRule> rows;
    for (const RuleLine& line : RuleLines())
        for (int value : line.values)
            for (int dependent : line.dependents)
                rows.push_back(DisableRule{line.controlling, value, dependent, 1});
    return rows;
}

struct PairLine {
    int primary;
    std::vector<int> secondaries;
    int reverse;
    int sumLimit;
};

std::vector<LinkedPair> BuildPairs()
{
    using namespace CtrlId;
    constexpr int kWindowLimit = 8;   // window size + window offset
    const PairLine lines[] = {
        // A DOUOFFSET step moves both DOUTPHASE values of its channel.
        {DouOffset1, {B("DPHP"), B("DPHN")}, 0, 0},
        {DouOffset2, {B("DPHP2"), B("DPHN2")}, 0, 0},
        {DouOffset3, {B("DPHP3"), B("DPHN3")}, 0, 0},
        // Growing a detection window shrinks its offset, and the other way round.
        {B("AASX"), {B("AAOX")}, 1, kWindowLimit},
        {B("AASY"), {B("AAOY")}, 1, kWindowLimit},
        {B("AAOX"), {B("AASX")}, 1, kWindowLimit},
        {B("AAOY"), {B("AASY")}, 1, kWindowLimit},
        {B("WASX"), {B("WAOX")}, 1, kWindowLimit},
        {B("WASY"), {B("WAOY")}, 1, kWindowLimit},
        {B("WAOX"), {B("WASX")}, 1, kWindowLimit},
        {B("WAOY"), {B("WASY")}, 1, kWindowLimit},
    };
    std::vector<LinkedPair> rows;
    for (const PairLine& line : lines)
        for (int secondary : line.secondaries)
            rows.push_back(LinkedPair{line.primary, secondary, line.reverse, line.sumLimit});
    return rows;
}

const std::vector<DisableRule>& AllRules()
{
    static const std::vector<DisableRule> rows = BuildRules();
    return rows;
}

const std::vector<LinkedPair>& AllPairs()
{
    static const std::vector<LinkedPair> rows = BuildPairs();
    return rows;
}

}  // namespace

const DisableRule* DisableRuleTbl::Rows()
{
    return AllRules().data();
}

int DisableRuleTbl::Count()
{
    return static_cast<int>(AllRules().size());
}

const LinkedPair* LinkedPairTbl::Rows()
{
    return AllPairs().data();
}

int LinkedPairTbl::Count()
{
    return static_cast<int>(AllPairs().size());
}
