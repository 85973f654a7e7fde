// Finding a setting: the find window and showing a control on its page.
#include "mainwin/CKavroDlg.h"

#include <QTabWidget>

#include "settings/AppSettings.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CtrlHighlight.h"
#include "mainwin/WindowPlacement.h"
#include "params/CDlgParameterSheet.h"
#include "params/ControlRules.h"
#include "params/CtrlRegistry.h"
#include "params/SettingIndex.h"

void CKavroDlg::OnFindSetting()
{
    if (!m_findDlg) {
        auto listed = [this](const SettingPlace& place) {
            return (m_settings.IsFactory() || !place.factoryOnly) && m_registry->Find(place.ctrlId) != nullptr;
        };
        m_findDlg = new CFindDlg(listed, [this](int ctrlId) { return RevealCtrl(ctrlId); }, this);
        WindowPlacement::PlaceClearOf(*this, *m_findDlg, nullptr);
    }
    m_findDlg->show();
    m_findDlg->raise();
    m_findDlg->activateWindow();
}

// The page comes to the front, the control takes the focus and is marked. A
// greyed-out control cannot take the focus: the answer says what greys it out.
QString CKavroDlg::RevealCtrl(int ctrlId)
{
    const SettingPlace* place = SettingIndex::Find(ctrlId);
    QWidget* control = m_registry->Find(ctrlId);
    if (place == nullptr || control == nullptr || place->pageIndex >= static_cast<int>(m_pages.size()))
        return QString();
    CDlgParameterSheet* page = m_pages[static_cast<size_t>(place->pageIndex)];
    if (m_tabs->indexOf(page) < 0)
        return QString();   // a page this level does not show
    m_tabs->setCurrentWidget(page);
    raise();
    activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    CtrlHighlight::Mark(control);
    if (m_findDlg && m_findDlg->frameGeometry().intersects(QRect(control->mapToGlobal(QPoint()), control->size())))
        WindowPlacement::PlaceClearOf(*this, *m_findDlg, control);
    return control->isEnabled() ? QString() : GreyedNote(ctrlId);
}

QString CKavroDlg::GreyedNote(int ctrlId) const
{
    const DisableRule* rules = DisableRuleTbl::Rows();
    for (int i = 0; i < DisableRuleTbl::Count(); ++i) {
        const DisableRule& rule = rules[i];
        const SettingPlace* by = SettingIndex::Find(rule.controllingCtrl);
        if (rule.dependentCtrl == ctrlId && by && ReadCtrlValue(rule.controllingCtrl) == rule.value)
            return "Greyed out by " + CFindDlg::RowText(*by) + ".";
    }
    return "Greyed out at present.";
}
