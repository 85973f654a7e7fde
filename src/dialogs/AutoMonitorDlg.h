#pragma once

#include <QDialog>

class QLabel;
class CompanionOwner;

// Shows the shutter and gains while the camera adjusts them itself, read
// again every second while the refresh timer runs.
class AutoMonitorDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kPeriodMs = 1000;
    static constexpr int kReadTimeoutMs = 50000;

    explicit AutoMonitorDlg(CompanionOwner& owner, QWidget* parent = nullptr);

    // Which values the camera adjusts; set before the dialog runs.
    int gainAuto = 0;
    int whiteBalanceAuto = 0;
    int shutterAuto = 0;

    // Reads every value (force 1) or only those under automatic control.
    void Refresh(int force);
    void OnStart();
    void OnStop();
    void SetReadTimeout(int ms) { m_readTimeoutMs = ms; }   // tests shorten the wait

public slots:
    void done(int result) override;   // a running timer never outlives the dialog

protected:
    void showEvent(QShowEvent* event) override;
    void timerEvent(QTimerEvent* event) override;

private:
    QString ReadValue(const char* mnemonic);
    QString ReadShutter();
    void ShowModes();

    CompanionOwner& m_owner;
    int m_timerId = 0;          // 0 while stopped
    int m_readTimeoutMs = kReadTimeoutMs;
    bool m_opened = false;
    bool m_refreshing = false;   // a box shown during a read runs the timer; no second refresh starts

    // ---- value fields and, beside each, whether the camera adjusts it
    QLabel* m_gain = nullptr;
    QLabel* m_gainR = nullptr;
    QLabel* m_gainB = nullptr;
    QLabel* m_shutter = nullptr;
    QLabel* m_gainMode = nullptr;
    QLabel* m_gainRMode = nullptr;
    QLabel* m_gainBMode = nullptr;
    QLabel* m_shutterMode = nullptr;
};
