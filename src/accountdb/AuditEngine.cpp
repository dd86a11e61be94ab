#include "AuditEngine.h"

#include <QDateTime>
#include <QSet>
#include <QSqlQuery>
#include <cmath>

#include "AccountDatabase.h"
#include "Kvbasicfun.h"
#include "procs/BillPoster.h"

namespace accountdb::audit {

namespace {

constexpr double kZero = 1e-9;
const QString kCredit = QStringLiteral("客户超额度应收账款");
const QString kOr = QStringLiteral("或者");

// A savepoint of the caller's transaction: released by release(), rolled back otherwise.
class Savepoint
{
public:
    Savepoint(AccountDatabase &db, const QString &name) : m_db(db), m_name(name)
    {
        m_db.exec(QStringLiteral("SAVEPOINT ") + m_name);
    }
    ~Savepoint()
    {
        if (m_open) {
            m_db.exec(QStringLiteral("ROLLBACK TO SAVEPOINT ") + m_name);
            m_db.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_name);
        }
    }
    Savepoint(const Savepoint &) = delete;
    Savepoint &operator=(const Savepoint &) = delete;
    void release()
    {
        m_db.exec(QStringLiteral("RELEASE SAVEPOINT ") + m_name);
        m_open = false;
    }

private:
    AccountDatabase &m_db;
    QString m_name;
    bool m_open = true;
};

struct Level
{
    int level = 0;
    int auditType = 0;
};

QString now()
{
    return QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss"));
}

BillTotals totalsOf(const QList<PostLine> &lines)
{
    BillTotals t;
    for (const PostLine &l : lines) {
        t.qty += Kvbasicfun::Round4(l.qty);
        t.total +=
            l.total != 0 ? Kvbasicfun::Round2(std::fabs(l.total)) : Kvbasicfun::Round2(l.qty * l.price);
    }
    t.qty = Kvbasicfun::Round4(t.qty);
    t.total = Kvbasicfun::Round2(t.total);
    return t;
}

// The levels of the type's flow that apply to a bill with these totals, in order.
QList<Level> applicableLevels(AccountDatabase &db, int vchtype, const BillTotals &totals)
{
    QHash<int, QList<ConditionRow>> conditions;
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT Leveal, factor, lowerLimit, upperLimit, footing "
                               "FROM AuditConditionDetail WHERE VchType = ? ORDER BY Leveal, RowNo"),
                {vchtype});
    while (q.next())
        conditions[q.value(0).toInt()].append(
            {q.value(1).toString(), q.value(2).toDouble(), q.value(3).toDouble(), q.value(4).toString()});
    q = db.exec(QStringLiteral("SELECT Leveal, AuditType FROM AuditDetail WHERE Vchtype = ? AND Deleted = 0 "
                               "ORDER BY Leveal"),
                {vchtype});
    QList<Level> levels;
    while (q.next()) {
        const int level = q.value(0).toInt();
        if (conditionHolds(conditions.value(level), totals))
            levels.append({level, q.value(1).toInt()});
    }
    return levels;
}

// The employees who audit: operators as they are, departments through their responsible employee.
QSet<QString> resolvedAuditors(AccountDatabase &db, const QString &table, int vchtype, int level)
{
    const QString levelFilter = level > 0 ? QStringLiteral(" AND e.Leveal = ?") : QString();
    QVariantList params{vchtype};
    if (level > 0)
        params << level;
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT e.OperatorType, e.EtypeID, coalesce(d.etypeid, '') FROM %1 e "
                               "LEFT JOIN Department d ON d.typeId = e.EtypeID "
                               "WHERE e.Vchtype = ?%2")
                    .arg(table, levelFilter),
                params);
    QSet<QString> ids;
    while (q.next()) {
        const QString id = q.value(0).toInt() == 1 ? q.value(2).toString() : q.value(1).toString();
        if (!id.isEmpty())
            ids.insert(id);
    }
    return ids;
}

