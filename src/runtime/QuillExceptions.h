#pragma once
// Exceptions that cross the module/host boundary.

#include <QString>
#include <exception>
#include <string>

#include "quillcmrunstd_export.h"

// Silent abort: ends the current operation without a message (raised by CheckError).
class QUILLCMRUNSTD_EXPORT EAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};

// A database error raised by the database service; carries the driver's text.
class QUILLCMRUNSTD_EXPORT EDatabaseError : public std::exception
{
public:
    explicit EDatabaseError(const QString &message) : FMessage(message), FUtf8(message.toStdString()) {}
    const char *what() const noexcept override { return FUtf8.c_str(); }
    const QString &Message() const { return FMessage; }

private:
    QString FMessage;
    std::string FUtf8;
};
