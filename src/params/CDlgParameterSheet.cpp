#include "params/CDlgParameterSheet.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QGridLayout>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>

#include <algorithm>

#include "comm/CommandTable.h"
#include "params/CtrlRegistry.h"
#include "params/CtrlTbl.h"
#include "params/KavroSpinBox.h"

namespace {

constexpr int kReadOutWidth = 140;
constexpr int kGroupSpacing = 8;
constexpr int kCellHSpacing = 6;
constexpr int kCellVSpacing = 4;

bool IsValueControl(CellKind kind)
{
    return kind == CellKind::Edit || kind == CellKind::List;
}

// "−92" with a true minus sign, as a range reads best.
QString Number(int value)
{
    return value < 0 ? QString::fromUtf8("\u2212") + QString::number(-static_cast<long long>(value))
                     : QString::number(value);
}

// What a bound control sends, from the binding table: "GA · −92 … 605"; a
// list names the value of each entry. Controls without a command have none.
QString ToolTipOf(const PageCell& cell)
{
    const int boundId = cell.kind == CellKind::Radio && cell.groupHead != 0 ? cell.groupHead : cell.ctrlId;
    const int row = CtrlTbl::FindByCtrl(boundId);
    if (row < 0 || CtrlTbl::Rows()[row].commandIndex < 0)
        return {};
    const CtrlTblEntry& entry = CtrlTbl::Rows()[row];
    const QString mnemonic = CommandTable::Row(entry.commandIndex).mnemonic;
    if (cell.kind == CellKind::Button || cell.kind == CellKind::ReadOut)
        return mnemonic;
    if (cell.kind != CellKind::List)
        return mnemonic + QString::fromUtf8(" \u00b7 ") + Number(entry.min) + QString::fromUtf8(" \u2026 ") +
               Number(entry.max);
    QString text = mnemonic;
    for (size_t i = 0; i < cell.entries.size(); ++i)
        text += "\n" + QString::number(i) + " = " + QString::fromStdString(cell.entries[i]);
    return text;
}

}  // namespace

CDlgParameterSheet::CDlgParameterSheet(const PageContent& content, int pageIndex, CtrlRegistry& registry,
                                       CtrlNotifySink& sink, QWidget* parent)
    : QWidget(parent),
      m_title(QString::fromStdString(content.caption)),
      m_kind(content.kind),
      m_pageIndex(pageIndex),
      m_registry(registry),
      m_sink(sink)
{
    setObjectName(QStringLiteral("page%1").arg(pageIndex));
    BuildPage(content);
    RegisterRadioGroups();
    AlignLabelColumns();
    InstallKeyFilter();
}

// ---- layout ------------------------------------------------------------------

void CDlgParameterSheet::BuildPage(const PageContent& content)
{
    auto pageGrid = new QGridLayout(this);
    pageGrid->setSpacing(kGroupSpacing);
    int lastRow = 0;
    for (const PageGroup& group : content.groups) {
        pageGrid->addWidget(BuildGroup(group), group.pageRow, group.pageColumn, group.rowSpan, group.columnSpan);
        lastRow = std::max(lastRow, group.pageRow + group.rowSpan);
        // Width beyond what the page needs goes to its columns evenly.
        for (int column = group.pageColumn; column < group.pageColumn + group.columnSpan; ++column)
            pageGrid->setColumnStretch(column, 1);
    }
    // The groups keep their natural height; height to spare stays below them.
    pageGrid->setRowStretch(lastRow, 1);
}

QWidget* CDlgParameterSheet::BuildGroup(const PageGroup& group)
{
    QWidget* box = group.caption.empty() ? new QWidget(this)
                                         : new QGroupBox(QString::fromStdString(group.caption), this);
    GroupGrid grid{new QGridLayout(box), GroupColumnCount(group), {}, {}};
    grid.layout->setHorizontalSpacing(kCellHSpacing);
    grid.layout->setVerticalSpacing(kCellVSpacing);
    if (group.caption.empty())
        grid.layout->setContentsMargins(0, 0, 0, 0);

    for (size_t r = 0; r < group.rows.size(); ++r)
        BuildRow(group, r, grid);

    ShareWidestWidth(grid.lists);
    if (!group.caption.empty() && group.columnSpan == 1 && StartsRowsWithLabels(group))
        m_labelColumns.push_back({group.pageColumn, grid.layout, std::move(grid.firstColumnLabels)});

    // A group stretched by its neighbours keeps its cells in the top left corner.
    grid.layout->setRowStretch(static_cast<int>(group.rows.size()), 1);
    grid.layout->setColumnStretch(grid.columnCount, 1);
    return box;
}

