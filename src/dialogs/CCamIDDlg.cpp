#include "dialogs/CCamIDDlg.h"

#include <QGroupBox>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

#include "settings/AppSettings.h"
#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "comm/EngineHost.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/DialogParts.h"
#include "dialogs/LineStatusStrip.h"
#include "dialogs/UiPrompts.h"

namespace {

const char kSaveFailed[] = "Couldn't save the CAMERA ID.";

}  // namespace

CCamIDDlg::CCamIDDlg(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, QWidget* parent)
    : QDialog(parent), m_settings(settings), m_owner(owner), m_prompts(prompts)
{
    setObjectName("cameraId");
    setWindowTitle("CamID");
    auto* group = new QGroupBox("Camera ID", this);
    auto* row = new QHBoxLayout(group);
    row->setSpacing(4);
    for (QLineEdit*& edit : m_edits) {
        edit = new QLineEdit(group);
        edit->setMaxLength(1);
        edit->setAlignment(Qt::AlignCenter);
        edit->setFixedWidth(edit->fontMetrics().horizontalAdvance('W') + 14);
        row->addWidget(edit);
    }
    for (QLineEdit* edit : m_edits)
        edit->installEventFilter(this);
    m_save = new QPushButton("Camera ID", this);
    m_save->setObjectName("save");
    m_save->setAutoDefault(false);
    connect(m_save, &QPushButton::clicked, this, &CCamIDDlg::OnSaveCameraId);
    m_save->setVisible(m_settings.IsFactory());

    m_status = new LineStatusStrip(this);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addWidget(m_save, 0, Qt::AlignRight);
    layout->addWidget(m_status);
    SetCommStatus(static_cast<int>(m_settings.lineOnline));
    ShowCameraId();
}

// A character typed fills its box, whatever it held, and moves on to the
// next one, so that an ID is typed in one go.
bool CCamIDDlg::eventFilter(QObject* watched, QEvent* event)
{
    const auto box = std::find(m_edits.begin(), m_edits.end(), watched);
    if (box == m_edits.end() || event->type() != QEvent::KeyPress)
        return QDialog::eventFilter(watched, event);
    const QString text = static_cast<QKeyEvent*>(event)->text();
    if (text.size() != 1 || !text[0].isPrint())
        return false;
    (*box)->setText(text);
    if (box + 1 != m_edits.end()) {
        (*(box + 1))->setFocus(Qt::TabFocusReason);
        (*(box + 1))->selectAll();
    }
    return true;
}

void CCamIDDlg::SetCommStatus(int state)
{
    m_status->Show(state == 1);
}

// An answer that does not start with a printable character holds no ID.
void CCamIDDlg::ShowCameraId()
{
    BlockingScope reading;
    CRsCmd* engine = m_owner.Camera();
    CommandValue value;
    const int index = CommandTable::Find("ID");
    const bool answered = engine
        && (m_settings.commandFormat == 1 ? engine->GetValueReg(index, 0, value, kTimeoutMs)
                                          : engine->GetValue(index, 0, value, kTimeoutMs, 1, 1));
    if (!answered)
        return;
    const std::string& text = value.text;
    const bool printable = !text.empty() && static_cast<unsigned char>(text[0]) >= 0x20
        && static_cast<unsigned char>(text[0]) < 0x80;
    for (size_t k = 0; k < m_edits.size(); ++k)
        m_edits[k]->setText(printable && k < text.size() ? QString(QChar::fromLatin1(text[k])) : QString());
}

void CCamIDDlg::OnSaveCameraId()
{
    BlockingScope saving;
    CRsCmd* engine = m_owner.Camera();
    if (!engine || !engine->SetInt(CommandTable::Find("ULCK"), 0, kUnlockNumber, kTimeoutMs)) {
        m_prompts.Message(this, kSaveFailed, EngineHost::kToolCaption, UiPrompts::Icon::Stop);
        return;
    }
    // Empty edits contribute nothing.
    std::string id;
    for (QLineEdit* edit : m_edits)
        id += edit->text().left(1).toStdString();
    m_settings.cameraId = id;
    CommandValue value;
    value.text = id;
    if (!engine->SetValue(CommandTable::Find("ID"), 0, value, kTimeoutMs)) {
        m_prompts.Message(this, kSaveFailed, EngineHost::kToolCaption, UiPrompts::Icon::Stop);
        return;
    }
    if (!m_settings.offline)
        m_prompts.Message(this, QString("Completed to save the CAMERA ID, %1.").arg(QString::fromStdString(id)),
                          EngineHost::kToolCaption, UiPrompts::Icon::Information);
}
