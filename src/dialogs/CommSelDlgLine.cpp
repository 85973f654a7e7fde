// The line: category, port, baud rate and the automatic port search.
#include "dialogs/CCommSelDlg.h"

#include <QComboBox>
#include <QPushButton>
#include <QSpinBox>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/camlink/ClSerialLib.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/UiPrompts.h"

using namespace CommSelTexts;

void CCommSelDlg::FillComPorts()
{
    m_port->clear();
    for (int number = 1; number <= kPortCount; ++number)
        m_port->addItem(QStringLiteral("COM%1").arg(number));
    if (m_settings.commPort >= static_cast<uint32_t>(kPortCount))
        m_settings.commPort = 0;
    m_port->setCurrentIndex(static_cast<int>(m_settings.commPort));
}

// Lists what the library of the current kind offers; an entry that is gone
// falls back to the first one.
void CCommSelDlg::FillCamLinkPorts()
{
    m_port->clear();
    if (m_settings.serialMode == LineClSpec2000)
        m_camLink.ListGrabberLibraries();
    else if (m_settings.serialMode == LineClSpec2001)
        m_camLink.ListManufacturers();
    else
        m_camLink.ListClPorts();

    std::vector<std::string> entries;
    const int count = ClSerialLib::FillPortList(CamLinkList(), entries);
    for (const std::string& entry : entries)
        m_port->addItem(QString::fromStdString(entry));
    if (m_settings.dllNo >= static_cast<uint32_t>(count))
        m_settings.dllNo = 0;
    m_port->setCurrentIndex(count > 0 ? static_cast<int>(m_settings.dllNo) : -1);
}

const std::vector<std::string>& CCommSelDlg::CamLinkList() const
{
    if (m_settings.serialMode == LineClSpec2000)
        return m_camLink.GrabberLibraries();
    if (m_settings.serialMode == LineClSpec2001)
        return m_camLink.Manufacturers();
    return m_camLink.ClPorts();
}

// An empty list leaves entry 0 and no name, so that the opening fails.
void CCommSelDlg::TakeCamLinkSelection()
{
    const int selected = m_port->currentIndex();
    m_settings.dllNo = selected < 0 ? 0 : static_cast<uint32_t>(selected);
    m_settings.selectedPortName = ClSerialLib::GetListEntry(CamLinkList(), static_cast<int>(m_settings.dllNo));
}

void CCommSelDlg::CloseLine()
{
    if (CRsCmd* engine = m_owner.Camera())
        engine->ClosePort();
}

void CCommSelDlg::Reconnect()
{
    BlockingScope blocking;
    const int answered = m_owner.ConnectCamera();
    m_owner.SetCommStatus(answered);
    if (answered == 1)
        m_owner.ReloadAll();
}

// The channel is closed under the kind it was opened with, before the kind changes.
void CCommSelDlg::OnCategoryChanged(int index)
{
    if (index < 0)
        return;
    CloseLine();
    m_settings.serialMode = static_cast<uint32_t>(index);
    m_settings.offline = 0;   // every listed category is a real line
    if (m_settings.serialMode == LineComPort) {
        FillComPorts();
    } else {
        FillCamLinkPorts();
        TakeCamLinkSelection();
    }
    ApplyEnableRules();
    Reconnect();
}

void CCommSelDlg::OnPortChanged(int index)
{
    if (index < 0)
        return;
    CloseLine();
    if (m_category->currentIndex() >= 0)
        m_settings.serialMode = static_cast<uint32_t>(m_category->currentIndex());
    if (m_settings.serialMode == LineComPort)
        m_settings.commPort = static_cast<uint32_t>(index);
    else if (m_settings.serialMode != LineNone)
        TakeCamLinkSelection();
    Reconnect();
}

void CCommSelDlg::OnBaudChanged(int index)
{
    if (index < 0)
        return;
    CloseLine();
    m_settings.baudIndex = static_cast<uint32_t>(index);
    Reconnect();
}

// Takes effect with the next command; the line stays as it is.
void CCommSelDlg::OnReplyWaitChanged(int milliseconds)
{
    m_settings.replyWaitMs = BoundedReplyWait(static_cast<uint32_t>(milliseconds));
}

void CCommSelDlg::OnAuto()
{
    CRsCmd* engine = m_owner.Camera();
    if (!engine)
        return;
    engine->ClosePort();
    int found = -1;
    {
        BlockingScope blocking;
        found = FindAnsweringPort(*engine);
    }
    if (found < 0) {
        m_prompts.Message(this, CRsCmd::kNoAnswer, CRsCmd::kCommError, UiPrompts::Icon::Exclamation);
        m_owner.SetCommStatus(0);
        return;
    }
    m_owner.SetCommStatus(1);
    m_port->setCurrentIndex(found);
    m_settings.commPort = static_cast<uint32_t>(m_port->currentIndex());
    m_owner.ReloadAll();
}

// COM1..COM16 in order; the first port whose camera names its model wins and
// stays open. Silent ports cost the probe's time limit each.
int CCommSelDlg::FindAnsweringPort(CRsCmd& engine)
{
    for (int index = 0; index < kPortCount; ++index) {
        if (engine.OpenPort(index) == 1) {
            CommandValue model;
            if (engine.GetValue(CmdMD, 0, model, kProbeTimeoutMs, 0, 1) == 1)
                return index;
        }
        engine.ClosePort();
    }
    return -1;
}
