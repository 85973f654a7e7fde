#pragma once

#include <QMap>
#include <QString>
#include <QVariant>

#include <memory>

class QSettings;

// One use of the profile file: values are read from the file as it stands,
// without writing anything; values set are kept aside and, when any of them
// differs from what is stored, saved by Close() (see ProfileWriter).
class ProfileSession {
public:
    explicit ProfileSession(const QString& file);
    ~ProfileSession();   // ends like Close()
    ProfileSession(const ProfileSession&) = delete;
    ProfileSession& operator=(const ProfileSession&) = delete;

    // Invalid when the value is not stored.
    QVariant Value(const QString& name) const;
    void SetValue(const QString& name, const QString& text);
    // Saves what changed; true when the file holds it, false when the old file was
    // kept (said on standard error).
    bool Close();

private:
    QString m_file;
    std::unique_ptr<QSettings> m_stored;   // the file as read; never written through
    QMap<QString, QString> m_changes;
    bool m_changed = false;
};
