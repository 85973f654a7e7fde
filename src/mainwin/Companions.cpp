#include "mainwin/Companions.h"

#include "settings/AppSettings.h"
#include "comm/CommandTable.h"
#include "dialogs/AutoMonitorDlg.h"
#include "dialogs/CAboutDlg.h"
#include "dialogs/CAfeSenderDlg.h"
#include "dialogs/CCamIDDlg.h"
#include "dialogs/CRsTermDlg.h"
#include "dialogs/CUserIDDlg.h"
#include "mainwin/CAreaSelDlg.h"
#include "params/ParamStore.h"

namespace {

void ShowOnTop(QWidget* window)
{
    window->show();
    window->raise();
    window->activateWindow();
}

}  // namespace

Companions::Companions(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, QWidget* window)
    : m_settings(settings), m_owner(owner), m_prompts(prompts), m_window(window)
{
}

Companions::~Companions() = default;

void Companions::Create()
{
    if (!m_terminal)
        m_terminal = std::make_unique<CRsTermDlg>(m_settings, m_owner, m_window);
    if (!m_afeSender)
        m_afeSender = std::make_unique<CAfeSenderDlg>(m_owner, m_window);
}

void Companions::Hide()
{
    if (m_terminal)
        m_terminal->Hide();   // keeps the typed line for the next run
    if (m_afeSender)
        m_afeSender->hide();
    if (m_about)
        m_about->hide();
}

void Companions::SetLineStatus(int state)
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
    if (m_areaSel)
        m_areaSel->SetLineStatus(state);
}

void Companions::AddTraffic(const std::string& text)
{
    if (m_terminal)
        m_terminal->AddTraffic(QString::fromStdString(text));
}

void Companions::ShowTerminal()
{
    Create();
    ShowOnTop(m_terminal.get());
}

void Companions::ShowAfeSender()
{
    Create();
    ShowOnTop(m_afeSender.get());
}

void Companions::ShowAbout()
{
    if (!m_about)
        m_about = std::make_unique<CAboutDlg>(m_settings, m_owner, m_prompts);
    else
        m_about->RefreshCameraData();
    ShowOnTop(m_about.get());
}

void Companions::RunUserId()
{
    CUserIDDlg dialog(m_settings, m_owner, m_prompts, m_window);
    m_userIdDlg = &dialog;
    dialog.exec();
}

void Companions::RunCameraId()
{
    CCamIDDlg dialog(m_settings, m_owner, m_prompts, m_window);
    m_camIdDlg = &dialog;
    dialog.exec();
}

void Companions::RunMonitor(const ParamStore& params)
{
    AutoMonitorDlg monitor(m_owner, m_window);
    monitor.gainAuto = params.Cur(CommandTable::Find("AGC")) == 1;
    monitor.whiteBalanceAuto = params.Cur(CommandTable::Find("WB")) == 1;
    monitor.shutterAuto = params.Cur(CommandTable::Find("SM")) == 3;
    monitor.exec();
}

// While the dialog runs, the line's state reaches its status picture.
int Companions::ChooseArea(int current, bool load)
{
    CAreaSelDlg dialog(m_window, current, load, m_settings.IsFactory(), m_settings.lineOnline == 1);
    m_areaSel = &dialog;
    const int result = m_runAreaDialog ? m_runAreaDialog(dialog) : dialog.exec();
    return result == QDialog::Accepted ? dialog.Area() : kNoArea;
}
