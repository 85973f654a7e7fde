#pragma once

#include <QDialog>

class LineStatusStrip;
class QLineEdit;
struct AppSettings;
class CompanionOwner;
class UiPrompts;

// Writes and reads the user's own text kept in the camera (at most 16
// characters). Runs modally from the "Utility" menu.
class CUserIDDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMaxLength = 16;
    static constexpr int kTimeoutMs = 3000;

    CUserIDDlg(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, QWidget* parent = nullptr);

    void OnWriteUserId();
    void OnReadUserId();
    void SetCommStatus(int state);

    // Writing as the About window's "Save User ID" does it too: refused
    // beyond 16 characters, confirmed unless offline.
    static void WriteUserId(const QString& text, AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts,
                            QWidget* window);

private:
    AppSettings& m_settings;
    CompanionOwner& m_owner;
    UiPrompts& m_prompts;
    QLineEdit* m_userId = nullptr;
    LineStatusStrip* m_status = nullptr;
};
