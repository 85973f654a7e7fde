#include "dialogs/CAboutDlg.h"

#include <QComboBox>
#include <QDesktopServices>
#include <QDir>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QUrl>
#include <QVBoxLayout>

#include "settings/AppSettings.h"
#include "settings/Version.h"
#include "comm/CameraIdentity.h"
#include "comm/EngineHost.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CLabel.h"
#include "dialogs/CUserIDDlg.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/DialogParts.h"
#include "dialogs/LineStatusStrip.h"
#include "dialogs/UiPrompts.h"

using DialogParts::NewButton;

namespace {

QLineEdit* NewField(QWidget* parent, const char* name)
{
    auto* field = new QLineEdit(parent);
    field->setObjectName(name);
    field->setReadOnly(true);
    return field;
}

}  // namespace

CAboutDlg::CAboutDlg(AppSettings& settings, CompanionOwner& owner, UiPrompts& prompts, const QString& helpFolder,
                     QWidget* parent)
    : QDialog(parent), m_settings(settings), m_owner(owner), m_prompts(prompts), m_helpFolder(helpFolder)
{
    setObjectName("about");
    setWindowTitle("About This Control");
    auto* name = new QLabel(kProgramName, this);
    name->setObjectName("programName");
    auto* version = new QLabel(QString("Version: ") + kKavroVersion, this);
    version->setObjectName("programVersion");
    m_link = new CLabel(kMakerAddress, this);
    m_link->setObjectName("link");
    m_link->SetLink(true).SetTextColor(QColor(0, 0, 255)).SetFontUnderline(true).SetLinkCursor(Qt::PointingHandCursor);
    m_status = new LineStatusStrip(this);

    auto* layout = new QVBoxLayout(this);
    layout->addWidget(name);
    layout->addWidget(version);
    layout->addWidget(BuildCameraData());
    layout->addWidget(BuildHelp());
    layout->addWidget(m_link);
    layout->addWidget(m_status);

    FillHelpList();
    SetCommStatus(static_cast<int>(m_settings.lineOnline));
    RefreshCameraData();
    m_protect->setChecked(true);
    EnableUserIdEditing(false);
}

QWidget* CAboutDlg::BuildCameraData()
{
    auto* group = new QGroupBox("Camera Data", this);
    auto* grid = new QGridLayout(group);
    m_modelName = NewField(group, "modelName");
    m_cameraId = NewField(group, "cameraIdField");
    m_firmware = NewField(group, "firmwareVersion");
    m_fpga = NewField(group, "fpgaVersion");
    m_userId = new QLineEdit(group);
    m_userId->setObjectName("userIdEdit");
    m_userId->setMinimumWidth(m_userId->fontMetrics().horizontalAdvance(QString(18, 'W')));
    m_fpgaCaption = new QLabel("FPGA Version", group);
    // Shown once the camera has been asked for it.
    m_fpgaCaption->hide();
    m_fpga->hide();
    grid->addWidget(new QLabel("Model Name", group), 0, 0);
    grid->addWidget(m_modelName, 0, 1);
    grid->addWidget(new QLabel("Camera ID", group), 1, 0);
    grid->addWidget(m_cameraId, 1, 1);
    grid->addWidget(new QLabel("Firmware Version", group), 2, 0);
    grid->addWidget(m_firmware, 2, 1);
    grid->addWidget(m_fpgaCaption, 3, 0);
    grid->addWidget(m_fpga, 3, 1);
    grid->addWidget(new QLabel("User ID", group), 4, 0);
    grid->addWidget(m_userId, 4, 1);
    m_saveUserId = NewButton(group, "saveUserId", "Save User ID");
    grid->addWidget(m_saveUserId, 4, 2);
    m_protect = new QRadioButton("Protect User ID", group);
    m_protect->setObjectName("protect");
    m_enableEdit = new QRadioButton("Enable To Edit User ID", group);
    m_enableEdit->setObjectName("enableEdit");
    auto* radios = new QHBoxLayout;
    radios->addWidget(m_protect);
    radios->addWidget(m_enableEdit);
    radios->addStretch();
    grid->addLayout(radios, 5, 0, 1, 3);

    connect(m_saveUserId, &QPushButton::clicked, this, &CAboutDlg::OnSaveUserId);
    connect(m_protect, &QRadioButton::clicked, this, [this] { EnableUserIdEditing(false); });
    connect(m_enableEdit, &QRadioButton::clicked, this, [this] { EnableUserIdEditing(true); });
    return group;
}

QWidget* CAboutDlg::BuildHelp()
{
    auto* group = new QGroupBox("Help", this);
    auto* row = new QHBoxLayout(group);
    m_helpFiles = new QComboBox(group);
    m_helpFiles->setObjectName("helpFiles");
    m_helpFiles->setMinimumContentsLength(20);
    QPushButton* view = NewButton(group, "viewHelp", "View Help File");
    connect(view, &QPushButton::clicked, this, &CAboutDlg::OnViewHelpFile);
    row->addWidget(new QLabel("Help File", group));
    row->addWidget(m_helpFiles, 1);
    row->addWidget(view);
    return group;
}

void CAboutDlg::FillHelpList()
{
    const QStringList files = QDir(m_helpFolder).entryList({"*.pdf"}, QDir::Files, QDir::Name);
    m_helpFiles->addItems(files);
    m_helpFiles->setCurrentIndex(files.isEmpty() ? -1 : 0);
}

void CAboutDlg::EnableUserIdEditing(bool on)
{
    m_userId->setEnabled(on);
    m_saveUserId->setEnabled(on);
}

void CAboutDlg::SetCommStatus(int state)
{
    m_status->Show(state == 1);
}

// Nothing changes when the camera does not tell its firmware version.
void CAboutDlg::RefreshCameraData()
{
    BlockingScope reading;
    CRsCmd* engine = m_owner.Camera();
    CameraIdentity identity;
    if (!engine || !CameraIdentity::Read(*engine, m_settings.commandFormat == 1, identity))
        return;
    m_firmware->setText(QString::fromStdString(identity.firmwareVersion));
    m_modelName->setText(QString::fromStdString(identity.modelName));
    m_cameraId->setText(QString::fromStdString(identity.cameraId));
    m_fpga->setText(QString::fromStdString(identity.fpgaVersion));
    m_fpgaCaption->show();
    m_fpga->show();
    m_userId->setText(QString::fromStdString(identity.userId));
}

void CAboutDlg::OnSaveUserId()
{
    CUserIDDlg::WriteUserId(m_userId->text(), m_settings, m_owner, m_prompts, this);
}

void CAboutDlg::OnViewHelpFile()
{
    if (m_helpFiles->currentIndex() < 0) {
        QString text = "No file was selected!!";
        if (m_helpFiles->count() == 0)
            text += QString("\nThe folder %1 holds no help file (*.pdf).").arg(QDir(m_helpFolder).absolutePath());
        m_prompts.Message(this, text, EngineHost::kToolCaption, UiPrompts::Icon::Exclamation);
        return;
    }
    const QString file = QDir(m_helpFolder).absoluteFilePath(m_helpFiles->currentText());
    if (!QDesktopServices::openUrl(QUrl::fromLocalFile(file)))
        m_prompts.Message(this, "No program to show PDF files is installed.\nThe help file is " + file,
                          EngineHost::kToolCaption, UiPrompts::Icon::Exclamation);
}
