// The companion windows the menu and the pages' buttons open.
#include "mainwin/CKavroDlg.h"

#include "dialogs/CCommSelDlg.h"
#include "dialogs/CLutEditors.h"
#include "mainwin/SettingFinder.h"
#include "mainwin/WindowPlacement.h"

void CKavroDlg::OnAbout()
{
    m_companions.ShowAbout();
}

void CKavroDlg::OnUserId()
{
    m_companions.RunUserId();
}

void CKavroDlg::OnCameraId()
{
    m_companions.RunCameraId();
}

void CKavroDlg::OnFindSetting()
{
    m_finder->Show();
}

void CKavroDlg::OnCommunication()
{
    m_commSel->show();
    m_commSel->raise();
    m_commSel->activateWindow();
}

void CKavroDlg::PlaceCommSelBeside()
{
    WindowPlacement::PlaceBeside(*this, *m_commSel);
}

// ---- the LUT editors and their gamma menu

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
