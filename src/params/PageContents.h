#pragma once

#include <string>
#include <vector>

// What each parameter page shows, as data: the page builder lays it out and
// the binding table gives ranges and defaults. Nothing here knows widgets.

enum class CellKind {
    Label,       // text only
    Edit,        // edit with spin; range from the binding table
    List,        // drop-down list with `entries`
    Check,       // check box captioned `text`
    Radio,       // one radio button captioned `text`; `groupHead` is the group's first button
    Button,      // push button captioned `text`
    ReadOut,     // a text field the program fills (temperature, S number)
    Spacer,      // an empty cell
};

struct PageCell {
    CellKind kind = CellKind::Label;
    int ctrlId = 0;                    // 0 for labels and spacers
    std::string text;                  // label, caption of a check/radio/button
    std::vector<std::string> entries;  // List entries in order (value = index)
    int groupHead = 0;                 // Radio: id of the group's first button
    bool hidden = false;               // kept on the page but never shown
    bool factoryOnly = false;          // shown only at factory level ("VPP")
    int columnSpan = 1;
};

// One line of cells inside a group box.
struct PageRow {
    std::vector<PageCell> cells;
};

struct PageGroup {
    std::string caption;   // "" for controls outside any group box
    std::vector<PageRow> rows;
    int pageColumn = 0;    // where the group sits on the page grid
    int pageRow = 0;
    int rowSpan = 1;
    int columnSpan = 1;
};

enum ParamPageKind { UserPage = 0, FactoryPage = 1 };

struct PageContent {
    std::string caption;   // the tab caption
    ParamPageKind kind = UserPage;
    std::vector<PageGroup> groups;
};

// The eight pages in tab order.
const std::vector<PageContent>& PageContents();
