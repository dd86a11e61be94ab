#include "uUpdateAcc.h"

#include <QApplication>
#include <QFileDialog>
#include <QFileInfo>
#include <QGridLayout>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QVBoxLayout>

#include "Udllaccountintf.h"
#include "Udllmessageintf.h"
#include "Udllserverobject.h"
#include "Udllsystemintf.h"
#include "uCMSystemReBuildCore.h"

namespace {

struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};

} // namespace

TfrmUpdateAcc::TfrmUpdateAcc(QWidget *parent) : TfrmDialogParent(parent)
{
    BuildControls();
    SetTitle(QStringLiteral("升级补丁"));
    ShowBar(false);
}

TfrmUpdateAcc::~TfrmUpdateAcc() = default;

bool TfrmUpdateAcc::Execute()
{
    if (uCMSystemReBuildCore::NormalTokenRefused())
        return false;
    TfrmUpdateAcc form;
    form.exec();
    return true;
}

void TfrmUpdateAcc::BuildControls()
{
    auto *layout = new QVBoxLayout(pnlEntry);
    CMGGroupBox1 = new QGroupBox(pnlEntry);
    CMGGroupBox1->setObjectName(QStringLiteral("CMGGroupBox1"));
    auto *grid = new QGridLayout(CMGGroupBox1);
    Label2 = new QLabel(QStringLiteral("本模块提供在本地执行升级补丁的功能。"), CMGGroupBox1);
    Label2->setObjectName(QStringLiteral("Label2"));
    Label4 = new QLabel(QStringLiteral("请使用浏览功能按钮查找一个脚本文件。"), CMGGroupBox1);
    Label4->setObjectName(QStringLiteral("Label4"));
    lblSQL = new QLabel(QStringLiteral("SQL脚本:"), CMGGroupBox1);
    lbeSQL = new QLineEdit(CMGGroupBox1);
    lbeSQL->setObjectName(QStringLiteral("lbeSQL"));
    lbeSQL->setEnabled(false); // only the browse button fills it
    lblSQL->setBuddy(lbeSQL);
    btnQuery = new QPushButton(QStringLiteral("浏览"), CMGGroupBox1);
    btnQuery->setObjectName(QStringLiteral("btnQuery"));
    grid->addWidget(Label2, 0, 0, 1, 3);
    grid->addWidget(Label4, 1, 0, 1, 3);
    grid->addWidget(lblSQL, 2, 0);
    grid->addWidget(lbeSQL, 2, 1);
    grid->addWidget(btnQuery, 2, 2);
    layout->addWidget(CMGGroupBox1);
    pbRun = new QProgressBar(pnlEntry);
    pbRun->setObjectName(QStringLiteral("pbRun"));
    layout->addWidget(pbRun);

    OpenDialog = new QFileDialog(this, QStringLiteral("打开SQL脚本文件"));
    OpenDialog->setObjectName(QStringLiteral("OpenDialog"));
    OpenDialog->setFileMode(QFileDialog::ExistingFiles);
    OpenDialog->setNameFilters({QStringLiteral("SQL脚本 (*.SQL *.sql)"), QStringLiteral("所有文件 (*.*)")});

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmUpdateAcc::btnOKClick);
    connect(btnQuery, &QPushButton::clicked, this, &TfrmUpdateAcc::btnQueryClick);
}

void TfrmUpdateAcc::ShowBar(bool on)
{
    if (pbRun->isVisible() == on && on)
        return;
    const int height = pbRun->sizeHint().height();
    pbRun->setVisible(on);
    resize(width(), this->height() + (on ? height : -height));
}

void TfrmUpdateAcc::SetFiles(const QStringList &files)
{
    FFiles = files;
    lbeSQL->setText(files.isEmpty() ? QString() : files.first());
}

void TfrmUpdateAcc::btnQueryClick()
{
    SetFiles({});
    if (OpenDialog->exec() == QDialog::Accepted)
        SetFiles(OpenDialog->selectedFiles());
}

void TfrmUpdateAcc::btnOKClick()
{
    if (lbeSQL->text().trimmed().isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("请选择一个SQL脚本。"));
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("升级账套是一个重要操作，请在升级前备份账套。") +
                                          u'\r' + QStringLiteral("按确定继续升级，如果要做备份请选择取消。")))
        return;
    bool failed = false;
    {
        TWaitCursor wait;
        pbRun->setRange(1, int(FFiles.size()));
        pbRun->setValue(1);
        ShowBar(true);
        for (const QString &file : std::as_const(FFiles)) {
            QApplication::processEvents();
            if (!QFileInfo::exists(file)) {
                Udllmessageintf::ShowWarningMsg(QStringLiteral("文件不存在。"));
                return;
            }
            if (!Udllaccountintf::ExecSqlFile(file)) {
                Udllmessageintf::ShowErrorMsg(QStringLiteral("所选SQL文件有错误，请检查。"));
                failed = true;
                break;
            }
            Udllserverobject::Invoke(Udllserverobject::DispAfterScript, {file});
            pbRun->setValue(pbRun->value() + 1);
        }
    }
    if (!failed)
        Udllmessageintf::ShowInfoMessage(QStringLiteral("执行成功。"));
    ShowBar(false);
}
