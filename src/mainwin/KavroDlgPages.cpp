// The parameter pages, their tabs by level, the ranges of their controls and what enables them.
#include "mainwin/CKavroDlg.h"

#include <QLayout>
#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

#include "settings/AppSettings.h"
#include "params/CDlgParameterSheet.h"
#include "params/ControlIds.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/PageContents.h"

void CKavroDlg::BuildPages()
{
    const std::vector<PageContent>& contents = PageContents();
    for (size_t i = 0; i < contents.size(); ++i) {
        auto* page = new CDlgParameterSheet(contents[i], static_cast<int>(i), *m_registry, *this, m_tabs);
        page->hide();
        m_pages.push_back(page);
    }
}

void CKavroDlg::InitCtrlRanges()
{
    const CtrlTblEntry* rows = CtrlTbl::Rows();
    for (int row = 0; row < CtrlTbl::Count(); ++row) {
        const CtrlTblEntry& entry = rows[row];
        if (entry.kind != CtrlKindEdit || entry.ctrlId == 0)
            continue;
        const auto [lo, hi] = ParamStore::SpinRangeOf(entry.ctrlId);
        m_registry->SetSpinRange(entry.ctrlId, lo, hi);
    }
    // The scanning format's entries carry their values as item data.
    m_registry->SetComboItemData(CtrlId::Bound("SC"), {0, 1});
}

void CKavroDlg::RebuildPageTabs()
{
    const bool factory = m_settings.IsFactory();
    m_tabs->blockSignals(true);
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    m_registry->SetVisible(CtrlId::Bound("VPP"), factory);
    OnLevelChanged();
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->IsFactoryPage() && !factory)
            continue;
        const int tab = m_tabs->addTab(m_pages[i], m_pages[i]->GetPageTitle());
        m_tabs->tabBar()->setTabData(tab, static_cast<int>(i));
    }
    m_tabs->setCurrentIndex(0);
    m_tabs->blockSignals(false);
    // Never smaller than the pages of the level need; the factory pages need
    // more room. The layouts between the tabs and the window learn of the new
    // pages only when the event loop runs: they are told now.
    for (QWidget* widget = m_tabs; widget; widget = widget->parentWidget()) {
        widget->updateGeometry();
        if (widget->layout())
            widget->layout()->invalidate();
    }
    setMinimumSize(minimumSizeHint());
    resize(size().expandedTo(sizeHint()));
    SendAndCommit();
}

void CKavroDlg::UpdateEnables(int ctrlId, int /*value*/)
{
    m_registry->ApplyDisableRules(ctrlId);
    // At the factory level the factory shading table may be recalibrated.
    static const int sdm = CtrlId::Bound("SDM");
    if (m_settings.IsFactory() && (ctrlId == 0 || ctrlId == sdm) && ReadCtrlValue(sdm) == 1) {
        m_registry->SetEnabled(CtrlId::Bound("RS"), true);
        m_registry->SetEnabled(CtrlId::RecalibrateColor, true);
    }
}

void CKavroDlg::ShowReadOut(int ctrlId, const QString& text)
{
    if (auto* readOut = qobject_cast<QLineEdit*>(m_registry->Find(ctrlId)))
        readOut->setText(text);
}
