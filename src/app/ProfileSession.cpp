#include "app/ProfileSession.h"

#include <QFile>
#include <QLockFile>
#include <QSettings>
#include <QTemporaryFile>

#include <cstdio>

namespace {

constexpr int kLockWaitMs = 5000;
constexpr int kStaleLockMs = 10000;   // a lock this old belongs to a crashed copy

// "name=value" lines: one per key, as the INI file writes them.
int CountValueLines(const QByteArray& text)
{
    int lines = 0;
    for (const QByteArray& line : text.split('\n'))
        if (!line.startsWith('[') && line.contains('='))
            ++lines;
    return lines;
}

}  // namespace

ProfileSession::ProfileSession(const QString& file)
    : m_file(file), m_lock(std::make_unique<QLockFile>(file + ".lock"))
{
    m_lock->setStaleLockTime(kStaleLockMs);
    if (!m_lock->tryLock(kLockWaitMs))
        return;
    QTemporaryFile work(file + ".XXXXXX");
    work.setAutoRemove(false);
    QFile current(file);
    if (!work.open() || !current.open(QIODevice::ReadOnly) || work.write(current.readAll()) < 0 || !work.flush()) {
        work.remove();
        return;
    }
    m_workFile = work.fileName();
    work.close();
    m_settings = std::make_unique<QSettings>(m_workFile, QSettings::IniFormat);
}

ProfileSession::~ProfileSession()
{
    Close();
}

bool ProfileSession::IsComplete() const
{
    QFile written(m_workFile);
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = written.readAll();
    return (text.isEmpty() || text.endsWith('\n')) && CountValueLines(text) == m_settings->allKeys().size();
}

bool ProfileSession::Close()
{
    if (!m_settings)
        return false;
    m_settings->sync();
    const bool complete = m_settings->status() == QSettings::NoError && IsComplete();
    m_settings.reset();
    const bool replaced = complete && std::rename(QFile::encodeName(m_workFile), QFile::encodeName(m_file)) == 0;
    if (!replaced)
        QFile::remove(m_workFile);
    m_lock->unlock();
    return replaced;
}