void writeHistory(AccountDatabase &db, const BillState &s, int level, const QString &operatorId, int audit,
                  bool special, const QString &opinion)
{
    db.exec(
        QStringLiteral("INSERT INTO T_Audit_History (Vchcode, Vchtype, Round, Leveal, EtypeID, AuditTime, "
                       "Audit, Special, AuditOpinion) VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?)"),
        {s.vchcode, s.vchtype, s.round, level, operatorId, now(), audit, special ? 1 : 0, opinion});
}

PostBill loadWaitingBill(AccountDatabase &db, qint64 vchcode)
{
    PostBill b;
    QSqlQuery q = db.exec(QStringLiteral("SELECT Vchtype, Date, Number, BtypeId, EtypeId, KtypeId, KTypeID2, "
                                         "DtypeId, Summary, InputNo FROM DlyNdx WHERE Vchcode = ?"),
                          {vchcode});
    if (q.next()) {
        b.vchcode = vchcode;
        b.vchtype = q.value(0).toInt();
        b.date = q.value(1).toString();
        b.number = q.value(2).toString();
        b.btypeId = q.value(3).toString();
        b.etypeId = q.value(4).toString();
        b.ktypeId = q.value(5).toString();
        b.ktypeId2 = q.value(6).toString();
        b.dtypeId = q.value(7).toString();
        b.summary = q.value(8).toString();
        b.inputNo = q.value(9).toString();
    }
    q = db.exec(
        QStringLiteral("SELECT PtypeId, KtypeId, BlockNo, Qty, Price, Total, FeeTotal, UsedType, Appoint, "
                       "SourceLine, SourceDlyorder, Comment FROM BakDly WHERE Vchcode = ? ORDER BY RowNo"),
        {vchcode});
    while (q.next()) {
        PostLine l;
        l.ptypeId = q.value(0).toString();
        l.ktypeId = q.value(1).toString();
        l.blockNo = q.value(2).toString();
        l.qty = q.value(3).toDouble();
        l.price = q.value(4).toDouble();
        l.total = q.value(5).toDouble();
        l.feeTotal = q.value(6).toDouble();
        l.usedType = q.value(7).toInt();
        l.appoint = q.value(8).toInt();
        l.sourceLine = q.value(9).toInt();
        l.sourceDlyorder = q.value(10).toLongLong();
        l.comment = q.value(11).toString();
        b.lines.append(l);
    }
    return b;
}

void removeWaitingBill(AccountDatabase &db, qint64 vchcode)
{
    db.exec(QStringLiteral("DELETE FROM BakDly WHERE Vchcode = ?"), {vchcode});
    db.exec(QStringLiteral("DELETE FROM DlyNdx WHERE Vchcode = ? AND Draft = 4"), {vchcode});
}

// Posts the waiting bill under its own code; nothing changes when posting refuses it.
qint64 postWaitingBill(AccountDatabase &db, const PostBill &bill, QString *error)
{
    Savepoint sp(db, QStringLiteral("audit_post"));
    removeWaitingBill(db, bill.vchcode);
    BillPoster poster(db);
    const qint64 code = poster.post(bill);
    if (code < 0) {
        *error = poster.lastError();
        return code;
    }
    poster.flush();
    sp.release();
    return code;
}

void storeWaitingBill(AccountDatabase &db, const PostBill &bill, int period, double total)
{
    db.exec(QStringLiteral(
                "INSERT INTO DlyNdx (Vchcode, Vchtype, Date, Number, Period, BtypeId, EtypeId, KtypeId, "
                "KTypeID2, DtypeId, Summary, Total, Draft, InputNo) "
                "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, 4, ?)"),
            {bill.vchcode, bill.vchtype, bill.date, bill.number, period, bill.btypeId, bill.etypeId,
             bill.ktypeId, bill.ktypeId2, bill.dtypeId, bill.summary, total, bill.inputNo});
    for (int i = 0; i < bill.lines.size(); ++i) {
        const PostLine &l = bill.lines[i];
        db.exec(QStringLiteral(
                    "INSERT INTO BakDly (Vchcode, Vchtype, RowNo, PtypeId, KtypeId, BlockNo, Qty, Price, "
                    "Total, FeeTotal, UsedType, Appoint, SourceLine, SourceDlyorder, Comment) "
                    "VALUES (?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?, ?)"),
                {bill.vchcode, bill.vchtype, i + 1, l.ptypeId, l.ktypeId, l.blockNo, l.qty, l.price, l.total,
                 l.feeTotal, l.usedType, l.appoint, l.sourceLine, l.sourceDlyorder, l.comment});
    }
}

} // namespace

