#pragma once

#include <QDialog>
#include <QStringList>

#include <string>
#include <vector>

class QCheckBox;
class QComboBox;
class QGroupBox;
class QLabel;
class QListWidget;
class QPushButton;
struct AppSettings;
class CGen;
class ClSerialLib;
class CommSelOwner;
class CRsCmd;
class UiPrompts;

// The modeless "Communication" window beside the main window: how the camera
// is reached (PC serial port or a Camera Link library kind), the automatic
// port search, the link state, the camera's setting areas and the running
// list of camera traffic. The object carries the crash guard of the profile:
// it exists for the whole run and is destroyed in order at exit.
class CCommSelDlg : public QDialog {
    Q_OBJECT

public:
    static constexpr int kMessageCapacity = 1024;
    static constexpr int kPortCount = 16;

    CCommSelDlg(AppSettings& settings, ClSerialLib& camLink, CGen& gen, UiPrompts& prompts, CommSelOwner& owner,
                QWidget* parent = nullptr);
    ~CCommSelDlg() override;

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
    QString AreaText() const;       // what "Get Area" showed

private:
    // Building the window (CommSelDlgLayout.cpp).
    void BuildWindow();
    QGroupBox* BuildLineStatusGroup();
    QGroupBox* BuildPortGroup();
    QGroupBox* BuildFilesGroup();
    QGroupBox* BuildCurrentAreaGroup();
    QGroupBox* BuildSettingAreaGroup();
    QGroupBox* BuildMessageGroup();
    void BuildHiddenControls();
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
    void Reconnect();
    int FindAnsweringPort(CRsCmd& engine);
    void OnCategoryChanged(int index);
    void OnPortChanged(int index);
    void OnBaudChanged(int index);
    void OnSerialIndexChanged(int index);
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
    AppSettings& settings_;
    ClSerialLib& camLink_;
    CGen& gen_;
    UiPrompts& prompts_;
    CommSelOwner& owner_;

    // Line status
    QLabel* lamp_ = nullptr;
    QLabel* statusText_ = nullptr;
    QLabel* lineBar_ = nullptr;

    // Communication port
    QComboBox* category_ = nullptr;
    QLabel* baudLabel_ = nullptr;
    QComboBox* baud_ = nullptr;
    QLabel* portLabel_ = nullptr;
    QComboBox* port_ = nullptr;
    QPushButton* auto_ = nullptr;

    // Files
    QPushButton* writeSettingFile_ = nullptr;
    QPushButton* readSettingFile_ = nullptr;

    // Setting areas
    QLabel* currentArea_ = nullptr;
    QPushButton* getArea_ = nullptr;
    QComboBox* area_ = nullptr;
    QPushButton* store_ = nullptr;
    QPushButton* load_ = nullptr;

    // Kavro Message
    QListWidget* messages_ = nullptr;
    QPushButton* writeMessages_ = nullptr;
    QPushButton* clearMessages_ = nullptr;

    // Never shown; they carry the serial index, command format and CRC
    // through the initialisation.
    QLabel* serialIndexLabel_ = nullptr;
    QComboBox* serialIndex_ = nullptr;
    QLabel* commandFormatLabel_ = nullptr;
    QComboBox* commandFormat_ = nullptr;
    QCheckBox* crc_ = nullptr;
    QPushButton* ok_ = nullptr;
    QLabel* caption_ = nullptr;
    QLabel* version_ = nullptr;
    QLabel* appIcon_ = nullptr;
};
