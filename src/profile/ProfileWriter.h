#pragma once

#include <QMap>
#include <QString>

// Saving the profile file so that a second copy of the tool, a full disk, a
// damaged file or a link in its place never costs a value. Under a lock shared
// by every copy of the tool, the values stored now plus the changes are written
// to a fresh working copy beside the file, which replaces it only once it is
// known to be complete. QSettings on its own reports success when a full disk
// cut the file short; here the old file survives instead.
namespace ProfileWriter {

// The file that is really written: the target of a link, else the file
// itself; empty, with `problem` saying why, when that is not a regular file.
QString WrittenFile(const QString& file, QString* problem = nullptr);

// Writes `changes` over the values the file holds now, keeping its mode and
// owner, by the rule of every file the tool writes (ReplaceFile). A file
// the INI reader finds damaged is saved whole and well-formed, its original
// kept beside it as "<file>.bak". Empty on success, otherwise why the old file
// was kept.
QString Save(const QString& file, const QMap<QString, QString>& changes);

// Removes the working copies and the lock that a copy of the tool killed while
// saving left beside the file, unless a running copy holds the lock. Without a
// lock left behind nothing is touched, so a file of the user's that merely
// looks like a working copy stays.
void RemoveStaleCopies(const QString& file);

}  // namespace ProfileWriter
