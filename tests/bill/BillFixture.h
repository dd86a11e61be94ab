#pragma once
// Base data of the bill tests: goods G1 and G2 under one class, warehouses W1 and W2, partner B1,
// employee E1, 100 of G1 at 2.00 as opening stock in W1, the account set opened.

#include <QDate>

#include "AccountDatabase.h"

namespace billfixture {

inline const QString G1 = QStringLiteral("0000100001");
inline const QString G2 = QStringLiteral("0000100002");
inline const QString W1 = QStringLiteral("00001");
inline const QString W2 = QStringLiteral("00002");

// A date in the first open period.
inline QString Seed(accountdb::AccountDatabase &db)
{
    const int year =
        db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'CurrentYear'"))
            .toInt();
    db.execBatch(QStringLiteral(
                     "INSERT INTO ptype (typeId, Sonnum) VALUES ('00001', 2);"
                     "INSERT INTO ptype (typeId, ParId, UserCode, FullName, Unit1) VALUES (?, '00001', 'G1', "
                     "'铝板', '张');"
                     "INSERT INTO ptype (typeId, ParId, UserCode, FullName, Unit1) VALUES (?, '00001', 'G2', "
                     "'铜管', '根');"
                     "INSERT INTO stock (typeId, UserCode, FullName) VALUES (?, 'W1', '总仓');"
                     "INSERT INTO stock (typeId, UserCode, FullName) VALUES (?, 'W2', '分仓');"
                     "INSERT INTO btype (typeId, UserCode, FullName) VALUES ('00001', 'B1', '甲公司');"
                     "INSERT INTO Employee (TypeId, UserCode, FullName) VALUES ('E1', 'E1', '张三')"),
                 {G1, G2, W1, W2});
    accountdb::ProcParams p{
        {QStringLiteral("@nVchType"), 201},
        {QStringLiteral("@szDate"), QDate(year, 1, 1).toString(QStringLiteral("yyyy-MM-dd"))},
        {QStringLiteral("@szKTypeID"), W1},
        {QStringLiteral("@szXML"),
         QStringLiteral("<Root><Record PtypeID=\"%1\" Qty=\"100\" Price=\"2\"/></Root>").arg(G1)}};
    db.callProc(QStringLiteral("P_Jxc_PostBill"), p);
    db.exec(QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = '1' WHERE SubName = 'iniover'"));
    return QDate(year, 1, 20).toString(QStringLiteral("yyyy-MM-dd"));
}

} // namespace billfixture
