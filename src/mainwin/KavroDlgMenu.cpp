// The menu and the pages' push buttons: tables of what each one does, and
// the items that hand the operator's choice to the session.
#include "mainwin/CKavroDlg.h"

#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include <algorithm>
#include <iterator>

#include "settings/AppSettings.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/FileChoosers.h"
#include "files/SettingsComparison.h"
#include "mainwin/CCompareDlg.h"
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

struct AverageButton {
    int ctrlId;
    const char* mnemonic;
};
const AverageButton kAverageButtons[] = {
    {CtrlId::AverageRed, "AVDR"},
    {CtrlId::AverageGreen, "AVDG"},
    {CtrlId::AverageBlue, "AVDB"},
    {CtrlId::AverageY, "AVDY"},
};
const char kAverageFilter[] = "Average data (*.csv)";
const QString kDegrees = QString::fromUtf8(" \u00b0C");

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

// ---- files --------------------------------------------------------------------

void CKavroDlg::OnOpenSettingFile()
{
    const QString path = FileChoosers(m_prompts, this).ChooseSettingsFileToOpen(m_settings.dataPath);
    if (!path.isEmpty())
        m_session.ApplySettingFile(path.toStdString());
}

void CKavroDlg::OnSaveSettingFile()
{
    const QString path = FileChoosers(m_prompts, this).ChooseSettingsFileToSave(m_settings.dataPath);
    if (!path.isEmpty())
        m_session.WriteSettingFile(path.toStdString());
}

// The table shows where the camera differs from the file; its "Apply Checked"
// sends lines as loading a file does.
void CKavroDlg::OnCompareWithFile()
{
    const QString path = FileChoosers(m_prompts, this).ChooseSettingsFileToOpen(m_settings.dataPath);
    SettingsComparison comparison;
    if (path.isEmpty() || !m_session.CompareWithFile(path.toStdString(), comparison))
        return;
    if (m_compareDlg)
        m_compareDlg->deleteLater();
    auto apply = [this](const std::vector<SettingsLine>& lines) { return m_session.ApplySettingLines(lines); };
    m_compareDlg = new CCompareDlg(comparison, QFileInfo(path).fileName(), apply, this);
    m_compareDlg->setAttribute(Qt::WA_DeleteOnClose);
    m_compareDlg->show();
}

void CKavroDlg::OnOpenGammaFile()
{
    m_lutEditors->OnOpenGammaFile();
}

void CKavroDlg::OnSaveGammaFile()
{
    m_lutEditors->OnSaveGammaFile();
}

void CKavroDlg::OnLoadGammaFromCamera()
{
    m_lutEditors->OnLoadGammaFromCamera();
}

// ---- the camera's settings and setting areas -----------------------------------

void CKavroDlg::OnReload()
{
    m_session.Reload();
}

void CKavroDlg::OnLoadSettings()
{
    const int area = ChooseArea(true);
    if (area != kNoAreaChosen)
        m_session.LoadSettings(area);
}

void CKavroDlg::OnStoreSettings()
{
    const int area = ChooseArea(false);
    if (area != kNoAreaChosen)
        m_session.StoreSettings(area);
}

void CKavroDlg::OnStoreAll(int)
{
    m_session.StoreAll();
}

// ---- camera operations -----------------------------------------------------------

void CKavroDlg::OnOnePushAwb(int)
{
    m_session.OnePushAwb();
}

void CKavroDlg::OnBlemishRecal(int ctrlId)
{
    m_session.BlemishRecal(ctrlId == CtrlId::BlemishRecalibrateWhite);
}

void CKavroDlg::OnShadingRecal(int ctrlId)
{
    m_session.ShadingRecal(ctrlId == CtrlId::RecalibrateColor);
}

void CKavroDlg::OnTemperature(int)
{
    double degrees = 0;
    if (m_session.ReadTemperature(degrees))
        ShowReadOut(CtrlId::TemperatureText, QString::asprintf("%.1f", degrees) + kDegrees);
}

void CKavroDlg::OnSNumber(int)
{
    int number = 0;
    if (m_session.ReadSNumber(number))
        ShowReadOut(CtrlId::SNumberText, QString::asprintf("%d", number));
}

void CKavroDlg::OnPrismShadingGet(int)
{
    m_session.PrismShadingGet();
}

void CKavroDlg::OnAverageData(int ctrlId)
{
    const auto* button = std::find_if(std::begin(kAverageButtons), std::end(kAverageButtons),
                                      [ctrlId](const AverageButton& entry) { return entry.ctrlId == ctrlId; });
    QString path;
    if (button != std::end(kAverageButtons) && FileChoosers(m_prompts, this).ChooseCsvSaveFile(kAverageFilter, path))
        m_session.ReadAverageData(button->mnemonic, path.toStdString());
}
