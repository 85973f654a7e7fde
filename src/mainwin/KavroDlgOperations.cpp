// Camera operations: white balance, blemish and shading recalibration, the
// temperature and S number read-outs, prism shading and the average data.
#include "mainwin/CKavroDlg.h"

#include <QLineEdit>

#include <algorithm>
#include <string>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/UiPrompts.h"
#include "files/AverageDataFile.h"
#include "params/ControlIds.h"

namespace {

struct AwbResultMessage {
    int code;
    const char* text;
    UiPrompts::Icon icon;
};

// What "AWRS" reports after a white balance.
const AwbResultMessage kAwbResults[] = {
    {0, "Completed the Auto White Balance. The RB gain values were updated.", UiPrompts::Icon::Information},
    {1, "Error1. too bright.", UiPrompts::Icon::Exclamation},
    {2, "Error2. too dark.", UiPrompts::Icon::Exclamation},
    {3, "Error3. Timeout-error occurred.", UiPrompts::Icon::Exclamation},
    {4, "AWB has not been finished yet.", UiPrompts::Icon::Exclamation},
    {5, "Error5. Limit.", UiPrompts::Icon::Exclamation},
    {6, "Error6. Trig is not set as Normal", UiPrompts::Icon::Exclamation},
};
const char kUnknownError[] = "Unknown error occurred.";
const int kAwbNoAnswer = 1;   // the result taken when "AWRS" is not answered

// The settings a white balance changes, re-read in this order.
const char* const kAwbSettings[] = {"GAR", "GAB", "DGR", "DGG", "DGB"};

const char kBlemishDone[] = "Finished the ReCalibrate Blemish . The Blemish Point values were updated.";
const int kBlemishPointsPerColour = 32;

// "SDM": which shading table is in use.
enum ShadingTable { ShadingOff = 0, ShadingFactory = 1, ShadingUser1 = 2, ShadingUser2 = 3 };
const int kFactoryShadingTable = 2;   // the first number of "RS"/"RS00" for the factory table

struct AverageButton {
    int ctrlId;
    const char* mnemonic;
};
const AverageButton kAverageButtons[] = {
    {CtrlId::AverageRed, "AVDR"},
    {CtrlId::AverageGreen, "AVDG"},
    {CtrlId::AverageBlue, "AVDB"},
    {CtrlId::AverageY, "AVDY"},
};
const int kAverageBlocks = 64;
const char kAverageFilter[] = "Average data (*.csv)";
const char kReadingMessage[] = "Now, reading camera data.";
const char kCannotOpen[] = "\nCouldn't open this file";
const char kFileError[] = "File Open Error";

const double kDegreesPerStep = 0.0625;   // "TMS" counts sixteenths of a degree
const QString kDegrees = QString::fromUtf8(" \u00b0C");

// What the progress window says when the camera takes its time, and what is
// said after a Cancel.
const char kAwbProgress[] = "Now, running the One-Push AWB.";
const char kAwbCancelled[] = "One-Push AWB cancelled.";
const char kBlemishProgress[] = "Now, recalibrating the blemish points.";
const char kBlemishCancelled[] = "Blemish recalibration cancelled: %1 of %2 points read.";
const char kShadingProgress[] = "Now, recalibrating the shading.";
const char kShadingCancelled[] = "Shading recalibration cancelled.";
const char kPrismProgress[] = "Now, getting the prism shading.";
const char kAverageCancelled[] = "Reading cancelled: %1 of %2 blocks read.";

// R1 .. R32, G1 .. G32, B1 .. B32 of the black ("BMB") or white ("BMW") points.
std::vector<int> BlemishPoints(const char* prefix)
{
    std::vector<int> ids;
    for (const char colour : {'R', 'G', 'B'})
        for (int n = 1; n <= kBlemishPointsPerColour; ++n)
            ids.push_back(CtrlId::Bound(prefix + std::string(1, colour) + std::to_string(n)));
    return ids;
}

}  // namespace

void CKavroDlg::ShowReadOut(int ctrlId, const QString& text)
{
    if (auto* readOut = qobject_cast<QLineEdit*>(FindCtrl(ctrlId)))
        readOut->setText(text);
}

// A setting that is not answered keeps its old value; the others are still
// read. The number answered.
int CKavroDlg::ReloadCtrls(const std::vector<int>& ctrlIds)
{
    int answered = 0;
    for (int ctrlId : ctrlIds)
        answered += ReloadCtrl(ctrlId);
    CommitParams();
    return answered;
}

// Said inside the operation, so that its box takes input; true after a Cancel.
bool CKavroDlg::ReportCancel(const QString& text)
{
    if (!StopRequest::CancelRaised())
        return false;
    m_progress->Destroy();
    m_prompts.Message(this, text, EngineHost::kToolCaption, UiPrompts::Icon::Information);
    return true;
}

void CKavroDlg::OnOnePushAwb(int)
{
    int result = kAwbNoAnswer;
    {
        BlockingScope blocking;
        CProgDlg::WhenSlow progress(*m_progress, this, kAwbProgress);
        const bool started = m_engine->SetInt(CmdAW, 0, 1, m_operationLimits.calibrationMs) != 0;
        if (started) {
            int answer = 0;
            if (m_engine->GetInt(CommandTable::Find("AWRS"), 0, answer, m_operationLimits.calibrationMs))
                result = answer;
            std::vector<int> changed;
            for (const char* mnemonic : kAwbSettings)
                changed.push_back(CtrlId::Bound(mnemonic));
            ReloadCtrls(changed);
        }
        if (ReportCancel(kAwbCancelled) || !started)
            return;
    }
    if (m_settings.offline)
        return;
    const auto* message = std::find_if(std::begin(kAwbResults), std::end(kAwbResults),
                                       [result](const AwbResultMessage& entry) { return entry.code == result; });
    if (message == std::end(kAwbResults))
        m_prompts.Message(this, kUnknownError, EngineHost::kToolCaption, UiPrompts::Icon::Exclamation);
    else
        m_prompts.Message(this, message->text, EngineHost::kToolCaption, message->icon);
}

