#pragma once
// Files of an account set that hold company data or password hashes (the set itself, backups, the
// backup catalogue, logs, restore copies) are readable by their owner only, whatever the umask.
// Temporary files of a backup or restore carry the process that made them in their name, so the next
// job can tell the leftovers of a killed job from the files of one that is still running.

#include <QString>
#include <QStringList>

namespace accountdb {

constexpr int kPrivateFileMode = 0600;

// Creates the file empty with mode 0600 (O_EXCL: an existing file is an error) and closes it.
// False with the system's reason in *error.
bool createPrivateFile(const QString &path, QString *error = nullptr);
// Opens or creates the file with mode 0600 and restricts an existing one to 0600; returns the
// descriptor opened with flags | O_CLOEXEC (the caller closes it), or -1.
int openPrivateFile(const QString &path, int flags);
// Restricts an existing file to its owner (0600).
bool restrictToOwner(const QString &path);

// "p<pid>h<host>": the tag that marks a temporary file as this process's; it stands between two "-"
// in the name, and the first such part of a name is its tag.
QString leftoverTag();
// Removes the files of the folder that match one of the name filters and whose tag names a process of
// this machine that no longer runs. Untagged files, files of other machines and files of living
// processes stay. Returns the number removed.
int removeDeadLeftovers(const QString &folder, const QStringList &nameFilters);

} // namespace accountdb
