#include "uExportToJSCore.h"

#include <QDateTime>
#include <QStringEncoder>
#include <cmath>

#include "ClientDataSet.h"
#include "Kvbasicfun.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"

namespace uExportToJSCore {

namespace {

const QString kSeparator = QStringLiteral("~~");

QByteArray Gbk(const QString &text)
{
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

// Fields joined by "~~" (none after the last), as one GBK line with CR LF.
QByteArray Line(const QStringList &fields)
{
    return Gbk(fields.join(kSeparator) + QStringLiteral("\r\n"));
}

QString Text(TClientDataSet &ds, const char *field)
{
    return ds.Value(QString::fromLatin1(field)).toString().trimmed();
}

QString Fixed(double value, int places)
{
    return Kvbasicfun::FloatToStringBit(value, places);
}

QString SysDataCw(const QString &where)
{
    return Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE ") +
                                          where)
        .toString()
        .trimmed();
}

// The head and goods lines of one bill; empty with the reason shown when the bill fails.
QByteArray BillLines(const TBillRef &bill)
{
    const auto fail = [](const QString &text) {
        Udllmessageintf::ShowWarningMsg(text);
        return QByteArray();
    };
    TClientDataSet ndx;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT BtypeId, EtypeId, Number, RedWord, Draft, Date, Summary, InputNo "
                       "FROM DlyNdx WHERE Vchcode = ?"),
        {bill.Vchcode}, ndx);
    if (ndx.IsEmpty())
        return fail(QStringLiteral("单据[%1]已经被删除，请刷新界面重新操作。").arg(bill.Number));
    if (ndx.Value(QStringLiteral("Draft")).toInt() != 2)
        return fail(QStringLiteral("单据[%1]已经被删除或反审核，请刷新界面重新操作。").arg(bill.Number));
    const QString number = Text(ndx, "Number");
    if (number.isEmpty())
        return fail(QStringLiteral("单据编号不能为空。"));
    TClientDataSet unit;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT FullName, TAXNUMBER, TELANDADDRESS, BANKANDACOUNT, COMMENT, Area, "
                       "BANKACOUNT FROM btype WHERE typeId = ?"),
        {ndx.Value(QStringLiteral("BtypeId"))}, unit);
    if (Text(unit, "TAXNUMBER").isEmpty())
        return fail(QStringLiteral("错误原因：购货单位的税号不能为空。"));
    if (Text(unit, "TELANDADDRESS").isEmpty())
        return fail(QStringLiteral("错误原因：购货单位的地址、电话不能同时为空。"));
    const QString bank = (Text(unit, "BANKANDACOUNT") + u' ' + Text(unit, "BANKACOUNT")).trimmed();
    if (bank.isEmpty())
        return fail(QStringLiteral("错误原因：购货单位的开户银行及账号不能为空。"));

    TClientDataSet rows;
    Udlldbservice::OpenProcByName(QStringLiteral("p_jxc_LoadDlyForJS"),
                                  {QStringLiteral("@Custom1"), QStringLiteral("@Vchcode")},
                                  {QStringLiteral("dly"), bill.Vchcode}, rows);
    QByteArray goods;
    QStringList names;
    int count = 0;
    for (rows.First(); !rows.Eof(); rows.Next()) {
        if (Text(rows, "PTYPEID").isEmpty())
            continue;
        const double tax = rows.Value(QStringLiteral("TAX")).toDouble();
        if (!TaxRateAllowed(tax))
            return fail(QStringLiteral("存货的税率不合法，只能是0.17、0.13、0.06、0.04或0.03。"));
        const double total = rows.Value(QStringLiteral("TOTAL")).toDouble();
        const double discountTotal = rows.Value(QStringLiteral("DISCOUNTTOTAL")).toDouble();
        const double taxTotal = rows.Value(QStringLiteral("TAXTOTAL")).toDouble();
        names << Text(rows, "PFULLNAME");
        goods += Line(
            {CutGbk(Text(rows, "PFULLNAME"), 60), CutGbk(Text(rows, "UNIT"), 16),
             CutGbk(Text(rows, "STANDARD"), 30), Fixed(rows.Value(QStringLiteral("QTY")).toDouble(), 6),
             Fixed(total, 2), Fixed(tax / 100.0, 2), QString(), Fixed(discountTotal, 2), Fixed(taxTotal, 2),
             Fixed(discountTotal + taxTotal, 2), Fixed(rows.Value(QStringLiteral("DISCOUNT")).toDouble(), 3),
             Kvbasicfun::DoubleToString(rows.Value(QStringLiteral("PRICE")).toDouble()),
             QStringLiteral("0")});
        ++count;
    }
    const QString etype =
        Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT FullName FROM Employee WHERE TypeId = ?"),
                                       {ndx.Value(QStringLiteral("EtypeId"))})
            .toString();
    const QString ownAddress = (SysDataCw(QStringLiteral("SubName = 'address'")) + u' ' +
                                SysDataCw(QStringLiteral("SubName = 'tel'")))
                                   .trimmed();
    const QByteArray head =
        Line({CutGbk(number, 20), CutGbk(QString::number(count), 4), CutGbk(Text(unit, "FullName"), 100),
              CutGbk(Text(unit, "TAXNUMBER"), 100), CutGbk(Text(unit, "TELANDADDRESS"), 80), CutGbk(bank, 80),
              CutGbk(Text(ndx, "Summary"), 160), CutGbk(Text(ndx, "InputNo"), 8), CutGbk(etype, 8),
              CutGbk(names.join(u','), 60), CutGbk(Text(ndx, "Date"), 10),
              CutGbk(SysDataCw(QStringLiteral("SubNo = 16")), 80), CutGbk(ownAddress, 80)});
    return Line({QStringLiteral("//单据:")}) + head + goods;
}

} // namespace

