// Camera operations: white balance, blemish and shading recalibration, the
// temperature and S number read-outs, prism shading and the average data.
#include "session/CameraSession.h"

#include <algorithm>
#include <iterator>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/StopRequest.h"
#include "files/AverageDataFile.h"
#include "params/ControlIds.h"
#include "session/Operation.h"
#include "session/SessionHost.h"
#include "session/SessionTexts.h"

namespace {

struct AwbResultMessage {
    int code;
    const char* text;
    bool warning;
};

// What "AWRS" reports after a white balance.
const AwbResultMessage kAwbResults[] = {
    {0, "Completed the Auto White Balance. The RB gain values were updated.", false},
    {1, "Error1. too bright.", true},
    {2, "Error2. too dark.", true},
    {3, "Error3. Timeout-error occurred.", true},
    {4, "AWB has not been finished yet.", true},
    {5, "Error5. Limit.", true},
    {6, "Error6. Trig is not set as Normal", true},
};
const int kAwbNoAnswer = 1;   // the result taken when "AWRS" is not answered

// The settings a white balance changes, re-read in this order.
const char* const kAwbSettings[] = {"GAR", "GAB", "DGR", "DGG", "DGB"};

const int kBlemishPointsPerColour = 32;

// "SDM": which shading table is in use.
enum ShadingTable { ShadingOff = 0, ShadingFactory = 1, ShadingUser1 = 2, ShadingUser2 = 3 };
const int kFactoryShadingTable = 2;   // the first number of "RS"/"RS00" for the factory table

const int kAverageBlocks = 64;
const double kDegreesPerStep = 0.0625;   // "TMS" counts sixteenths of a degree

// R1 .. R32, G1 .. G32, B1 .. B32 of the black ("BMB") or white ("BMW") points.
std::vector<int> BlemishPoints(const char* prefix)
{
    std::vector<int> ids;
    for (const char colour : {'R', 'G', 'B'})
        for (int n = 1; n <= kBlemishPointsPerColour; ++n)
            ids.push_back(CtrlId::Bound(prefix + std::string(1, colour) + std::to_string(n)));
    return ids;
}

// The progress window of an operation that is usually quick, for its scope.
class ProgressWhenSlow {
public:
    ProgressWhenSlow(SessionHost& host, const char* message) : m_host(host) { m_host.ShowProgressWhenSlow(message); }
    ~ProgressWhenSlow() { m_host.CloseProgress(); }
    ProgressWhenSlow(const ProgressWhenSlow&) = delete;
    ProgressWhenSlow& operator=(const ProgressWhenSlow&) = delete;

private:
    SessionHost& m_host;
};

}  // namespace

// Said inside the operation, so that its box takes input; true after a Cancel.
bool CameraSession::ReportCancel(const std::string& text)
{
    if (!StopRequest::CancelRaised())
        return false;
    m_host.CloseProgress();
    ShowMessage(text, false);
    return true;
}

void CameraSession::OnePushAwb()
{
    if (!m_engine)
        return;
    int result = kAwbNoAnswer;
    {
        Operation operation;
        ProgressWhenSlow progress(m_host, SessionTexts::kAwbRunning);
        const bool started = m_engine->SetInt(CmdAW, 0, 1, m_limits.calibrationMs) != 0;
        if (started) {
            int answer = 0;
            if (m_engine->GetInt(CommandTable::Find("AWRS"), 0, answer, m_limits.calibrationMs))
                result = answer;
            std::vector<int> changed;
            for (const char* mnemonic : kAwbSettings)
                changed.push_back(CtrlId::Bound(mnemonic));
            ReloadCtrls(changed);
        }
        if (ReportCancel(SessionTexts::kAwbCancelled) || !started)
            return;
    }
    if (m_settings.offline)
        return;
    const auto* message = std::find_if(std::begin(kAwbResults), std::end(kAwbResults),
                                       [result](const AwbResultMessage& entry) { return entry.code == result; });
    if (message == std::end(kAwbResults))
        ShowMessage(SessionTexts::kUnknownError, true);
    else
        ShowMessage(message->text, message->warning);
}

