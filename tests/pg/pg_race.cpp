// A client of a server account set for the concurrency tests (concurrency.sh): several of them run at
// once against one database.
//
//   pg_race post URI COUNT DATE...   takes a bill number and posts COUNT purchase receipts, dates taken in
//                                    turn from the list; prints "ok VCHCODE NUMBER DATE" and one
//                                    "line GOODS WAREHOUSE QTY" per line of every bill posted, or
//                                    "refused CODE DATE TEXT"
//   pg_race checkout URI SECONDS     the month-end checkout of the inventory period with the goods'
//                                    costs taken as calculated, holding its transaction SECONDS longer;
//                                    prints "closed PERIOD BILLS" (the period's bills it saw at its end)
//   pg_race hold URI JOB             takes the job lock for JOB, prints "held" and keeps it until killed
// Exit code 0 when every step ran (refusals included), 1 on a failure.

#include <QCoreApplication>
#include <QRandomGenerator>
#include <QTextStream>
#include <QThread>
#include <cstdio>

#include "AccountDatabase.h"
#include "JobLock.h"
#include "Transaction.h"

using namespace accountdb;

namespace {

QTextStream out(stdout);

QVariant callOut(AccountDatabase &db, const QString &proc, ProcParams params, const QString &output,
                 int *result)
{
    *result = db.callProc(proc, params);
    for (const ProcParam &p : std::as_const(params)) {
        if (p.name.compare(output, Qt::CaseInsensitive) == 0)
            return p.value;
    }
    return QVariant();
}

int post(AccountDatabase &db, int count, const QStringList &dates)
{
    QStringList goods;
    for (const QVariantList &row :
         db.query(QStringLiteral("SELECT typeId FROM ptype WHERE Sonnum = 0 AND Deleted = 0 ORDER BY typeId "
                                 "LIMIT 6"))
             .rows)
        goods << row[0].toString();
    const QVariant warehouse =
        db.value(QStringLiteral("SELECT min(typeId) FROM stock WHERE Sonnum = 0 AND Deleted = 0"));
    if (goods.isEmpty() || warehouse.isNull()) {
        fprintf(stderr, "pg_race: the account set has no goods or no warehouse\n");
        return 1;
    }
    QRandomGenerator rng(quint32(QCoreApplication::applicationPid()));
    for (int i = 0; i < count; ++i) {
        const QString date = dates[i % dates.size()];
        int result = 0;
        const QString number = callOut(db, QStringLiteral("p_jxc_GetVchNumber"),
                                       {{QStringLiteral("@nWork"), 1},
                                        {QStringLiteral("@nVchType"), 34},
                                        {QStringLiteral("@szDate"), date},
                                        {QStringLiteral("@szNumber"), QString(), true}},
                                       QStringLiteral("@szNumber"), &result)
                                   .toString();
        if (result != 0) {
            fprintf(stderr, "pg_race: no bill number (%d)\n", result);
            return 1;
        }
        QString xml = QStringLiteral("<Root>");
        QStringList lines;
        const int n = rng.bounded(1, 4);
        for (int l = 0; l < n; ++l) {
            const QString ptype = goods[rng.bounded(int(goods.size()))];
            const int qty = rng.bounded(1, 6);
            xml += QStringLiteral("<Record PtypeID=\"%1\" KtypeID=\"%2\" Qty=\"%3\" Price=\"2.5\"/>")
                       .arg(ptype, warehouse.toString())
                       .arg(qty);
            lines << QStringLiteral("line %1 %2 %3").arg(ptype, warehouse.toString()).arg(qty);
        }
        xml += QStringLiteral("</Root>");
        const QVariant vchcode = callOut(db, QStringLiteral("P_Jxc_PostBill"),
                                         {{QStringLiteral("@nVchType"), 34},
                                          {QStringLiteral("@szDate"), date},
                                          {QStringLiteral("@szNumber"), number},
                                          {QStringLiteral("@szKTypeID"), warehouse.toString()},
                                          {QStringLiteral("@szOperatorID"), QStringLiteral("00000")},
                                          {QStringLiteral("@szXML"), xml},
                                          {QStringLiteral("@nVchcode"), 0, true},
                                          {QStringLiteral("@ErrMsg"), QString(), true}},
                                         QStringLiteral("@nVchcode"), &result);
        if (result == 0) {
            out << "ok " << vchcode.toLongLong() << ' ' << number << ' ' << date << '\n';
            for (const QString &line : std::as_const(lines))
                out << line << '\n';
        } else {
            out << "refused " << result << ' ' << date << '\n';
        }
        out.flush();
    }
    return 0;
}

int checkout(AccountDatabase &db, int holdSeconds)
{
    Transaction t(db);
    // The same first statement as the checkout's own: nothing below races with the posters.
    const int period = db.value(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = "
                                               "'JxcPeriod'") +
                                db.dialect().forUpdate())
                           .toString()
                           .toInt();
    // This test is about who waits for whom, not about costs: the goods count as calculated.
    db.exec(QStringLiteral("UPDATE ptype SET CalcCost = 0 WHERE CalcCost = 1"));
    const QString end =
        db.value(QStringLiteral("SELECT EndDate FROM T_Gbl_MonthProc WHERE Period = ?"), {period}).toString();
    ProcParams p{{QStringLiteral("@szEndDate"), end},
                 {QStringLiteral("@szOperator"), QStringLiteral("00000")}};
    const int result = db.callProc(QStringLiteral("P_Jxc_JxcCheckOut"), p);
    if (result != 0) {
        fprintf(stderr, "pg_race: checkout refused (%d)\n", result);
        return 1;
    }
    const qint64 bills =
        db.value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Period = ?"), {period}).toLongLong();
    QThread::sleep(holdSeconds);
    t.commit();
    out << "closed " << period << ' ' << bills << '\n';
    return 0;
}

int hold(AccountDatabase &db, const QString &job)
{
    JobLockGuard lock(db, job, QStringLiteral("00000"), QString());
    out << "held\n";
    out.flush();
    for (;;)
        QThread::sleep(60);
}

} // namespace

int main(int argc, char **argv)
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments().mid(1);
    if (args.size() < 3) {
        fprintf(stderr, "usage: pg_race post URI COUNT DATE... | checkout URI SECONDS | hold URI JOB\n");
        return 2;
    }
    try {
        const std::unique_ptr<AccountDatabase> db = AccountDatabase::open(args[1]);
        if (args[0] == u"post" && args.size() > 3)
            return post(*db, args[2].toInt(), args.mid(3));
        if (args[0] == u"checkout")
            return checkout(*db, args[2].toInt());
        if (args[0] == u"hold")
            return hold(*db, args[2]);
    } catch (const DbError &e) {
        fprintf(stderr, "pg_race: %s\n", qPrintable(e.message()));
        return 1;
    }
    fprintf(stderr, "pg_race: unknown command %s\n", qPrintable(args[0]));
    return 2;
}
