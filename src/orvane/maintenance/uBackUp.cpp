#include "uBackUp.h"

#include <QApplication>
#include <QCheckBox>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSpinBox>

#include "Udllaccountintf.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uOrvaneCommon.h"
#include "uSqlFileCommon.h"

using namespace uSqlFileCommon;

namespace {
struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TfrmBackUp::TfrmBackUp(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmBackUp"));
    auto *grid = new QGridLayout(pnlEntry);
    grid->setContentsMargins(16, 12, 16, 8);

    auto *lblName = new QLabel(QStringLiteral("数据备份文件名"), pnlEntry);
    lblName->setObjectName(QStringLiteral("Label1"));
    Edit1 = new QLineEdit(pnlEntry);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    lblName->setBuddy(Edit1);
    grid->addWidget(lblName, 0, 0);
    grid->addWidget(Edit1, 0, 1, 1, 4);

    auto *lblPlace1 =
        new QLabel(QStringLiteral("备份文件将存放在服务器端程序目录下的BACKUP目录中，"), pnlEntry);
    lblPlace1->setObjectName(QStringLiteral("Label2"));
    auto *lblPlace2 = new QLabel(QStringLiteral("请不要删除或移动BACKUP目录中的备份文件。"), pnlEntry);
    lblPlace2->setObjectName(QStringLiteral("Label3"));
    grid->addWidget(lblPlace1, 1, 0, 1, 5);
    grid->addWidget(lblPlace2, 2, 0, 1, 5);

    chkAutoBackUp = new QCheckBox(QStringLiteral("在退出系统时进行自动备份，间隔时间 "), pnlEntry);
    chkAutoBackUp->setObjectName(QStringLiteral("chkAutoBackUp"));
    edtDate = new QLineEdit(QStringLiteral("1"), pnlEntry);
    edtDate->setObjectName(QStringLiteral("edtDate"));
    edtDate->setMaximumWidth(48);
    // The up-down sits beside the edit and only its arrows show; it carries the number.
    UpDown = new QSpinBox(pnlEntry);
    UpDown->setObjectName(QStringLiteral("UpDown"));
    UpDown->setRange(1, 100);
    UpDown->setFixedWidth(20);
    auto *lblDays = new QLabel(QStringLiteral("天 "), pnlEntry);
    lblDays->setObjectName(QStringLiteral("Label4"));
    grid->addWidget(chkAutoBackUp, 3, 0, 1, 2);
    grid->addWidget(edtDate, 3, 2);
    grid->addWidget(UpDown, 3, 3);
    grid->addWidget(lblDays, 3, 4);

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("备份(&B)"));
    btnExit = AddBottomButton(QStringLiteral("btnExit"), QStringLiteral("退出"), mrCancel);
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    connect(btnOK, &QPushButton::clicked, this, &TfrmBackUp::btnOKClick);
    connect(btnHelp, &QPushButton::clicked, this, [this] { ShowHelp(); });
    connect(chkAutoBackUp, &QCheckBox::clicked, this, &TfrmBackUp::chkAutoBackUpClick);
    connect(edtDate, &QLineEdit::editingFinished, this, &TfrmBackUp::edtDateExit);
    connect(UpDown, &QSpinBox::valueChanged, this, [this](int value) {
        if (!FPreparing)
            edtDate->setText(QString::number(value));
    });
}

TfrmBackUp::~TfrmBackUp() = default;

void TfrmBackUp::Prepare()
{
    FPreparing = true;
    if (uOrvaneCommon::GetSysValue(AutoBackupDateKey).isEmpty())
        uOrvaneCommon::SetSysValue(AutoBackupDateKey, QStringLiteral("3"));
    ShowStoredInterval();
    const QVariant stats = Udlldbservice::GetValueFromSQL(
        QStringLiteral("select stats from t_gbl_syscon where conid = ?"), {AutoBackupConId});
    chkAutoBackUp->setChecked(stats.toInt() == 1);
    edtDate->setEnabled(chkAutoBackUp->isChecked());
    UpDown->setEnabled(chkAutoBackUp->isChecked());
    FPreparing = false;
}

void TfrmBackUp::ShowStoredInterval()
{
    const bool preparing = FPreparing;
    FPreparing = true;
    UpDown->setValue(uOrvaneCommon::GetSysValue(AutoBackupDateKey).toInt());
    edtDate->setText(QString::number(UpDown->value()));
    FPreparing = preparing;
}

void TfrmBackUp::chkAutoBackUpClick()
{
    uOrvaneCommon::SetSysConStats(AutoBackupConId, chkAutoBackUp->isChecked());
    edtDate->setEnabled(chkAutoBackUp->isChecked());
    UpDown->setEnabled(chkAutoBackUp->isChecked());
}

void TfrmBackUp::edtDateExit()
{
    const TIntervalCheck check =
        CheckIntervalText(edtDate->text(), uOrvaneCommon::GetSysValue(AutoBackupDateKey));
    if (check.Store)
        uOrvaneCommon::SetSysValue(AutoBackupDateKey, check.Text);
    ShowStoredInterval();
}

void TfrmBackUp::done(int result)
{
    edtDateExit();
    TfrmDialogParent::done(result);
}

void TfrmBackUp::btnOKClick()
{
    const QString name = Edit1->text();
    const TNameCheck check = CheckBackupName(name);
    if (check != TNameCheck::NameOk) {
        Udllmessageintf::SuperMessageBox(NameCheckMessage(check), CaptionHint, TMessageBoxType::mtWarning);
        if (check != TNameCheck::EmptyOrTooLong)
            Edit1->setFocus();
        return;
    }
    int code = 0;
    {
        TWaitCursor wait;
        code = Udllaccountintf::BackUpDataBase(name, Udllsystemintf::GetPubZtName());
    }
    if (BackupFailed(code)) {
        Udllmessageintf::SuperMessageBox(BackupResultMessage(code), CaptionHint, TMessageBoxType::mtError);
        return;
    }
    Udllmessageintf::SuperMessageBox(BackupSucceeded, CaptionHint, TMessageBoxType::mtInformation);
    done(mrOk);
}

namespace uBackUp {
bool ShowBackUp()
{
    TfrmBackUp form;
    form.SetTitle(QStringLiteral("数据备份"));
    form.FHelpName = HelpName;
    form.Prepare();
    form.exec();
    return true;
}
} // namespace uBackUp
