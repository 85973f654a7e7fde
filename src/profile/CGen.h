#pragma once

#include <cstdint>
#include <memory>
#include <string>

class ProfileSession;

// Process-wide helper: access to the configuration profile. The profile is a
// per-user INI file; every user opens it, reads or writes, and closes it again.
class CGen {
public:
    CGen();
    ~CGen();
    CGen(const CGen&) = delete;
    CGen& operator=(const CGen&) = delete;

    // The INI file that stands for a profile key path such as
    // "SOFTWARE\QEL Corporation\MX-330_550CL Camera Kavro".
    static std::string ProfileFile(const std::string& keyPath);

    // True when an existing profile was opened. Reads of a missing one give
    // their defaults; the first write that is saved creates it.
    bool OpenProfile(const std::string& keyPath);
    bool ReadProfileDword(const std::string& name, uint32_t& value, uint32_t defaultValue);
    bool ReadProfileString(const std::string& name, std::string& text, const std::string& defaultValue);
    bool WriteProfileDword(const std::string& name, uint32_t value);
    bool WriteProfileString(const std::string& name, const std::string& text);
    // Writes what changed to disk at once and forgets the open profile.
    void CloseProfile();
    // Removes working copies that a copy of the tool killed while saving left
    // beside the profile, unless a running copy is saving.
    void RemoveStaleProfileCopies(const std::string& keyPath);

private:
    static constexpr int kValueCapacity = 512;   // longer stored values count as unreadable

    std::unique_ptr<ProfileSession> m_profile;
};
