#pragma once

#include <climits>
#include <sstream>
#include <string>
#include <vector>

#include "files/SettingsFile.h"

// The query for each line of a settings file of the level, in the file's
// order: what a full reading of the camera sends.
inline std::vector<std::string> FileQueries(bool factory)
{
    std::vector<std::string> queries;
    std::istringstream file(SettingsFile::Compose(factory, [](int) { return 0; }));
    for (std::string name; std::getline(file, name, '=') && file.ignore(INT_MAX, '\n');)
        queries.push_back(name + "?");
    return queries;
}

// The settings among the lines the camera received, queries left out.
inline std::vector<std::string> Settings(const std::vector<std::string>& wire)
{
    std::vector<std::string> sets;
    for (const std::string& line : wire)
        if (line.find('=') != std::string::npos)
            sets.push_back(line);
    return sets;
}
