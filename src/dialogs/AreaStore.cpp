#include "dialogs/AreaStore.h"

#include <QWidget>

#include <chrono>
#include <thread>

#include "settings/AppSettings.h"
#include "comm/EngineHost.h"
#include "comm/SettingAreas.h"
#include "comm/StopRequest.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CProgDlg.h"
#include "dialogs/UiPrompts.h"

namespace {

int g_closePauseMs = AreaStore::kClosePauseMs;

const char kStoreProgress[] = "Now, Store camera data.";
const char kStoreAllProgress[] = "Now, Store camera data ALL area.";
const char kStored[] = "Completed to store current setting data!";
const char kNotStored[] = "Couldn't store current setting data!";
const char kStoreCancelled[] = "Storing cancelled: the camera did not confirm the store.";
const char kStoreAllCancelled[] = "Storing cancelled: %1 of %2 areas stored.";

void Pause(int ms)
{
    std::this_thread::sleep_for(std::chrono::milliseconds(ms));
}

}  // namespace

void AreaStore::SetClosePause(int ms)
{
    g_closePauseMs = ms;
}

int AreaStore::StoreOne(int area)
{
    BlockingScope blocking;
    m_progress.Create(m_owner);
    m_progress.SetMessage(kStoreProgress);
    const int stored = SettingAreas::Store(m_engine, area);
    CloseProgress();
    if (StopRequest::CancelRaised())
        m_prompts.Message(m_owner, kStoreCancelled, EngineHost::kToolCaption, UiPrompts::Icon::Information);
    else if (stored == 1 && m_settings.offline == 0)
        m_prompts.Message(m_owner, kStored, EngineHost::kToolCaption, UiPrompts::Icon::Information);
    return stored;
}

int AreaStore::StoreAll()
{
    BlockingScope blocking;
    m_progress.Create(m_owner);
    m_progress.SetMessage(kStoreAllProgress);
    int done = 0;
    const SettingAreas::StoreAllResult result =
        SettingAreas::StoreAll(m_engine, SettingAreas::kStoreTimeoutMs, [this, &done](int, int) {
            m_progress.SetPos(++done * 100 / SettingAreas::kCount);
            return true;
        });
    CloseProgress();
    if (StopRequest::CancelRaised())
        m_prompts.Message(m_owner, QString(kStoreAllCancelled).arg(result.stored).arg(SettingAreas::kCount),
                          EngineHost::kToolCaption, UiPrompts::Icon::Information);
    else
        ShowOutcome(result.stored == result.tried);
    return SettingAreas::kCount - result.stored;
}

void AreaStore::ShowOutcome(bool stored)
{
    if (m_settings.offline != 0)
        return;
    if (stored)
        m_prompts.Message(m_owner, kStored, EngineHost::kToolCaption, UiPrompts::Icon::Information);
    else
        m_prompts.Message(m_owner, kNotStored, EngineHost::kToolCaption, UiPrompts::Icon::Exclamation);
}

void AreaStore::CloseProgress()
{
    if (!m_progress.IsCreated())
        return;
    m_progress.SetPos(100);
    Pause(g_closePauseMs);
    if (m_owner)
        m_owner->activateWindow();
    m_progress.Destroy();
}
