#include "params/SettingIndex.h"

#include <algorithm>
#include <cctype>

#include "comm/CommandTable.h"
#include "params/CtrlTbl.h"
#include "params/PageContents.h"

namespace {

bool IsValueCell(const PageCell& cell)
{
    return cell.kind == CellKind::Edit || cell.kind == CellKind::List || cell.kind == CellKind::Check ||
           cell.kind == CellKind::Radio || cell.kind == CellKind::Button || cell.kind == CellKind::ReadOut;
}

// A first row of labels only heads the columns of the rows below it.
std::string ColumnHeading(const PageGroup& group, size_t rowIndex, size_t column)
{
    if (rowIndex == 0 || group.rows.empty())
        return {};
    const std::vector<PageCell>& head = group.rows[0].cells;
    if (std::any_of(head.begin(), head.end(), IsValueCell) || column >= head.size())
        return {};
    return head[column].kind == CellKind::Label ? head[column].text : std::string();
}

// Captioned controls carry their own text; others take the nearest label
// before them in the row, with the heading of their column when they share
// that label with other controls.
std::string LabelOf(const PageGroup& group, size_t rowIndex, size_t column)
{
    const std::vector<PageCell>& cells = group.rows[rowIndex].cells;
    if (!cells[column].text.empty())
        return cells[column].text;
    std::string label;
    size_t labelColumn = column;
    for (size_t i = column; i-- > 0;)
        if (cells[i].kind == CellKind::Label && !cells[i].text.empty()) {
            label = cells[i].text;
            labelColumn = i;
            break;
        }
    const std::string heading = ColumnHeading(group, rowIndex, column);
    if (heading.empty() || labelColumn + 1 == column)
        return label;
    return label.empty() ? heading : label + " " + heading;
}

std::string MnemonicOf(int ctrlId)
{
    const int row = CtrlTbl::FindByCtrl(ctrlId);
    if (row < 0 || CtrlTbl::Rows()[row].commandIndex < 0)
        return {};
    return CommandTable::Row(CtrlTbl::Rows()[row].commandIndex).mnemonic;
}

// A radio button is bound through its group's first button.
int BoundId(const PageCell& cell)
{
    return cell.kind == CellKind::Radio && cell.groupHead != 0 ? cell.groupHead : cell.ctrlId;
}

bool IsFactoryOnly(const PageContent& page, const PageCell& cell)
{
    const int row = CtrlTbl::FindByCtrl(BoundId(cell));
    const bool factoryRow = row >= 0 && CtrlTbl::Rows()[row].access == AccessFactory;
    return page.kind == FactoryPage || cell.factoryOnly || factoryRow;
}

std::vector<SettingPlace> BuildPlaces()
{
    std::vector<SettingPlace> places;
    const std::vector<PageContent>& pages = PageContents();
    for (size_t pageIndex = 0; pageIndex < pages.size(); ++pageIndex)
        for (const PageGroup& group : pages[pageIndex].groups)
            for (size_t rowIndex = 0; rowIndex < group.rows.size(); ++rowIndex)
                for (size_t column = 0; column < group.rows[rowIndex].cells.size(); ++column) {
                    const PageCell& cell = group.rows[rowIndex].cells[column];
                    if (cell.ctrlId == 0 || cell.hidden || !IsValueCell(cell))
                        continue;
                    places.push_back(SettingPlace{cell.ctrlId, static_cast<int>(pageIndex),
                                                  pages[pageIndex].caption, group.caption,
                                                  LabelOf(group, rowIndex, column), MnemonicOf(BoundId(cell)),
                                                  IsFactoryOnly(pages[pageIndex], cell)});
                }
    return places;
}

std::string Lower(std::string text)
{
    for (char& c : text)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return text;
}

}  // namespace

const std::vector<SettingPlace>& SettingIndex::Places()
{
    static const std::vector<SettingPlace> places = BuildPlaces();
    return places;
}

const SettingPlace* SettingIndex::Find(int ctrlId)
{
    for (const SettingPlace& place : Places())
        if (place.ctrlId == ctrlId)
            return &place;
    return nullptr;
}

bool SettingIndex::Matches(const SettingPlace& place, const std::string& text)
{
    const std::string wanted = Lower(text);
    for (const std::string* field : {&place.page, &place.group, &place.label, &place.mnemonic})
        if (Lower(*field).find(wanted) != std::string::npos)
            return true;
    return false;
}
