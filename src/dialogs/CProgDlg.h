#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>
#include <QWidget>

class QLabel;
class QProgressBar;
class QPushButton;

// The small window every long camera operation shows while it blocks the
// user-interface thread. It keeps its owner's window disabled while it exists
// and is the one window that acts on input meanwhile: its "Cancel" button (or
// Esc) asks the operation to end after the command in flight. The window
// exists only between Create and Destroy; the object lives on and serves one
// operation after the other.
class CProgDlg {
public:
    static constexpr int kSlowMs = 1000;   // an operation that may be quick shows the window after this

    CProgDlg();
    ~CProgDlg();
    CProgDlg(const CProgDlg&) = delete;
    CProgDlg& operator=(const CProgDlg&) = delete;

    // Disables the owner's window (when it is enabled) and shows the progress
    // window centred over it. A window still open from before is destroyed first.
    bool Create(QWidget* owner);
    void SetMessage(const QString& text);
    // Moves the bar (0..100) and shows the message again. The bar is painted
    // by PaintWhenDue while the camera is waited for, at most every
    // kRepaintStepMs, so that a reading that moves it hundreds of times a
    // second is not slowed. SetPos paints it itself, and serves a Cancel, the
    // first time, at 100, and when no wait has painted it for twice the step.
    static constexpr int kRepaintStepMs = 50;
    void SetPos(int position);
    void PaintWhenDue();
    // Enables the remembered owner window, whatever its state before, and closes.
    void Destroy();

    // For an operation that is usually quick: the window appears with the
    // message once ShowIfDue finds it running for kSlowMs.
    void CreateWhenSlow(QWidget* owner, const QString& message);
    void ShowIfDue();

    // The operator pressed Cancel (or Esc) since Create.
    bool Cancelled() const { return m_cancelled; }
    void OnCancel();

    bool IsCreated() const { return !m_window.isNull(); }
    QWidget* Window() const { return m_window.data(); }
    QPushButton* CancelButton() const { return m_cancel; }
    QString Message() const { return m_message; }

    // Shows the window for an operation of a scope and destroys it at the end of the scope.
    class WhenSlow {
    public:
        WhenSlow(CProgDlg& progress, QWidget* owner, const QString& message) : m_progress(progress)
        {
            m_progress.CreateWhenSlow(owner, message);
        }
        ~WhenSlow() { m_progress.Destroy(); }
        WhenSlow(const WhenSlow&) = delete;
        WhenSlow& operator=(const WhenSlow&) = delete;

    private:
        CProgDlg& m_progress;
    };

private:
    void CentreOver(const QWidget* owner);
    void Paint();

    // ---- the owner's window, remembered at creation
    QPointer<QWidget> m_owner;

    // ---- the window and what it shows; a child of the owner, so it may die with it
    QPointer<QWidget> m_window;
    QLabel* m_messageLabel = nullptr;
    QProgressBar* m_bar = nullptr;
    QPushButton* m_cancel = nullptr;
    QString m_message;
    int m_position = 0;           // where the bar is to stand
    QElapsedTimer m_sincePaint;   // since the bar was last painted; invalid until it first is
    bool m_cancelled = false;

    // ---- a window to come (CreateWhenSlow)
    QPointer<QWidget> m_slowOwner;
    QElapsedTimer m_slowSince;   // invalid: none to come
};
