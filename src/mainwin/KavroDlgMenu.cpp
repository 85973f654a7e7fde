// The menu: a table of what each item does, and the items that hand the
// operator's choice to the session.
#include "mainwin/CKavroDlg.h"

#include <QFileInfo>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>

#include "settings/AppSettings.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/FileChoosers.h"
#include "files/SettingsComparison.h"
#include "mainwin/CCompareDlg.h"

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

// ---- the camera's settings and setting areas -----------------------------------

void CKavroDlg::OnReload()
{
    m_session.Reload();
}

void CKavroDlg::OnLoadSettings()
{
    const int area = m_companions.ChooseArea(m_session.CurrentArea(), true);
    if (area != Companions::kNoArea)
        m_session.LoadSettings(area);
}

void CKavroDlg::OnStoreSettings()
{
    const int area = m_companions.ChooseArea(m_session.CurrentArea(), false);
    if (area != Companions::kNoArea)
        m_session.StoreSettings(area);
}
