#include "uImportBillDataCore.h"

#include <QDate>
#include <QHash>

#include "ParamList.h"
#include "QuillExceptions.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"

namespace uImportBillDataCore {

namespace {

bool IsBillLine(const QStringList &row)
{
    return row.value(1) == QStringLiteral("P");
}

// Answers of p_jxc_CheckImportData, asked once per value.
class TChecker
{
public:
    bool Exists(const QString &mode, const QString &code)
    {
        const QString key = mode + u'\x1f' + code;
        auto it = FKnown.constFind(key);
        if (it != FKnown.constEnd())
            return it.value();
        const bool found =
            Udlldbservice::ExecuteProcByName(
                QStringLiteral("p_jxc_CheckImportData"),
                {QStringLiteral("@szUserCode"), QStringLiteral("@szFullName"), QStringLiteral("@cMode")},
                {code, QString(), mode}) > 0;
        FKnown.insert(key, found);
        return found;
    }

    // An empty code is allowed where the bill need not name that base datum.
    void Check(TRowCheck &row, const QString &mode, const QString &what, const QString &code,
               const QString &name, bool required = false)
    {
        if (code.isEmpty() && !required)
            return;
        if (!code.isEmpty() && Exists(mode, code))
            return;
        row.Problems << QStringLiteral("%1不存在：%2 %3").arg(what, code, name).trimmed();
    }

private:
    QHash<QString, bool> FKnown;
};

// Fields of a detail line that must be numbers (empty counts as 0).
constexpr int kNumberFields[] = {5, 6, 7, 8, 9, 10, 11, 12, 13, 28, 30};

double Number(const QStringList &row, int field)
{
    return row.value(field).toDouble();
}

// A refusal of a procedure; a database error of the same line is reported the same way.
struct TLineFailure
{
    QString Message;
};

[[noreturn]] void Fail(const QString &message)
{
    throw TLineFailure{message};
}

} // namespace

QString ParseDate(const QString &text)
{
    for (const QString &format : {QStringLiteral("yyyy-MM-dd"), QStringLiteral("yyyy-M-d"),
                                  QStringLiteral("yyyy/M/d"), QStringLiteral("yyyy.M.d")}) {
        const QDate d = QDate::fromString(text.trimmed(), format);
        if (d.isValid())
            return d.toString(QStringLiteral("yyyy-MM-dd"));
    }
    return QString();
}

QList<TRowCheck> CheckRows(const QList<QStringList> &rows)
{
    TChecker checker;
    QList<TRowCheck> checks;
    for (const QStringList &r : rows) {
        TRowCheck c;
        bool converted = true;
        if (IsBillLine(r)) {
            if (!checker.Exists(QStringLiteral("V"), r.value(2)))
                c.Problems << QStringLiteral("单据类型不存在：") + r.value(2);
            checker.Check(c, QStringLiteral("B"), QStringLiteral("单位"), r.value(5), r.value(6));
            checker.Check(c, QStringLiteral("E"), QStringLiteral("经办人"), r.value(7), r.value(8));
            checker.Check(c, QStringLiteral("K"), QStringLiteral("仓库"), r.value(10), r.value(9));
            checker.Check(c, QStringLiteral("K"), QStringLiteral("仓库"), r.value(14), r.value(15));
            checker.Check(c, QStringLiteral("D"), QStringLiteral("部门"), r.value(18), r.value(19));
            checker.Check(c, QStringLiteral("B"), QStringLiteral("结算单位"), r.value(20), r.value(21));
            converted = !ParseDate(r.value(12)).isEmpty();
        } else {
            checker.Check(c, QStringLiteral("P"), QStringLiteral("存货"), r.value(3), r.value(4), true);
            checker.Check(c, QStringLiteral("K"), QStringLiteral("仓库"), r.value(26), r.value(27));
            for (const int f : kNumberFields) {
                bool ok = true;
                if (!r.value(f).isEmpty())
                    r.value(f).toDouble(&ok);
                converted = converted && ok;
            }
            if (converted && !(Number(r, 5) > 0))
                c.Problems << QStringLiteral("数量必须大于零：") + r.value(3);
        }
        if (!converted)
            c.Problems.prepend(kConvertError);
        c.Result = !converted ? kConvertError : (c.Problems.isEmpty() ? kPassed : kIllegal);
        checks << c;
    }
    return checks;
}

QString FirstProblem(const QList<TRowCheck> &checks, const QList<int> &lineNumbers)
{
    for (int i = 0; i < checks.size(); ++i) {
        if (checks[i].Result != kPassed)
            return QStringLiteral("第%1行：%2").arg(lineNumbers.value(i)).arg(checks[i].Problems.join(u'；'));
    }
    return QString();
}

TImportResult ImportRows(const QList<QStringList> &rows, const QList<int> &lineNumbers)
{
    TImportResult result;
    const QString operatorId = Udllsystemintf::GetCurrentOperatorId();
    int line = 0; // the file line being written
    // Bill number in the file -> code of the bill written from it, for lines that name a line of an
    // earlier bill ("<number>/<row>"); a bill outside the file cannot be named.
    QHash<QString, qint64> written;
    const auto source = [&written](const QString &reference) {
        const qsizetype slash = reference.lastIndexOf(u'/');
        const qint64 vchcode = slash > 0 ? written.value(reference.left(slash)) : 0;
        return vchcode > 0 ? QString::number(vchcode) + reference.mid(slash) : QString();
    };
    try {
        Udlldbservice::TTransaction transaction;
        for (int i = 0; i < rows.size();) {
            const QStringList &b = rows[i];
            const int billLine = line = lineNumbers.value(i);
            TParamList out;
            const int id = Udlldbservice::ExecuteProcByName(
                QStringLiteral("p_jxc_importDlyndx"),
                {QStringLiteral("@Vchtype"),        QStringLiteral("@szBTypeID"),
                 QStringLiteral("@Custom1"),        QStringLiteral("@BtypeUserCode2"),
                 QStringLiteral("@BtypeFullName2"), QStringLiteral("@szEtypeID"),
                 QStringLiteral("@Custom2"),        QStringLiteral("@szKtypeID"),
                 QStringLiteral("@Custom3"),        QStringLiteral("@szBillNumber"),
                 QStringLiteral("@szBillDate"),     QStringLiteral("@szSummary"),
                 QStringLiteral("@szKtypeID2"),     QStringLiteral("@Custom4"),
                 QStringLiteral("@szDtypeID"),      QStringLiteral("@Custom5"),
                 QStringLiteral("@szParID"),        QStringLiteral("@Custom6"),
                 QStringLiteral("@OperatorID"),     QStringLiteral("@Custom7"),
                 QStringLiteral("@Custom8"),        QStringLiteral("@mUserCode"),
                 QStringLiteral("@mFullName")},
                {b.value(2),
                 b.value(5),
                 b.value(6),
                 b.value(20),
                 b.value(21),
                 b.value(7),
                 b.value(8),
                 b.value(10),
                 b.value(9),
                 b.value(11),
                 ParseDate(b.value(12)),
                 b.value(13),
                 b.value(14),
                 b.value(15),
                 b.value(18),
                 b.value(19),
                 b.value(17),
                 b.value(16),
                 operatorId,
                 b.value(24),
                 b.value(25),
                 b.value(22),
                 b.value(23)},
                &out);
            if (id <= 0)
                Fail(out.ParamByName(QStringLiteral("@ErrMsg")).toString());
            for (++i; i < rows.size() && !IsBillLine(rows[i]); ++i) {
                const QStringList &d = rows[i];
                line = lineNumbers.value(i);
                TParamList lineOut;
                const int r = Udlldbservice::ExecuteProcByName(
                    QStringLiteral("p_jxc_importbakDly"),
                    {QStringLiteral("@Vchcode"),        QStringLiteral("@sVchtype"),
                     QStringLiteral("@szUserCode"),     QStringLiteral("@szFullName"),
                     QStringLiteral("@szATypeID"),      QStringLiteral("@Custom1"),
                     QStringLiteral("@dQty"),           QStringLiteral("@dPrice"),
                     QStringLiteral("@dTotal"),         QStringLiteral("@Custom2"),
                     QStringLiteral("@Custom3"),        QStringLiteral("@Custom4"),
                     QStringLiteral("@Custom5"),        QStringLiteral("@Custom6"),
                     QStringLiteral("@Custom7"),        QStringLiteral("@szComment"),
                     QStringLiteral("@szProDate"),      QStringLiteral("@szBlockno"),
                     QStringLiteral("@Custom8"),        QStringLiteral("@szCustom1Code"),
                     QStringLiteral("@szCustom1Name"),  QStringLiteral("@szCustom2Code"),
                     QStringLiteral("@szCustom2Name"),  QStringLiteral("@szCustom3Code"),
                     QStringLiteral("@szCustom3Name"),  QStringLiteral("@szCustom4Code"),
                     QStringLiteral("@szCustom4Name"),  QStringLiteral("@szKTypeCode"),
                     QStringLiteral("@szKTypeName"),    QStringLiteral("@QtyOther"),
                     QStringLiteral("@BtypeOtherCode"), QStringLiteral("@DetailSign")},
                    {id,
                     b.value(2),
                     d.value(3),
                     d.value(4),
                     d.value(4),
                     d.value(4),
                     Number(d, 5),
                     Number(d, 6),
                     Number(d, 7),
                     Number(d, 8),
                     Number(d, 9),
                     Number(d, 10),
                     Number(d, 11),
                     Number(d, 12),
                     Number(d, 13),
                     d.value(14),
                     d.value(15),
                     d.value(16),
                     d.value(17),
                     d.value(18),
                     d.value(19),
                     d.value(20),
                     d.value(21),
                     d.value(22),
                     d.value(23),
                     d.value(24),
                     d.value(25),
                     d.value(26),
                     d.value(27),
                     Number(d, 28),
                     source(d.value(29)),
                     int(Number(d, 30))},
                    &lineOut);
                if (r < 0)
                    Fail(lineOut.ParamByName(QStringLiteral("@ErrMsg")).toString());
            }
            TParamList postOut;
            const int posted = Udlldbservice::ExecuteProcByName(
                QStringLiteral("p_jxc_importPostBill"),
                {QStringLiteral("@Vchcode"), QStringLiteral("@OperatorID"), QStringLiteral("@OperatorName")},
                {id, operatorId, Udllsystemintf::GetCurrentOperatorName()}, &postOut);
            line = billLine;
            if (posted < 0)
                Fail(postOut.ParamByName(QStringLiteral("@ErrMsg")).toString());
            written.insert(b.value(11), postOut.ParamByName(QStringLiteral("@nVchcode")).toLongLong());
            ++result.Count;
            result.Waiting += posted == 1 ? 1 : 0;
        }
        transaction.Commit();
    } catch (const TLineFailure &e) {
        result = {0, 0, QStringLiteral("第%1行：%2").arg(line).arg(e.Message)};
    } catch (const EDatabaseError &e) {
        result = {0, 0, QStringLiteral("第%1行：%2").arg(line).arg(e.Message())};
    }
    return result;
}

QString DoneText(int count)
{
    return QStringLiteral("数据写入完成，有%1条记录引入。").arg(count);
}

} // namespace uImportBillDataCore
