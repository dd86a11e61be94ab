#include "uRightGroupInput.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uOrvaneCommon.h"
#include "uRightRules.h"

TfrmRightGroupInput::TfrmRightGroupInput(QChar mode, int groupId, const QString &oldName, QWidget *parent)
    : TfrmDialogParent(parent), cMode(mode), nId(groupId), szGroupText(oldName)
{
    setObjectName(QStringLiteral("frmRightGroupInput"));
    auto *form = new QFormLayout(pnlEntry);
    lbeName = new QLineEdit(pnlEntry);
    lbeName->setObjectName(QStringLiteral("lbeName"));
    lbeName->setMaxLength(40);
    lbeMemo = new QLineEdit(pnlEntry);
    lbeMemo->setObjectName(QStringLiteral("lbeMemo"));
    lbeMemo->setMaxLength(400);
    form->addRow(QStringLiteral("组名:"), lbeName);
    form->addRow(QStringLiteral("备注:"), lbeMemo);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmRightGroupInput::btnOKClick);
    SetTitle(mode == u'M'   ? QStringLiteral("修改权限组")
             : mode == u'C' ? QStringLiteral("复制权限组")
                            : QStringLiteral("新增权限组"));
}

QString TfrmRightGroupInput::Verb() const
{
    return cMode == u'M'   ? QStringLiteral("修改")
           : cMode == u'C' ? QStringLiteral("复制")
                           : QStringLiteral("新增");
}

void TfrmRightGroupInput::btnOKClick()
{
    const QString name = lbeName->text().trimmed();
    if (name == uRightRules::DefaultGroup) {
        Udllmessageintf::SuperMessageBox(QStringLiteral("用户自定义组名不能是\"会计组\"。"));
        return;
    }
    if (name.isEmpty()) {
        Udllmessageintf::SuperMessageBox(QStringLiteral("组名不能为空。"));
        return;
    }
    if (Store(name)) {
        bRet = true;
        done(mrOk);
    }
}

bool TfrmRightGroupInput::Store(const QString &name)
{
    const QString verb = Verb();
    if (cMode != u'N' &&
        Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(1) FROM \"group\" WHERE ID = ?"), {nId})
                .toInt() == 0) {
        Udllmessageintf::SuperMessageBox(QStringLiteral("权限组") + szGroupText +
                                         QStringLiteral("已经不存在，不能") + verb + QStringLiteral("。"));
        return true;
    }
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_jxc_InsertGroup;1"),
        {QStringLiteral("@ckind"), QStringLiteral("@nId"), QStringLiteral("@Name"), QStringLiteral("@memo")},
        {QString(cMode), nId, name, lbeMemo->text().trimmed()});
    if (result == -3)
        Udllmessageintf::SuperMessageBox(
            QStringLiteral("系统中已经有与“%1”同名的权限组，不能%2为“%1”。").arg(name, verb));
    else if (result == -2)
        Udllmessageintf::SuperMessageBox(
            QStringLiteral("“会计组”是系统默认的权限组，不能%1为“%2”。").arg(verb, name));
    if (result < 0)
        return false;
    uOrvaneCommon::WriteSysEvent(
        QStringLiteral("操作员授权：%1权限组“%2”")
            .arg(verb, cMode == u'M' ? szGroupText + QStringLiteral("”为“") + name : name));
    return true;
}
