// The camera's setting areas: store one or all, load one.
#include "mainwin/CKavroDlg.h"

#include <chrono>
#include <thread>

#include "settings/AppSettings.h"
#include "comm/SettingAreas.h"
#include "dialogs/AreaStore.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/UiPrompts.h"
#include "mainwin/CAreaSelDlg.h"

namespace {

const char kStoreAllQuestion[] = "Are you sure you want to overwrite into all EEPROM areas?";
const char kStoreFactoryQuestion[] = "Are you sure you want to overwrite into EEPROM area?";

}  // namespace

// While the dialog runs, SetCommStatus reaches its status picture.
int CKavroDlg::ChooseArea(bool load)
{
    CAreaSelDlg dialog(this, m_currentArea, load, m_settings.IsFactory(), m_settings.lineOnline == 1);
    m_areaSel = &dialog;
    const int result = m_runAreaDialog ? m_runAreaDialog(dialog) : dialog.exec();
    m_areaSel = nullptr;
    return result == QDialog::Accepted ? dialog.Area() : kNoAreaChosen;
}

AreaStore CKavroDlg::Store()
{
    return AreaStore(*m_engine, *m_progress, this, m_prompts, m_settings);
}

void CKavroDlg::OnStoreSettings()
{
    const int area = ChooseArea(false);
    if (area == kNoAreaChosen)
        return;
    m_currentArea = area;
    std::this_thread::sleep_for(std::chrono::milliseconds(SettingAreas::kPauseMs));
    Store().StoreOne(area);
}

void CKavroDlg::OnLoadSettings()
{
    const int area = ChooseArea(true);
    if (area == kNoAreaChosen)
        return;
    m_currentArea = area;
    BlockingScope blocking;
    if (SettingAreas::Load(*m_engine, area) == 1)
        ReloadAll();
}

void CKavroDlg::OnStoreAll(int)
{
    if (m_prompts.AskYesNo(this, kStoreAllQuestion, EngineHost::kToolCaption))
        Store().StoreAll();
}

void CKavroDlg::OnStoreFactory()
{
    if (m_prompts.AskYesNo(this, kStoreFactoryQuestion, EngineHost::kToolCaption))
        Store().StoreOne(0);
}
