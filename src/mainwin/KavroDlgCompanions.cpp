// The companion windows: the terminal, the AFE sender, the monitor, the
// identity dialogs, the LUT editors and the area dialog, and what the main
// window passes on to them.
#include "mainwin/CKavroDlg.h"

#include "settings/AppSettings.h"
#include "comm/CommandTable.h"
#include "dialogs/AutoMonitorDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CCamIDDlg.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/CUserIDDlg.h"
#include "mainwin/CAreaSelDlg.h"

namespace {

void ShowOnTop(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

void CKavroDlg::CreateCompanions()
{
    if (!m_terminal)
        m_terminal = std::make_unique<CRsTermDlg>(m_settings, *this, this);
    if (!m_afeSender)
        m_afeSender = std::make_unique<CAfeSenderDlg>(*this, this);
}

void CKavroDlg::HideCompanions()
{
    if (m_terminal)
        m_terminal->Hide();   // keeps the typed line for the next run
    if (m_afeSender)
        m_afeSender->hide();
    if (m_about)
        m_about->hide();
}

void CKavroDlg::BroadcastLineStatus(int state)
{
    if (m_terminal)
        m_terminal->SetLineStatus(state);
    if (m_afeSender)
        m_afeSender->SetCommStatus(state);
    if (m_about)
        m_about->SetCommStatus(state);
    if (m_userIdDlg)
        m_userIdDlg->SetCommStatus(state);
    if (m_camIdDlg)
        m_camIdDlg->SetCommStatus(state);
}

void CKavroDlg::AddTraffic(const std::string& text)
{
    if (m_terminal)
        m_terminal->AddTraffic(QString::fromStdString(text));
}

void CKavroDlg::OnTerminal(int)
{
    CreateCompanions();
    ShowOnTop(m_terminal.get());
}

void CKavroDlg::OnAfeSender(int)
{
    CreateCompanions();
    ShowOnTop(m_afeSender.get());
}

void CKavroDlg::OnAutoMonitor(int)
{
    const ParamStore& params = m_session.Params();
    AutoMonitorDlg monitor(*this, this);
    monitor.gainAuto = params.Cur(CommandTable::Find("AGC")) == 1;
    monitor.whiteBalanceAuto = params.Cur(CommandTable::Find("WB")) == 1;
    monitor.shutterAuto = params.Cur(CommandTable::Find("SM")) == 3;
    monitor.exec();
}

void CKavroDlg::OnLutSetting(int)
{
    m_lutEditors->OnLutSetting();
}

void CKavroDlg::OnAbout()
{
    if (!m_about)
        m_about = std::make_unique<CAboutDlg>(m_settings, *this, m_prompts);   // a window of its own
    else
        m_about->RefreshCameraData();
    ShowOnTop(m_about.get());
}

void CKavroDlg::OnUserId()
{
    CUserIDDlg dialog(m_settings, *this, m_prompts, this);
    m_userIdDlg = &dialog;
    dialog.exec();
}

void CKavroDlg::OnCameraId()
{
    CCamIDDlg dialog(m_settings, *this, m_prompts, this);
    m_camIdDlg = &dialog;
    dialog.exec();
}

// While the dialog runs, SetCommStatus reaches its status picture.
int CKavroDlg::ChooseArea(bool load)
{
    CAreaSelDlg dialog(this, m_session.CurrentArea(), load, m_settings.IsFactory(), m_settings.lineOnline == 1);
    m_areaSel = &dialog;
    const int result = m_runAreaDialog ? m_runAreaDialog(dialog) : dialog.exec();
    return result == QDialog::Accepted ? dialog.Area() : kNoAreaChosen;
}
