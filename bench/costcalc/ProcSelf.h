#pragma once
// Figures of this process from /proc/self, for the benchmarks.

#include <QByteArray>
#include <QFile>

// The value of "key:" in /proc/self/<file> ("write_bytes" in io, "VmHWM" in status); empty when absent.
inline QByteArray ProcSelfField(const char *file, const QByteArray &key)
{
    QFile f(QStringLiteral("/proc/self/") + QLatin1String(file));
    if (!f.open(QIODevice::ReadOnly))
        return {};
    for (const QByteArray &line : f.readAll().split('\n'))
        if (line.startsWith(key + ':'))
            return line.mid(key.size() + 1).trimmed();
    return {};
}

// Bytes this process has caused to be written to storage so far.
inline qint64 WrittenBytes()
{
    return ProcSelfField("io", "write_bytes").toLongLong();
}
