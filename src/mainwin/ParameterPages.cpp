#include "mainwin/ParameterPages.h"

#include <QLineEdit>
#include <QTabBar>
#include <QTabWidget>

#include "settings/AppSettings.h"
#include "params/CDlgParameterSheet.h"
#include "params/ControlIds.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/PageContents.h"
#include "params/SettingIndex.h"

ParameterPages::ParameterPages(const AppSettings& settings, CtrlNotifySink& sink, QWidget* parent)
    : m_settings(settings), m_registry(std::make_unique<CtrlRegistry>()), m_tabs(new QTabWidget(parent))
{
    const std::vector<PageContent>& contents = PageContents();
    for (size_t i = 0; i < contents.size(); ++i) {
        auto* page = new CDlgParameterSheet(contents[i], static_cast<int>(i), *m_registry, sink, m_tabs);
        page->hide();
        m_pages.push_back(page);
    }
}

ParameterPages::~ParameterPages() = default;

void ParameterPages::InitCtrlRanges()
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

void ParameterPages::ShowLevelTabs()
{
    const bool factory = m_settings.IsFactory();
    m_tabs->blockSignals(true);
    while (m_tabs->count() > 0)
        m_tabs->removeTab(0);
    m_registry->SetVisible(CtrlId::Bound("VPP"), factory);
    for (size_t i = 0; i < m_pages.size(); ++i) {
        if (m_pages[i]->IsFactoryPage() && !factory)
            continue;
        const int tab = m_tabs->addTab(m_pages[i], m_pages[i]->GetPageTitle());
        m_tabs->tabBar()->setTabData(tab, static_cast<int>(i));
    }
    m_tabs->setCurrentIndex(0);
    m_tabs->blockSignals(false);
}

void ParameterPages::UpdateEnables(int ctrlId)
{
    m_registry->ApplyDisableRules(ctrlId);
    // At the factory level the factory shading table may be recalibrated.
    static const int sdm = CtrlId::Bound("SDM");
    if (m_settings.IsFactory() && (ctrlId == 0 || ctrlId == sdm) && ReadCtrlValue(sdm) == 1) {
        m_registry->SetEnabled(CtrlId::Bound("RS"), true);
        m_registry->SetEnabled(CtrlId::RecalibrateColor, true);
    }
}

int ParameterPages::ReadCtrlValue(int ctrlId) const
{
    return m_registry->ReadCtrlValue(ctrlId);
}

void ParameterPages::WriteCtrlValue(int ctrlId, int value)
{
    m_registry->WriteCtrlValue(ctrlId, value);
}

void ParameterPages::SetSpinBound(const ParamStore::CoupledBound& bound)
{
    const auto [lo, hi] = m_registry->SpinRange(bound.ctrlId);
    if (bound.lower)
        m_registry->SetSpinRange(bound.ctrlId, bound.value, hi);
    else
        m_registry->SetSpinRange(bound.ctrlId, lo, bound.value);
}

void ParameterPages::ShowReadOut(int ctrlId, const QString& text)
{
    if (auto* readOut = qobject_cast<QLineEdit*>(m_registry->Find(ctrlId)))
        readOut->setText(text);
}

int ParameterPages::CtrlIdOf(const QWidget* control) const
{
    for (int id : m_registry->Ids())
        if (m_registry->Find(id) == control)
            return id;
    return 0;
}

QWidget* ParameterPages::ShowPageOf(int ctrlId)
{
    const SettingPlace* place = SettingIndex::Find(ctrlId);
    QWidget* control = m_registry->Find(ctrlId);
    if (place == nullptr || control == nullptr || place->pageIndex >= static_cast<int>(m_pages.size()))
        return nullptr;
    CDlgParameterSheet* page = m_pages[static_cast<size_t>(place->pageIndex)];
    if (m_tabs->indexOf(page) < 0)
        return nullptr;
    m_tabs->setCurrentWidget(page);
    return control;
}
