#include "uBillNumberFormat.h"

#include "Format.h"

QString FormatBillNumber(const QString &pattern, qint64 lastSequence, const QDateTime &date,
                         const QString &computerName, const QString &numberHead, const QString &operatorName)
{
    QString text = pattern;
    text.remove(QLatin1Char('\r'));
    if (text.isEmpty())
        return QString();
    // The date tokens go first: the Chinese place-holders and the bracketed digits hold no Latin
    // letters, so they come through the date formatting unchanged.
    text = FormatDateTime(text, date);
    text.replace(QStringLiteral("机器名"), computerName.left(200));
    text.replace(QStringLiteral("单据前缀"), numberHead);
    text.replace(QStringLiteral("操作员"), operatorName);
    const int open = text.indexOf(QLatin1Char('['));
    const int close = text.indexOf(QLatin1Char(']'));
    if (open >= 0 && close > open) {
        const QString digits = text.mid(open + 1, close - open - 1);
        text = text.left(open) + FormatFloat(digits, double(lastSequence + 1)) + text.mid(close + 1);
    }
    return text;
}