QString CutGbk(const QString &text, int maxBytes)
{
    QStringEncoder gbk("GBK");
    int bytes = 0;
    qsizetype end = 0;
    while (end < text.size()) {
        const qsizetype next = end + (text.at(end).isHighSurrogate() && end + 1 < text.size() ? 2 : 1);
        const int width = int(QByteArray(gbk.encode(text.mid(end, next - end))).size());
        if (bytes + width > maxBytes)
            break;
        bytes += width;
        end = next;
    }
    return text.left(end);
}

bool TaxRateAllowed(double ratePercent)
{
    for (const double allowed : {17.0, 13.0, 6.0, 4.0, 3.0}) {
        if (std::fabs(ratePercent - allowed) < 0.00001)
            return true;
    }
    return false;
}

TExportResult BuildFile(const QList<TBillRef> &bills)
{
    TExportResult result;
    result.Bytes = Line({kFileHead});
    for (const TBillRef &bill : bills) {
        if (bill.Vchtype != 11) {
            if (!Udllmessageintf::ConfirmOKCancel(
                    QStringLiteral("单据：%1不是销售单,无法导出。按确定将继续，取消将退出。")
                        .arg(bill.Number))) {
                result.Cancelled = true;
                break;
            }
            continue;
        }
        const QByteArray lines = BillLines(bill);
        if (!lines.isEmpty()) {
            result.Bytes += lines;
            ++result.Count;
            continue;
        }
        const QString failed = QStringLiteral("单据：%1导出错误，错误原因如前所示。").arg(bill.Number);
        if (bills.size() == 1) {
            Udllmessageintf::ShowWarningMsg(failed);
        } else if (!Udllmessageintf::ConfirmOKCancel(failed + QStringLiteral("按确定将继续，取消将退出。"))) {
            result.Cancelled = true;
            break;
        }
    }
    return result;
}

QString FileName(const QString &folder)
{
    return folder + QStringLiteral("/bill") +
           QDateTime::currentDateTime().toString(QStringLiteral("yyyyMMdd_HHmmsszzz")) +
           QStringLiteral(".txt");
}

QString DoneText(int count, const QString &fileName)
{
    return count > 0 ? QStringLiteral("成功导出%1张单据，文件名称：%2").arg(count).arg(fileName)
                     : QStringLiteral("未能成功导出一张单据，请检查数据。");
}

} // namespace uExportToJSCore
