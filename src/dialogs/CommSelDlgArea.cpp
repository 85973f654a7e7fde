// The camera's non-volatile setting areas: query, store and load.
#include "dialogs/CCommSelDlg.h"

#include <QComboBox>
#include <QLabel>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/CompanionOwner.h"

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
    CRsCmd* engine = m_owner.Camera();
    if (!engine)
        return;
    BlockingScope blocking;
    int area = -1;
    const int answered = engine->GetInt(CmdEA, 0, area, kQueryTimeoutMs);
    m_currentArea->setText(answered == 1 ? AreaName(area) : kUnknownArea);
}

// The main window's "&Store settings" does the same, through the same code.
void CCommSelDlg::OnStore()
{
    m_owner.StoreArea(m_area->currentIndex());
}

void CCommSelDlg::OnLoad()
{
    m_owner.LoadArea(m_area->currentIndex());
}
