#pragma once

#include <QElapsedTimer>
#include <QPointer>
#include <QString>

class QLabel;
class QProgressBar;
class QWidget;

// The small window every long camera operation shows while it blocks the
// user-interface thread. It keeps its owner's window disabled while it exists.
// The window exists only between Create and Destroy; the object lives on and
// serves one operation after the other.
class CProgDlg {
public:
    CProgDlg();
    ~CProgDlg();
    CProgDlg(const CProgDlg&) = delete;
    CProgDlg& operator=(const CProgDlg&) = delete;

    // Disables the owner's window (when it is enabled) and shows the progress
    // window centred over it. A window still open from before is destroyed first.
    bool Create(QWidget* owner);
    void SetMessage(const QString& text);
    // Moves the bar (0..100) and shows the message again: painted when the bar
    // moves, at once the first time and at 100, otherwise at most every
    // kRepaintStepMs, so that a reading that moves the bar hundreds of times a
    // second is not slowed.
    static constexpr int kRepaintStepMs = 50;
    void SetPos(int position);
    // Enables the remembered owner window, whatever its state before, and closes.
    void Destroy();

    bool IsCreated() const { return !m_window.isNull(); }
    QWidget* Window() const { return m_window.data(); }
    QString Message() const { return m_message; }

private:
    void CentreOver(const QWidget* owner);

    // ---- the owner's window, remembered at creation
    QPointer<QWidget> m_owner;

    // ---- the window and what it shows; a child of the owner, so it may die with it
    QPointer<QWidget> m_window;
    QLabel* m_messageLabel = nullptr;
    QProgressBar* m_bar = nullptr;
    QString m_message;
    QElapsedTimer m_sincePaint;   // since SetPos last painted; invalid until it first does
};