double factorValue(const QString &factor, const BillTotals &totals)
{
    static const QSet<QString> quantities = {QStringLiteral("数量合计"), QStringLiteral("验货量"),
                                             QStringLiteral("合格量")};
    static const QSet<QString> amounts = {
        QStringLiteral("金额合计"),         QStringLiteral("折后金额合计"),
        QStringLiteral("税价合计"),         QStringLiteral("预计金额合计"),
        QStringLiteral("预计结算金额合计"), QStringLiteral("实际结算金额合计"),
        QStringLiteral("调价金额合计"),     QStringLiteral("上表体金额合计"),
        QStringLiteral("本次核销金额合计"), QStringLiteral("借款金额")};
    if (quantities.contains(factor))
        return totals.qty;
    if (amounts.contains(factor))
        return totals.total;
    return factor == QStringLiteral("折扣") ? 1.0 : 0.0;
}

bool conditionHolds(const QList<ConditionRow> &rows, const BillTotals &totals)
{
    bool any = false;      // an "or" group held
    bool group = true;     // the current "and" group holds so far
    bool hasParts = false; // the current group has a part
    QString relation;      // relation of the previous row with a factor
    for (const ConditionRow &r : rows) {
        if (r.factor.isEmpty() || (std::fabs(r.lower) <= kZero && std::fabs(r.upper) <= kZero))
            continue;
        if (hasParts && relation == kOr) {
            any = any || group;
            group = true;
        }
        const double v = factorValue(r.factor, totals);
        bool part =
            (std::fabs(r.lower) <= kZero || v >= r.lower) && (std::fabs(r.upper) <= kZero || v <= r.upper);
        if (r.factor == kCredit)
            part = true; // "… or (客户额度 = 0)": no customer has a credit limit
        group = group && part;
        hasParts = true;
        relation = r.footing;
    }
    return !hasParts || any || group;
}

bool flowEnabled(AccountDatabase &db, int vchtype)
{
    return db.value(QStringLiteral("SELECT IsAudit FROM AuditNdx WHERE Vchtype = ?"), {vchtype}).toInt() == 1;
}

int billsInFlow(AccountDatabase &db, int vchtype)
{
    return db
        .value(QStringLiteral("SELECT count(*) FROM T_Audit_Bill WHERE Vchtype = ? AND State IN (1, 3)"),
               {vchtype})
        .toInt();
}

std::optional<BillState> billState(AccountDatabase &db, qint64 vchcode)
{
    QSqlQuery q =
        db.exec(QStringLiteral("SELECT Vchtype, State, Leveal, AuditCount, AuditedCount, Round, Version, "
                               "Maker, Opinion FROM T_Audit_Bill WHERE Vchcode = ?"),
                {vchcode});
    if (!q.next())
        return std::nullopt;
    return BillState{vchcode,
                     q.value(0).toInt(),
                     q.value(1).toInt(),
                     q.value(2).toInt(),
                     q.value(3).toInt(),
                     q.value(4).toInt(),
                     q.value(5).toInt(),
                     q.value(6).toInt(),
                     q.value(7).toString(),
                     q.value(8).toString()};
}

