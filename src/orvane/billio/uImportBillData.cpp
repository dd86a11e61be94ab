#include "uImportBillData.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScopeGuard>
#include <QStandardPaths>
#include <QTableWidget>
#include <QToolBar>
#include <QVBoxLayout>
#include <stdexcept>

#include "BillFile.h"
#include "Kvtable.h"
#include "Udllbaseselect.h"
#include "Udllmessageintf.h"
#include "uDllComm.h"
#include "uImportBillDataCore.h"
#include "uOrvaneCommon.h"

namespace {

constexpr int kRawColumns = 31;
constexpr int kRowNoMessage = 1553;

// A column of the check grid: the field of a bill line and of a detail line it shows (-1: none), the
// field its name is kept in, and the base-data kind a double click picks from (empty: not picked).
struct TExamColumn
{
    const char *Title;
    int BillField, BillNameField;
    int DetailField, DetailNameField;
    const char *Kind;
};

const TExamColumn kExamColumns[] = {
    {"单据类型", 2, 2, -1, -1, "Vchtype"}, {"单位", 5, 6, -1, -1, "Btype"},
    {"经办人", 7, 8, -1, -1, "Employee"},  {"仓库", 10, 9, 26, 27, "Stock"},
    {"调入仓库", 14, 15, -1, -1, "Stock"}, {"部门", 18, 19, -1, -1, "Department"},
    {"结算单位", 20, 21, -1, -1, "Btype"}, {"存货", -1, -1, 3, 4, "Ptype"},
    {"存货父类", 17, 16, -1, -1, ""},      {"出入库类型", -1, -1, -1, -1, ""},
    {"自定义项1", -1, -1, 18, 19, ""},     {"自定义项2", -1, -1, 20, 21, ""},
    {"项目", 22, 23, -1, -1, ""},          {"标识行", 1, 1, 1, 1, ""},
};
constexpr int kExamFirst = 1; // column 0 is the raw row number
constexpr int kExamResult = kExamFirst + int(std::size(kExamColumns));

bool IsBillRow(const QStringList &row)
{
    return row.value(1) == QStringLiteral("P");
}

int FieldOf(const TExamColumn &c, const QStringList &row)
{
    return IsBillRow(row) ? c.BillField : c.DetailField;
}

int NameFieldOf(const TExamColumn &c, const QStringList &row)
{
    return IsBillRow(row) ? c.BillNameField : c.DetailNameField;
}

QString Text(const QTableWidget *grid, int row, int column)
{
    const QTableWidgetItem *item = grid->item(row, column);
    return item ? item->text() : QString();
}

void SetText(QTableWidget *grid, int row, int column, const QString &text)
{
    auto *item = new QTableWidgetItem(text);
    item->setFlags(Qt::ItemIsEnabled | Qt::ItemIsSelectable);
    grid->setItem(row, column, item);
}

const QColor kIllegal = QColor(Qt::yellow);

} // namespace

TfrmImportBillData::TfrmImportBillData(QWidget *parent) : TfrmMDIParent(parent)
{
    setObjectName(QStringLiteral("frmImportBillData"));
    auto *root = new QVBoxLayout(pnlEntry);
    grdMain = new QTableWidget(pnlEntry);
    grdMain->setObjectName(QStringLiteral("grdMain"));
    grdExam = new QTableWidget(pnlEntry);
    grdExam->setObjectName(QStringLiteral("grdExam"));
    for (QTableWidget *grid : {grdMain, grdExam}) {
        grid->horizontalHeader()->hide();
        grid->verticalHeader()->hide();
        grid->setEditTriggers(QAbstractItemView::NoEditTriggers);
        root->addWidget(grid, 1);
    }
    lblState = new QLabel(pnlEntry);
    lblState->setObjectName(QStringLiteral("lblState"));
    ProgressBar1 = new QProgressBar(pnlEntry);
    ProgressBar1->setObjectName(QStringLiteral("ProgressBar1"));
    root->addWidget(lblState);
    root->addWidget(ProgressBar1);

    btnOpen = AddButton("btnOpen", QStringLiteral("打开"));
    btnImport = AddButton("btnImport", QStringLiteral("导入"));
    btnHelp = AddButton("btnHelp", QStringLiteral("帮助"));
    btnClose = AddButton("btnClose", QStringLiteral("关闭"));
    connect(btnOpen, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnOpenClick(); }); });
    connect(btnImport, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnImportClick(); }); });
    connect(btnHelp, &QPushButton::clicked, this, &TQuillForm::ShowHelp);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);
    connect(grdExam, &QTableWidget::cellDoubleClicked, this, &TfrmImportBillData::grdExamDblClick);

    OpenDialog1 = new QFileDialog(this);
    OpenDialog1->setObjectName(QStringLiteral("OpenDialog1"));
    OpenDialog1->setAcceptMode(QFileDialog::AcceptOpen);
    OpenDialog1->setFileMode(QFileDialog::AnyFile); // a missing file is reported by the window
    OpenDialog1->setOptions(QFileDialog::DontUseNativeDialog);
    OpenDialog1->setNameFilter(QStringLiteral("Text files (*.txt *.TXT)"));
    DefaultFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);

    // The print button has nothing to print here.
    for (QAction *action : ToolBar->actions())
        if (ToolBar->widgetForAction(action) == btnExpertPrint || action == tbsPrintSep)
            action->setVisible(false);

    // The raw grid: the row-number title and "字段1" … "字段30".
    grdMain->setColumnCount(kRawColumns);
    grdMain->setRowCount(1);
    SetText(grdMain, 0, 0, uOrvaneCommon::GetMessageText(kRowNoMessage));
    for (int k = 1; k < kRawColumns; ++k)
        SetText(grdMain, 0, k, QStringLiteral("字段") + QString::number(k));
    grdExam->hide();
    ProgressBar1->hide();
    lblState->hide();

    SetTitle(QStringLiteral("导入业务单据"));
    SetStatusText(QString());
}

