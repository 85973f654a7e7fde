#include "dialogs/WaitIndicators.h"

#include <QApplication>

#include "dialogs/BlockingScope.h"
#include "session/Operation.h"

void WaitIndicators::SetWaitCursor(bool on)
{
    if (on) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        ++m_waitCursorDepth;
    } else if (m_waitCursorDepth > 0) {
        QApplication::restoreOverrideCursor();
        --m_waitCursorDepth;
    }
}

void WaitIndicators::EndWaitCursors()
{
    while (m_waitCursorDepth > 0)
        SetWaitCursor(false);
}

void WaitIndicators::WhileWaiting()
{
    if (!Operation::IsRunning())
        return;
    m_progress.ShowIfDue();
    m_progress.PaintWhenDue();
    BlockingScope::ServeEvents();
}

void WaitIndicators::ShowProgress(const QString& message)
{
    m_progress.Create(m_owner);
    m_progress.SetMessage(message);
}

void WaitIndicators::ShowProgressWhenSlow(const QString& message)
{
    m_progress.CreateWhenSlow(m_owner, message);
}
