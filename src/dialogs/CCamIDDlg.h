#pragma once

#include <QDialog>

#include <array>

class LineStatusStrip;
class QLineEdit;
class QPushButton;
struct AppSettings;
class CompanionOwner;
class UiPrompts;

// Shows the camera's ID one character per edit and, at factory level,
// saves a new one after unlocking the camera. Runs modally.
class CCamIDDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kLength = 10;
    static constexpr int kTimeoutMs = 3000;
    // The camera takes a new ID only after "ULCK" with this number.
    static constexpr int kUnlockNumber = 5963104;

    CCamIDDlg(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, QWidget* parent = nullptr);

    void OnSaveCameraId();
    void SetCommStatus(int state);

    // For tests.
    QLineEdit* Edit(int k) const { return m_edits[static_cast<size_t>(k)]; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void ShowCameraId();

    AppSettings& m_settings;
    CompanionOwner& m_owner;
    UiPrompts& m_prompts;
    std::array<QLineEdit*, kLength> m_edits{};
    QPushButton* m_save = nullptr;
    LineStatusStrip* m_status = nullptr;
};
