#include "dialogs/CCommSelDlg.h"

#include <QComboBox>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>

#include "settings/AppSettings.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/DialogParts.h"
#include "dialogs/NewestFirstList.h"
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

CCommSelDlg::CCommSelDlg(AppSettings& settings, ClSerialLib& camLink, UiPrompts& prompts, CompanionOwner& owner,
                         QWidget* parent)
    : QDialog(parent), m_settings(settings), m_camLink(camLink), m_prompts(prompts), m_owner(owner)
{
    setWindowTitle(kCaption);
    setModal(false);
    BuildWindow();
    ConnectControls();
    SetLineStatus(0);
}

void CCommSelDlg::Create()
{
    SetLineStatus(static_cast<int>(m_settings.lineOnline));
    SelectStoredSettings();
    ApplyEnableRules();
    UpdateStoreButton();
    TakeSettingsBack();
    CheckCommandFormat();
}

void CCommSelDlg::SelectStoredSettings()
{
    m_category->setCurrentIndex(CategoryOfLine(m_settings.serialMode));
    if (m_settings.serialMode == LineComPort)
        FillComPorts();
    else if (m_settings.serialMode == LineNone)
        m_port->clear();
    else
        FillCamLinkPorts();

    m_baud->setCurrentIndex(IndexOrFirst(m_settings.baudIndex, m_baud->count()));
    m_replyWait->setValue(static_cast<int>(BoundedReplyWait(m_settings.replyWaitMs)));
    m_area->setCurrentIndex(0);
}

void CCommSelDlg::TakeSettingsBack()
{
    const int category = m_category->currentIndex();
    m_settings.serialMode = category < 0 ? LineNone : static_cast<uint32_t>(category);
    m_settings.offline = m_settings.serialMode == LineNone ? 1 : 0;
    if (m_settings.serialMode == LineComPort)
        m_settings.commPort = static_cast<uint32_t>(m_port->currentIndex());
    else if (m_settings.serialMode != LineNone)
        TakeCamLinkSelection();
    m_settings.baudIndex = static_cast<uint32_t>(m_baud->currentIndex());
    m_settings.replyWaitMs = static_cast<uint32_t>(m_replyWait->value());
    // The maker library's serial index is not shown; one beyond 0..7 becomes 0.
    m_settings.camLinkSerialIndex =
        static_cast<uint32_t>(IndexOrFirst(m_settings.camLinkSerialIndex, kSerialIndexCount));
}

// Register-base commands are not offered in this version: short ASCII is
// always what goes into force. The stored check is kept only with it.
void CCommSelDlg::CheckCommandFormat()
{
    const bool shortAscii = m_settings.commandFormat == 0;
    m_settings.commandFormat = 0;
    if (!shortAscii) {
        m_prompts.Message(this, kFormatRefused, kFormatRefusedCaption, UiPrompts::Icon::Exclamation);
        return;
    }
    m_settings.commandCrc = m_settings.commandCrc != 0 ? 1 : 0;
}

void CCommSelDlg::ApplyEnableRules()
{
    const uint32_t kind = m_settings.serialMode;
    m_portLabel->setEnabled(kind != LineNone);
    m_port->setEnabled(kind != LineNone);
    m_baudLabel->setVisible(m_settings.IsFactory());
    m_baud->setVisible(m_settings.IsFactory());
    m_baudLabel->setEnabled(kind != LineNone);
    m_baud->setEnabled(kind != LineNone);
    m_auto->setEnabled(kind == LineComPort);
    m_replyWaitLabel->setEnabled(kind != LineNone);
    m_replyWait->setEnabled(kind != LineNone);
}

void CCommSelDlg::UpdateStoreButton()
{
    m_store->setEnabled(!(m_area->currentIndex() == 0 && !m_settings.IsFactory()));
}

void CCommSelDlg::SetLineStatus(int state)
{
    const bool online = state == 1;
    m_lamp->setPixmap(StatusPictures::Lamp(online));
    m_statusText->setText(online ? kOnline : kOffline);
    m_lineBar->setPixmap(StatusPictures::LineBar(online));
}

void CCommSelDlg::AddMessage(const QString& text)
{
    m_messages->AddLine(text);
}

QStringList CCommSelDlg::Messages() const
{
    return m_messages->Lines();
}

QString CCommSelDlg::LineStatusText() const
{
    return m_statusText->text();
}
