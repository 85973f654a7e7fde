#pragma once

#include <memory>
#include <string>
#include <vector>

#include "params/ParamStore.h"

struct AppSettings;
class ClSerialLib;
class CRsCmd;
class SerialPort;
class SessionHost;
class SettingsComparison;
struct SettingsLine;
struct SettingsLoadReport;

// The camera as the main window drives it, without any window: the command
// engine and the value store behind the pages, reading and reloading, the
// settings files and the comparison, the setting areas and the camera
// operations. Each camera operation runs as an Operation; what it shows and
// asks goes through the host.
class CameraSession {
public:
    // How long the camera may take, in ms.
    struct Limits {
        int commandMs = 3000;        // an ordinary setting or query
        int calibrationMs = 60000;   // white balance, blemish and shading recalibration
        int averageDataMs = 50000;   // each block of average data
        int prismShadingMs = 20000;
        int storedPauseMs = 1000;    // the full bar of a store stays up this long
    };

    CameraSession(AppSettings& settings, SerialPort& port, ClSerialLib& camLink, SessionHost& host);
    ~CameraSession();
    CameraSession(const CameraSession&) = delete;
    CameraSession& operator=(const CameraSession&) = delete;

    // ---- the line
    // Makes the engine; Close closes the line and ends it.
    void Open();
    void Close();
    // nullptr before Open and after Close.
    CRsCmd* Engine() const { return m_engine.get(); }
    const Limits& GetLimits() const { return m_limits; }
    void SetLimits(const Limits& limits) { m_limits = limits; }

    // ---- the value store; before StartUpDone nothing is sent and the lines are not coupled
    ParamStore& Params() { return m_params; }
    void StartUpDone() { m_startedUp = true; }
    void ShutDown() { m_startedUp = false; }
    // An unknown control gets the error box.
    int GetParam(int ctrlId);
    void SetParam(int ctrlId, int value);
    // The controls of a refused setting and of every later change of its pass
    // show their committed values again.
    void SendChangedParams();
    void CommitParams();
    void RefreshAllCtrls();

    // ---- reading (SessionReading.cpp)
    // Opens the configured line and asks for the current area; 1 when the camera answered.
    int ConnectCamera();
    int QueryCurrentArea();
    int ReadAllSettings();
    // Everything read, shown and committed; the test pattern set once more.
    void ReloadAll();
    // "&Reload": the current area, then everything.
    void Reload();
    int ReloadCtrl(int ctrlId);
    int CurrentArea() const { return m_currentArea; }
    void SetCurrentArea(int area) { m_currentArea = area; }

    // ---- settings files and the comparison (SessionFiles.cpp)
    bool WriteSettingFile(const std::string& path);
    bool ApplySettingFile(const std::string& path);
    // Chosen lines go the way of a whole file; for each, whether the camera took it.
    std::vector<bool> ApplySettingLines(const std::vector<SettingsLine>& lines);
    // Reads the camera for every line the file would send; the pages then show
    // what it holds. False, after telling why, when the comparison is not whole.
    bool CompareWithFile(const std::string& path, SettingsComparison& comparison);

    // ---- setting areas (SessionAreas.cpp)
    // The area chosen for "&Store settings" becomes the current one, then is stored.
    void StoreSettings(int area);
    // One area, with the progress window; 1 when the camera stored it.
    int StoreArea(int area);
    // After the question, every area.
    void StoreAll();
    void StoreFactory();
    // The area chosen for "&Load settings" becomes the current one, then is loaded.
    void LoadSettings(int area);
    // "LD", then everything read again when the camera took it; 1 then.
    int LoadArea(int area);

    // ---- camera operations (SessionOperations.cpp)
    void OnePushAwb();
    void BlemishRecal(bool white);
    void ShadingRecal(bool colour);
    // The read-outs: false when the camera did not answer.
    bool ReadTemperature(double& degrees);
    bool ReadSNumber(int& number);
    void PrismShadingGet();
    // "AVDR", "AVDG", "AVDB" or "AVDY" blocks into the file.
    void ReadAverageData(const std::string& mnemonic, const std::string& path);

    // ---- the line's health and the simulator
    // A minute without traffic: is the camera still there? Nothing offline or during an operation.
    void CheckLine();
    // With simulation on, a line that arrived is answered as a camera would.
    void AnswerAsCamera();

private:
    int CtrlId2ParamIndex(int ctrlId);
    bool IsReadable(int row) const;
    bool LineLost() const;
    int ReloadCtrls(const std::vector<int>& ctrlIds);
    bool ReportCancel(const std::string& text);
    void ShowMessage(const std::string& text, bool warning);
    void ShowCannotOpen(const std::string& path);
    void ShowUnexpected(const char* where);
    void FinishApplying();
    void ReportLoad(SettingsLoadReport report);
    void CloseStoreProgress();
    void AnswerQuery(int index);

    // ---- shared state, owned by the application and the main window
    AppSettings& m_settings;
    SerialPort& m_port;
    ClSerialLib& m_camLink;
    SessionHost& m_host;

    std::unique_ptr<CRsCmd> m_engine;
    ParamStore m_params;
    Limits m_limits;
    bool m_startedUp = false;
    int m_currentArea = 0;   // 0 Factory, 1..3 User1..User3
};
