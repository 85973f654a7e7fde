#pragma once

#include <QString>

#include <memory>
#include <vector>

#include "params/ParamStore.h"

class CDlgParameterSheet;
class CtrlNotifySink;
class CtrlRegistry;
class QTabWidget;
class QWidget;
struct AppSettings;

// The tabbed parameter pages: the pages made from their contents, the
// registry of their controls, the tabs the operator's level shows, the ranges
// of the controls and the rules that grey them out.
class ParameterPages {
public:
    // Every control reports to the sink; the tab widget is a child of parent.
    ParameterPages(const AppSettings& settings, CtrlNotifySink& sink, QWidget* parent);
    ~ParameterPages();
    ParameterPages(const ParameterPages&) = delete;
    ParameterPages& operator=(const ParameterPages&) = delete;

    QTabWidget& Tabs() const { return *m_tabs; }
    CtrlRegistry& Registry() const { return *m_registry; }

    // Every edit's range as the value store bounds it.
    void InitCtrlRanges();
    // The tabs hold the pages of the level, the first in front.
    void ShowLevelTabs();
    // The rules of the control (0: every rule) follow what the controls show.
    void UpdateEnables(int ctrlId);

    int ReadCtrlValue(int ctrlId) const;
    void WriteCtrlValue(int ctrlId, int value);
    void SetSpinBound(const ParamStore::CoupledBound& bound);
    void ShowReadOut(int ctrlId, const QString& text);
    // The id of a registered control, 0 for any other widget.
    int CtrlIdOf(const QWidget* control) const;
    // Brings the control's page to the front: the control, or nullptr when
    // there is none or the level does not show its page.
    QWidget* ShowPageOf(int ctrlId);

private:
    const AppSettings& m_settings;
    std::unique_ptr<CtrlRegistry> m_registry;
    QTabWidget* m_tabs;
    std::vector<CDlgParameterSheet*> m_pages;   // children of the tab widget
};
