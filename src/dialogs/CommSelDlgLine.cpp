// The line: category, port, baud rate and the automatic port search.
#include "dialogs/CCommSelDlg.h"

#include <QComboBox>
#include <QGuiApplication>
#include <QPushButton>

#include "app/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/camlink/ClSerialLib.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/CommSelOwner.h"
#include "dialogs/UiPrompts.h"

using namespace CommSelTexts;

namespace {

// The wait cursor for a blocking search; gone before any box appears.
class WaitCursor {
public:
    WaitCursor() { QGuiApplication::setOverrideCursor(Qt::WaitCursor); }
    ~WaitCursor() { QGuiApplication::restoreOverrideCursor(); }
    WaitCursor(const WaitCursor&) = delete;
    WaitCursor& operator=(const WaitCursor&) = delete;
};

}  // namespace

void CCommSelDlg::FillComPorts()
{
    port_->clear();
    for (int number = 1; number <= kPortCount; ++number)
        port_->addItem(QStringLiteral("COM%1").arg(number));
    if (settings_.commPort >= static_cast<uint32_t>(kPortCount))
        settings_.commPort = 0;
    port_->setCurrentIndex(static_cast<int>(settings_.commPort));
}

// Lists what the library of the current kind offers; an entry that is gone
// falls back to the first one.
void CCommSelDlg::FillCamLinkPorts()
{
    port_->clear();
    if (settings_.serialMode == LineClSpec2000)
        camLink_.ListGrabberLibraries();
    else if (settings_.serialMode == LineClSpec2001)
        camLink_.ListManufacturers();
    else
        camLink_.ListClPorts();

    std::vector<std::string> entries;
    const int count = ClSerialLib::FillPortList(CamLinkList(), entries);
    for (const std::string& entry : entries)
        port_->addItem(QString::fromStdString(entry));
    if (settings_.dllNo >= static_cast<uint32_t>(count))
        settings_.dllNo = 0;
    port_->setCurrentIndex(count > 0 ? static_cast<int>(settings_.dllNo) : -1);
}

const std::vector<std::string>& CCommSelDlg::CamLinkList() const
{
    if (settings_.serialMode == LineClSpec2000)
        return camLink_.GrabberLibraries();
    if (settings_.serialMode == LineClSpec2001)
        return camLink_.Manufacturers();
    return camLink_.ClPorts();
}

// An empty list leaves entry 0 and no name, so that the opening fails.
void CCommSelDlg::TakeCamLinkSelection()
{
    const int selected = port_->currentIndex();
    settings_.dllNo = selected < 0 ? 0 : static_cast<uint32_t>(selected);
    settings_.selectedPortName = ClSerialLib::GetListEntry(CamLinkList(), static_cast<int>(settings_.dllNo));
}

void CCommSelDlg::Reconnect()
{
    const int answered = owner_.ConnectCamera();
    owner_.SetCommStatus(answered);
    if (answered == 1)
        owner_.ReloadAll();
}

// The channel is closed under the kind it was opened with, before the kind changes.
void CCommSelDlg::OnCategoryChanged(int index)
{
    if (index < 0)
        return;
    owner_.Engine().ClosePort();
    settings_.serialMode = static_cast<uint32_t>(index);
    settings_.offline = 0;   // every listed category is a real line
    if (settings_.serialMode == LineComPort) {
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
    owner_.Engine().ClosePort();
    if (category_->currentIndex() >= 0)
        settings_.serialMode = static_cast<uint32_t>(category_->currentIndex());
    if (settings_.serialMode == LineComPort)
        settings_.commPort = static_cast<uint32_t>(index);
    else if (settings_.serialMode != LineNone)
        TakeCamLinkSelection();
    Reconnect();
}

void CCommSelDlg::OnBaudChanged(int index)
{
    if (index < 0)
        return;
    owner_.Engine().ClosePort();
    settings_.baudIndex = static_cast<uint32_t>(index);
    Reconnect();
}

void CCommSelDlg::OnSerialIndexChanged(int index)
{
    if (index >= 0)
        settings_.camLinkSerialIndex = static_cast<uint32_t>(index);
}

void CCommSelDlg::OnAuto()
{
    CRsCmd& engine = owner_.Engine();
    engine.ClosePort();
    int found = -1;
    {
        WaitCursor wait;
        found = FindAnsweringPort(engine);
    }
    if (found < 0) {
        prompts_.Message(this, kNoAnswer, kCommError, UiPrompts::Icon::Exclamation);
        owner_.SetCommStatus(0);
        return;
    }
    owner_.SetCommStatus(1);
    port_->setCurrentIndex(found);
    settings_.commPort = static_cast<uint32_t>(port_->currentIndex());
    owner_.ReloadAll();
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