void CKavroDlg::OnBlemishRecal(int ctrlId)
{
    const bool white = ctrlId == CtrlId::BlemishRecalibrateWhite;
    {
        BlockingScope blocking;
        CProgDlg::WhenSlow progress(*m_progress, this, kBlemishProgress);
        const std::vector<int> points = BlemishPoints(white ? "BMW" : "BMB");
        const bool started =
            m_engine->SetInt(CommandTable::Find("BMRC"), 0, white ? 1 : 0, m_operationLimits.calibrationMs) != 0;
        const int read = started ? ReloadCtrls(points) : 0;
        if (ReportCancel(QString(kBlemishCancelled).arg(read).arg(points.size())) || !started)
            return;
    }
    if (m_settings.offline == 0)
        m_prompts.Message(this, kBlemishDone, EngineHost::kToolCaption, UiPrompts::Icon::Information);
}

// The factory table is recalibrated with "RS00", the user tables with "RS";
// the text names the table and whether flat (0) or colour (1) shading.
void CKavroDlg::OnShadingRecal(int ctrlId)
{
    const int table = GetParam(CtrlId::Bound("SDM"));
    const int colour = ctrlId == CtrlId::RecalibrateColor ? 1 : 0;
    if (!m_settings.IsFactory() && table != ShadingOff && table != ShadingUser1 && table != ShadingUser2) {
        // Not a table the user level may recalibrate: nothing is sent.
        m_prompts.Message(this, kUnknownError, EngineHost::kToolCaption, UiPrompts::Icon::Exclamation);
        return;
    }
    BlockingScope blocking;
    CProgDlg::WhenSlow progress(*m_progress, this, kShadingProgress);
    const bool userTable = table == ShadingUser1 || table == ShadingUser2;
    const int target = userTable ? table - ShadingUser1 : kFactoryShadingTable;
    const QString text = QStringLiteral("%1,%2").arg(target).arg(colour);
    const int command = table == ShadingFactory ? CommandTable::Find("RS00") : CmdRS;
    m_engine->SetText(command, 0, text.toStdString(), m_operationLimits.calibrationMs);
    ReportCancel(kShadingCancelled);
}

void CKavroDlg::OnTemperature(int)
{
    BlockingScope blocking;
    int value = 0;
    if (m_engine->GetInt(CmdTMS, 0, value, m_commandTimeoutMs))
        ShowReadOut(CtrlId::TemperatureText, QString::asprintf("%.1f", value * kDegreesPerStep) + kDegrees);
}

void CKavroDlg::OnSNumber(int)
{
    BlockingScope blocking;
    int value = 0;
    if (m_engine->GetInt(CommandTable::Find("QELS"), 0, value, m_commandTimeoutMs))
        ShowReadOut(CtrlId::SNumberText, QString::asprintf("%d", value));
}

// Whatever the camera answers, no box is shown; a Cancel ends the wait silently too.
void CKavroDlg::OnPrismShadingGet(int)
{
    BlockingScope blocking;
    CProgDlg::WhenSlow progress(*m_progress, this, kPrismProgress);
    m_engine->quietMode = 1;
    m_engine->SetInt(CmdPSHD, 0, 0, m_operationLimits.prismShadingMs);
    m_engine->quietMode = 0;
}

void CKavroDlg::OnAverageData(int ctrlId)
{
    const auto* button = std::find_if(std::begin(kAverageButtons), std::end(kAverageButtons),
                                      [ctrlId](const AverageButton& entry) { return entry.ctrlId == ctrlId; });
    QString path;
    if (button == std::end(kAverageButtons) || !ChooseCsvSaveFile(kAverageFilter, path))
        return;
    ReadAverageData(button->mnemonic, path);
}

// Blocks in order until the first one the camera does not answer. The file
// keeps every block read before it; a block that cannot be written ends the
// export with the file holding the blocks before it.
void CKavroDlg::ReadAverageData(const char* mnemonic, const QString& path)
{
    AverageDataFile file(path.toStdString());
    if (!file.Start()) {
        m_prompts.Message(this, path + kCannotOpen, kFileError, UiPrompts::Icon::Exclamation);
        return;
    }
    bool written = true;
    {
        BlockingScope blocking;
        m_progress->Create(this);
        m_progress->SetMessage(kReadingMessage);
        int read = 0;
        for (int block = 1; block <= kAverageBlocks && written; ++block) {
            const std::string query = QString::asprintf("%s%02d?\r\n", mnemonic, block).toStdString();
            int value = 0;
            if (!m_engine->QueryRaw(value, query, m_operationLimits.averageDataMs))
                break;
            written = file.Add(block, value);
            read += written ? 1 : 0;
            m_progress->SetPos(std::min(100, block * 100 / (kAverageBlocks - 1)));
        }
        m_progress->SetPos(100);
        activateWindow();
        m_progress->Destroy();
        ReportCancel(QString(kAverageCancelled).arg(read).arg(kAverageBlocks));
    }
    if (!written)
        m_prompts.Message(this, path + kCannotOpen, kFileError, UiPrompts::Icon::Exclamation);
}
