// Keys: Enter in an edit, Esc, the level switch, and the exit question.
#include "mainwin/CKavroDlg.h"

#include <QApplication>
#include <QCloseEvent>
#include <QKeyEvent>
#include <QTabWidget>

#include "settings/AppSettings.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CCommSelDlg.h"
#include "dialogs/UiPrompts.h"
#include "mainwin/CFindDlg.h"
#include "params/KavroSpinBox.h"

namespace {

// The level switch: this chord, then the three letters of the access code.
constexpr Qt::Key kChordKey = Qt::Key_F10;
constexpr Qt::KeyboardModifiers kChordModifiers = Qt::ControlModifier | Qt::ShiftModifier;
constexpr Qt::Key kAccessCode[] = {Qt::Key_K, Qt::Key_V, Qt::Key_R};
constexpr int kCodeLength = sizeof kAccessCode / sizeof kAccessCode[0];

bool IsModifierOnly(const QKeyEvent* event)
{
    switch (event->key()) {
    case Qt::Key_Shift:
    case Qt::Key_Control:
    case Qt::Key_Alt:
    case Qt::Key_Meta:
    case Qt::Key_AltGr:
        return true;
    default:
        return false;
    }
}

bool IsChord(const QKeyEvent* event)
{
    return event->key() == kChordKey && (event->modifiers() & kChordModifiers) == kChordModifiers;
}

KavroSpinBox* SpinOf(QWidget* source)
{
    auto* spin = qobject_cast<KavroSpinBox*>(source);
    return spin || !source ? spin : qobject_cast<KavroSpinBox*>(source->parentWidget());
}

}  // namespace

bool CKavroDlg::OnKeyDownMsg(QWidget* source, QKeyEvent* event)
{
    if (AdvanceKeySequence(event))
        return true;
    if (event->key() == Qt::Key_Escape) {
        // After a setting was found, Esc closes the find window first.
        if (m_findDlg && m_findDlg->isVisible())
            m_findDlg->close();
        else
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

// True when the key belonged to the sequence and must go no further.
bool CKavroDlg::AdvanceKeySequence(QKeyEvent* event)
{
    if (IsChord(event)) {
        m_keySequence = 1;
        return true;
    }
    if (m_keySequence == 0 || IsModifierOnly(event))
        return false;
    if (event->key() != kAccessCode[m_keySequence - 1]) {
        m_keySequence = 0;
        return false;
    }
    if (++m_keySequence <= kCodeLength)
        return true;
    m_keySequence = 0;
    SwitchLevel();
    return true;
}

void CKavroDlg::SwitchLevel()
{
    const int tab = m_tabs->currentIndex();
    if (tab != 0 && tab != 1) {
        m_prompts.Message(this, "This operation is performed only in 'User Parameter' Page!", kToolCaption,
                          UiPrompts::Icon::Information);
        return;
    }
    BlockingScope blocking;
    m_settings.activeMode = m_settings.IsFactory() ? ActiveUser : ActiveFactory;
    RebuildPageTabs();
    if (QueryCurrentArea())
        ReloadAll();
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
