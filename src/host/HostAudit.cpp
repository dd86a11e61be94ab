#include "HostAudit.h"

#include <QDialog>
#include <QLabel>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>

#include "AccountDatabase.h"
#include "AuditEngine.h"
#include "Kvbasicfun.h"

namespace audit = accountdb::audit;

bool HostAudit::AllAuditingBill(const QString &action, int vchCode, int vchType, int billType)
{
    Q_UNUSED(billType);
    if (action != QStringLiteral("D")) {
        FMessages.ShowWarningMsg(QStringLiteral("不支持的审核动作：") + action);
        return false;
    }
    return Step(vchCode, vchType, true, QString());
}

bool HostAudit::RejectBill(int vchCode, int vchType, const QString &opinion)
{
    return Step(vchCode, vchType, false, opinion);
}

bool HostAudit::Step(int vchCode, int vchType, bool pass, const QString &opinion)
{
    accountdb::AccountDatabase *db = FDb ? FDb() : nullptr;
    if (!db)
        return false;
    const std::optional<audit::BillState> state = audit::billState(*db, vchCode);
    if (!state || state->state != audit::Waiting || state->vchtype != vchType) {
        FMessages.ShowWarningMsg(QStringLiteral("该单据不在审核流程中，不能审核。"));
        return false;
    }
    const audit::StepResult r = audit::runStep(*db, vchCode, FSystem.GetCurrentOperatorId(),
                                               pass ? audit::Pass : audit::Reject, opinion, state->version);
    if (r.code < 0)
        FMessages.ShowWarningMsg(r.message);
    return r.code >= 0;
}

bool HostAudit::AllNewBill(int vchType)
{
    Q_UNUSED(vchType);
    FMessages.ShowWarningMsg(QStringLiteral("本程序不能录入新单据。"));
    return false;
}

bool HostAudit::AllLoadBill(int vchCode, int vchType, bool edit, int billType)
{
    Q_UNUSED(edit);
    Q_UNUSED(billType);
    accountdb::AccountDatabase *db = FDb ? FDb() : nullptr;
    if (!db)
        return false;
    QSqlQuery head =
        db->exec(QStringLiteral("SELECT n.Number, n.Date, coalesce(v.Name, ''), n.Summary, n.Total, n.Draft "
                                "FROM DlyNdx n LEFT JOIN T_GBL_Vchtype v ON v.Vchtype = n.Vchtype "
                                "WHERE n.Vchcode = ? AND n.Vchtype = ?"),
                 {vchCode, vchType});
    if (!head.next()) {
        FMessages.ShowWarningMsg(QStringLiteral("该单据已经不存在。"));
        return false;
    }
    auto *view = new QDialog;
    view->setObjectName(QStringLiteral("frmBillView"));
    view->setAttribute(Qt::WA_DeleteOnClose);
    view->setWindowTitle(head.value(2).toString() + QStringLiteral(" ") + head.value(0).toString());
    auto *layout = new QVBoxLayout(view);
    auto *info =
        new QLabel(QStringLiteral("单据编号：%1  日期：%2  摘要：%3  金额：%4")
                       .arg(head.value(0).toString(), head.value(1).toString(), head.value(3).toString(),
                            Kvbasicfun::FloatToStringBit(head.value(4).toDouble(), 2)),
                   view);
    info->setObjectName(QStringLiteral("lblBillHead"));
    layout->addWidget(info);
    // Bills not posted yet keep their lines in BakDly.
    const bool posted = head.value(5).toInt() == 2;
    const QString lines =
        posted ? QStringLiteral("SELECT p.UserCode, p.FullName, abs(d.Qty), d.Price, abs(d.Total) FROM "
                                "(SELECT Vchcode, RowNo, PtypeId, Qty, Price, Total FROM DlyBuy UNION ALL "
                                "SELECT Vchcode, RowNo, PtypeId, Qty, Price, Total FROM DlySale UNION ALL "
                                "SELECT Vchcode, RowNo, PtypeId, Qty, Price, Total FROM DlyOther) AS d "
                                "LEFT JOIN ptype p ON p.typeId = d.PtypeId WHERE d.Vchcode = ? "
                                "ORDER BY d.RowNo")
               : QStringLiteral("SELECT p.UserCode, p.FullName, d.Qty, d.Price, d.Total FROM BakDly d "
                                "LEFT JOIN ptype p ON p.typeId = d.PtypeId WHERE d.Vchcode = ? "
                                "ORDER BY d.RowNo");
    auto *grid = new QTableWidget(0, 5, view);
    grid->setObjectName(QStringLiteral("gridLines"));
    grid->setHorizontalHeaderLabels({QStringLiteral("存货编号"), QStringLiteral("存货全名"),
                                     QStringLiteral("数量"), QStringLiteral("单价"), QStringLiteral("金额")});
    grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QSqlQuery q = db->exec(lines, {vchCode});
    while (q.next()) {
        const int row = grid->rowCount();
        grid->insertRow(row);
        for (int c = 0; c < 5; ++c)
            grid->setItem(row, c,
                          new QTableWidgetItem(
                              c < 2 ? q.value(c).toString()
                                    : Kvbasicfun::FloatToStringBit(q.value(c).toDouble(), c == 2 ? 4 : 2)));
    }
    layout->addWidget(grid);
    view->resize(640, 360);
    view->show();
    return true;
}
