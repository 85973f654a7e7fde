// Building the communication window: a small panel of group boxes.
#include "dialogs/CCommSelDlg.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QStyle>
#include <QVBoxLayout>

#include <initializer_list>

#include "dialogs/CommSelDlgTexts.h"
#include "dialogs/CommSelOwner.h"
#include "dialogs/StatusPictures.h"

using namespace CommSelTexts;

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

QPushButton* NewButton(QWidget* parent, const char* name, const char* text)
{
    auto button = new QPushButton(text, parent);
    button->setObjectName(name);
    // Enter must not press a camera operation by accident.
    button->setAutoDefault(false);
    return button;
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

    lineBar_ = NewLabel(this, "lineBar", QString());
    lineBar_->setFixedHeight(StatusPictures::kBarHeight);
    lineBar_->setScaledContents(true);
    layout->addWidget(lineBar_);

    BuildHiddenControls();
    resize(430, 420);
}

QGroupBox* CCommSelDlg::BuildLineStatusGroup()
{
    auto group = new QGroupBox(QStringLiteral("Line Status"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    lamp_ = NewLabel(group, "lamp", QString());
    lamp_->setFixedSize(StatusPictures::kLampSize, StatusPictures::kLampSize);
    statusText_ = NewLabel(group, "lineStatus", kOffline);
    row->addWidget(lamp_);
    row->addSpacing(6);
    row->addWidget(statusText_);
    row->addStretch(1);
    return group;
}

QGroupBox* CCommSelDlg::BuildPortGroup()
{
    auto group = new QGroupBox(QStringLiteral("Communication Port"), this);
    auto grid = NewGroupLayout<QGridLayout>(group);
    grid->setHorizontalSpacing(6);

    category_ = NewList(group, "category", kCategories);
    baudLabel_ = NewLabel(group, "baudRateLabel", QStringLiteral("Baud Rate"));
    baud_ = NewList(group, "baudRate", kBaudRates);
    portLabel_ = NewLabel(group, "portNameLabel", QStringLiteral("Port Name"));
    port_ = new QComboBox(group);
    port_->setObjectName("portName");
    for (int number = 1; number <= kPortCount; ++number)
        port_->addItem(QStringLiteral("COM%1").arg(number));
    auto_ = NewCompactButton(group, "auto", "Auto");

    grid->addWidget(NewLabel(group, "categoryLabel", QStringLiteral("Category")), 0, 0);
    grid->addWidget(category_, 0, 1);
    grid->addWidget(baudLabel_, 0, 2, Qt::AlignRight);
    grid->addWidget(baud_, 0, 3, 1, 2);   // over the Auto column: the row stays narrow
    grid->addWidget(portLabel_, 1, 0);
    grid->addWidget(port_, 1, 1, 1, 3);
    grid->addWidget(auto_, 1, 4);
    grid->setColumnStretch(1, 3);
    grid->setColumnStretch(3, 2);
    return group;
}

QGroupBox* CCommSelDlg::BuildFilesGroup()
{
    auto group = new QGroupBox(QStringLiteral("Files"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    writeSettingFile_ = NewButton(group, "writeSettingFile", "Write To File...");
    writeSettingFile_->setIcon(style()->standardIcon(QStyle::SP_DialogSaveButton));
    readSettingFile_ = NewButton(group, "readSettingFile", "Read To File...");
    readSettingFile_->setIcon(style()->standardIcon(QStyle::SP_DialogOpenButton));
    row->addStretch(1);
    row->addWidget(writeSettingFile_);
    row->addStretch(2);
    row->addWidget(readSettingFile_);
    row->addStretch(1);
    return group;
}

QGroupBox* CCommSelDlg::BuildCurrentAreaGroup()
{
    auto group = new QGroupBox(QStringLiteral("Current Area"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    currentArea_ = NewLabel(group, "currentArea", QString());
    currentArea_->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    currentArea_->setMargin(3);
    currentArea_->setMinimumWidth(fontMetrics().horizontalAdvance(kAreas[0]) + 16);
    getArea_ = NewCompactButton(group, "getArea", "Get Area");
    row->addWidget(currentArea_, 1);
    row->addWidget(getArea_);
    return group;
}

QGroupBox* CCommSelDlg::BuildSettingAreaGroup()
{
    auto group = new QGroupBox(QStringLiteral("Factory And User Setting In Camera"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    area_ = NewList(group, "settingArea", kAreas);
    store_ = NewCompactButton(group, "store", "Store");
    load_ = NewCompactButton(group, "load", "Load");
    row->addWidget(area_, 1);
    row->addWidget(store_);
    row->addWidget(load_);
    return group;
}

QGroupBox* CCommSelDlg::BuildMessageGroup()
{
    auto group = new QGroupBox(QStringLiteral("Kavro Message"), this);
    auto row = NewGroupLayout<QHBoxLayout>(group);
    messages_ = new QListWidget(group);
    messages_->setObjectName("messages");
    messages_->setSelectionMode(QAbstractItemView::NoSelection);
    messages_->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    messages_->setUniformItemSizes(true);
    writeMessages_ = NewButton(group, "writeMessages", "Write To File");
    clearMessages_ = NewButton(group, "clearMessages", "Clear");
    auto buttons = new QVBoxLayout;
    buttons->addWidget(writeMessages_);
    buttons->addWidget(clearMessages_);
    buttons->addStretch(1);
    row->addWidget(messages_, 1);
    row->addLayout(buttons);
    return group;
}

// Never shown, outside every layout.
void CCommSelDlg::BuildHiddenControls()
{
    serialIndexLabel_ = NewLabel(this, "serialIndexLabel", QStringLiteral("Serial Index"));
    serialIndex_ = new QComboBox(this);
    serialIndex_->setObjectName("serialIndex");
    for (int index = 0; index < kSerialIndexCount; ++index)
        serialIndex_->addItem(QString::number(index));
    commandFormatLabel_ = NewLabel(this, "commandFormatLabel", QStringLiteral("Command Format"));
    commandFormat_ = NewList(this, "commandFormat", kCommandFormats);
    crc_ = new QCheckBox(QStringLiteral("CRC"), this);
    crc_->setObjectName("crc");
    ok_ = NewButton(this, "ok", "OK");
    ok_->setDefault(true);
    caption_ = NewLabel(this, "captionText", QString());
    version_ = NewLabel(this, "versionText", QString());
    appIcon_ = NewLabel(this, "appIcon", QString());
    appIcon_->setPixmap(QApplication::windowIcon().pixmap(21, 21));

    for (QWidget* hidden : std::initializer_list<QWidget*>{serialIndexLabel_, serialIndex_, commandFormatLabel_,
                                                           commandFormat_, crc_, ok_, caption_, version_, appIcon_})
        hidden->hide();
    for (QWidget* disabled : std::initializer_list<QWidget*>{serialIndexLabel_, serialIndex_, commandFormatLabel_,
                                                             commandFormat_, crc_, ok_})
        disabled->setEnabled(false);
}

void CCommSelDlg::ConnectControls()
{
    connect(category_, &QComboBox::activated, this, &CCommSelDlg::OnCategoryChanged);
    connect(port_, &QComboBox::activated, this, &CCommSelDlg::OnPortChanged);
    connect(baud_, &QComboBox::activated, this, &CCommSelDlg::OnBaudChanged);
    connect(serialIndex_, &QComboBox::activated, this, &CCommSelDlg::OnSerialIndexChanged);
    connect(area_, &QComboBox::activated, this, [this] { UpdateStoreButton(); });
    connect(auto_, &QPushButton::clicked, this, &CCommSelDlg::OnAuto);
    connect(writeSettingFile_, &QPushButton::clicked, this, [this] { owner_.OnSaveSettingFile(); });
    connect(readSettingFile_, &QPushButton::clicked, this, [this] { owner_.OnOpenSettingFile(); });
    connect(getArea_, &QPushButton::clicked, this, &CCommSelDlg::OnGetArea);
    connect(store_, &QPushButton::clicked, this, &CCommSelDlg::OnStore);
    connect(load_, &QPushButton::clicked, this, &CCommSelDlg::OnLoad);
    connect(writeMessages_, &QPushButton::clicked, this, &CCommSelDlg::OnWriteMessages);
    connect(clearMessages_, &QPushButton::clicked, this, &CCommSelDlg::OnClearMessages);
}
