#include "dialogs/CCommSelDlg.h"

#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>

#include "app/AppSettings.h"
#include "app/Profile.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/StatusPictures.h"
#include "dialogs/UiPrompts.h"

using namespace CommSelTexts;

namespace {

// A stored index the list does not hold selects its first entry, so that no
// setting is ever taken back as "no selection".
int IndexOrFirst(uint32_t stored, int count)
{
    return stored < static_cast<uint32_t>(count) ? static_cast<int>(stored) : 0;
}

// Category entry of a line kind: "no line" has none, and every kind beyond
// the list is served by the all-ports library, as the transports do.
int CategoryOfLine(uint32_t kind)
{
    if (kind == LineNone)
        return -1;
    return kind <= LineClSpecV11 ? static_cast<int>(kind) : static_cast<int>(LineClSpecV11);
}

}  // namespace

CCommSelDlg::CCommSelDlg(AppSettings& settings, ClSerialLib& camLink, CGen& gen, UiPrompts& prompts,
                         CommSelOwner& owner, QWidget* parent)
    : QDialog(parent), settings_(settings), camLink_(camLink), gen_(gen), prompts_(prompts), owner_(owner)
{
    Profile::EnterCrashGuard(settings_, gen_);
    setWindowTitle(kCaption);
    setModal(false);
    BuildWindow();
    ConnectControls();
    SetLineStatus(0);
}

// Reached only when the main window goes down in order: the next start may
// trust the stored line kind again.
CCommSelDlg::~CCommSelDlg()
{
    Profile::LeaveCrashGuard(gen_);
}

void CCommSelDlg::Create()
{
    SetLineStatus(static_cast<int>(settings_.lineOnline));
    caption_->setText(kToolName);
    version_->setText(QStringLiteral("Version ") + kVersion);
    SelectStoredSettings();
    ApplyEnableRules();
    UpdateStoreButton();
    TakeSettingsBack();
    CheckCommandFormat();
}

void CCommSelDlg::SelectStoredSettings()
{
    category_->setCurrentIndex(CategoryOfLine(settings_.serialMode));
    if (settings_.serialMode == LineComPort)
        FillComPorts();
    else if (settings_.serialMode == LineNone)
        port_->clear();
    else
        FillCamLinkPorts();

    baud_->setCurrentIndex(IndexOrFirst(settings_.baudIndex, baud_->count()));
    serialIndex_->setCurrentIndex(IndexOrFirst(settings_.camLinkSerialIndex, serialIndex_->count()));
    commandFormat_->setCurrentIndex(settings_.commandFormat < static_cast<uint32_t>(commandFormat_->count())
                                        ? static_cast<int>(settings_.commandFormat)
                                        : -1);
    area_->setCurrentIndex(0);
    crc_->setChecked(settings_.commandCrc != 0);
}

void CCommSelDlg::TakeSettingsBack()
{
    const int category = category_->currentIndex();
    settings_.serialMode = category < 0 ? LineNone : static_cast<uint32_t>(category);
    settings_.offline = settings_.serialMode == LineNone ? 1 : 0;
    if (settings_.serialMode == LineComPort)
        settings_.commPort = static_cast<uint32_t>(port_->currentIndex());
    else if (settings_.serialMode != LineNone)
        TakeCamLinkSelection();
    settings_.baudIndex = static_cast<uint32_t>(baud_->currentIndex());
    settings_.camLinkSerialIndex = static_cast<uint32_t>(serialIndex_->currentIndex());
}

// Register-base commands are not offered in this version: short ASCII is
// always what goes into force.
void CCommSelDlg::CheckCommandFormat()
{
    const bool shortAscii = commandFormat_->currentIndex() == 0;
    settings_.commandFormat = 0;
    commandFormat_->setCurrentIndex(0);
    if (!shortAscii) {
        prompts_.Message(this, kFormatRefused, kFormatRefusedCaption, UiPrompts::Icon::Exclamation);
        return;
    }
    settings_.commandCrc = crc_->isChecked() ? 1 : 0;
}

void CCommSelDlg::ApplyEnableRules()
{
    const uint32_t kind = settings_.serialMode;
    serialIndexLabel_->setEnabled(kind == LineClSpec2001);
    serialIndex_->setEnabled(kind == LineClSpec2001);
    portLabel_->setEnabled(kind != LineNone);
    port_->setEnabled(kind != LineNone);
    baudLabel_->setVisible(settings_.IsFactory());
    baud_->setVisible(settings_.IsFactory());
    baudLabel_->setEnabled(kind != LineNone);
    baud_->setEnabled(kind != LineNone);
    auto_->setEnabled(kind == LineComPort);
}

void CCommSelDlg::UpdateStoreButton()
{
    store_->setEnabled(!(area_->currentIndex() == 0 && !settings_.IsFactory()));
}

void CCommSelDlg::SetLineStatus(int state)
{
    const bool online = state == 1;
    lamp_->setPixmap(StatusPictures::Lamp(online));
    statusText_->setText(online ? kOnline : kOffline);
    lineBar_->setPixmap(StatusPictures::LineBar(online));
}

void CCommSelDlg::AddMessage(const QString& text)
{
    messages_->insertItem(0, text);
    while (messages_->count() > kMessageCapacity)
        delete messages_->takeItem(messages_->count() - 1);
}

QStringList CCommSelDlg::Messages() const
{
    QStringList lines;
    lines.reserve(messages_->count());
    for (int row = 0; row < messages_->count(); ++row)
        lines.append(messages_->item(row)->text());
    return lines;
}

QString CCommSelDlg::LineStatusText() const
{
    return statusText_->text();
}

QString CCommSelDlg::AreaText() const
{
    return currentArea_->text();
}
