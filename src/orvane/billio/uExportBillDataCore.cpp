#include "uExportBillDataCore.h"

#include <QFile>
#include <QFileInfo>

#include "BillFile.h"
#include "Kvbasicfun.h"
#include "ParamList.h"
#include "Udlldbservice.h"
#include "Udllsystemintf.h"
#include "uOrvaneCommon.h"

namespace uExportBillDataCore {

namespace {

// Numbers are written in their shortest form, texts trimmed.
QString Text(const QVariant &v)
{
    if (v.typeId() == QMetaType::Double)
        return Kvbasicfun::DoubleToString(v.toDouble());
    return v.toString().trimmed();
}

QStringList BillLine(TClientDataSet &list, TClientDataSet &lines, int n, const QString &custom1,
                     const QString &custom2, bool isCmsq)
{
    const auto f = [&](const char *name) { return Text(list.Value(QString::fromLatin1(name))); };
    lines.First();
    const auto d = [&](const char *name) { return Text(lines.Value(QString::fromLatin1(name))); };
    const QString typeName = f("nvchtype");
    // The warehouse gives its name before its code; every other base datum its code first.
    QStringList fields{QString::number(n),
                       QStringLiteral("P"),
                       typeName,
                       custom2,
                       custom1,
                       f("bbtypeid"),
                       f("nbtypeid"),
                       f("betypeid"),
                       f("netypeid"),
                       f("nktypeid"),
                       f("bktypeid"),
                       f("number"),
                       f("date"),
                       BillFile::FreeText(f("summary")),
                       f("bktypeid2"),
                       f("nktypeid2"),
                       d("parnetName"),
                       d("parnetCode"),
                       f("bdeptid"),
                       f("ndeptid"),
                       f("BUserCode2"),
                       f("BFullName2"),
                       f("musercode"),
                       f("mfullname")};
    if (typeName == QStringLiteral("其他出库单"))
        fields << d("Memo") << d("CashOver");
    else if (typeName == QStringLiteral("其他入库单"))
        fields << d("Memo") << QStringLiteral("0");
    else if (isCmsq && (typeName == QStringLiteral("报损单") || typeName == QStringLiteral("报溢单")))
        fields << d("Memo");
    return fields;
}

QStringList DetailLine(TClientDataSet &lines, int n)
{
    QStringList fields{QString::number(n), QStringLiteral("P1"), QString()};
    for (const char *name : {"UserCode",
                             "FullName",
                             "Qty",
                             "price",
                             "total",
                             "discount",
                             "DiscountPrice",
                             "discounttotal",
                             "tax",
                             "TaxPrice",
                             "TaxTotal",
                             "comment",
                             "Prodate",
                             "BlockNo",
                             "GoodsNo",
                             "UserDefined01Code",
                             "UserDefined01Name",
                             "UserDefined02Code",
                             "UserDefined02Name",
                             "UserDefined03Code",
                             "UserDefined03Name",
                             "UserDefined04Code",
                             "UserDefined04Name",
                             "KTypeCode",
                             "KFullName",
                             "QtyOther",
                             "BtypeOtherCode",
                             "DetailSign"}) {
        const QString value = Text(lines.Value(QString::fromLatin1(name)));
        fields << (qstrcmp(name, "comment") == 0 ? BillFile::FreeText(value) : value);
    }
    fields << QStringLiteral(" ");
    return fields;
}

} // namespace

void LoadList(const TExportQuery &q, TClientDataSet &ds)
{
    Udlldbservice::OpenProcByName(
        QStringLiteral("p_jxc_Disp_Export"),
        {QStringLiteral("@szBEGINDate"), QStringLiteral("@szENDDate"), QStringLiteral("@Vchtype"),
         QStringLiteral("@szETypeID"), QStringLiteral("@szSummary"), QStringLiteral("@szBTypeID"),
         QStringLiteral("@szKTypeID"), QStringLiteral("@szDTypeID"), QStringLiteral("@szComment"),
         QStringLiteral("@Draft"), QStringLiteral("@RedOld"), QStringLiteral("@OperatorID")},
        {q.BeginDate, q.EndDate, q.VchtypeName, q.EType, q.Summary, q.BType, q.KType, q.DType, q.Comment,
         q.Draft, q.RedOld, Udllsystemintf::GetCurrentOperatorId()},
        ds);
}

TExportFile BuildFile(TClientDataSet &list, const QList<int> &recNos, bool isCmsq)
{
    TExportFile file;
    file.Bytes = BillFile::HeadLine(isCmsq);
    int n = 1;
    for (const int recNo : recNos) {
        list.SetRecNo(recNo);
        if (list.Value(QStringLiteral("vchcode")).toLongLong() <= 0)
            continue;
        TClientDataSet lines;
        TParamList outputs;
        Udlldbservice::OpenProcByName(
            QStringLiteral("p_jxc_ExportBillData"),
            {QStringLiteral("@vchcode"), QStringLiteral("@draft"), QStringLiteral("@Vchtype"),
             QStringLiteral("@Custom1"), QStringLiteral("@Custom2")},
            {list.Value(QStringLiteral("vchcode")), list.Value(QStringLiteral("draft")),
             list.Value(QStringLiteral("vchtype")), QString(), QString()},
            lines, &outputs);
        if (lines.IsEmpty())
            continue;
        file.Bytes += BillFile::EncodeLine(
            BillLine(list, lines, n, outputs.ParamByName(QStringLiteral("@Custom1")).toString(),
                     outputs.ParamByName(QStringLiteral("@Custom2")).toString(), isCmsq));
        for (lines.First(); !lines.Eof(); lines.Next())
            file.Bytes += BillFile::EncodeLine(DetailLine(lines, n));
        ++n;
    }
    file.Count = n - 1;
    return file;
}

QString WithExtension(const QString &fileName)
{
    return fileName.right(4).toUpper() == QStringLiteral(".TXT") ? fileName
                                                                 : fileName + QStringLiteral(".txt");
}

QString PrepareTarget(const QString &fileName)
{
    const QFileInfo info(fileName);
    if (!info.exists())
        return QString();
    QString reason;
    if (!info.isFile())
        reason = QStringLiteral("文件是系统文件");
    else if (info.isHidden())
        reason = QStringLiteral("文件是隐藏文件");
    if (!reason.isEmpty())
        return QStringLiteral("%1，不能导出业务单据。").arg(reason);
    if (!info.isWritable())
        QFile::setPermissions(fileName, QFile::permissions(fileName) | QFile::WriteOwner);
    return QString();
}

bool WriteFile(const QString &fileName, const QByteArray &bytes, QString &error)
{
    QFile f(fileName);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() || !f.flush()) {
        error = QStringLiteral("不能写入文件：") + fileName;
        return false;
    }
    f.setPermissions(QFile::ReadOwner | QFile::WriteOwner);
    return true;
}

void RecordExport(const QString &fileName, int count)
{
    uOrvaneCommon::WriteSysEvent(QStringLiteral("业务单据导出：%1（%2张单据）").arg(fileName).arg(count));
}

QString SuccessText(int count)
{
    return QStringLiteral("数据导出成功。导出单据数量：%1。").arg(count);
}

} // namespace uExportBillDataCore
