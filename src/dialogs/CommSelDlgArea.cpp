// The camera's non-volatile setting areas: query, store and load.
#include "dialogs/CCommSelDlg.h"

#include <QComboBox>
#include <QLabel>

#include "app/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/EngineHost.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/CommSelOwner.h"
#include "dialogs/UiPrompts.h"

using namespace CommSelTexts;

namespace {

QString AreaName(int area)
{
    constexpr int kCount = sizeof kAreas / sizeof kAreas[0];
    return area >= 0 && area < kCount ? kAreas[area] : kUnknownArea;
}

}  // namespace

// A query that got no answer shows "?": its value is not the camera's.
void CCommSelDlg::OnGetArea()
{
    BlockingScope blocking;
    int area = -1;
    const int answered = m_owner.Engine().GetInt(CmdEA, 0, area, kQueryTimeoutMs);
    m_currentArea->setText(answered == 1 ? AreaName(area) : kUnknownArea);
}

// The factory area has a store command of its own.
void CCommSelDlg::OnStore()
{
    BlockingScope blocking;
    CProgDlg& progress = m_owner.Progress();
    progress.Create(m_owner.OwnerWindow());
    progress.SetMessage(kStoreProgress);

    CRsCmd& engine = m_owner.Engine();
    const int area = m_area->currentIndex();
    const int stored = area != 0 ? engine.SetInt(CmdSA, 0, area, kStoreTimeoutMs)
                                 : engine.SetInt(CmdSA00, 0, 0, kStoreTimeoutMs);
    if (m_settings.offline == 0 && stored == 1)
        m_prompts.Message(this, kStoreDone, EngineHost::kToolCaption, UiPrompts::Icon::Information);
    progress.Destroy();
}

void CCommSelDlg::OnLoad()
{
    BlockingScope blocking;
    if (m_owner.Engine().SetInt(CmdLD, 0, m_area->currentIndex(), kLoadTimeoutMs) == 1)
        m_owner.ReloadAll();
}
