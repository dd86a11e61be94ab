#include "uSetSerialNumer.h"

#include <QFormLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"

TfrmSetSerialNumber::TfrmSetSerialNumber(QWidget *parent) : TQuillForm(parent)
{
    setObjectName(QStringLiteral("frmSetSerialNumber"));
    auto *root = new QVBoxLayout(this);
    auto *fields = new QFormLayout;
    edtCode = new QLineEdit(this);
    edtCode->setObjectName(QStringLiteral("edtCode"));
    edtCode->setMaxLength(10);
    edtName = new QLineEdit(this);
    edtName->setObjectName(QStringLiteral("edtName"));
    edtName->setMaxLength(30);
    fields->addRow(QStringLiteral("编    码:"), edtCode);
    fields->addRow(QStringLiteral("名    称:"), edtName);
    root->addLayout(fields);
    auto *buttons = new QHBoxLayout;
    buttons->addStretch(1);
    Butt_Save = new QPushButton(QStringLiteral("保存"), this);
    Butt_Save->setObjectName(QStringLiteral("Butt_Save"));
    Butt_Save->setAutoDefault(false);
    Butt_Cancel = new QPushButton(QStringLiteral("取消"), this);
    Butt_Cancel->setObjectName(QStringLiteral("Butt_Cancel"));
    Butt_Cancel->setAutoDefault(false);
    buttons->addWidget(Butt_Save);
    buttons->addWidget(Butt_Cancel);
    root->addLayout(buttons);
    connect(Butt_Save, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { Butt_SaveClick(); }); });
    connect(Butt_Cancel, &QPushButton::clicked, this, &QDialog::reject);
}

void TfrmSetSerialNumber::Butt_SaveClick()
{
    const QString code = edtCode->text().trimmed();
    const QString name = edtName->text().trimmed();
    if (code.isEmpty() || name.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("编码和名称都不能为空。"));
        return;
    }
    const bool adding = FMode == QLatin1String("A");
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_KOVA_SerialNumberRules;1"),
        {QStringLiteral("@cMode"), QStringLiteral("@ID"), QStringLiteral("@Code"),
         QStringLiteral("@FullName"), QStringLiteral("@Default"), QStringLiteral("@SNFormat"),
         QStringLiteral("@SNLex")},
        {FMode, adding ? 0 : FID, code, name, 0, QString(), 0});
    if (result < 0) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("编码和名称与已有记录重复，不能保存。"));
        return;
    }
    if (adding)
        FNewID = result;
    accept();
}
