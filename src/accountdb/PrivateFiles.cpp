#include "PrivateFiles.h"

#include <QDir>
#include <QFile>
#include <QRegularExpression>
#include <QSysInfo>
#include <cerrno>
#include <csignal>
#include <cstring>
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

namespace accountdb {

namespace {

// Letters and digits of the host name only, so the tag never holds a separator of the file names.
QString hostPart()
{
    QString host;
    for (const QChar c : QSysInfo::machineHostName()) {
        if (c.isLetterOrNumber() && c.unicode() < 128)
            host += c;
    }
    return host;
}

bool processIsGone(qint64 pid)
{
    return pid > 0 && pid != qint64(::getpid()) && ::kill(pid_t(pid), 0) != 0 && errno == ESRCH;
}

} // namespace

bool createPrivateFile(const QString &path, QString *error)
{
    const int fd = ::open(QFile::encodeName(path).constData(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC,
                          kPrivateFileMode);
    if (fd < 0) {
        if (error)
            *error = QString::fromLocal8Bit(std::strerror(errno));
        return false;
    }
    // The umask may have taken bits away, never added any; fchmod makes the mode exact.
    const bool ok = ::fchmod(fd, kPrivateFileMode) == 0;
    if (!ok && error)
        *error = QString::fromLocal8Bit(std::strerror(errno));
    ::close(fd);
    return ok;
}

int openPrivateFile(const QString &path, int flags)
{
    const int fd = ::open(QFile::encodeName(path).constData(), flags | O_CREAT | O_CLOEXEC, kPrivateFileMode);
    if (fd < 0)
        return -1;
    if (::fchmod(fd, kPrivateFileMode) != 0) {
        ::close(fd);
        return -1;
    }
    return fd;
}

bool restrictToOwner(const QString &path)
{
    return ::chmod(QFile::encodeName(path).constData(), kPrivateFileMode) == 0;
}

QString leftoverTag()
{
    return QStringLiteral("p%1h%2").arg(qint64(::getpid())).arg(hostPart());
}

int removeDeadLeftovers(const QString &folder, const QStringList &nameFilters)
{
    static const QRegularExpression tag(QStringLiteral("-p(\\d+)h([A-Za-z0-9]*)-"));
    const QString host = hostPart();
    int removed = 0;
    const QDir dir(folder);
    for (const QString &name : dir.entryList(nameFilters, QDir::Files | QDir::Hidden | QDir::System)) {
        const QRegularExpressionMatch m = tag.match(name);
        if (!m.hasMatch() || m.captured(2) != host || !processIsGone(m.captured(1).toLongLong()))
            continue;
        if (QFile::remove(dir.filePath(name)))
            ++removed;
    }
    return removed;
}

} // namespace accountdb
