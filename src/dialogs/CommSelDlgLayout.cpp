// Building the communication window: a small panel of group boxes.
#include "dialogs/CCommSelDlg.h"

#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QPushButton>
#include <QSpinBox>
#include <QStyle>
#include <QVBoxLayout>

#include "settings/AppSettings.h"
#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/CompanionOwner.h"
#include "dialogs/DialogParts.h"
#include "dialogs/NewestFirstList.h"
#include "dialogs/StatusPictures.h"

using namespace CommSelTexts;

using DialogParts::NewButton;

namespace {

template <size_t N>
QComboBox* NewList(QWidget* parent, const char* name, const char* const (&entries)[N])
{
    auto list = new QComboBox(parent);
    list->setObjectName(name);
    for (const char* entry : entries)
        list->addItem(entry);
    return list;
}

// Small command buttons as wide as their text, so the panel stays compact.
QPushButton* NewCompactButton(QWidget* parent, const char* name, const char* text)
{
    QPushButton* button = NewButton(parent, name, text);
    button->setFixedWidth(button->fontMetrics().horizontalAdvance(QString(text)) + 24);
    return button;
}

// Group boxes with tight inner margins.
template <class Layout>
Layout* NewGroupLayout(QGroupBox* group)
{
    auto layout = new Layout(group);
    layout->setContentsMargins(8, 4, 8, 6);
    return layout;
}

QLabel* NewLabel(QWidget* parent, const char* name, const QString& text)
{
    auto label = new QLabel(text, parent);
    label->setObjectName(name);
    return label;
}

}  // namespace

void CCommSelDlg::BuildWindow()
{
    auto layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 6);
    layout->setSpacing(6);
    layout->addWidget(BuildLineStatusGroup());
    layout->addWidget(BuildPortGroup());
    layout->addWidget(BuildFilesGroup());

    auto areas = new QHBoxLayout;
    areas->setSpacing(6);
    areas->addWidget(BuildCurrentAreaGroup(), 2);
    areas->addWidget(BuildSettingAreaGroup(), 3);
    layout->addLayout(areas);
    layout->addWidget(BuildMessageGroup(), 1);

    m_lineBar = NewLabel(this, "lineBar", QString());
    m_lineBar->setFixedHeight(StatusPictures::kBarHeight);
    m_lineBar->setScaledContents(true);
    layout->addWidget(m_lineBar);
    resize(430, 420);
}

