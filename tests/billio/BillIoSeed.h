#pragma once
// Account-set contents shared by the bill exchange tests: base data, two posted bills and their
// exported file.

#include <QDate>
#include <QStringDecoder>
#include <QStringEncoder>
#include <QtTest>

#include "AccountDatabase.h"
#include "ClientDataSet.h"
#include "TestAccountSet.h"
#include "uExportBillDataCore.h"

using accountdb::ProcParams;

inline const QString kGoodsA = QStringLiteral("0000100001");
inline const QString kGoodsB = QStringLiteral("0000100002");
inline int gYear = 0; // the current year of the account set

// One goods class with two goods, a warehouse, a customer, a handler and a department.
inline void SeedBaseData(accountdb::AccountDatabase &db)
{
    gYear = db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'CurrentYear'"))
                .toInt();
    db.execBatch(QStringLiteral(
        "INSERT INTO ptype (typeId, Sonnum, UserCode, FullName) VALUES ('00001', 2, 'C1', '五金类');"
        "INSERT INTO ptype (typeId, ParId, UserCode, FullName) VALUES "
        "('0000100001', '00001', 'A01', '螺丝'), ('0000100002', '00001', 'B01', '垫片');"
        "INSERT INTO stock (typeId, UserCode, FullName) VALUES ('00001', 'K1', '一号库');"
        "INSERT INTO btype (typeId, UserCode, FullName) VALUES ('00001', 'U1', '华东公司');"
        "INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('00001', 'E1', '张三');"
        "INSERT INTO Department (typeId, UserCode, FullName) VALUES ('00001', 'D1', '销售部')"));
}

inline QString Date(int day)
{
    return QDate(gYear, 1, day).toString(QStringLiteral("yyyy-MM-dd"));
}

inline void Post(accountdb::AccountDatabase &db, int vchtype, int day, const QString &number,
                 const QString &summary, const QString &records)
{
    ProcParams p{{QStringLiteral("@nVchType"), vchtype},
                 {QStringLiteral("@szDate"), Date(day)},
                 {QStringLiteral("@szNumber"), number},
                 {QStringLiteral("@szBTypeID"), QStringLiteral("00001")},
                 {QStringLiteral("@szETypeID"), QStringLiteral("00001")},
                 {QStringLiteral("@szKTypeID"), QStringLiteral("00001")},
                 {QStringLiteral("@szKTypeID2"), QString()},
                 {QStringLiteral("@szDTypeID"), QStringLiteral("00001")},
                 {QStringLiteral("@szSummary"), summary},
                 {QStringLiteral("@szOperatorID"), QStringLiteral("00000")},
                 {QStringLiteral("@szXML"), QStringLiteral("<Root>") + records + QStringLiteral("</Root>")}};
    QCOMPARE(db.callProc(QStringLiteral("P_Jxc_PostBill"), p), 0);
}

// A sale of two goods (its summary holds a TAB) and an other issue with a comment on its line.
inline void SeedBills(accountdb::AccountDatabase &db)
{
    Post(db, 11, 20, QStringLiteral("XS-001"), QStringLiteral("月底\t发货"),
         QStringLiteral("<Record PtypeID=\"%1\" Qty=\"2\" Price=\"3.5\"/><Record PtypeID=\"%2\" Qty=\"1\" "
                        "Price=\"10\"/>")
             .arg(kGoodsA, kGoodsB));
    Post(db, 141, 21, QStringLiteral("QC-001"), QString(),
         QStringLiteral("<Record PtypeID=\"%1\" Qty=\"4\" Price=\"2\" Comment=\"样品\"/>").arg(kGoodsA));
}

inline QByteArray ExportAll()
{
    uExportBillDataCore::TExportQuery query;
    query.BeginDate = QStringLiteral("1900-01-01");
    query.EndDate = QStringLiteral("9999-12-31");
    TClientDataSet list;
    uExportBillDataCore::LoadList(query, list);
    QList<int> all;
    for (int i = 1; i <= list.RecordCount(); ++i)
        all << i;
    return uExportBillDataCore::BuildFile(list, all, false).Bytes;
}

inline QByteArray Gbk(const QString &text)
{
    QStringEncoder gbk("GBK");
    return gbk.encode(text);
}

inline QString FromGbk(const QByteArray &bytes)
{
    QStringDecoder gbk("GBK");
    return gbk.decode(bytes);
}

// The file text with the bill numbers (field 11 of the bill lines) left empty.
inline QString WithoutNumbers(const QString &text)
{
    QStringList lines = text.split(QStringLiteral("\r\n"));
    for (QString &line : lines) {
        QStringList fields = line.split(u'\t');
        if (fields.value(1) == QStringLiteral("P")) {
            fields[11].clear();
            line = fields.join(u'\t');
        }
    }
    return lines.join(QStringLiteral("\r\n"));
}

// An exported file of the seeded bills, from an account set of its own.
inline QString SeededFile()
{
    TestAccountSet source;
    SeedBaseData(source.Db());
    SeedBills(source.Db());
    return FromGbk(ExportAll());
}

// A second customer U2 and the operator R1, whose customer rights group holds only U1; the other
// issue QC-001 is moved to U2. R1 may use the bill export.
inline void SeedRestrictedOperator(accountdb::AccountDatabase &db)
{
    db.execBatch(
        QStringLiteral("INSERT INTO btype (typeId, UserCode, FullName) VALUES ('00002', 'U2', '华南公司');"
                       "INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('R1', 'R1', '李四');"
                       "INSERT INTO T_GBL_LoginUser (ETypeId) VALUES ('R1');"
                       "INSERT INTO \"group\" (ID, GroupName) VALUES (9, '导出组');"
                       "INSERT INTO T_Gbl_UserPower (GroupID, LimitNo, LimitPower) VALUES (9, 1311, '1');"
                       "INSERT INTO UserToGroup (UserID, GroupId) VALUES ('R1', 9);"
                       "INSERT INTO CrightGroup (CRightGroup, RightName) VALUES (5, '华东组');"
                       "INSERT INTO T_Cright (CRightGroup, TypeID) VALUES (5, '00001');"
                       "INSERT INTO T_EtypeID_CrightGroup (EtypeID, CRightGroup) VALUES ('R1', 5)"));
    db.exec(QStringLiteral("UPDATE DlyNdx SET BtypeId = '00002' WHERE Number = 'QC-001'"));
}
