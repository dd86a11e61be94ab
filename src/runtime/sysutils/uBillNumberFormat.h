#pragma once
// The bill number formatter: turns a stored number pattern into the next bill number.

#include <QDateTime>
#include <QString>

#include "quillsysutils_export.h"

// Builds a bill number from "pattern" (parts joined by carriage returns): date-time tokens of the
// date, "机器名" (computer name, at most 200 characters), "单据前缀" (the bill type's number head),
// "操作员" (operator name), and the first "[...]" run formatted as a number pattern with
// lastSequence + 1. An empty pattern gives an empty number.
QUILLSYSUTILS_EXPORT QString FormatBillNumber(const QString &pattern, qint64 lastSequence,
                                              const QDateTime &date, const QString &computerName,
                                              const QString &numberHead, const QString &operatorName);
