#include "dialogs/CLutEditors.h"

#include <QApplication>
#include <QScreen>

#include <algorithm>
#include <chrono>
#include <thread>

#include "comm/EngineHost.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/FileChoosers.h"
#include "dialogs/LutEditorTexts.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/UiPrompts.h"
#include "files/GammaFile.h"
#include "lut/LutTransfer.h"
#include "session/SessionTexts.h"

namespace {

const int kCascadeOffsets[] = {200, 150, 100};   // red highest and furthest left

GammaTables TablesOf(const std::array<std::unique_ptr<CLUTDlg>, 3>& editors)
{
    return {editors[0]->Lut(), editors[1]->Lut(), editors[2]->Lut()};
}

}  // namespace

CLutEditors::CLutEditors(CompanionOwner& owner, UiPrompts& prompts, int lineOnline)
    : m_owner(owner), m_prompts(prompts), m_readTimeoutMs(LutTransfer::kReadTimeoutMs)
{
    for (size_t ch = 0; ch < m_editors.size(); ++ch)
        m_editors[ch] = std::make_unique<CLUTDlg>(static_cast<int>(ch), owner, lineOnline);
    PlaceInCascade();
}

CLutEditors::~CLutEditors() = default;

// Up and to the left of the centred place, each by its own step; on a small
// screen the red editor keeps to the top left corner and the others follow.
void CLutEditors::PlaceInCascade()
{
    const QScreen* screen = QGuiApplication::primaryScreen();
    const QRect area = screen ? screen->availableGeometry() : QRect(0, 0, 1280, 1024);
    const QSize size = m_editors[0]->size();
    const QPoint centred = area.center() - QPoint(size.width() / 2, size.height() / 2);
    const int highest = kCascadeOffsets[0];
    const QPoint red(std::max(area.left(), centred.x() - highest), std::max(area.top(), centred.y() - highest));
    for (size_t ch = 0; ch < m_editors.size(); ++ch) {
        const int step = highest - kCascadeOffsets[ch];
        m_editors[ch]->move(red + QPoint(step, step));
    }
}

void CLutEditors::OnLutSetting()
{
    for (auto& editor : m_editors) {
        editor->showNormal();
        editor->raise();
        editor->activateWindow();
    }
}

void CLutEditors::SetCommStatus(int state)
{
    for (auto& editor : m_editors)
        editor->SetCommStatus(state);
}

void CLutEditors::ShowTable(int channel, const GammaTables& tables)
{
    CLUTDlg& editor = Editor(channel);
    editor.SetTable(tables.at(static_cast<size_t>(channel)));
    editor.InvalidateGraph();
    editor.DrawTable();
}

// ---- files -------------------------------------------------------------------

void CLutEditors::ShowCannotOpen(const QString& path)
{
    m_prompts.Message(m_owner.OwnerWindow(), path + SessionTexts::kCannotOpen, SessionTexts::kFileError, UiPrompts::Icon::Exclamation);
}

void CLutEditors::OnOpenGammaFile()
{
    const QString path = FileChoosers(m_prompts, m_owner.OwnerWindow()).ChooseGammaFileToOpen();
    if (!path.isEmpty())
        ReadGammaFile(path);
}

void CLutEditors::OnSaveGammaFile()
{
    QString path;
    if (FileChoosers(m_prompts, m_owner.OwnerWindow()).ChooseCsvSaveFile(LutEditorTexts::kSaveFilter, path))
        WriteGammaFile(path);
}

// The old file stays whole when the new one cannot be written.
bool CLutEditors::WriteGammaFile(const QString& path)
{
    BlockingScope blocking;
    if (GammaFile::Write(path.toStdString(), TablesOf(m_editors)))
        return true;
    ShowCannotOpen(path);
    return false;
}

bool CLutEditors::ReadGammaFile(const QString& path)
{
    BlockingScope blocking;
    GammaTables tables = TablesOf(m_editors);
    if (GammaFile::Read(path.toStdString(), tables) < 0) {
        ShowCannotOpen(path);
        return false;
    }
    for (int ch = 0; ch < 3; ++ch)
        ShowTable(ch, tables);
    return true;
}

// ---- camera ------------------------------------------------------------------

void CLutEditors::OnLoadGammaFromCamera()
{
    {
        BlockingScope blocking;
        ReadLutsFromCamera();
    }
    std::this_thread::sleep_for(std::chrono::milliseconds(20));
}

// 1536 queries. A table read whole is drawn at once; at the first failure the
// operation ends, the interrupted table holding the entries read so far.
void CLutEditors::ReadLutsFromCamera()
{
    CRsCmd* engine = m_owner.Camera();
    if (!engine)
        return;
    CProgDlg& progress = m_owner.Progress();
    progress.Create(m_owner.OwnerWindow());
    progress.SetMessage(SessionTexts::kReadingData);
    GammaTables tables = TablesOf(m_editors);
    LutTransfer transfer(*engine);
    transfer.SetTimeouts(LutTransfer::kSendTimeoutMs, m_readTimeoutMs);
    int reading = 0;
    int read = 0;
    const auto entryDone = [&](int ch, int k) {
        read = ch * kLutEntries + k + 1;
        progress.SetPos((ch * kLutEntries + k) * 100 / (3 * kLutEntries));
    };
    const auto tableDone = [&](int ch) {
        ShowTable(ch, tables);
        reading = ch + 1;
    };
    if (!transfer.ReadAll(tables, entryDone, tableDone)) {
        Editor(reading).MutableLut() = tables.at(static_cast<size_t>(reading));
        progress.Destroy();
        if (StopRequest::CancelRaised())
            m_prompts.Message(m_owner.OwnerWindow(), QString(LutEditorTexts::kReadCancelled).arg(read).arg(3 * kLutEntries),
                              EngineHost::kToolCaption, UiPrompts::Icon::Information);
        return;
    }
    progress.SetPos(100);
    if (QWidget* owner = m_owner.OwnerWindow())
        owner->activateWindow();
    progress.Destroy();
}
