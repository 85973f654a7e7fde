#include "mainwin/SettingFinder.h"

#include <QLineEdit>

#include "settings/AppSettings.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CtrlHighlight.h"
#include "mainwin/ParameterPages.h"
#include "mainwin/WindowPlacement.h"
#include "params/ControlRules.h"
#include "params/CtrlRegistry.h"
#include "params/SettingIndex.h"

SettingFinder::SettingFinder(const AppSettings& settings, ParameterPages& pages, QWidget& window)
    : m_settings(settings), m_pages(pages), m_window(window)
{
}

void SettingFinder::Show()
{
    if (!m_findDlg) {
        auto listed = [this](const SettingPlace& place) {
            return (m_settings.IsFactory() || !place.factoryOnly) && m_pages.Registry().Find(place.ctrlId) != nullptr;
        };
        m_findDlg = new CFindDlg(listed, [this](int ctrlId) { return Reveal(ctrlId); }, &m_window);
        WindowPlacement::PlaceClearOf(m_window, *m_findDlg, nullptr);
    }
    m_findDlg->show();
    m_findDlg->raise();
    m_findDlg->activateWindow();
}

bool SettingFinder::CloseIfShown()
{
    if (!m_findDlg || !m_findDlg->isVisible())
        return false;
    m_findDlg->close();
    return true;
}

void SettingFinder::Relist()
{
    if (m_findDlg)
        m_findDlg->Filter(m_findDlg->Text().text());
}

CFindDlg* SettingFinder::Dialog() const
{
    return m_findDlg;
}

// A greyed-out control cannot take the focus: the answer says what greys it out.
QString SettingFinder::Reveal(int ctrlId)
{
    QWidget* control = m_pages.ShowPageOf(ctrlId);
    if (control == nullptr)
        return QString();
    m_window.raise();
    m_window.activateWindow();
    control->setFocus(Qt::OtherFocusReason);
    CtrlHighlight::Mark(control);
    if (m_findDlg && m_findDlg->frameGeometry().intersects(QRect(control->mapToGlobal(QPoint()), control->size())))
        WindowPlacement::PlaceClearOf(m_window, *m_findDlg, control);
    return control->isEnabled() ? QString() : GreyedNote(ctrlId);
}

QString SettingFinder::GreyedNote(int ctrlId) const
{
    const DisableRule* rules = DisableRuleTbl::Rows();
    for (int i = 0; i < DisableRuleTbl::Count(); ++i) {
        const DisableRule& rule = rules[i];
        const SettingPlace* by = SettingIndex::Find(rule.controllingCtrl);
        if (rule.dependentCtrl == ctrlId && by && m_pages.ReadCtrlValue(rule.controllingCtrl) == rule.value)
            return "Greyed out by " + CFindDlg::RowText(*by) + ".";
    }
    return "Greyed out at present.";
}
