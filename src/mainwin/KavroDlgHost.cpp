// What the engine and the session tell the windows: boxes, the link state,
// the traffic, the progress window and the pages.
#include "mainwin/CKavroDlg.h"

#include "settings/AppSettings.h"
#include "comm/StopRequest.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/LineStatusStrip.h"
#include "dialogs/UiPrompts.h"
#include "mainwin/CCompareDlg.h"

namespace {

UiPrompts::Icon PromptIcon(EngineHost::Icon icon)
{
    switch (icon) {
    case EngineHost::Icon::Information:
        return UiPrompts::Icon::Information;
    case EngineHost::Icon::Question:
        return UiPrompts::Icon::Question;
    case EngineHost::Icon::Exclamation:
        break;
    }
    return UiPrompts::Icon::Exclamation;
}

QString Text(const std::string& text)
{
    return QString::fromStdString(text);
}

}  // namespace

// ---- boxes and the link -----------------------------------------------------

void CKavroDlg::ShowMessage(const std::string& text, const std::string& caption, Icon icon)
{
    m_prompts.Message(this, Text(text), Text(caption), PromptIcon(icon));
}

void CKavroDlg::ShowMessageWithDetails(const std::string& text, const std::string& caption, Icon icon,
                                       const std::string& details)
{
    m_prompts.MessageWithDetails(this, Text(text), Text(caption), PromptIcon(icon), Text(details));
}

bool CKavroDlg::AskYesNo(const std::string& question)
{
    return m_prompts.AskYesNo(this, Text(question), kToolCaption);
}

void CKavroDlg::SetCommStatus(int state)
{
    if (state == 0 && StopRequest::Stopping())
        return;   // a wait ended by a stop or a Cancel says nothing about the line
    m_settings.lineOnline = state == 1 ? 1 : 0;
    if (!m_statusStrip->Show(state == 1))
        return;   // the windows are redrawn only when the state changes
    m_commSel->SetLineStatus(state);
    m_lutEditors->SetCommStatus(state);
    m_companions.SetLineStatus(state);
}

void CKavroDlg::AddTraffic(const std::string& text)
{
    m_companions.AddTraffic(text);
}

void CKavroDlg::AddMessage(const std::string& text)
{
    m_commSel->AddMessage(Text(text));
}

// ---- the progress window -----------------------------------------------------

void CKavroDlg::ShowProgress(const std::string& message)
{
    m_wait.ShowProgress(Text(message));
}

void CKavroDlg::ShowProgressWhenSlow(const std::string& message)
{
    m_wait.ShowProgressWhenSlow(Text(message));
}

void CKavroDlg::ActivateMainWindow(bool raised)
{
    activateWindow();
    if (raised)
        raise();
}

// ---- the pages ----------------------------------------------------------------

// Committed values are what the camera holds: an open comparison follows them.
void CKavroDlg::ParamsCommitted()
{
    if (m_compareDlg)
        m_compareDlg->FollowCamera([this](int commandIndex) { return m_session.Params().Prev(commandIndex); });
}
