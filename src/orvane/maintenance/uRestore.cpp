#include "uRestore.h"

#include <QApplication>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

#include "Kvggeneralgrid.h"
#include "Udllaccountintf.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"
#include "uSqlFileCommon.h"
#include "uStringConst.h"

using namespace uSqlFileCommon;

namespace {
const QString kRowNo = QStringLiteral("RowNo");
const QString kBackupName = QStringLiteral("BACKUPNAME");

struct TWaitCursor
{
    TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
    ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
};
} // namespace

TfrmRestore::TfrmRestore(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmRestore"));
    auto *layout = new QVBoxLayout(pnlEntry);
    layout->setContentsMargins(16, 12, 16, 8);

    auto *lblWarn1 = new QLabel(
        QStringLiteral("数据恢复将会把当前账套中的数据全部清空，系统恢复到数据备份时的状态，"), pnlEntry);
    lblWarn1->setObjectName(QStringLiteral("Label1"));
    auto *lblWarn2 = new QLabel(QStringLiteral("请一定要仔细！"), pnlEntry);
    lblWarn2->setObjectName(QStringLiteral("Label2"));
    lblWarn2->setStyleSheet(QStringLiteral("color: red"));
    layout->addWidget(lblWarn1);
    layout->addWidget(lblWarn2);

    auto *grpMode = new QGroupBox(QStringLiteral("请选择恢复方式"), pnlEntry);
    grpMode->setObjectName(QStringLiteral("grpMode"));
    auto *modeLayout = new QVBoxLayout(grpMode);
    Radio1 = new QRadioButton(QStringLiteral("从服务器恢复"), grpMode);
    Radio1->setObjectName(QStringLiteral("Radio1"));
    Radio1->setChecked(true);
    auto *lblServer =
        new QLabel(QStringLiteral("备份文件必须存放在服务器端程序目录下的BACKUP目录中。"), grpMode);
    lblServer->setObjectName(QStringLiteral("Label3"));
    modeLayout->addWidget(Radio1);
    modeLayout->addWidget(lblServer);
    layout->addWidget(grpMode);

    grp1 = new QGroupBox(pnlEntry);
    grp1->setObjectName(QStringLiteral("grp1"));
    auto *chooseLayout = new QVBoxLayout(grp1);
    auto *lblChoose = new QLabel(QStringLiteral("请在下面选择或输入要恢复的备份数据:"), grp1);
    lblChoose->setObjectName(QStringLiteral("Label4"));
    Edit1 = new QLineEdit(grp1);
    Edit1->setObjectName(QStringLiteral("Edit1"));
    MainGrid = new TKvGGeneralGrid(grp1);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MainGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MainGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    QList<TGridColumn> columns;
    const QStringList fields{kRowNo, QStringLiteral("ZTNAME"), QStringLiteral("DATABASENAME"),
                             QStringLiteral("DATE"), kBackupName};
    const QStringList titles{QStringLiteral("行号"), QStringLiteral("账套名称"), QStringLiteral("数据库名称"),
                             QStringLiteral("备份时间"), QStringLiteral("备份文件名")};
    for (int i = 0; i < fields.size(); ++i)
        columns.append(TGridColumn{fields[i], titles[i], QString(), 0, true});
    MainGrid->SetColumns(columns);
    chooseLayout->addWidget(lblChoose);
    chooseLayout->addWidget(Edit1);
    chooseLayout->addWidget(MainGrid, 1);
    layout->addWidget(grp1, 1);
    resize(620, 460);

    btnDelete = AddBottomButton(QStringLiteral("btnDelete"), QStringLiteral("删除"));
    btnRestore = AddBottomButton(QStringLiteral("btnRestore"), QStringLiteral("服务器恢复"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("退出"), mrCancel);
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    connect(btnDelete, &QPushButton::clicked, this, &TfrmRestore::btnDeleteClick);
    connect(btnRestore, &QPushButton::clicked, this, &TfrmRestore::btnRestoreClick);
    connect(btnHelp, &QPushButton::clicked, this, [this] { ShowHelp(); });
    connect(MainGrid, &QTableWidget::itemSelectionChanged, this, &TfrmRestore::MainGridClick);
}

TfrmRestore::~TfrmRestore() = default;

bool TfrmRestore::Prepare()
{
    if (Udllsystemintf::IsNormalToken()) {
        Udllmessageintf::SuperMessageBox(uStringConst::NormalTokenRefused);
        return false;
    }
    // The other windows would have the data pulled from under them.
    if (!uOrvaneCommon::ConfirmCloseOtherWindows())
        return false;
    FillGrid();
    return true;
}

void TfrmRestore::FillGrid()
{
    TClientDataSet ds({kRowNo, QStringLiteral("ZTNAME"), QStringLiteral("DATABASENAME"),
                       QStringLiteral("DATE"), kBackupName});
    int row = 0;
    const QList<TBackupEntry> entries = ReadCatalogue();
    for (const TBackupEntry &e : entries)
        ds.AppendRow({++row, e.ZtName, e.DatabaseName, e.Date, e.BackupName});
    MainGrid->LoadFromDataSet(ds);
    // Backups of other account sets in the same folder are shown grey, with whose they are.
    for (int r = 0; r < entries.size() && r < MainGrid->rowCount(); ++r) {
        if (!entries[r].IsForeign(uDllComm::DllParams.PubDataBaseName))
            continue;
        const QString whose =
            QStringLiteral("其他账套的备份：") +
            (entries[r].DatabasePath.isEmpty() ? entries[r].DatabaseName : entries[r].DatabasePath);
        for (int c = 0; c < MainGrid->columnCount(); ++c)
            if (QTableWidgetItem *cell = MainGrid->item(r, c)) {
                cell->setForeground(Qt::gray);
                cell->setToolTip(whose);
            }
    }
}

void TfrmRestore::MainGridClick()
{
    const int row = MainGrid->currentRow();
    if (row >= 0 && !MainGrid->CellText(row, kRowNo).isEmpty())
        Edit1->setText(MainGrid->CellText(row, kBackupName));
}

void TfrmRestore::btnDeleteClick()
{
    const int row = MainGrid->currentRow();
    const QString name = row >= 0 ? MainGrid->CellText(row, kBackupName) : QString();
    if (name.isEmpty() || !Udllmessageintf::ConfirmOKCancel(DeleteConfirm))
        return;
    Udllaccountintf::DeleteBackup(name);
    FillGrid();
}

void TfrmRestore::btnRestoreClick()
{
    const QString name = Edit1->text();
    if (name.isEmpty()) {
        Udllmessageintf::SuperMessageBox(RestoreNothingChosen, CaptionHint);
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(RestoreConfirm))
        return;
    int code = 0;
    QString reason;
    {
        TWaitCursor wait;
        code = Udllaccountintf::RestoreDataBase(name, reason);
    }
    Udllmessageintf::SuperMessageBox(RestoreResultMessage(code, name, reason), CaptionHint,
                                     code == 0 ? TMessageBoxType::mtInformation : TMessageBoxType::mtError);
    if (code != 0)
        return;
    FRestored = true;
    done(mrOk);
    Udllsystemintf::Terminate();
}

namespace uRestore {
bool ShowRestore()
{
    TfrmRestore form;
    form.SetTitle(QStringLiteral("数据恢复"));
    form.FHelpName = HelpName;
    if (form.Prepare())
        form.exec();
    if (form.Restored() && Udllsystemintf::ShowLoginOn(false))
        Udllsystemintf::RefreshMainStatusBar(RefreshSet({TRefreshSB::rsbAccount}));
    return true;
}
} // namespace uRestore
