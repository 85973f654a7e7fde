// Keys: Enter in an edit, Esc, the level switch with its tabs, and the exit question.
#include "mainwin/CKavroDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QLayout>
#include <QMenu>
#include <QTabWidget>

#include "settings/AppSettings.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/UiPrompts.h"
#include "mainwin/CCompareDlg.h"
#include "mainwin/SettingFinder.h"
#include "params/KavroSpinBox.h"

namespace {

KavroSpinBox* SpinOf(QWidget* source)
{
    auto* spin = qobject_cast<KavroSpinBox*>(source);
    return spin || !source ? spin : qobject_cast<KavroSpinBox*>(source->parentWidget());
}

}  // namespace

bool CKavroDlg::OnKeyDownMsg(QWidget* source, QKeyEvent* event)
{
    switch (m_levelKeys.Advance(*event)) {
    case LevelKeys::Step::Completed:
        SwitchLevel();
        return true;
    case LevelKeys::Step::Taken:
        return true;
    case LevelKeys::Step::NotMine:
        break;
    }
    if (event->key() == Qt::Key_Escape) {
        // After a setting was found, Esc closes the find window first.
        if (!m_finder->CloseIfShown())
            close();   // asks the exit question
        return true;
    }
    const bool enter = event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter;
    if (KavroSpinBox* spin = SpinOf(source); enter && spin) {
        OnEditCommit(spin->CtrlId());
        return true;   // Enter never presses a button or closes the window
    }
    return false;
}

void CKavroDlg::SwitchLevel()
{
    const int tab = m_pages->Tabs().currentIndex();
    if (tab != 0 && tab != 1) {
        m_prompts.Message(this, "This operation is performed only in 'User Parameter' Page!", kToolCaption,
                          UiPrompts::Icon::Information);
        return;
    }
    BlockingScope blocking;
    m_settings.activeMode = m_settings.IsFactory() ? ActiveUser : ActiveFactory;
    RebuildPageTabs();
    if (m_session.QueryCurrentArea())
        m_session.ReloadAll();
}

void CKavroDlg::RebuildPageTabs()
{
    m_pages->ShowLevelTabs();
    OnLevelChanged();
    // Never smaller than the pages of the level need; the factory pages need
    // more room. The layouts between the tabs and the window learn of the new
    // pages only when the event loop runs: they are told now.
    for (QWidget* widget = &m_pages->Tabs(); widget; widget = widget->parentWidget()) {
        widget->updateGeometry();
        if (widget->layout())
            widget->layout()->invalidate();
    }
    setMinimumSize(minimumSizeHint());
    resize(size().expandedTo(sizeHint()));
    SendAndCommit();
}

// Level-dependent parts outside the pages.
void CKavroDlg::OnLevelChanged()
{
    m_utilityMenu->setEnabled(m_settings.IsFactory());
    m_commSel->UpdateStoreButton();
    // A comparison holds the lines of the level it was made at.
    if (m_compareDlg)
        m_compareDlg->close();
    m_finder->Relist();
}

// Keys that reach the main window itself: pressed on the window or the tab bar,
// or ignored by the control that had the focus.
void CKavroDlg::keyPressEvent(QKeyEvent* event)
{
    if (!OnKeyDownMsg(this, event))
        QMainWindow::keyPressEvent(event);
}

// A stop ends the operation in progress at once; an exit question that is
// open is closed, and the window closes without asking.
void CKavroDlg::CloseInOrder()
{
    m_closingInOrder = true;
    StopRequest::Raise();
    if (!m_askingExit) {
        close();
        return;
    }
    if (QWidget* question = QApplication::activeModalWidget())
        question->close();
}

// During an operation no close request gets here (BlockingScope makes it when
// the operation ends); a second request while the question is open does nothing.
void CKavroDlg::closeEvent(QCloseEvent* event)
{
    if (m_askingExit) {
        event->ignore();
        return;
    }
    if (!m_closingInOrder) {
        m_askingExit = true;
        const bool yes = m_prompts.AskYesNo(this, "Are you sure to terminate the Camera Kavro ?", "Exit Camera Kavro");
        m_askingExit = false;
        if (!yes && !m_closingInOrder) {
            event->ignore();
            return;
        }
    }
    event->accept();
    emit Closed();
}
