// Area "bills": bill types and plug-in bill types.
//
// T_GBL_Vchtype        one row per bill type: name, number prefix (NumberHead), number pattern
//                      (SNFormat: ten pattern parts joined by a carriage return), counter (SNMax)
//                      and the right that guards it (FunctionNo, a row of T_Gbl_FunctionList).
// T_Inf_PlugIn_Vchtype bill types that plug-ins add, per main version.
// A bill type above 10000 is a variant of base type Vchtype / 10000.

#include "AccountDatabase.h"
#include "Schema.h"

namespace accountdb::schema {

namespace {

const char *const kDdl = R"SQL(
CREATE TABLE T_GBL_Vchtype (
  Vchtype INTEGER PRIMARY KEY,
  Name TEXT NOT NULL,
  NumberHead TEXT NOT NULL DEFAULT '',
  SNFormat TEXT NOT NULL DEFAULT '',
  SNMax INTEGER NOT NULL DEFAULT 0,
  FunctionNo INTEGER NOT NULL DEFAULT 0,
  Visible INTEGER NOT NULL DEFAULT 1
);
CREATE TABLE T_Inf_PlugIn_Vchtype (
  MainVersion TEXT NOT NULL,
  Vchtype INTEGER NOT NULL,
  Name TEXT NOT NULL DEFAULT '',
  NumberHead TEXT NOT NULL DEFAULT '',
  SNFormat TEXT NOT NULL DEFAULT '',
  SNMax INTEGER NOT NULL DEFAULT 0,
  FunctionNo INTEGER NOT NULL DEFAULT 0,
  PRIMARY KEY (MainVersion, Vchtype)
);
)SQL";

// Bill type, name, number prefix. The right of a bill type is function number 2000 + type.
const QList<QVariantList> &billTypes()
{
    static const QList<QVariantList> rows = {
        {6, QStringLiteral("进货退货单"), QStringLiteral("JT")},
        {9, QStringLiteral("报损单"), QStringLiteral("BS")},
        {11, QStringLiteral("销售单"), QStringLiteral("XS")},
        {14, QStringLiteral("报溢单"), QStringLiteral("BY")},
        {16, QStringLiteral("组装与拆分单"), QStringLiteral("ZC")},
        {21, QStringLiteral("差异调拨单"), QStringLiteral("CD")},
        {25, QStringLiteral("委托发货单"), QStringLiteral("WF")},
        {26, QStringLiteral("委托结算单"), QStringLiteral("WJ")},
        {30, QStringLiteral("委托退货单"), QStringLiteral("WT")},
        {34, QStringLiteral("进货单"), QStringLiteral("JH")},
        {45, QStringLiteral("销售退货单"), QStringLiteral("XT")},
        {57, QStringLiteral("成本调价单"), QStringLiteral("TJ")},
        {140, QStringLiteral("其他入库单"), QStringLiteral("QR")},
        {141, QStringLiteral("其他出库单"), QStringLiteral("QC")},
        {172, QStringLiteral("领料单"), QStringLiteral("LL")},
        {173, QStringLiteral("退料单"), QStringLiteral("TL")},
        {174, QStringLiteral("完工验收单"), QStringLiteral("WG")},
        {176, QStringLiteral("生产报损单"), QStringLiteral("SB")},
        {182, QStringLiteral("委外发料单"), QStringLiteral("WWF")},
        {183, QStringLiteral("委外退料单"), QStringLiteral("WWT")},
        {184, QStringLiteral("委外完工验收单"), QStringLiteral("WWY")},
        {189, QStringLiteral("委外退回单"), QStringLiteral("WWH")},
        {212, QStringLiteral("简单委外发料单"), QStringLiteral("JWF")},
        {213, QStringLiteral("简单委外退料单"), QStringLiteral("JWT")},
        {214, QStringLiteral("简单委外完工验收单"), QStringLiteral("JWY")},
    };
    return rows;
}

// Style one of the numbering window: prefix-yyyy-mm-dd-00001.
const QString kDefaultSnFormat =
    QStringLiteral("单据前缀\r-\ryyyy\r-\rmm\r-\rdd\r-\r[00000]\r");

} // namespace

void createBills(AccountDatabase &db)
{
    db.execBatch(QString::fromUtf8(kDdl));
    QList<QVariantList> types;
    QList<QVariantList> rights;
    for (const QVariantList &b : billTypes()) {
        const int functionNo = 2000 + b[0].toInt();
        types.append({b[0], b[1], b[2], kDefaultSnFormat, functionNo});
        rights.append({functionNo, b[1], b[0]});
    }
    seedRows(db,
             QStringLiteral("INSERT INTO T_GBL_Vchtype (Vchtype, Name, NumberHead, SNFormat, FunctionNo) "
                            "VALUES (?, ?, ?, ?, ?)"),
             types);
    seedRows(db,
             QStringLiteral("INSERT INTO T_Gbl_FunctionList (FunctionNo, Caption, VchType) VALUES (?, ?, ?)"),
             rights);
}

} // namespace accountdb::schema
