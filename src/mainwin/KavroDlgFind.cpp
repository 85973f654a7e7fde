// Finding a setting: the find window and showing a control on its page.
#include "mainwin/CKavroDlg.h"

#include <QScreen>
#include <QTabWidget>

#include <algorithm>
#include <vector>

#include "settings/AppSettings.h"
#include "mainwin/CFindDlg.h"
#include "mainwin/CtrlHighlight.h"
#include "params/CDlgParameterSheet.h"
#include "params/ControlRules.h"
#include "params/SettingIndex.h"

void CKavroDlg::OnFindSetting()
{
    if (!m_findDlg) {
        auto listed = [this](const SettingPlace& place) {
            return (m_settings.IsFactory() || !place.factoryOnly) && FindCtrl(place.ctrlId) != nullptr;
        };
        m_findDlg = new CFindDlg(listed, [this](int ctrlId) { return RevealCtrl(ctrlId); }, this);
        PlaceFindDlg(nullptr);
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
    QWidget* control = FindCtrl(ctrlId);
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
        PlaceFindDlg(control);
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

// Beside the main window where the screen has room for it, else in the
// screen's corner farthest from the control it reveals; never over that control.
void CKavroDlg::PlaceFindDlg(const QWidget* control)
{
    const QRect screen = this->screen()->availableGeometry();
    const QRect main = frameGeometry();
    const QSize size = m_findDlg->frameGeometry().size();
    const QRect avoid = control ? QRect(control->mapToGlobal(QPoint()), control->size()) : QRect();
    std::vector<QRect> places = {
        QRect(QPoint(main.left() - kCommSelGap - size.width(), main.top()), size),
        QRect(QPoint(main.left(), main.bottom() + kCommSelGap), size),
        QRect(QPoint(main.left(), main.top() - kCommSelGap - size.height()), size),
    };
    QRect corner(QPoint(), size);
    for (const QPoint& at : {screen.topLeft(), screen.topRight(), screen.bottomLeft(), screen.bottomRight()}) {
        corner.moveCenter(at);
        corner.moveTo(std::clamp(corner.left(), screen.left(), screen.right() - size.width()),
                      std::clamp(corner.top(), screen.top(), screen.bottom() - size.height()));
        places.push_back(corner);
    }
    const auto farFromControl = [&](const QRect& a, const QRect& b) {
        return (a.center() - avoid.center()).manhattanLength() > (b.center() - avoid.center()).manhattanLength();
    };
    std::stable_sort(places.begin() + 3, places.end(), farFromControl);
    for (const QRect& place : places)
        if (screen.contains(place) && !place.intersects(avoid)) {
            m_findDlg->move(place.topLeft());
            return;
        }
}

CFindDlg* CKavroDlg::FindDlg() const
{
    return m_findDlg;
}
