#include "uPassTokenBind.h"

#include <QGridLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

TfrmPassTokenBind::TfrmPassTokenBind(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmPassTokenBind"));
    auto *grid = new QGridLayout(pnlEntry);
    grid->setContentsMargins(24, 16, 24, 8);
    const auto addEdit = [this, grid](int row, const char *name, const QString &caption) {
        auto *label = new QLabel(caption, pnlEntry);
        label->setObjectName(QLatin1String(name) + QStringLiteral("Label"));
        auto *edit = new QLineEdit(pnlEntry);
        edit->setObjectName(QLatin1String(name));
        edit->setEnabled(false);
        label->setBuddy(edit);
        grid->addWidget(label, row, 0);
        grid->addWidget(edit, row, 1);
        return edit;
    };
    edtPassCode = addEdit(0, "edtPassCode", QStringLiteral("安全钥匙号码："));
    edtPassLevel = addEdit(1, "edtPassLevel", QStringLiteral("级        别："));
    edtEtype = addEdit(2, "edtEtype", QStringLiteral("操   作  员："));
    lbl1 =
        new QLabel(QStringLiteral("提示：如果该操作员绑定了安全钥匙，在登录时必须使用安全钥匙。"), pnlEntry);
    lbl1->setObjectName(QStringLiteral("lbl1"));
    lbl2 = new QLabel(QStringLiteral("绑定后该操作员需重新登录。"), pnlEntry);
    lbl2->setObjectName(QStringLiteral("lbl2"));
    grid->addWidget(lbl1, 3, 0, 1, 2);
    grid->addWidget(lbl2, 4, 0, 1, 2);
    btnOk = AddBottomButton(QStringLiteral("btnOk"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    btnOk->setDefault(true);
    connect(btnOk, &QPushButton::clicked, this, &TfrmPassTokenBind::btnOkClick);
}

TfrmPassTokenBind::~TfrmPassTokenBind() = default;

void TfrmPassTokenBind::Prepare(const QString &operatorName, const QString &passCode, int passLevel,
                                const QString &levelText)
{
    edtPassCode->setText(passCode);
    edtPassLevel->setText(levelText);
    edtEtype->setText(operatorName);
    FPassCode = passCode;
    FPassLevel = passLevel;
    FPassHave = 0;
}

void TfrmPassTokenBind::btnOkClick()
{
    if (!FPassCode.isEmpty())
        FPassHave = 1;
    done(mrOk);
}
