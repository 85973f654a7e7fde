#pragma once

#include <string>

// Replacing a file whole: the one rule of every file the tool writes. The new
// bytes go to a temporary file beside the file really written (a symbolic
// link is followed to its target), which takes the old file's mode and owner,
// reaches the disk, and only then is renamed over it; the folder then reaches
// the disk too. An existing target that is not a regular file (a device, a
// FIFO, a socket, a folder) is never replaced: writing "over" /dev/null must
// not leave a plain file in its place.
//
// One file is written at a time in a process (the tool writes from one
// thread); its temporary file is known to RemoveTemporaryForSignal.
class ReplaceFile {
public:
    // The file that a write to `path` replaces or creates, links followed (a
    // link to nothing: the file it names). False with `error` when that is not
    // a regular file or cannot be told.
    static bool Target(const std::string& path, std::string& target, std::string& error);
    // Target, and whether it can be written at all: its folder takes a new
    // file, an existing file may be written. Quick, for callers that judge an
    // output before a long job.
    static bool CheckWritable(const std::string& path, std::string& target, std::string& error);

    // A new empty file beside `target` whose name fits the system's limit even
    // beside a name of 255 bytes; its descriptor, or -1 with `error`.
    static int CreateTemporary(const std::string& target, std::string& temporary, std::string& error);
    // Gives the temporary file (open as `fd`, which is closed) the target's
    // mode and owner, or what a new file gets; syncs it; renames it over the
    // target; syncs the folder. On failure the temporary file is removed.
    static bool Commit(int fd, const std::string& temporary, const std::string& target, std::string& error);
    // The same for a temporary file that another writer filled and closed.
    static bool CommitFile(const std::string& temporary, const std::string& target, std::string& error);
    // Removes a temporary file left open by Create without Commit.
    static void Discard(int fd, const std::string& temporary);

    // For a stop signal's handler (async-signal-safe): removes the temporary
    // file being written, if any, so that a stop leaves nothing behind.
    static void RemoveTemporaryForSignal();
};
