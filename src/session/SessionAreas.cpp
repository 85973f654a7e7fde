// The camera's setting areas: store one or all, load one.
#include "session/CameraSession.h"

#include <chrono>
#include <thread>

#include "settings/AppSettings.h"
#include "comm/SettingAreas.h"
#include "comm/StopRequest.h"
#include "session/Operation.h"
#include "session/SessionHost.h"
#include "session/SessionTexts.h"

namespace {

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

void CameraSession::StoreSettings(int area)
{
    m_currentArea = area;
    Pause(SettingAreas::kPauseMs);
    StoreArea(area);
}

int CameraSession::StoreArea(int area)
{
    if (!m_engine)
        return 0;
    Operation operation;
    m_host.ShowProgress(SessionTexts::kStoring);
    const int stored = SettingAreas::Store(*m_engine, area);
    CloseStoreProgress();
    if (StopRequest::CancelRaised())
        ShowMessage(SessionTexts::kStoreCancelled, false);
    else if (stored == 1 && m_settings.offline == 0)
        ShowMessage(SessionTexts::kStored, false);
    return stored;
}

void CameraSession::StoreAll()
{
    if (!m_engine || !m_host.AskYesNo(SessionTexts::kStoreAllQuestion))
        return;
    Operation operation;
    m_host.ShowProgress(SessionTexts::kStoringAll);
    int tried = 0;
    const SettingAreas::StoreAllResult result =
        SettingAreas::StoreAll(*m_engine, SettingAreas::kStoreTimeoutMs, [this, &tried](int, int) {
            m_host.SetProgress(++tried * 100 / SettingAreas::kCount);
            return true;
        });
    CloseStoreProgress();
    if (StopRequest::CancelRaised())
        ShowMessage(SessionTexts::Filled(SessionTexts::kStoreAllCancelled, result.stored, SettingAreas::kCount), false);
    else if (m_settings.offline == 0)
        ShowMessage(result.stored == result.tried ? SessionTexts::kStored : SessionTexts::kNotStored,
                    result.stored != result.tried);
}

void CameraSession::StoreFactory()
{
    if (m_host.AskYesNo(SessionTexts::kStoreFactoryQuestion))
        StoreArea(0);
}

// Full bar, pause, main window active, progress window gone.
void CameraSession::CloseStoreProgress()
{
    if (!m_host.ProgressShown())
        return;
    m_host.SetProgress(100);
    Pause(m_limits.storedPauseMs);
    m_host.ActivateMainWindow(false);
    m_host.CloseProgress();
}

void CameraSession::LoadSettings(int area)
{
    m_currentArea = area;
    LoadArea(area);
}

int CameraSession::LoadArea(int area)
{
    if (!m_engine)
        return 0;
    Operation operation;
    if (SettingAreas::Load(*m_engine, area) != 1)
        return 0;
    ReloadAll();
    return 1;
}
