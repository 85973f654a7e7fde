#pragma once

#include <string>
#include <vector>

// Where a bound control sits and what it is called, for finding a setting
// and for naming one beside its value.
struct SettingPlace {
    int ctrlId = 0;
    int pageIndex = 0;           // tab order of the page contents
    std::string page;            // the page's tab caption
    std::string group;           // the group box title, "" outside any box
    std::string label;           // the text the operator reads beside or on the control
    std::string mnemonic;        // the bound command, "" for a control without one
    bool factoryOnly = false;    // on a factory page, or shown or read only at factory level
};

// Every visible control of the page contents, in page order; plain data.
class SettingIndex {
public:
    static const std::vector<SettingPlace>& Places();
    // The place of that control, or nullptr.
    static const SettingPlace* Find(int ctrlId);
    // Case-insensitive: the text is part of the page, group, label or mnemonic.
    static bool Matches(const SettingPlace& place, const std::string& text);
};
