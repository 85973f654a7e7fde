#pragma once

#include <cstdlib>
#include <filesystem>
#include <string>

// A folder under /tmp that is removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "camsim-test-XXXXXX").string();
        if (::mkdtemp(pattern.data()))
            m_path = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!m_path.empty())
            std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Exists() const { return !m_path.empty(); }
    std::string Path(const std::string& name) const { return m_path + "/" + name; }

private:
    std::string m_path;
};