qint64 submit(AccountDatabase &db, const PostBill &bill, qint64 resubmitVchcode, QString *error)
{
    if (resubmitVchcode > 0) {
        const std::optional<BillState> s = billState(db, resubmitVchcode);
        if (!s || s->state != Returned || s->vchtype != bill.vchtype) {
            *error = QStringLiteral("只有被驳回的单据才能重新提交。");
            return -9;
        }
        if (s->maker != bill.inputNo) {
            *error = QStringLiteral("只有制单人才能重新提交被驳回的单据。");
            return -9;
        }
    }
    // Checked exactly as posting checks it, then undone: the bill waits with the code, number, period
    // and amount posting gives it.
    PostBill waiting = bill;
    waiting.vchcode = resubmitVchcode;
    int period = 0;
    double total = 0;
    {
        Savepoint check(db, QStringLiteral("audit_check"));
        if (resubmitVchcode > 0)
            removeWaitingBill(db, resubmitVchcode);
        BillPoster poster(db);
        const qint64 code = poster.post(waiting);
        if (code < 0) {
            *error = poster.lastError();
            return code;
        }
        QSqlQuery q =
            db.exec(QStringLiteral("SELECT Number, Period, Total FROM DlyNdx WHERE Vchcode = ?"), {code});
        q.next();
        waiting.vchcode = code;
        waiting.number = q.value(0).toString();
        period = q.value(1).toInt();
        total = q.value(2).toDouble();
    }
    if (resubmitVchcode > 0)
        removeWaitingBill(db, resubmitVchcode);

    const BillTotals totals = totalsOf(waiting.lines);
    const QList<Level> levels = applicableLevels(db, waiting.vchtype, totals);
    BillState s;
    s.vchcode = waiting.vchcode;
    s.vchtype = waiting.vchtype;
    s.round =
        db.value(QStringLiteral("SELECT Round FROM T_Audit_Bill WHERE Vchcode = ?"), {s.vchcode}).toInt() + 1;
    if (levels.isEmpty()) {
        const qint64 code = postWaitingBill(db, waiting, error);
        if (code < 0)
            return code;
    } else {
        storeWaitingBill(db, waiting, period, total);
    }
    db.exec(QStringLiteral(
                "INSERT INTO T_Audit_Bill (Vchcode, Vchtype, State, Leveal, AuditCount, AuditedCount, "
                "Round, Version, Maker, Opinion) VALUES (?, ?, ?, ?, ?, 0, ?, 1, ?, '') "
                "ON CONFLICT (Vchcode) DO UPDATE SET State = excluded.State, Leveal = excluded.Leveal, "
                "AuditCount = excluded.AuditCount, AuditedCount = 0, Round = excluded.Round, "
                "Version = T_Audit_Bill.Version + 1, Opinion = ''"),
            {s.vchcode, s.vchtype, levels.isEmpty() ? int(Audited) : int(Waiting),
             levels.isEmpty() ? 0 : levels.first().level, int(levels.size()), s.round, waiting.inputNo});
    writeHistory(db, s, 0, waiting.inputNo, 0, false, QString());
    return s.vchcode;
}

