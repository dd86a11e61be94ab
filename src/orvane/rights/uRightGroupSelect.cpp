#include "uRightGroupSelect.h"

#include <QListWidget>
#include <QPushButton>
#include <QVBoxLayout>

#include "ClientDataSet.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uOrvaneCommon.h"

TfrmRightGroupSelect::TfrmRightGroupSelect(const QString &etypeId, const QString &name, bool isManager,
                                           QWidget *parent)
    : TfrmDialogParent(parent), FszEtypeID(etypeId)
{
    setObjectName(QStringLiteral("frmRightGroupSelect"));
    auto *layout = new QVBoxLayout(pnlEntry);
    chkGroup = new QListWidget(pnlEntry);
    chkGroup->setObjectName(QStringLiteral("chkGroup"));
    ListBox1 = new QListWidget(pnlEntry);
    ListBox1->setObjectName(QStringLiteral("ListBox1"));
    ListBox1->hide();
    layout->addWidget(chkGroup);
    layout->addWidget(ListBox1);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmRightGroupSelect::btnOKClick);
    btnOK->setEnabled(!isManager);
    SetTitle(QStringLiteral("用户【") + name + QStringLiteral("】权限设置"));

    TClientDataSet current;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT GroupId FROM UserToGroup WHERE UserID = ?"), {etypeId},
                           current);
    for (current.First(); !current.Eof(); current.Next())
        ListBox1->addItem(current.FieldByName(QStringLiteral("GroupId")).AsString());
    TClientDataSet groups;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT ID, GroupName FROM \"group\" ORDER BY ID"), groups);
    for (groups.First(); !groups.Eof(); groups.Next()) {
        const int id = groups.FieldByName(QStringLiteral("ID")).AsInteger();
        auto *item =
            new QListWidgetItem(groups.FieldByName(QStringLiteral("GroupName")).AsString(), chkGroup);
        item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsUserCheckable);
        item->setCheckState(ListBox1->findItems(QString::number(id), Qt::MatchExactly).isEmpty()
                                ? Qt::Unchecked
                                : Qt::Checked);
        ArrayID.append(id);
    }
}

void TfrmRightGroupSelect::btnOKClick()
{
    if (Udlldbservice::GetValueFromSQL(
            QStringLiteral("SELECT count(1) FROM T_Gbl_LoginUser WHERE etypeid = ? AND ismanager = 1"),
            {FszEtypeID})
            .toInt() > 0) {
        Udllmessageintf::ShowErrorMsg(QStringLiteral("操作员为“会计主管”不能更改权限组。"));
        return;
    }
    QStringList names;
    Udlldbservice::BeginTrans();
    try {
        Udlldbservice::ExecuteSQL(QStringLiteral("DELETE FROM UserToGroup WHERE UserID = ?"), {FszEtypeID});
        for (int i = 0; i < chkGroup->count(); ++i)
            if (chkGroup->item(i)->checkState() == Qt::Checked) {
                Udlldbservice::ExecuteSQL(
                    QStringLiteral("INSERT INTO UserToGroup (UserID, GroupId) VALUES (?, ?)"),
                    {FszEtypeID, ArrayID.at(i)});
                names << chkGroup->item(i)->text();
            }
        uOrvaneCommon::WriteSysEvent(QStringLiteral("操作员授权：操作员%1的权限组为%2")
                                         .arg(FszEtypeID, names.isEmpty()
                                                              ? QStringLiteral("（无）")
                                                              : names.join(QStringLiteral("、"))));
        Udlldbservice::CommitTrans();
    } catch (...) {
        Udlldbservice::RollBackTrans();
        throw;
    }
    bRet = true;
    done(mrOk);
}