QGroupBox* CCommSelDlg::BuildLineStatusGroup()
{
    auto group = new QGroupBox(QStringLiteral("Line Status"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    m_lamp = NewLabel(group, "lamp", QString());
    m_lamp->setFixedSize(StatusPictures::kLampSize, StatusPictures::kLampSize);
    m_statusText = NewLabel(group, "lineStatus", kOffline);
    row->addWidget(m_lamp);
    row->addSpacing(6);
    row->addWidget(m_statusText);
    row->addStretch(1);
    return group;
}

QGroupBox* CCommSelDlg::BuildPortGroup()
{
    auto group = new QGroupBox(QStringLiteral("Communication Port"), this);
    auto grid = NewGroupLayout<QGridLayout>(group);
    grid->setHorizontalSpacing(6);

    m_category = NewList(group, "category", kCategories);
    m_baudLabel = NewLabel(group, "baudRateLabel", QStringLiteral("Baud Rate"));
    m_baud = NewList(group, "baudRate", kBaudRates);
    m_portLabel = NewLabel(group, "portNameLabel", QStringLiteral("Port Name"));
    m_port = new QComboBox(group);
    m_port->setObjectName("portName");
    for (int number = 1; number <= kPortCount; ++number)
        m_port->addItem(QStringLiteral("COM%1").arg(number));
    m_auto = NewCompactButton(group, "auto", "Auto");
    m_replyWaitLabel = NewLabel(group, "replyWaitLabel", kReplyWait);
    m_replyWait = new QSpinBox(group);
    m_replyWait->setObjectName("replyWait");
    m_replyWait->setRange(0, static_cast<int>(kReplyWaitLongestMs));
    m_replyWait->setSuffix(kReplyWaitUnit);
    m_replyWait->setToolTip(kReplyWaitTip);
    m_replyWaitLabel->setToolTip(kReplyWaitTip);

    grid->addWidget(NewLabel(group, "categoryLabel", QStringLiteral("Category")), 0, 0);
    grid->addWidget(m_category, 0, 1);
    grid->addWidget(m_baudLabel, 0, 2, Qt::AlignRight);
    grid->addWidget(m_baud, 0, 3, 1, 2);   // over the Auto column: the row stays narrow
    grid->addWidget(m_portLabel, 1, 0);
    grid->addWidget(m_port, 1, 1, 1, 3);
    grid->addWidget(m_auto, 1, 4);
    grid->addWidget(m_replyWaitLabel, 2, 0);
    grid->addWidget(m_replyWait, 2, 1, Qt::AlignLeft);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    return group;
}

QGroupBox* CCommSelDlg::BuildFilesGroup()
{
    auto group = new QGroupBox(QStringLiteral("Files"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    m_writeSettingFile = NewButton(group, "writeSettingFile", "Write To File...");
    m_writeSettingFile->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    m_readSettingFile = NewButton(group, "readSettingFile", "Read To File...");
    m_readSettingFile->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    row->addStretch(1);
    row->addWidget(m_writeSettingFile);
    row->addStretch(2);
    row->addWidget(m_readSettingFile);
    row->addStretch(1);
    return group;
}

QGroupBox* CCommSelDlg::BuildCurrentAreaGroup()
{
    auto group = new QGroupBox(QStringLiteral("Current Area"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    m_currentArea = NewLabel(group, "currentArea", QString());
    m_currentArea->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    m_currentArea->setMargin(3);
    m_currentArea->setMinimumWidth(fontMetrics().horizontalAdvance(kAreas[0]) + 16);
    m_getArea = NewCompactButton(group, "getArea", "Get Area");
    row->addWidget(m_currentArea, 1);
    row->addWidget(m_getArea);
    return group;
}

QGroupBox* CCommSelDlg::BuildSettingAreaGroup()
{
    auto group = new QGroupBox(QStringLiteral("Factory And User Setting In Camera"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    m_area = NewList(group, "settingArea", kAreas);
    m_store = NewCompactButton(group, "store", "Store");
    m_load = NewCompactButton(group, "load", "Load");
    row->addWidget(m_area, 1);
    row->addWidget(m_store);
    row->addWidget(m_load);
    return group;
}

QGroupBox* CCommSelDlg::BuildMessageGroup()
{
    auto group = new QGroupBox(QStringLiteral("Kavro Message"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    m_messages = new NewestFirstList(kMessageCapacity, group);
    m_messages->setObjectName("messages");
    m_writeMessages = NewButton(group, "writeMessages", "Write To File");
    m_clearMessages = NewButton(group, "clearMessages", "Clear");
    auto buttons = new QVBoxLayout;
    buttons->addWidget(m_writeMessages);
    buttons->addWidget(m_clearMessages);
    buttons->addStretch(1);
    row->addWidget(m_messages, 1);
    row->addLayout(buttons);
    return group;
}

void CCommSelDlg::ConnectControls()
{
    connect(m_category, &QComboBox::activated, this, &CCommSelDlg::OnCategoryChanged);
    connect(m_port, &QComboBox::activated, this, &CCommSelDlg::OnPortChanged);
    connect(m_baud, &QComboBox::activated, this, &CCommSelDlg::OnBaudChanged);
    connect(m_replyWait, &QSpinBox::valueChanged, this, &CCommSelDlg::OnReplyWaitChanged);
    connect(m_area, &QComboBox::activated, this, [this] { UpdateStoreButton(); });
    connect(m_auto, &QPushButton::clicked, this, &CCommSelDlg::OnAuto);
    connect(m_writeSettingFile, &QPushButton::clicked, this, [this] { m_owner.OnSaveSettingFile(); });
    connect(m_readSettingFile, &QPushButton::clicked, this, [this] { m_owner.OnOpenSettingFile(); });
    connect(m_getArea, &QPushButton::clicked, this, &CCommSelDlg::OnGetArea);
    connect(m_store, &QPushButton::clicked, this, &CCommSelDlg::OnStore);
    connect(m_load, &QPushButton::clicked, this, &CCommSelDlg::OnLoad);
    connect(m_writeMessages, &QPushButton::clicked, this, &CCommSelDlg::OnWriteMessages);
    connect(m_clearMessages, &QPushButton::clicked, this, &CCommSelDlg::OnClearMessages);
}
