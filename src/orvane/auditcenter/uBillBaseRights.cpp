#include "uBillBaseRights.h"

#include <QList>
#include <QSet>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"

namespace uBillBaseRights {

namespace {

// One test: does a column of a table of the bill hold a record of the kind the operator may not use?
struct TTest
{
    QChar Kind; // B K D P A
    QString Table;
    QString Column;
    bool ByVchType = false; // the table is shared by several bill types
};

const QSet<int> kWarehouseTypes = {6,   9,   11,  14,  16,  21,  25,  30,  34,  45,  46,
                                   47,  48,  57,  140, 141, 150, 151, 161, 172, 173, 174,
                                   182, 183, 184, 189, 201, 202, 204, 212, 213, 214};
const QSet<int> kGoodsTypes = {6,   9,   11,  14,  16,  21,  25,  26,  30,  32,  34,  45,
                               46,  47,  48,  50,  57,  140, 141, 142, 143, 146, 147, 150,
                               151, 161, 172, 173, 182, 183, 201, 202, 203, 206, 207};
const QSet<int> kDepartmentTypes = {4,   6,   9,   11,  14,  16,  19,  21,  25,  26,  30,  32,  34, 36,  37,
                                    38,  45,  46,  47,  48,  50,  57,  66,  77,  81,  82,  83,  93, 140, 141,
                                    142, 143, 144, 145, 146, 147, 150, 151, 161, 201, 202, 203, 204};
const QSet<int> kAccountTypes = {36, 77, 93, 144, 145};

QString IndexTable(int vchType)
{
    return vchType == 201 ? QStringLiteral("DlyNdxIni") : QStringLiteral("DlyNdx");
}

// The line table of a posted bill for the warehouse test; empty when the index row is all there is.
QString WarehouseLines(int vchType)
{
    switch (vchType) {
    case 6:
    case 34:
    case 161:
        return QStringLiteral("DlyBuy");
    case 11:
    case 45:
        return QStringLiteral("DlySale");
    case 16:
    case 57:
    case 140:
    case 141:
    case 172:
    case 173:
    case 182:
    case 183:
    case 212:
    case 213:
        return QStringLiteral("DlyOther");
    case 201:
        return QStringLiteral("DlyIni");
    default:
        return {};
    }
}

QString GoodsLines(int vchType)
{
    switch (vchType) {
    case 6:
    case 34:
    case 161:
        return QStringLiteral("DlyBuy");
    case 11:
    case 26:
    case 45:
        return QStringLiteral("DlySale");
    case 201:
        return QStringLiteral("DlyIni");
    case 203:
        return QStringLiteral("DlyIniCom");
    case 206:
        return QStringLiteral("DlyIniProduce");
    case 207:
        return QStringLiteral("DlyIniConsign");
    default:
        return QStringLiteral("DlyOther");
    }
}

// The tests of a bill, in order. Bills kept in tables this account set does not have (orders,
// inquiries, stock-taking, the cash and opening-balance books) cannot occur and are not tested.
QList<TTest> Tests(int vchType, bool unposted)
{
    QList<TTest> tests;
    const QString ndx = IndexTable(vchType);
    // Lines of a bill that is not posted (a draft or a bill waiting for audit) are in BakDly, which
    // holds the lines of every bill type.
    const auto lines = [unposted](QChar kind, const QString &table, const QString &column, bool byType) {
        return unposted ? TTest{kind, QStringLiteral("BakDly"), column, true}
                        : TTest{kind, table, column, byType};
    };
    if (ndx == u"DlyNdx") {
        tests << TTest{u'B', ndx, QStringLiteral("BtypeId")};
        if (vchType == 83)
            tests << TTest{u'B', ndx, QStringLiteral("BtypeId2")};
    }
    if (kWarehouseTypes.contains(vchType)) {
        if (vchType != 21 && vchType != 48 && vchType != 57)
            tests << TTest{u'K', ndx, QStringLiteral("KtypeId")};
        if (vchType == 16 || vchType == 21 || vchType == 48)
            tests << TTest{u'K', ndx, QStringLiteral("KTypeID2")};
        const QString table = WarehouseLines(vchType);
        if (vchType == 57)
            tests << TTest{u'K', table, QStringLiteral("KtypeId"), true};
        else if (!table.isEmpty())
            tests << lines(u'K', table, QStringLiteral("KtypeId"), vchType == 201);
    }
    if (kDepartmentTypes.contains(vchType) && ndx == u"DlyNdx") {
        tests << TTest{u'D', ndx, QStringLiteral("ProjectId")} << TTest{u'D', ndx, QStringLiteral("DtypeId")};
    }
    if (kGoodsTypes.contains(vchType)) {
        tests << lines(u'P', GoodsLines(vchType), QStringLiteral("PtypeId"), false);
    }
    if (kAccountTypes.contains(vchType) && !unposted)
        tests << TTest{u'A', QStringLiteral("dlya"), QStringLiteral("AtypeId"), true};
    return tests;
}

QString ViewOf(QChar kind)
{
    return QStringLiteral("V_UserNot%1rights").arg(kind);
}

} // namespace

bool CheckBillBaseRights(int vchType, int vchCode, bool showMessage)
{
    if (Udllsystemintf::GetCurrIsManager())
        return true;
    const QString ndx = IndexTable(vchType);
    const QVariant draft = Udlldbservice::GetValueFromSQL(
        QStringLiteral("SELECT Draft FROM %1 WHERE Vchcode = ?").arg(ndx), {vchCode});
    if (!draft.isValid() || draft.isNull())
        return true; // no such bill: nothing on it to refuse
    const QString op = Udllsystemintf::GetCurrentOperatorId();
    const bool unposted = draft.toInt() == 1 || draft.toInt() == 4;
    for (const TTest &t : Tests(vchType, unposted)) {
        QString sql =
            QStringLiteral("SELECT count(1) FROM %1 d WHERE d.Vchcode = ? AND d.%2 IN (SELECT TypeId FROM %3 "
                           "WHERE EtypeID = ?)")
                .arg(t.Table, t.Column, ViewOf(t.Kind));
        QVariantList params{vchCode, op};
        if (t.ByVchType) {
            sql += QStringLiteral(" AND d.Vchtype = ?");
            params << vchType;
        }
        if (Udlldbservice::GetValueFromSQL(sql, params).toInt() > 0) {
            if (showMessage)
                Udllmessageintf::ShowWarningMsg(RefusedText);
            return false;
        }
    }
    return true;
}

} // namespace uBillBaseRights
