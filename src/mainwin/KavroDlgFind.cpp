// Finding a setting: the find window and showing a control on its page.
#include "mainwin/CKavroDlg.h"

#include <QTabWidget>

#include "settings/AppSettings.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CtrlHighlight.h"
#include "params/CDlgParameterSheet.h"
#include "params/SettingIndex.h"

void CKavroDlg::OnFindSetting()
{
    if (!m_findDlg) {
        auto listed = [this](const SettingPlace& place) {
            return (m_settings.IsFactory() || !place.factoryOnly) && FindCtrl(place.ctrlId) != nullptr;
        };
        m_findDlg = new CFindDlg(listed, [this](int ctrlId) { RevealCtrl(ctrlId); }, this);
    }
    m_findDlg->show();
    m_findDlg->raise();
    m_findDlg->activateWindow();
}

// The page comes to the front, the control takes the focus and is marked.
void CKavroDlg::RevealCtrl(int ctrlId)
{
    const SettingPlace* place = SettingIndex::Find(ctrlId);
    QWidget* control = FindCtrl(ctrlId);
    if (place == nullptr || control == nullptr || place->pageIndex >= static_cast<int>(m_pages.size()))
        return;
    CDlgParameterSheet* page = m_pages[static_cast<size_t>(place->pageIndex)];
    if (m_tabs->indexOf(page) < 0)
        return;   // a page this level does not show
    m_tabs->setCurrentWidget(page);
    raise();
    activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    CtrlHighlight::Mark(control);
}

CFindDlg* CKavroDlg::FindDlg() const
{
    return m_findDlg;
}
