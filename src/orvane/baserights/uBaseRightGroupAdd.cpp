#include "uBaseRightGroupAdd.h"

#include <QFormLayout>
#include <QLineEdit>
#include <QPushButton>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uBaseRightKinds.h"

TfrmBaseRightGroupAdd::TfrmBaseRightGroupAdd(QChar mode, QChar kind, int id, const QString &name,
                                             const QString &comment, QWidget *parent)
    : TfrmDialogParent(parent), cModeMy(mode), lModeMy(kind), IdMy(id), szNameMy(name)
{
    setObjectName(QStringLiteral("frmBaseRightGroupAdd"));
    auto *form = new QFormLayout(pnlEntry);
    GroupName = new QLineEdit(name, pnlEntry);
    GroupName->setObjectName(QStringLiteral("GroupName"));
    GroupName->setMaxLength(50);
    Comment = new QLineEdit(comment, pnlEntry);
    Comment->setObjectName(QStringLiteral("Comment"));
    Comment->setMaxLength(200);
    form->addRow(QStringLiteral("组名:"), GroupName);
    form->addRow(QStringLiteral("备注:"), Comment);
    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmBaseRightGroupAdd::btnOKClick);
    const QString verb = mode == u'U'   ? QStringLiteral("修改")
                         : mode == u'C' ? QStringLiteral("复制")
                                        : QStringLiteral("新增");
    SetTitle(verb + QStringLiteral("权限组(") + uBaseRightKinds::KindOf(kind).Name + u')');
}

QString TfrmBaseRightGroupAdd::NameProblem(const QString &name)
{
    if (name.isEmpty())
        return QStringLiteral("组名不能为空。");
    if (name == uBaseRightKinds::SuperGroupName)
        return QStringLiteral("基本信息权限组名不能为超级组");
    // These characters break the texts that carry group names.
    static const QList<QChar> forbidden = {u'&', u'"', u'\''};
    for (const QChar c : forbidden)
        if (name.contains(c))
            return QStringLiteral("组名不能包含以下特殊字符:&,\",'");
    return {};
}

void TfrmBaseRightGroupAdd::btnOKClick()
{
    const QString name = GroupName->text().trimmed();
    const QString problem = NameProblem(name);
    if (!problem.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(problem);
        return;
    }
    if (StoreGroup(cModeMy, lModeMy, IdMy, szNameMy, name, Comment->text().trimmed())) {
        bRet = true;
        done(mrOk);
    }
}

bool TfrmBaseRightGroupAdd::StoreGroup(QChar mode, QChar kind, int id, const QString &oldName,
                                       const QString &name, const QString &comment)
{
    const int r = Udlldbservice::ExecuteProcByName(QStringLiteral("P_BaseRightsGroupInsert;1"),
                                                   {QStringLiteral("@cMode"), QStringLiteral("@lMode"),
                                                    QStringLiteral("@Id"), QStringLiteral("@szName"),
                                                    QStringLiteral("@Comment")},
                                                   {QString(mode), QString(kind), id, name, comment});
    if (r > 0)
        return true;
    QString text;
    switch (mode.unicode()) {
    case u'A':
        text = r == -1 ? QStringLiteral("系统中已经有与\"%1\"同名的权限组，不能新增为\"%1\"。").arg(name)
                       : QStringLiteral("\"%1\"新增失败，请重试。").arg(name);
        break;
    case u'U':
        text = r == -3 ? QStringLiteral("超级组不能修改。")
               : r == -2 ? QStringLiteral("系统中其他权限组与\"%1\"同名，不能修改为\"%1\"。").arg(name)
               : r == -1 ? QStringLiteral("权限组\"%1\"已经不存在，修改失败。").arg(oldName)
                         : QStringLiteral("权限组\"%1\"修改失败，请重试。").arg(oldName);
        break;
    case u'C':
        text = r == -3   ? QStringLiteral("超级组不能被复制。")
               : r == -2 ? QStringLiteral("权限组\"%1\"已经不存在，复制失败。").arg(oldName)
               : r == -1 ? QStringLiteral("系统中其他权限组与\"%1\"同名，不能复制为\"%1\"。").arg(name)
                         : QStringLiteral("\"%1\"复制失败，请重试。").arg(name);
        break;
    default:
        text = r == -3 ? QStringLiteral("权限组\"%1\"是超级组，不能删除。").arg(oldName)
               : r == -2 ? QStringLiteral("权限组\"%1\"已经分配给了操作员，不能删除该权限组。").arg(oldName)
               : r == -1 ? QStringLiteral("权限组\"%1\"已经不存在，删除失败。").arg(oldName)
                         : QStringLiteral("权限组\"%1\"删除失败，请重试。").arg(oldName);
    }
    Udllmessageintf::ShowWarningMsg(text);
    return false;
}