StepResult act(AccountDatabase &db, qint64 vchcode, const QString &operatorId, Action action,
               const QString &opinion, int expectedVersion)
{
    const std::optional<BillState> found = billState(db, vchcode);
    if (!found || found->state != Waiting)
        return {NotInFlow, QStringLiteral("该单据不在审核流程中，不能审核。")};
    const BillState &s = *found;
    const QString changed = QStringLiteral("单据已被其他人审核或修改，请刷新后重新审核。");
    if (expectedVersion > 0 && s.version != expectedVersion)
        return {Changed, changed, s.level};
    const bool levelAuditor =
        resolvedAuditors(db, QStringLiteral("\"AuditDetail-E\""), s.vchtype, s.level).contains(operatorId);
    const bool special =
        resolvedAuditors(db, QStringLiteral("\"AuditNdx-E\""), s.vchtype, 0).contains(operatorId);
    if (!levelAuditor && !special)
        return {NotAuditor, QStringLiteral("您不是该单据第%1级的审核人，不能审核。").arg(s.level), s.level};

    Savepoint step(db, QStringLiteral("audit_step"));
    // The claim: only one auditor moves a bill from a version on.
    const int claimed = db.execBatch(
        QStringLiteral("UPDATE T_Audit_Bill SET Version = Version + 1 WHERE Vchcode = ? AND Version = ?"),
        {vchcode, s.version});
    if (claimed != 1)
        return {Changed, changed, s.level};

    if (action == Reject) {
        writeHistory(db, s, s.level, operatorId, Reject, special && !levelAuditor, opinion);
        db.exec(QStringLiteral("UPDATE T_Audit_Bill SET State = 3, Opinion = ? WHERE Vchcode = ?"),
                {opinion, vchcode});
        step.release();
        return {Rejected, QStringLiteral("单据已驳回给制单人。"), s.level};
    }

    const PostBill bill = loadWaitingBill(db, vchcode);
    const QList<Level> levels = applicableLevels(db, s.vchtype, totalsOf(bill.lines));
    int auditType = 0;
    int next = 0;
    for (const Level &l : levels) {
        if (l.level == s.level)
            auditType = l.auditType;
        else if (l.level > s.level && next == 0)
            next = l.level;
    }
    bool complete = special || auditType == 0;
    if (!complete) {
        QSqlQuery q =
            db.exec(QStringLiteral("SELECT DISTINCT EtypeID FROM T_Audit_History WHERE Vchcode = ? AND "
                                   "Round = ? AND Leveal = ? AND Audit = 1"),
                    {vchcode, s.round, s.level});
        QSet<QString> passed;
        while (q.next())
            passed.insert(q.value(0).toString());
        if (passed.contains(operatorId))
            return {AlreadyPassed, QStringLiteral("您已经审核过该单据的第%1级。").arg(s.level), s.level};
        passed.insert(operatorId);
        complete =
            passed.contains(resolvedAuditors(db, QStringLiteral("\"AuditDetail-E\""), s.vchtype, s.level));
    }
    writeHistory(db, s, s.level, operatorId, Pass, special && !levelAuditor, opinion);
    if (!complete) {
        step.release();
        return {Passed, QStringLiteral("已审核，等待本级其他审核人。"), s.level};
    }
    if (next > 0) {
        db.exec(QStringLiteral(
                    "UPDATE T_Audit_Bill SET Leveal = ?, AuditedCount = AuditedCount + 1 WHERE Vchcode = ?"),
                {next, vchcode});
        step.release();
        return {Passed, QStringLiteral("第%1级审核通过。").arg(s.level), s.level};
    }
    QString error;
    if (postWaitingBill(db, bill, &error) < 0)
        return {PostFailed, QStringLiteral("单据审核通过但不能过账：") + error, s.level};
    db.exec(QStringLiteral("UPDATE T_Audit_Bill SET State = 2, Leveal = 0, AuditedCount = AuditedCount + 1 "
                           "WHERE Vchcode = ?"),
            {vchcode});
    step.release();
    return {Posted, QStringLiteral("单据审核完毕，已过账。"), s.level};
}

StepResult runStep(AccountDatabase &db, qint64 vchcode, const QString &operatorId, Action action,
                   const QString &opinion, int expectedVersion)
{
    if (expectedVersion <= 0) {
        const std::optional<BillState> s = billState(db, vchcode);
        if (!s || s->state != Waiting)
            return {NotInFlow, QStringLiteral("该单据不在审核流程中，不能审核。")};
        expectedVersion = s->version;
    }
    ProcParams p{
        {QStringLiteral("@nVchcode"), vchcode},         {QStringLiteral("@szOperatorID"), operatorId},
        {QStringLiteral("@nAction"), int(action)},      {QStringLiteral("@szOpinion"), opinion},
        {QStringLiteral("@nVersion"), expectedVersion}, {QStringLiteral("@ErrMsg"), QString(), true},
        {QStringLiteral("@nLeveal"), 0, true}};
    StepResult r;
    r.code = db.callProc(QStringLiteral("P_Audit_AuditBill"), p);
    r.message = p[5].value.toString();
    r.level = p[6].value.toInt();
    return r;
}

} // namespace accountdb::audit
