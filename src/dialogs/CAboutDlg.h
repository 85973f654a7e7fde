#pragma once

#include <QDialog>
#include <QString>

class LineStatusStrip;
class QComboBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
struct AppSettings;
class CLabel;
class CompanionOwner;
class UiPrompts;

// The program's version, what identifies the connected camera, the user ID
// (editable once unlocked by its radio button) and the help files. Made the
// first time it is asked for, then only hidden, refreshed and shown.
class CAboutDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr const char* kProgramName = "MX-330CL Kavro";
    static constexpr const char* kMakerAddress = "https://qel.example.com/";

    // Help files are the "*.pdf" files of helpFolder.
    CAboutDlg(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, const QString& helpFolder = ".",
              QWidget* parent = nullptr);

    void RefreshCameraData();
    void OnSaveUserId();
    void OnViewHelpFile();
    void SetCommStatus(int state);

private:
    QWidget* BuildCameraData();
    QWidget* BuildHelp();
    void FillHelpList();
    void EnableUserIdEditing(bool on);

    AppSettings& m_settings;
    CompanionOwner& m_owner;
    UiPrompts& m_prompts;
    QString m_helpFolder;

    // ---- camera data
    QLineEdit* m_modelName = nullptr;
    QLineEdit* m_cameraId = nullptr;
    QLineEdit* m_firmware = nullptr;
    QLabel* m_fpgaCaption = nullptr;
    QLineEdit* m_fpga = nullptr;
    QLineEdit* m_userId = nullptr;
    QPushButton* m_saveUserId = nullptr;
    QRadioButton* m_protect = nullptr;
    QRadioButton* m_enableEdit = nullptr;

    // ---- help and status
    QComboBox* m_helpFiles = nullptr;
    CLabel* m_link = nullptr;
    LineStatusStrip* m_status = nullptr;
};