void CameraSession::BlemishRecal(bool white)
{
    if (!m_engine)
        return;
    {
        Operation operation;
        ProgressWhenSlow progress(m_host, SessionTexts::kBlemishRunning);
        const std::vector<int> points = BlemishPoints(white ? "BMW" : "BMB");
        const bool started =
            m_engine->SetInt(CommandTable::Find("BMRC"), 0, white ? 1 : 0, m_limits.calibrationMs) != 0;
        const int read = started ? ReloadCtrls(points) : 0;
        if (ReportCancel(SessionTexts::Filled(SessionTexts::kBlemishCancelled, read,
                                              static_cast<long long>(points.size()))) ||
            !started)
            return;
    }
    if (m_settings.offline == 0)
        ShowMessage(SessionTexts::kBlemishDone, false);
}

// The factory table is recalibrated with "RS00", the user tables with "RS";
// the text names the table and whether flat (0) or colour (1) shading.
void CameraSession::ShadingRecal(bool colour)
{
    if (!m_engine)
        return;
    const int table = GetParam(CtrlId::Bound("SDM"));
    if (!m_settings.IsFactory() && table != ShadingOff && table != ShadingUser1 && table != ShadingUser2) {
        // Not a table the user level may recalibrate: nothing is sent.
        ShowMessage(SessionTexts::kUnknownError, true);
        return;
    }
    Operation operation;
    ProgressWhenSlow progress(m_host, SessionTexts::kShadingRunning);
    const bool userTable = table == ShadingUser1 || table == ShadingUser2;
    const int target = userTable ? table - ShadingUser1 : kFactoryShadingTable;
    const std::string text = std::to_string(target) + "," + (colour ? "1" : "0");
    const int command = table == ShadingFactory ? CommandTable::Find("RS00") : CmdRS;
    m_engine->SetText(command, 0, text, m_limits.calibrationMs);
    ReportCancel(SessionTexts::kShadingCancelled);
}

bool CameraSession::ReadTemperature(double& degrees)
{
    if (!m_engine)
        return false;
    Operation operation;
    int value = 0;
    if (!m_engine->GetInt(CmdTMS, 0, value, m_limits.commandMs))
        return false;
    degrees = value * kDegreesPerStep;
    return true;
}

bool CameraSession::ReadSNumber(int& number)
{
    if (!m_engine)
        return false;
    Operation operation;
    return m_engine->GetInt(CommandTable::Find("QELS"), 0, number, m_limits.commandMs) != 0;
}

// Whatever the camera answers, no box is shown; a Cancel ends the wait silently too.
void CameraSession::PrismShadingGet()
{
    if (!m_engine)
        return;
    Operation operation;
    ProgressWhenSlow progress(m_host, SessionTexts::kPrismRunning);
    m_engine->quietMode = 1;
    m_engine->SetInt(CmdPSHD, 0, 0, m_limits.prismShadingMs);
    m_engine->quietMode = 0;
}

// Blocks in order until the first one the camera does not answer. The file
// keeps every block read before it; a block that cannot be written ends the
// export with the file holding the blocks before it.
void CameraSession::ReadAverageData(const std::string& mnemonic, const std::string& path)
{
    if (!m_engine)
        return;
    AverageDataFile file(path);
    if (!file.Start()) {
        ShowCannotOpen(path);
        return;
    }
    bool written = true;
    {
        Operation operation;
        m_host.ShowProgress(SessionTexts::kReadingData);
        int read = 0;
        for (int block = 1; block <= kAverageBlocks && written; ++block) {
            const std::string query = mnemonic + (block < 10 ? "0" : "") + std::to_string(block) + "?\r\n";
            int value = 0;
            if (!m_engine->QueryRaw(value, query, m_limits.averageDataMs))
                break;
            written = file.Add(block, value);
            read += written ? 1 : 0;
            m_host.SetProgress(std::min(100, block * 100 / (kAverageBlocks - 1)));
        }
        m_host.SetProgress(100);
        m_host.ActivateMainWindow(false);
        m_host.CloseProgress();
        ReportCancel(SessionTexts::Filled(SessionTexts::kAverageCancelled, read, kAverageBlocks));
    }
    if (!written)
        ShowCannotOpen(path);
}
