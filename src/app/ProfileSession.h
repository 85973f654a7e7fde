#pragma once

#include <QString>

#include <memory>

class QLockFile;
class QSettings;

// One use of the profile file: under a lock shared by every copy of the tool,
// the values are read and written on a working copy, which replaces the file
// only once it is known to be complete. QSettings on its own reports success
// when a full disk cut the file short; here the old file survives instead.
class ProfileSession {
public:
    explicit ProfileSession(const QString& file);
    ~ProfileSession();   // ends like Close()
    ProfileSession(const ProfileSession&) = delete;
    ProfileSession& operator=(const ProfileSession&) = delete;

    bool IsOpen() const { return m_settings != nullptr; }
    QSettings& Settings() { return *m_settings; }
    // Writes what changed; true when the file now holds it, false when the old file was kept.
    bool Close();

private:
    bool IsComplete() const;

    QString m_file;
    QString m_workFile;   // the working copy beside the file
    std::unique_ptr<QLockFile> m_lock;   // keeps other copies of the tool out while this one works
    std::unique_ptr<QSettings> m_settings;
    bool m_changed = false;
};