void CDlgParameterSheet::BuildRow(const PageGroup& group, size_t rowIndex, GroupGrid& grid)
{
    const PageRow& row = group.rows[rowIndex];
    const std::vector<int> columns = CellColumns(row);
    std::vector<QWidget*> factoryOnlyLabels;
    std::vector<int> factoryOnlyControls;
    for (size_t i = 0; i < row.cells.size(); ++i) {
        const PageCell& cell = row.cells[i];
        QWidget* widget = CreateCell(cell);
        if (!widget)
            continue;
        // The last cell takes the rest of the row, so a wide list or caption
        // does not widen the columns the rows below line up in.
        const bool last = i + 1 == row.cells.size();
        const int span = last ? grid.columnCount - columns[i] : cell.columnSpan;
        grid.layout->addWidget(widget, static_cast<int>(rowIndex), columns[i], 1, span,
                               CellAlignment(group, rowIndex, cell.kind, columns[i], span));

        if (cell.kind == CellKind::Label && columns[i] == 0 && span == 1)
            grid.firstColumnLabels.push_back(static_cast<QLabel*>(widget));
        if (cell.kind == CellKind::List)
            grid.lists.push_back(widget);
        if (cell.factoryOnly && cell.ctrlId)
            factoryOnlyControls.push_back(cell.ctrlId);
        else if (cell.factoryOnly)
            factoryOnlyLabels.push_back(widget);
        RegisterCell(cell, widget);
    }
    // A caption marked for the factory level comes and goes with the controls of its row.
    for (int ctrlId : factoryOnlyControls) {
        for (QWidget* label : factoryOnlyLabels)
            m_registry.AddCompanion(ctrlId, label);
    }
}

// The lists of a group line up as one column of equal boxes.
void CDlgParameterSheet::ShareWidestWidth(const std::vector<QWidget*>& widgets)
{
    int width = 0;
    for (const QWidget* widget : widgets)
        width = std::max(width, widget->sizeHint().width());
    for (QWidget* widget : widgets)
        widget->setMinimumWidth(width);
}

Qt::Alignment CDlgParameterSheet::CellAlignment(const PageGroup& group, size_t rowIndex, CellKind kind, int column,
                                                int span)
{
    if (kind == CellKind::Label && IsColumnHeading(group, rowIndex, column))
        return Qt::AlignHCenter | Qt::AlignBottom;
    if (kind == CellKind::Button && span == 1)
        return Qt::Alignment();   // buttons stacked in a column share its width
    return Qt::AlignLeft | Qt::AlignVCenter;
}

std::vector<int> CDlgParameterSheet::CellColumns(const PageRow& row)
{
    std::vector<int> columns;
    int column = 0;
    for (const PageCell& cell : row.cells) {
        columns.push_back(column);
        column += std::max(1, cell.columnSpan);
    }
    return columns;
}

int CDlgParameterSheet::GroupColumnCount(const PageGroup& group)
{
    int count = 1;
    for (const PageRow& row : group.rows) {
        int width = 0;
        for (const PageCell& cell : row.cells)
            width += std::max(1, cell.columnSpan);
        count = std::max(count, width);
    }
    return count;
}

// Captions lead every row of more than one cell (radio buttons or buttons in
// front keep the group out of the caption alignment).
bool CDlgParameterSheet::StartsRowsWithLabels(const PageGroup& group)
{
    bool any = false;
    for (const PageRow& row : group.rows) {
        if (row.cells.size() < 2)
            continue;
        if (row.cells.front().kind != CellKind::Label)
            return false;
        any = true;
    }
    return any;
}

// A label over an edit or list of the next row names that column ("( H )", "POSLOC").
bool CDlgParameterSheet::IsColumnHeading(const PageGroup& group, size_t rowIndex, int column)
{
    if (rowIndex + 1 >= group.rows.size())
        return false;
    const PageRow& below = group.rows[rowIndex + 1];
    const std::vector<int> columns = CellColumns(below);
    for (size_t i = 0; i < below.cells.size(); ++i) {
        if (columns[i] == column)
            return IsValueControl(below.cells[i].kind);
    }
    return false;
}

// Groups stacked in one page column share the width of their caption column,
// so that their edits line up.
void CDlgParameterSheet::AlignLabelColumns()
{
    std::map<int, int> widthOfPageColumn;
    for (const LabelColumn& column : m_labelColumns) {
        for (const QLabel* label : column.labels) {
            int& width = widthOfPageColumn[column.pageColumn];
            width = std::max(width, label->sizeHint().width());
        }
    }
    for (const LabelColumn& column : m_labelColumns) {
        if (!column.labels.empty())
            column.grid->setColumnMinimumWidth(0, widthOfPageColumn[column.pageColumn]);
    }
}

// ---- controls ----------------------------------------------------------------

QWidget* CDlgParameterSheet::CreateCell(const PageCell& cell)
{
    const QString text = QString::fromStdString(cell.text);
    switch (cell.kind) {
    case CellKind::Label:
        return new QLabel(text, this);
    case CellKind::Edit:
        return CreateEdit(cell);
    case CellKind::List:
        return CreateList(cell);
    case CellKind::Check:
    case CellKind::Radio:
    case CellKind::Button:
        return CreateButtonCell(cell);
    case CellKind::ReadOut:
        return CreateReadOut(cell);
    case CellKind::Spacer:
        return nullptr;
    }
    return nullptr;
}

