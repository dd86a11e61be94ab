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

    // An empty code is allowed where the bill need not name that base datum; the code is field
    // codeField of the row, its name the field after or before it.
    void Check(TRowCheck &row, const QString &mode, const QString &what, const QStringList &r, int codeField,
               int nameField, bool required = false)
    {
        const QString code = r.value(codeField);
        if (code.isEmpty() && !required)
            return;
        if (!code.isEmpty() && Exists(mode, code))
            return;
        row.Problems << QStringLiteral("%1不存在：%2 %3").arg(what, code, r.value(nameField)).trimmed();
        row.BadFields << codeField;
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

// Runs an import procedure; a negative result fails the line with the procedure's message.
int Call(const QString &procedure, const QList<std::pair<const char *, QVariant>> &params, TParamList &out)
{
    QStringList names;
    QVariantList values;
    for (const auto &[name, value] : params) {
        names << QString::fromLatin1(name);
        values << value;
    }
    const int result = Udlldbservice::ExecuteProcByName(procedure, names, values, &out);
    if (result < 0)
        Fail(out.ParamByName(QStringLiteral("@ErrMsg")).toString());
    return result;
}

// The head of a bill line as a draft; its code.
int WriteHead(const QStringList &b, const QString &operatorId)
{
    TParamList out;
    const int draft = Call(QStringLiteral("p_jxc_importDlyndx"),
                           {{"@Vchtype", b.value(2)},
                            {"@szBTypeID", b.value(5)},
                            {"@Custom1", b.value(6)},
                            {"@BtypeUserCode2", b.value(20)},
                            {"@BtypeFullName2", b.value(21)},
                            {"@szEtypeID", b.value(7)},
                            {"@Custom2", b.value(8)},
                            {"@szKtypeID", b.value(10)},
                            {"@Custom3", b.value(9)},
                            {"@szBillNumber", b.value(11)},
                            {"@szBillDate", ParseDate(b.value(12))},
                            {"@szSummary", b.value(13)},
                            {"@szKtypeID2", b.value(14)},
                            {"@Custom4", b.value(15)},
                            {"@szDtypeID", b.value(18)},
                            {"@Custom5", b.value(19)},
                            {"@szParID", b.value(17)},
                            {"@Custom6", b.value(16)},
                            {"@OperatorID", operatorId},
                            {"@Custom7", b.value(24)},
                            {"@Custom8", b.value(25)},
                            {"@mUserCode", b.value(22)},
                            {"@mFullName", b.value(23)}},
                           out);
    if (draft <= 0)
        Fail(out.ParamByName(QStringLiteral("@ErrMsg")).toString());
    return draft;
}

// One detail line added to the draft; source is the line it takes its cost from ("<code>/<row>").
void WriteLine(int draft, const QString &typeName, const QStringList &d, const QString &source)
{
    TParamList out;
    Call(QStringLiteral("p_jxc_importbakDly"),
         {{"@Vchcode", draft},
          {"@sVchtype", typeName},
          {"@szUserCode", d.value(3)},
          {"@szFullName", d.value(4)},
          {"@szATypeID", d.value(4)},
          {"@Custom1", d.value(4)},
          {"@dQty", Number(d, 5)},
          {"@dPrice", Number(d, 6)},
          {"@dTotal", Number(d, 7)},
          {"@Custom2", Number(d, 8)},
          {"@Custom3", Number(d, 9)},
          {"@Custom4", Number(d, 10)},
          {"@Custom5", Number(d, 11)},
          {"@Custom6", Number(d, 12)},
          {"@Custom7", Number(d, 13)},
          {"@szComment", d.value(14)},
          {"@szProDate", d.value(15)},
          {"@szBlockno", d.value(16)},
          {"@Custom8", d.value(17)},
          {"@szCustom1Code", d.value(18)},
          {"@szCustom1Name", d.value(19)},
          {"@szCustom2Code", d.value(20)},
          {"@szCustom2Name", d.value(21)},
          {"@szCustom3Code", d.value(22)},
          {"@szCustom3Name", d.value(23)},
          {"@szCustom4Code", d.value(24)},
          {"@szCustom4Name", d.value(25)},
          {"@szKTypeCode", d.value(26)},
          {"@szKTypeName", d.value(27)},
          {"@QtyOther", Number(d, 28)},
          {"@BtypeOtherCode", source},
          {"@DetailSign", int(Number(d, 30))}},
         out);
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

QList<TRowCheck> CheckRows(const QList<QStringList> &rows, const TProgress &progress)
{
    TChecker checker;
    QList<TRowCheck> checks;
    for (const QStringList &r : rows) {
        TRowCheck c;
        bool converted = true; // a date or number that cannot be read: the file itself is damaged
        if (IsBillLine(r)) {
            if (!checker.Exists(QStringLiteral("V"), r.value(2))) {
                c.Problems << QStringLiteral("单据类型不存在：") + r.value(2);
                c.BadFields << 2;
            }
            checker.Check(c, QStringLiteral("B"), QStringLiteral("单位"), r, 5, 6);
            checker.Check(c, QStringLiteral("E"), QStringLiteral("经办人"), r, 7, 8);
            checker.Check(c, QStringLiteral("K"), QStringLiteral("仓库"), r, 10, 9);
            checker.Check(c, QStringLiteral("K"), QStringLiteral("仓库"), r, 14, 15);
            checker.Check(c, QStringLiteral("D"), QStringLiteral("部门"), r, 18, 19);
            checker.Check(c, QStringLiteral("B"), QStringLiteral("结算单位"), r, 20, 21);
            if (ParseDate(r.value(12)).isEmpty()) {
                converted = false;
                c.BadFields << 12;
            }
        } else {
            checker.Check(c, QStringLiteral("P"), QStringLiteral("存货"), r, 3, 4, true);
            checker.Check(c, QStringLiteral("K"), QStringLiteral("仓库"), r, 26, 27);
            for (const int f : kNumberFields) {
                bool ok = true;
                if (!r.value(f).isEmpty())
                    r.value(f).toDouble(&ok);
                if (!ok) {
                    converted = false;
                    c.BadFields << f;
                }
            }
            if (!c.BadFields.contains(5) && !(Number(r, 5) > 0)) {
                c.Problems << QStringLiteral("数量必须大于零：") + r.value(3);
                c.BadFields << 5;
            }
        }
        if (!converted)
            c.Problems.prepend(kConvertError);
        c.Result = !converted ? kConvertError : (c.Problems.isEmpty() ? kPassed : kIllegal);
        checks << c;
        if (progress)
            progress(int(checks.size()));
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

TImportResult ImportRows(const QList<QStringList> &rows, const QList<int> &lineNumbers,
                         const TProgress &progress)
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
            const int draft = WriteHead(b, operatorId);
            for (++i; i < rows.size() && !IsBillLine(rows[i]); ++i) {
                line = lineNumbers.value(i);
                WriteLine(draft, b.value(2), rows[i], source(rows[i].value(29)));
            }
            line = billLine;
            TParamList out;
            const int posted = Call(QStringLiteral("p_jxc_importPostBill"),
                                    {{"@Vchcode", draft},
                                     {"@OperatorID", operatorId},
                                     {"@OperatorName", Udllsystemintf::GetCurrentOperatorName()}},
                                    out);
            written.insert(b.value(11), out.ParamByName(QStringLiteral("@nVchcode")).toLongLong());
            ++result.Count;
            result.Waiting += posted == 1 ? 1 : 0;
            if (progress)
                progress(i);
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