TfrmImportBillData::~TfrmImportBillData() = default;

void TfrmImportBillData::closeEvent(QCloseEvent *event)
{
    if (FBusy) {
        event->ignore();
        return;
    }
    TfrmMDIParent::closeEvent(event);
}

void TfrmImportBillData::btnOpenClick()
{
    if (FBusy)
        return;
    ProgressBar1->setValue(0);
    OpenDialog1->setDirectory(DefaultFolder);
    OpenDialog1->selectFile(QDir(DefaultFolder).filePath(QStringLiteral("test.txt")));
    if (OpenDialog1->exec() != QDialog::Accepted)
        return;
    const QString fileName = OpenDialog1->selectedFiles().value(0);
    if (fileName.size() >= 260) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("文件名过长。"));
        return;
    }
    if (!QFileInfo(fileName).isFile()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("文件不存在。"));
        return;
    }
    if (!ReadFile(fileName))
        return;
    grdExam->hide();
    ProgressBar1->hide();
    lblState->hide();
    grdMain->show();
}

bool TfrmImportBillData::ReadFile(const QString &fileName)
{
    QFile file(fileName);
    if (!file.open(QIODevice::ReadOnly))
        throw std::runtime_error(QStringLiteral("不能读取文件：%1").arg(fileName).toStdString());
    const BillFile::TReadResult read =
        BillFile::Read(file.readAll(), {uDllComm::DllParams.IsCMSQ, uDllComm::DllParams.PubVersion2});
    file.close();
    if (!read.Error.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(read.Error);
        return false;
    }
    grdExam->setRowCount(0);
    grdMain->setRowCount(1 + int(read.Rows.size()));
    for (int r = 0; r < read.Rows.size(); ++r)
        for (int k = 0; k < kRawColumns; ++k)
            SetText(grdMain, r + 1, k, read.Rows[r].value(k));
    FLineNumbers = read.LineNumbers;
    return true;
}

QList<QStringList> TfrmImportBillData::RawRows() const
{
    QList<QStringList> rows;
    for (int r = 1; r < grdMain->rowCount(); ++r) {
        QStringList fields;
        for (int k = 0; k < kRawColumns; ++k)
            fields << Text(grdMain, r, k);
        rows << fields;
    }
    return rows;
}

void TfrmImportBillData::Progress(int done)
{
    ProgressBar1->setValue(done);
    // Keeps the window drawn; its buttons and closing are refused while busy.
    QCoreApplication::processEvents();
}