QWidget* CDlgParameterSheet::CreateEdit(const PageCell& cell)
{
    auto spin = new KavroSpinBox(cell.ctrlId, this);
    const int row = CtrlTbl::FindByCtrl(cell.ctrlId);
    if (row >= 0)
        spin->FitWidthTo(CtrlTbl::Rows()[row].min, CtrlTbl::Rows()[row].max);
    connect(spin, &KavroSpinBox::focusLost, this,
            [this](KavroSpinBox* source) { Notify(source, CtrlNotification::KillFocus, source->CtrlId()); });
    connect(spin, &KavroSpinBox::stepRequested, this, [this](KavroSpinBox* source, int position, int step) {
        Notify(source, CtrlNotification::DeltaPos, source->CtrlId(), position, step);
    });
    return spin;
}

QWidget* CDlgParameterSheet::CreateList(const PageCell& cell)
{
    auto combo = new QComboBox(this);
    for (const std::string& entry : cell.entries)
        combo->addItem(QString::fromStdString(entry));
    combo->setSizeAdjustPolicy(QComboBox::AdjustToContents);
    const int ctrlId = cell.ctrlId;
    // activated: the user's choices only, not the selections the program writes.
    connect(combo, &QComboBox::activated, this,
            [this, combo, ctrlId](int) { Notify(combo, CtrlNotification::SelChange, ctrlId); });
    return combo;
}

QWidget* CDlgParameterSheet::CreateButtonCell(const PageCell& cell)
{
    const QString text = QString::fromStdString(cell.text);
    QAbstractButton* button = nullptr;
    if (cell.kind == CellKind::Check) {
        button = new QCheckBox(text, this);
    } else if (cell.kind == CellKind::Radio) {
        auto radio = new QRadioButton(text, this);
        m_radiosByHead[cell.groupHead].push_back(radio);
        button = radio;
    } else {
        auto push = new QPushButton(text, this);
        push->setAutoDefault(false);   // Enter in a page never presses a button
        push->setDefault(false);
        button = push;
    }
    const int ctrlId = cell.ctrlId;
    // clicked: user actions only; setChecked from the program stays silent.
    connect(button, &QAbstractButton::clicked, this,
            [this, button, ctrlId] { Notify(button, CtrlNotification::Clicked, ctrlId); });
    return button;
}

QWidget* CDlgParameterSheet::CreateReadOut(const PageCell&)
{
    auto readOut = new QLineEdit(this);
    readOut->setReadOnly(true);
    readOut->setMinimumWidth(kReadOutWidth);
    return readOut;
}

void CDlgParameterSheet::RegisterCell(const PageCell& cell, QWidget* widget)
{
    if (cell.ctrlId == 0)
        return;
    widget->setObjectName(QStringLiteral("ctrl%1").arg(cell.ctrlId));
    widget->setToolTip(ToolTipOf(cell));
    if (!m_registry.Add(cell.ctrlId, widget))
        qWarning("page \"%s\": control id %d is used twice", qPrintable(m_title), cell.ctrlId);
    if (cell.hidden) {
        widget->hide();
        m_registry.MarkNeverShown(cell.ctrlId);
    }
}

// The group's head must be its first button, whatever order the cells came in.
void CDlgParameterSheet::RegisterRadioGroups()
{
    for (auto& [headId, radios] : m_radiosByHead) {
        auto head = std::find_if(radios.begin(), radios.end(), [this, headId = headId](QRadioButton* radio) {
            return m_registry.Find(headId) == radio;
        });
        if (head != radios.end())
            std::rotate(radios.begin(), head, head + 1);
        for (QRadioButton* radio : radios)
            m_registry.AddRadio(headId, radio);
    }
}

// ---- what the main window hears ------------------------------------------------

void CDlgParameterSheet::Notify(QWidget* control, CtrlNotification what, int ctrlId, int position, int step)
{
    m_sink.OnCtrlNotify(control, what, ctrlId, position, step);
}

// Keys go to the widget with the focus, so watching every control that can take
// it sees every key. The page and its group boxes are left out on purpose: a key
// a control ignores climbs to them, and the sink must hear each key once. The
// spin box's inner edit hands its focus to the spin box and is left out too.
void CDlgParameterSheet::InstallKeyFilter()
{
    for (QWidget* child : findChildren<QWidget*>()) {
        if (child->focusPolicy() != Qt::NoFocus && !child->focusProxy())
            child->installEventFilter(this);
    }
}

bool CDlgParameterSheet::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType())
        return m_sink.OnKeyDownMsg(static_cast<QWidget*>(watched), static_cast<QKeyEvent*>(event));
    return QWidget::eventFilter(watched, event);
}
