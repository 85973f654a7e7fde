#include "dialogs/CUserIDDlg.h"

#include <QDialogButtonBox>
#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CameraIdentity.h"
#include "comm/CommandTable.h"
#include "comm/EngineHost.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/DialogParts.h"
#include "dialogs/LineStatusStrip.h"
#include "dialogs/UiPrompts.h"

namespace {

const char kWriteFailed[] = "Couldn't write the User ID.";
const char kTooLong[] = "\nA User ID holds at most 16 characters.";
const char kEraseQuestion[] = "Write an empty User ID?\nThe camera's User ID will be erased.";

// A reply that does not start with a printable character holds no user ID.
bool StartsPrintable(const std::string& text)
{
    return !text.empty() && static_cast<unsigned char>(text[0]) >= 0x20 && static_cast<unsigned char>(text[0]) <= 0x7F;
}

}  // namespace

CUserIDDlg::CUserIDDlg(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_owner(owner), m_prompts(prompts)
{
    setObjectName("userId");
    setWindowTitle("UserID");
    m_userId = new QLineEdit(this);
    m_userId->setObjectName("userIdEdit");
    m_userId->setMinimumWidth(m_userId->fontMetrics().horizontalAdvance(QString(kMaxLength + 2, 'W')));
    auto* form = new QFormLayout;
    form->addRow("User ID", m_userId);

    auto* buttons = new QDialogButtonBox(this);
    QPushButton* write = buttons->addButton("Write", QDialogButtonBox::ActionRole);
    QPushButton* read = buttons->addButton("Read", QDialogButtonBox::ActionRole);
    write->setObjectName("write");
    read->setObjectName("read");
    connect(write, &QPushButton::clicked, this, &CUserIDDlg::OnWriteUserId);
    connect(read, &QPushButton::clicked, this, &CUserIDDlg::OnReadUserId);

    m_status = new LineStatusStrip(this);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(buttons);
    layout->addWidget(m_status);
    SetCommStatus(static_cast<int>(m_settings.lineOnline));
    OnReadUserId();   // Write with Enter sends what the camera holds, never an empty edit
}

void CUserIDDlg::SetCommStatus(int state)
{
    m_status->Show(state == 1);
}

void CUserIDDlg::OnWriteUserId()
{
    WriteUserId(m_userId->text(), m_settings, m_owner, m_prompts, this);
}

void CUserIDDlg::WriteUserId(const QString& text, AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts,
                             QWidget* window)
{
    CommandValue value;
    value.text = text.toStdString();
    // The camera counts bytes; anything beyond 16 is refused before it is sent.
    if (value.text.size() > static_cast<size_t>(kMaxLength)) {
        prompts.Message(window, QString(kWriteFailed) + kTooLong, EngineHost::kToolCaption, UiPrompts::Icon::Stop);
        return;
    }
    if (value.text.empty() && !prompts.AskYesNo(window, kEraseQuestion, EngineHost::kToolCaption))
        return;
    BlockingScope blocking;
    CRsCmd* engine = owner.Camera();
    if (!engine || !engine->SetValue(CommandTable::Find("UD"), 0, value, kTimeoutMs)) {
        prompts.Message(window, kWriteFailed, EngineHost::kToolCaption, UiPrompts::Icon::Stop);
        return;
    }
    if (!settings.offline)
        prompts.Message(window, QString("Writing the User ID \"%1\" has been completed.").arg(text),
                        EngineHost::kToolCaption, UiPrompts::Icon::Information);
}

void CUserIDDlg::OnReadUserId()
{
    BlockingScope blocking;
    CRsCmd* engine = m_owner.Camera();
    CommandValue value;
    if (!engine || !engine->GetValue(CommandTable::Find("UD"), 0, value, kTimeoutMs, 1, 1)) {
        m_userId->setText(CameraIdentity::kNoUserId);
        return;
    }
    m_userId->setText(StartsPrintable(value.text) ? QString::fromStdString(value.text) : QString());
}