QString TfrmImportBillData::CheckAll()
{
    const QList<QStringList> rows = RawRows();
    grdExam->setColumnCount(kExamResult + 1);
    grdExam->setRowCount(1 + int(rows.size()));
    SetText(grdExam, 0, 0, uOrvaneCommon::GetMessageText(kRowNoMessage));
    for (int c = 0; c < int(std::size(kExamColumns)); ++c)
        SetText(grdExam, 0, kExamFirst + c, QString::fromUtf8(kExamColumns[c].Title));
    SetText(grdExam, 0, kExamResult, QStringLiteral("检查结果"));
    lblState->setText(QStringLiteral("正在进行数据合法性检查....."));
    lblState->show();
    ProgressBar1->setRange(0, int(rows.size()));
    ProgressBar1->show();
    const QList<uImportBillDataCore::TRowCheck> checks =
        uImportBillDataCore::CheckRows(rows, [this](int done) { Progress(done); });
    for (int r = 0; r < rows.size(); ++r) {
        const QStringList &row = rows[r];
        const uImportBillDataCore::TRowCheck &check = checks[r];
        SetText(grdExam, r + 1, 0, QString::number(r + 1));
        for (int c = 0; c < int(std::size(kExamColumns)); ++c) {
            const int field = FieldOf(kExamColumns[c], row);
            SetText(grdExam, r + 1, kExamFirst + c, field < 0 ? QString() : row.value(field));
            if (field < 0 || *kExamColumns[c].Kind == '\0' || row.value(field).isEmpty())
                continue;
            QTableWidgetItem *item = grdExam->item(r + 1, kExamFirst + c);
            const bool bad = check.BadFields.contains(field);
            item->setToolTip(row.value(field) + (bad ? QStringLiteral(":不存在") : QStringLiteral(":存在")));
            if (bad)
                item->setBackground(kIllegal);
        }
        SetText(grdExam, r + 1, kExamResult, check.Result);
        if (check.Result != uImportBillDataCore::kPassed) {
            QTableWidgetItem *result = grdExam->item(r + 1, kExamResult);
            result->setBackground(kIllegal);
            result->setToolTip(check.Problems.join(u'\n'));
        }
    }
    return uImportBillDataCore::FirstProblem(checks, FLineNumbers);
}

void TfrmImportBillData::ImportAll()
{
    const QList<QStringList> rows = RawRows();
    lblState->setText(QStringLiteral("正在将单据数据导入数据库....."));
    const uImportBillDataCore::TImportResult result =
        uImportBillDataCore::ImportRows(rows, FLineNumbers, [this](int done) { Progress(done); });
    ProgressBar1->setValue(ProgressBar1->maximum());
    grdMain->show();
    grdExam->show();
    lblState->setText(uImportBillDataCore::DoneText(result.Count));
    if (!result.Error.isEmpty())
        Udllmessageintf::ShowErrorMsg(result.Error + QStringLiteral("\r导入失败，账套没有改变。"));
}

void TfrmImportBillData::btnImportClick()
{
    if (FBusy)
        return;
    FBusy = true;
    const auto idle = qScopeGuard([this] { FBusy = false; });
    if (const QString problem = CheckAll(); !problem.isEmpty()) {
        grdMain->show();
        grdExam->show();
        // The first bad row is named, the rest are yellow in the check grid.
        Udllmessageintf::ShowWarningMsg(
            QStringLiteral("存在非法数据不能导入。\r请双击黄色的单元格修改非法数据（或者检查数据文件）。\r") +
            problem);
        return;
    }
    ImportAll();
}

void TfrmImportBillData::grdExamDblClick(int row, int column)
{
    const int c = column - kExamFirst;
    if (FBusy || row < 1 || c < 0 || c >= int(std::size(kExamColumns)) || *kExamColumns[c].Kind == '\0')
        return;
    QTableWidgetItem *item = grdExam->item(row, column);
    if (!item || item->background().color() != kIllegal)
        return;
    const QStringList raw = RawRows().value(row - 1);
    const int field = FieldOf(kExamColumns[c], raw);
    const int nameField = NameFieldOf(kExamColumns[c], raw);
    TBaseRecordList chosen;
    if (field < 0 ||
        !Udllbaseselect::SelectBaseData(QString::fromLatin1(kExamColumns[c].Kind), QString(), false,
                                        chosen) ||
        chosen.isEmpty())
        return;
    // A bill type is named in the file, every other base datum by its code.
    const TBaseRecord &record = chosen.constFirst();
    const bool byName = field == nameField;
    SetText(grdMain, row, field, byName ? record.FullName : record.UserCode);
    if (!byName)
        SetText(grdMain, row, nameField, record.FullName);
    item->setText(byName ? record.FullName : record.UserCode);
    item->setBackground(QBrush());
    item->setToolTip(item->text() + QStringLiteral(":存在"));
}

namespace uImportBillData {

bool ShowImportBillData()
{
    auto *form = new TfrmImportBillData(uDllComm::DllParams.FparForm);
    form->ShowMDI();
    return true;
}

} // namespace uImportBillData
