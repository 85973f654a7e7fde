#include "profile/ProfileWriter.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLockFile>
#include <QRegularExpression>
#include <QSaveFile>
#include <QSettings>
#include <QTemporaryFile>
#include <QVariant>

#include <string>

#include "storage/ReplaceFile.h"

namespace ProfileWriter {

namespace {

constexpr int kLockWaitMs = 5000;
constexpr int kStaleLockMs = 10000;   // a save takes milliseconds: a lock this old belongs to a killed copy

// The file as it stands when the save begins.
struct StoredProfile {
    bool readable = false;
    bool malformed = false;
    QByteArray bytes;
    QMap<QString, QVariant> values;
};

// Damage as the INI reader sees it, judged on the bytes: QSettings reports it only
// to the first reader of a file in a process. A byte-order mark, a section line
// without its ']', a line that is neither a ';' comment nor name=value.
bool IsDamaged(const QByteArray& text)
{
    if (text.startsWith("\xEF\xBB\xBF"))
        return true;
    for (const QByteArray& rawLine : text.split('\n')) {
        const QByteArray line = rawLine.trimmed();
        if (line.isEmpty() || line.startsWith(';'))
            continue;
        if (line.startsWith('[') ? !line.contains(']') : !line.contains('='))
            return true;
    }
    return false;
}

StoredProfile ReadStored(const QString& file)
{
    StoredProfile stored;
    QFile current(file);
    if (!current.exists()) {
        stored.readable = true;
        return stored;
    }
    if (!current.open(QIODevice::ReadOnly))
        return stored;
    stored.bytes = current.readAll();
    stored.readable = current.error() == QFileDevice::NoError;
    const QSettings ini(file, QSettings::IniFormat);
    for (const QString& key : ini.allKeys())
        stored.values.insert(key, ini.value(key));
    stored.malformed = IsDamaged(stored.bytes) || ini.status() == QSettings::FormatError;
    return stored;
}

// "name=value" lines: one per key, as the INI file writes them.
int CountValueLines(const QByteArray& text)
{
    int lines = 0;
    for (const QByteArray& line : text.split('\n'))
        if (!line.startsWith('[') && line.contains('='))
            ++lines;
    return lines;
}

bool IsComplete(const QString& file, int keyCount)
{
    QFile written(file);
    if (!written.open(QIODevice::ReadOnly))
        return false;
    const QByteArray text = written.readAll();
    return (text.isEmpty() || text.endsWith('\n')) && CountValueLines(text) == keyCount;
}

QString KeepOriginal(const QString& file, const QByteArray& bytes)
{
    QSaveFile backup(file + ".bak");
    if (backup.open(QIODevice::WriteOnly) && backup.write(bytes) == bytes.size() && backup.commit())
        return {};
    return "the damaged original cannot be kept as .bak: " + backup.errorString();
}

QString ReplaceWith(const QString& file, const QMap<QString, QVariant>& values)
{
    QTemporaryFile work(file + ".XXXXXX");
    work.setAutoRemove(false);
    if (!work.open())
        return "no working copy: " + work.errorString();
    const QString workFile = work.fileName();
    work.close();
    bool complete = false;
    {
        QSettings ini(workFile, QSettings::IniFormat);
        for (auto value = values.cbegin(); value != values.cend(); ++value)
            ini.setValue(value.key(), value.value());
        ini.sync();
        complete = ini.status() == QSettings::NoError && IsComplete(workFile, int(values.size()));
    }
    if (!complete) {
        QFile::remove(workFile);
        return "the working copy could not be written in full (disk full?)";
    }
    std::string error;
    if (!ReplaceFile::CommitFile(QFile::encodeName(workFile).toStdString(), QFile::encodeName(file).toStdString(), error))
        return QString::fromLocal8Bit(error.c_str());
    return {};
}

QString LockProblem(const QLockFile& lock)
{
    switch (lock.error()) {
    case QLockFile::LockFailedError:
        return "another copy of the tool kept it locked";
    case QLockFile::PermissionError:
        return "its folder cannot be written";
    default:
        return "no lock file could be made (disk full?)";
    }
}

// Working copies are named "<file>.XXXXXX" with six letters; QSettings may add one more such
// suffix to its own.
QStringList WorkingCopies(const QFileInfo& file)
{
    const QRegularExpression workName("^" + QRegularExpression::escape(file.fileName()) +
                                      R"((\.[A-Za-z]{6}){1,2}$)");
    return file.absoluteDir().entryList(QDir::Files | QDir::Hidden | QDir::System).filter(workName);
}

}  // namespace

QString WrittenFile(const QString& file, QString* problem)
{
    std::string target;
    std::string error;
    if (ReplaceFile::Target(QFile::encodeName(file).toStdString(), target, error))
        return QFile::decodeName(target.c_str());
    if (problem)
        *problem = QString::fromLocal8Bit(error.c_str());
    return {};
}

QString Save(const QString& file, const QMap<QString, QString>& changes)
{
    QString problem;
    const QString target = WrittenFile(file, &problem);
    if (target.isEmpty())
        return problem;
    if (!QDir().mkpath(QFileInfo(target).absolutePath()))
        return "its folder cannot be made";
    QLockFile lock(target + ".lock");
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(kLockWaitMs))
        return LockProblem(lock);
    // Read again under the lock: another copy may have saved since this one read.
    StoredProfile stored = ReadStored(target);
    if (!stored.readable)
        return "it cannot be read";
    if (stored.malformed) {
        problem = KeepOriginal(target, stored.bytes);
        if (!problem.isEmpty())
            return problem;
    }
    for (auto change = changes.cbegin(); change != changes.cend(); ++change)
        stored.values.insert(change.key(), change.value());
    return ReplaceWith(target, stored.values);
}

void RemoveStaleCopies(const QString& file)
{
    const QString written = WrittenFile(file);
    if (written.isEmpty())
        return;   // not a file the tool writes
    const QFileInfo target(written);
    const QString lockFile = target.absoluteFilePath() + ".lock";
    if (!QFileInfo::exists(lockFile))
        return;   // no save was cut short: reading stays free of writes
    QLockFile lock(lockFile);
    lock.setStaleLockTime(kStaleLockMs);
    if (!lock.tryLock(0))
        return;   // a running copy is saving: its working copy is not stale
    // While the lock is ours no running copy has a working copy: these were left by the killed one.
    for (const QString& copy : WorkingCopies(target))
        target.absoluteDir().remove(copy);
}   // unlocking removes the lock file

}  // namespace ProfileWriter
