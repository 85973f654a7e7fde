#pragma once

#include <chrono>
#include <cstdint>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

// Folders of the stand-in libraries, given by the build.
inline const std::string kClSimDir = KAVRO_CLSIM_DIR;
inline const std::string kGrabberDir = kClSimDir + "/grabbers";
inline const std::string kBrokenGrabberDir = kClSimDir + "/broken-grabbers";
inline const std::string kBrokenDir = kClSimDir + "/broken";

inline int64_t NowMs()
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

// The stand-in libraries read their setup at each call, so a test sets it just before.
inline void SetClSim(const std::string& setup)
{
    setenv("KAVRO_CLSIM", setup.c_str(), 1);
}

// True while a library of that file name is mapped into this process.
inline bool IsLibraryMapped(const std::string& fileName)
{
    std::ifstream maps("/proc/self/maps");
    std::string line;
    while (std::getline(maps, line)) {
        if (line.size() > fileName.size() &&
            line.compare(line.size() - fileName.size() - 1, std::string::npos, "/" + fileName) == 0)
            return true;
    }
    return false;
}

// A fresh folder under the system temporary folder, removed with everything in it.
class TempFolder {
public:
    TempFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "camlinkXXXXXX").string();
        m_path = mkdtemp(pattern.data()) != nullptr ? pattern : std::string();
    }
    ~TempFolder()
    {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::string& Path() const { return m_path; }
    void AddFile(const std::string& name) const { std::ofstream(m_path + "/" + name) << "x"; }

private:
    std::string m_path;
};
