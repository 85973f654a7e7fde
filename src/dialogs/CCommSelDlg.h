#pragma once

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QComboBox;
class QGroupBox;
class QLabel;
class QPushButton;
class QSpinBox;
struct AppSettings;
class ClSerialLib;
class CompanionOwner;
class CRsCmd;
class NewestFirstList;
class UiPrompts;

// The modeless "Communication" window beside the main window: how the camera
// is reached (PC serial port or a Camera Link library kind), the automatic
// port search, the link state, the camera's setting areas and the running
// list of camera traffic. It exists for the whole run.
class CCommSelDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMessageCapacity = 1024;
    static constexpr int kPortCount = 16;

    CCommSelDlg(AppSettings& settings, ClSerialLib& camLink, UiPrompts& prompts, CompanionOwner& owner,
                QWidget* parent = nullptr);

    // Makes the profile's line settings effective: selects them in the
    // controls, applies the enable rules and takes the settings back. Run
    // once by the main window after its engine exists and before it first
    // opens the line. The window stays hidden.
    void Create();

    // Newest line on top; the oldest drops out beyond kMessageCapacity lines.
    void AddMessage(const QString& text);
    // 1: online (green bar and lamp, "Online"); anything else: offline.
    void SetLineStatus(int state);
    // "Store" is refused for the factory area below the factory level.
    void UpdateStoreButton();
    // Which line controls are usable for the line kind and level in force.
    void ApplyEnableRules();

    // Read-outs.
    QStringList Messages() const;   // newest first
    QString LineStatusText() const;

private:
    // Building the window (CommSelDlgLayout.cpp).
    void BuildWindow();
    QGroupBox* BuildLineStatusGroup();
    QGroupBox* BuildPortGroup();
    QGroupBox* BuildFilesGroup();
    QGroupBox* BuildCurrentAreaGroup();
    QGroupBox* BuildSettingAreaGroup();
    QGroupBox* BuildMessageGroup();
    void ConnectControls();

    // Initialisation.
    void SelectStoredSettings();
    void TakeSettingsBack();
    void CheckCommandFormat();

    // The line (CommSelDlgLine.cpp).
    void FillComPorts();
    void FillCamLinkPorts();
    const std::vector<std::string>& CamLinkList() const;
    void TakeCamLinkSelection();
    void CloseLine();
    void Reconnect();
    int FindAnsweringPort(CRsCmd& engine);
    void OnCategoryChanged(int index);
    void OnPortChanged(int index);
    void OnBaudChanged(int index);
    void OnReplyWaitChanged(int milliseconds);
    void OnAuto();

    // The camera's setting areas (CommSelDlgArea.cpp).
    void OnGetArea();
    void OnStore();
    void OnLoad();

    // Files (CommSelDlgFiles.cpp).
    void OnWriteMessages();
    bool WriteMessageFile(const QString& path) const;
    void OnClearMessages();

    // Shared state and collaborators, owned by the application and the main window.
    AppSettings& m_settings;
    ClSerialLib& m_camLink;
    UiPrompts& m_prompts;
    CompanionOwner& m_owner;

    // Line status
    QLabel* m_lamp = nullptr;
    QLabel* m_statusText = nullptr;
    QLabel* m_lineBar = nullptr;

    // Communication port
    QComboBox* m_category = nullptr;
    QLabel* m_baudLabel = nullptr;
    QComboBox* m_baud = nullptr;
    QLabel* m_portLabel = nullptr;
    QComboBox* m_port = nullptr;
    QPushButton* m_auto = nullptr;
    QLabel* m_replyWaitLabel = nullptr;
    QSpinBox* m_replyWait = nullptr;

    // Files
    QPushButton* m_writeSettingFile = nullptr;
    QPushButton* m_readSettingFile = nullptr;

    // Setting areas
    QLabel* m_currentArea = nullptr;
    QPushButton* m_getArea = nullptr;
    QComboBox* m_area = nullptr;
    QPushButton* m_store = nullptr;
    QPushButton* m_load = nullptr;

    // Kavro Message
    NewestFirstList* m_messages = nullptr;
    QPushButton* m_writeMessages = nullptr;
    QPushButton* m_clearMessages = nullptr;
};
