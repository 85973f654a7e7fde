#pragma once

#include <QString>

#include "dialogs/CProgDlg.h"

// What the operator sees while the camera keeps a window waiting: the wait
// cursor for short operations, the progress window with its Cancel over the
// owner's window for long ones, and every window kept painted meanwhile.
class WaitIndicators {
public:
    explicit WaitIndicators(QWidget* owner) : m_owner(owner) {}
    WaitIndicators(const WaitIndicators&) = delete;
    WaitIndicators& operator=(const WaitIndicators&) = delete;

    // Nested: the cursor goes back once every "on" has had its "off".
    void SetWaitCursor(bool on);
    // Every wait cursor still shown goes (the window's end).
    void EndWaitCursors();
    // Inside an operation: paints, serves the progress window's Cancel and
    // shows a window that was to appear when the operation is slow.
    void WhileWaiting();

    void ShowProgress(const QString& message);
    void ShowProgressWhenSlow(const QString& message);
    void SetProgress(int position) { m_progress.SetPos(position); }
    bool ProgressShown() const { return m_progress.IsCreated(); }
    void CloseProgress() { m_progress.Destroy(); }
    CProgDlg& Progress() { return m_progress; }

private:
    QWidget* m_owner;
    CProgDlg m_progress;
    int m_waitCursorDepth = 0;
};
