#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

// The whole content of a file, byte for byte; "" when it cannot be read.
inline std::string FileText(const std::string& path)
{
    std::ostringstream bytes;
    bytes << std::ifstream(path, std::ios::binary).rdbuf();
    return bytes.str();
}

// A folder of its own for one test, removed afterwards.
struct TempFolder {
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavro-test-XXXXXX").string();
        path = mkdtemp(pattern.data());
    }
    ~TempFolder() { std::filesystem::remove_all(path); }
    std::string File(const std::string& name) const { return (std::filesystem::path(path) / name).string(); }

    std::string path;
};

// Points the profile at a fresh folder for the lifetime of a test.
struct TempProfileHome : TempFolder {
    TempProfileHome()
    {
        const char* old = std::getenv("XDG_CONFIG_HOME");
        saved = old ? old : "";
        hadValue = old != nullptr;
        setenv("XDG_CONFIG_HOME", path.c_str(), 1);
    }
    ~TempProfileHome()
    {
        if (hadValue)
            setenv("XDG_CONFIG_HOME", saved.c_str(), 1);
        else
            unsetenv("XDG_CONFIG_HOME");
    }
    std::string IniFile() const { return path + "/QEL Corporation/MX-330_550CL Camera Kavro.ini"; }

    std::string saved;
    bool hadValue = false;
};
