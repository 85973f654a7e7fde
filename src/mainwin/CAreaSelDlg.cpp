#include "mainwin/CAreaSelDlg.h"

#include <QComboBox>
#include <QDialogButtonBox>
#include <QFrame>
#include <QLabel>
#include <QVBoxLayout>

#include "dialogs/StatusPictures.h"

namespace {

constexpr int kAreaCount = sizeof CAreaSelDlg::kAreaNames / sizeof CAreaSelDlg::kAreaNames[0];

}  // namespace

CAreaSelDlg::CAreaSelDlg(QWidget* parent, int currentArea, bool load, bool factoryLevel, bool lineOnline)
    : QDialog(parent), m_area(currentArea)
{
    setWindowTitle(load ? "Load setting data" : "Store setting data");
    auto* layout = new QVBoxLayout(this);
    m_message = new QLabel(load ? "Select the memory area stored setting data"
                                : "Select the memory area to store setting data",
                           this);
    m_list = new QComboBox(this);
    m_list->setObjectName("areaList");
    auto* separator = new QFrame(this);
    separator->setFrameShape(QFrame::HLine);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, this);
    m_statusPicture = new QLabel(this);
    layout->addWidget(m_message);
    layout->addWidget(m_list);
    layout->addWidget(separator);
    layout->addWidget(buttons);
    layout->addWidget(m_statusPicture);
    connect(buttons, &QDialogButtonBox::accepted, this, &CAreaSelDlg::accept);
    connect(buttons, &QDialogButtonBox::rejected, this, &CAreaSelDlg::reject);

    SetLineStatus(lineOnline ? 1 : 0);
    FillList(load, factoryLevel);
    Preselect(currentArea);
}

QString CAreaSelDlg::Message() const
{
    return m_message->text();
}

void CAreaSelDlg::SetLineStatus(int state)
{
    m_statusPicture->setPixmap(StatusPictures::LineBar(state == 1));
}

void CAreaSelDlg::FillList(bool load, bool factoryLevel)
{
    m_list->clear();
    for (int area = 0; area < kAreaCount; ++area)
        if (area != 0 || load || factoryLevel)
            m_list->addItem(kAreaNames[area]);
}

// A user-level store has no factory entry: the first entry stands in for it.
void CAreaSelDlg::Preselect(int area)
{
    const int index = area >= 0 && area < kAreaCount ? m_list->findText(kAreaNames[area]) : -1;
    m_list->setCurrentIndex(index >= 0 ? index : 0);
}

void CAreaSelDlg::accept()
{
    m_area = -1;
    for (int area = 0; area < kAreaCount; ++area)
        if (m_list->currentText() == kAreaNames[area])
            m_area = area;
    QDialog::accept();
}
