#pragma once

#include <cstdint>
#include <string>

// The value passed to a setting or returned by a query.
struct CommandValue {
    uint32_t kind = 0;        // informative only: formatting follows the row's kind
    int32_t intValue = 0;
    double floatValue = 0.0;
    std::string text;
};

// A command or reply line split into its parts by ParseCommand.
struct CommandFields {
    std::string text;         // the whole line without spaces, CR and LF, case kept
    std::string name;         // upper-cased text before the operator
    std::string op;           // "=" or "?"
    std::string param1;
    std::string param2;
    uint32_t paramCount = 0;
    int32_t index = -1;       // command row, or -1
    int32_t channelParam = 0;
    uint32_t error = 0;       // 1: no operator, or names no row
    uint32_t kind = 0;
    int32_t intValue = 0;
    double floatValue = 0.0;
    std::string textValue;
};
