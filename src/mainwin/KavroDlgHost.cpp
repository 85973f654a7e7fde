// What the engine and the session tell the windows: boxes, the link state,
// the traffic, the progress window and the pages.
#include "mainwin/CKavroDlg.h"

#include <QApplication>
#include <QLabel>

#include "settings/AppSettings.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/CLutEditors.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/StatusPictures.h"
#include "dialogs/UiPrompts.h"
#include "mainwin/CCompareDlg.h"
#include "params/CtrlRegistry.h"

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
    // Every reply confirms the line: the windows are redrawn only when it changes.
    if (static_cast<int>(m_settings.lineOnline) == m_shownCommStatus)
        return;
    m_shownCommStatus = static_cast<int>(m_settings.lineOnline);
    m_statusPicture->setPixmap(StatusPictures::LineBar(state == 1));
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

void CKavroDlg::SetWaitCursor(bool on)
{
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_waitCursorDepth;
    } else if (m_waitCursorDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_waitCursorDepth;
    }
}

// Inside an operation the windows stay painted and the progress window's
// Cancel is live while the camera takes its time.
void CKavroDlg::WhileWaiting()
{
    if (!Operation::IsRunning())
        return;
    m_progress->ShowIfDue();
    BlockingScope::ServeEvents();
}

// ---- the progress window -----------------------------------------------------

void CKavroDlg::ShowProgress(const std::string& message)
{
    m_progress->Create(this);
    m_progress->SetMessage(Text(message));
}

void CKavroDlg::ShowProgressWhenSlow(const std::string& message)
{
    m_progress->CreateWhenSlow(this, Text(message));
}

void CKavroDlg::SetProgress(int position)
{
    m_progress->SetPos(position);
}

bool CKavroDlg::ProgressShown() const
{
    return m_progress->IsCreated();
}

void CKavroDlg::CloseProgress()
{
    m_progress->Destroy();
}

void CKavroDlg::ActivateMainWindow(bool raised)
{
    activateWindow();
    if (raised)
        raise();
}

// ---- the pages ----------------------------------------------------------------

void CKavroDlg::WriteCtrlValue(int ctrlId, int value)
{
    m_registry->WriteCtrlValue(ctrlId, value);
}

int CKavroDlg::ReadCtrlValue(int ctrlId) const
{
    return m_registry->ReadCtrlValue(ctrlId);
}

void CKavroDlg::SetSpinBound(const ParamStore::CoupledBound& bound)
{
    const auto [lo, hi] = m_registry->SpinRange(bound.ctrlId);
    if (bound.lower)
        m_registry->SetSpinRange(bound.ctrlId, bound.value, hi);
    else
        m_registry->SetSpinRange(bound.ctrlId, lo, bound.value);
}

// Committed values are what the camera holds: an open comparison follows them.
void CKavroDlg::ParamsCommitted()
{
    if (m_compareDlg)
        m_compareDlg->FollowCamera([this](int commandIndex) { return m_session.Params().Prev(commandIndex); });
}
