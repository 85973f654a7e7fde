// The menu and the pages' push buttons: tables of what each one does.
#include "mainwin/CKavroDlg.h"

#include <QKeySequence>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>

#include "settings/AppSettings.h"
#include "comm/CommandTable.h"
#include "dialogs/CCommSelDlg.h"
#include "mainwin/CCompareDlg.h"
#include "mainwin/CFindDlg.h"
#include "params/ControlIds.h"

namespace {

struct MenuItem {
    const char* menu;   // a new menu starts where this differs from the item before
    const char* item;
    void (CKavroDlg::*action)();
};

const MenuItem kMenu[] = {
    {"File(&F)", "&Open", &CKavroDlg::OnOpenSettingFile},
    {"File(&F)", "&Save as", &CKavroDlg::OnSaveSettingFile},
    {"File(&F)", "E&xit", &CKavroDlg::OnExit},
    {"Settings(&S)", "&Reload", &CKavroDlg::OnReload},
    {"Settings(&S)", "&Load settings", &CKavroDlg::OnLoadSettings},
    {"Settings(&S)", "&Store settings", &CKavroDlg::OnStoreSettings},
    {"Utility(&U)", "USERID", &CKavroDlg::OnUserId},
    {"Utility(&U)", "CAMID", &CKavroDlg::OnCameraId},
    {"Gamma(&G)", "&Open Data File", &CKavroDlg::OnOpenGammaFile},
    {"Gamma(&G)", "&Save Data to File", &CKavroDlg::OnSaveGammaFile},
    {"Gamma(&G)", "&Load Data from Camera", &CKavroDlg::OnLoadGammaFromCamera},
    {"Help(&H)", "&About this application", &CKavroDlg::OnAbout},
    {"Help(&H)", "Communication", &CKavroDlg::OnCommunication},
};

// Additions of our own, each after the items above of its menu, behind a separator.
struct AddedMenuItem {
    const char* menu;
    const char* item;
    void (CKavroDlg::*action)();
    QKeySequence::StandardKey shortcut;
};

const AddedMenuItem kAddedMenu[] = {
    {"File(&F)", "Compare with File...", &CKavroDlg::OnCompareWithFile, QKeySequence::UnknownKey},
    {"Settings(&S)", "Find Setting...", &CKavroDlg::OnFindSetting, QKeySequence::Find},
};

const char kUtilityMenu[] = "Utility(&U)";

struct ButtonAction {
    int ctrlId;
    void (CKavroDlg::*action)(int ctrlId);
};

const std::vector<ButtonAction>& ButtonActions()
{
    static const std::vector<ButtonAction> actions = {
        {CtrlId::AfeSender, &CKavroDlg::OnAfeSender},
        {CtrlId::Terminal, &CKavroDlg::OnTerminal},
        {CtrlId::StoreAll, &CKavroDlg::OnStoreAll},
        {CtrlId::LutSetting, &CKavroDlg::OnLutSetting},
        {CtrlId::Bound("AW"), &CKavroDlg::OnOnePushAwb},
        {CtrlId::Bound("RS"), &CKavroDlg::OnShadingRecal},
        {CtrlId::RecalibrateColor, &CKavroDlg::OnShadingRecal},
        {CtrlId::BlemishRecalibrateBlack, &CKavroDlg::OnBlemishRecal},
        {CtrlId::BlemishRecalibrateWhite, &CKavroDlg::OnBlemishRecal},
        {CtrlId::AverageRed, &CKavroDlg::OnAverageData},
        {CtrlId::AverageGreen, &CKavroDlg::OnAverageData},
        {CtrlId::AverageBlue, &CKavroDlg::OnAverageData},
        {CtrlId::AverageY, &CKavroDlg::OnAverageData},
        {CtrlId::Temperature, &CKavroDlg::OnTemperature},
        {CtrlId::SNumber, &CKavroDlg::OnSNumber},
        {CtrlId::AutoMonitor, &CKavroDlg::OnAutoMonitor},
        {CtrlId::PrismShadingGet, &CKavroDlg::OnPrismShadingGet},
    };
    return actions;
}

}  // namespace

void CKavroDlg::BuildMenu()
{
    QMenu* menu = nullptr;
    for (const MenuItem& entry : kMenu) {
        if (!menu || menu->title() != entry.menu) {
            menu = menuBar()->addMenu(entry.menu);
            if (QString(entry.menu) == kUtilityMenu)
                m_utilityMenu = menu;
        }
        const auto action = entry.action;
        menu->addAction(entry.item, this, [this, action] { (this->*action)(); });
    }
    for (const AddedMenuItem& entry : kAddedMenu)
        for (QAction* top : menuBar()->actions())
            if (top->text() == entry.menu) {
                top->menu()->addSeparator();
                const auto action = entry.action;
                QAction* item = top->menu()->addAction(entry.item, this, [this, action] { (this->*action)(); });
                item->setShortcut(entry.shortcut);
            }
}

void CKavroDlg::OnButtonClicked(int ctrlId)
{
    for (const ButtonAction& entry : ButtonActions())
        if (entry.ctrlId == ctrlId)
            (this->*entry.action)(ctrlId);
}

void CKavroDlg::OnCommunication()
{
    m_commSel->show();
    m_commSel->raise();
    m_commSel->activateWindow();
}

void CKavroDlg::OnExit()
{
    close();
}

void CKavroDlg::OnLevelChanged()
{
    m_utilityMenu->setEnabled(m_settings.IsFactory());
    m_commSel->UpdateStoreButton();
    // A comparison holds the lines of the level it was made at.
    if (CCompareDlg* compare = CompareDlg())
        compare->close();
    if (CFindDlg* find = FindDlg())
        find->Filter(find->Text().text());
}
