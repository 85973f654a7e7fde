#include "dialogs/AutoMonitorDlg.h"

#include <QDialogButtonBox>
#include <QGridLayout>
#include <QLabel>
#include <QPushButton>
#include <QTimerEvent>
#include <QVBoxLayout>

#include "comm/CRsCmd.h"
#include "comm/CommandTable.h"
#include "dialogs/BlockingScope.h"
#include "dialogs/CompanionOwner.h"

namespace {

const char kFailed[] = "Err";

QLabel* NewField(QWidget* parent, const char* name, const QString& text = QString())
{
    auto* field = new QLabel(text, parent);
    field->setObjectName(name);
    field->setFrameStyle(QFrame::Panel | QFrame::Sunken);
    field->setMinimumWidth(field->fontMetrics().horizontalAdvance("PRESET") + 16);
    return field;
}

QString ModeText(int automatic)
{
    return automatic ? "AUTO" : "Manual";
}

}  // namespace

AutoMonitorDlg::AutoMonitorDlg(CompanionOwner& owner, QWidget* parent) : QDialog(parent), m_owner(owner)
{
    setObjectName("autoMonitor");
    setWindowTitle("Auto Control Monitor");
    auto* grid = new QGridLayout;
    struct Row {
        const char* caption;
        QLabel*& value;
        const char* name;
        QLabel*& mode;
        const char* initialMode;
    };
    const Row rows[] = {
        {"Master Gain:", m_gain, "gain", m_gainMode, "Manual"},
        {"gain R:", m_gainR, "gainR", m_gainRMode, "Auto"},
        {"gain B:", m_gainB, "gainB", m_gainBMode, ""},
        {"Shutter:", m_shutter, "shutter", m_shutterMode, ""},
    };
    int r = 0;
    for (const Row& row : rows) {
        grid->addWidget(new QLabel(row.caption, this), r, 0);
        row.value = NewField(this, row.name);
        row.mode = NewField(this, (std::string(row.name) + "Mode").c_str(), row.initialMode);
        grid->addWidget(row.value, r, 1);
        grid->addWidget(row.mode, r, 2);
        ++r;
    }
    auto* buttons = new QDialogButtonBox(this);
    QPushButton* start = buttons->addButton("Start", QDialogButtonBox::ActionRole);
    QPushButton* stop = buttons->addButton("Stop", QDialogButtonBox::ActionRole);
    start->setObjectName("start");
    stop->setObjectName("stop");
    connect(start, &QPushButton::clicked, this, &AutoMonitorDlg::OnStart);
    connect(stop, &QPushButton::clicked, this, &AutoMonitorDlg::OnStop);

    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addWidget(buttons);
}

void AutoMonitorDlg::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (m_opened)
        return;
    m_opened = true;
    ShowModes();
    Refresh(1);
    OnStart();
}

void AutoMonitorDlg::ShowModes()
{
    m_shutterMode->setText(ModeText(shutterAuto));
    m_gainMode->setText(ModeText(gainAuto));
    m_gainRMode->setText(ModeText(whiteBalanceAuto));
    m_gainBMode->setText(ModeText(whiteBalanceAuto));
}

void AutoMonitorDlg::OnStart()
{
    if (m_timerId == 0)
        m_timerId = startTimer(kPeriodMs);
}

void AutoMonitorDlg::OnStop()
{
    if (m_timerId == 0)
        return;
    killTimer(m_timerId);
    m_timerId = 0;
}

void AutoMonitorDlg::done(int result)
{
    OnStop();
    QDialog::done(result);
}

void AutoMonitorDlg::timerEvent(QTimerEvent* event)
{
    if (event->timerId() == m_timerId)
        Refresh(0);
    else
        QDialog::timerEvent(event);
}

// The tick stays out of another operation's way; its own queries are one.
void AutoMonitorDlg::Refresh(int force)
{
    if (m_refreshing || Operation::IsRunning())
        return;
    BlockingScope reading;
    m_refreshing = true;
    if (force == 1 || shutterAuto)
        m_shutter->setText(ReadShutter());
    if (force == 1 || gainAuto)
        m_gain->setText(ReadValue("GA"));
    if (force == 1 || whiteBalanceAuto) {
        m_gainR->setText(ReadValue("GAR"));
        m_gainB->setText(ReadValue("GAB"));
    }
    m_refreshing = false;
}

QString AutoMonitorDlg::ReadValue(const char* mnemonic)
{
    CRsCmd* engine = m_owner.Camera();
    int value = 0;
    if (!engine || !engine->GetInt(CommandTable::Find(mnemonic), 0, value, m_readTimeoutMs))
        return kFailed;
    return QString::asprintf("%d", value);
}

// The shutter mode says which register holds the exposure: 0 a preset,
// 1 and 3 "PE", 2 "PEG".
QString AutoMonitorDlg::ReadShutter()
{
    CRsCmd* engine = m_owner.Camera();
    int mode = -1;
    if (!engine || !engine->GetInt(CommandTable::Find("SM"), 0, mode, m_readTimeoutMs))
        return kFailed;
    switch (mode) {
    case 0:
        return "PRESET";
    case 1:
    case 3:
        return ReadValue("PE");
    case 2:
        return ReadValue("PEG");
    default:
        return kFailed;
    }
}
