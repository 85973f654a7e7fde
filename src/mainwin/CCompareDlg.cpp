#include "mainwin/CCompareDlg.h"

#include <QBrush>
#include <QColor>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include <algorithm>

#include "comm/CommandTable.h"
#include "params/SettingIndex.h"

namespace {

const char* const kHeadings[] = {"Page", "Label", "Mnemonic", "Value in file", "Value in camera"};
const QColor kDifferColour(255, 224, 200);
constexpr int kMinimumWidth = 620;
constexpr int kMinimumHeight = 420;

QTableWidgetItem* Item(const QString& text)
{
    auto* item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    return item;
}

}  // namespace

CCompareDlg::CCompareDlg(const SettingsComparison& comparison, const QString& fileName, ApplyLines apply,
                         QWidget* parent)
    : QDialog(parent), m_comparison(comparison), m_applyLines(std::move(apply))
{
    setWindowTitle("Compare with File - " + fileName);
    m_summary = new QLabel(this);
    m_table = new QTableWidget(0, ColCount, this);
    for (int column = 0; column < ColCount; ++column)
        m_table->setHorizontalHeaderItem(column, new QTableWidgetItem(kHeadings[column]));
    m_table->verticalHeader()->hide();
    m_table->horizontalHeader()->setStretchLastSection(true);
    m_table->setSelectionBehavior(QAbstractItemView::SelectRows);
    m_apply = new QPushButton("Apply Checked", this);
    auto* close = new QPushButton("Close", this);
    connect(m_apply, &QPushButton::clicked, this, &CCompareDlg::OnApplyChecked);
    connect(close, &QPushButton::clicked, this, &QDialog::close);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(m_apply);
    buttons->addWidget(close);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(m_summary);
    layout->addWidget(m_table);
    layout->addLayout(buttons);
    setMinimumSize(kMinimumWidth, kMinimumHeight);
    Fill();
}

// Differing rows first, each part in file order.
void CCompareDlg::Fill()
{
    const std::vector<size_t> checked = CheckedLines();
    m_lineOfRow.clear();
    for (bool differing : {true, false})
        for (size_t i = 0; i < m_comparison.Lines().size(); ++i)
            if (m_comparison.Differs(i) == differing)
                m_lineOfRow.push_back(i);
    m_table->setRowCount(static_cast<int>(m_lineOfRow.size()));
    for (size_t row = 0; row < m_lineOfRow.size(); ++row) {
        FillRow(static_cast<int>(row), m_lineOfRow[row]);
        const bool wasChecked = std::find(checked.begin(), checked.end(), m_lineOfRow[row]) != checked.end();
        if (wasChecked && m_comparison.Differs(m_lineOfRow[row]))
            m_table->item(static_cast<int>(row), ColPage)->setCheckState(Qt::Checked);
    }
    m_table->resizeColumnsToContents();
    UpdateSummary();
}

void CCompareDlg::FillRow(int row, size_t lineIndex)
{
    const SettingsLine& line = m_comparison.Lines()[lineIndex];
    const bool differs = m_comparison.Differs(lineIndex);
    const SettingPlace* place = SettingIndex::Find(line.ctrlId);
    const QString texts[ColCount] = {
        place ? QString::fromStdString(place->page) : QString(),
        place ? QString::fromStdString(place->label) : QString(),
        CommandTable::Row(line.commandIndex).mnemonic,
        QString::number(line.value),
        QString::number(m_comparison.CameraValue(lineIndex)),
    };
    for (int column = 0; column < ColCount; ++column) {
        QTableWidgetItem* item = Item(texts[column]);
        item->setData(kDiffersRole, differs);
        if (differs)
            item->setBackground(QBrush(kDifferColour));
        m_table->setItem(row, column, item);
    }
    if (differs) {
        QTableWidgetItem* check = m_table->item(row, ColPage);
        check->setFlags(check->flags() | Qt::ItemIsUserCheckable);
        check->setCheckState(Qt::Unchecked);
        check->setToolTip("Check to send the file's value with \"Apply Checked\"");
    }
}

void CCompareDlg::UpdateSummary()
{
    const size_t differing = m_comparison.DifferenceCount();
    m_summary->setText(QString("%1 of %2 values differ from the file.")
                           .arg(differing)
                           .arg(m_comparison.Lines().size()));
    m_apply->setEnabled(differing > 0);
}

std::vector<size_t> CCompareDlg::CheckedLines() const
{
    std::vector<size_t> checked;
    for (size_t row = 0; row < m_lineOfRow.size(); ++row) {
        const QTableWidgetItem* item = m_table->item(static_cast<int>(row), ColPage);
        if ((item->flags() & Qt::ItemIsUserCheckable) && item->checkState() == Qt::Checked)
            checked.push_back(m_lineOfRow[row]);
    }
    return checked;
}

// Rows of one command move together; checks survive where a row still differs.
void CCompareDlg::FollowCamera(const CameraValue& cameraValue)
{
    bool changed = false;
    for (const SettingsLine& line : m_comparison.Lines())
        changed = m_comparison.SetCameraValue(line.commandIndex, cameraValue(line.commandIndex)) || changed;
    if (changed)
        Fill();
}

// A line the camera acknowledged now matches; a refused one stays marked.
void CCompareDlg::OnApplyChecked()
{
    const std::vector<size_t> checked = CheckedLines();
    if (checked.empty())
        return;
    std::vector<SettingsLine> lines;
    for (size_t index : checked)
        lines.push_back(m_comparison.Lines()[index]);
    const std::vector<bool> accepted = m_applyLines(lines);
    for (size_t i = 0; i < checked.size() && i < accepted.size(); ++i)
        if (accepted[i])
            m_comparison.MarkApplied(checked[i]);
    Fill();
}
