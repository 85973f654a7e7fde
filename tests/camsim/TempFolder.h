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
            path_ = pattern;
    }
    ~TempFolder()
    {
        std::error_code ignored;
        if (!path_.empty())
            std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    bool Exists() const { return !path_.empty(); }
    std::string Path(const std::string& name) const { return path_ + "/" + name; }

private:
    std::string path_;
};
