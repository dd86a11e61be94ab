#include "uSysEventLog.h"

#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardPaths>
#include <QStringEncoder>
#include <QSysInfo>
#include <QToolBar>
#include <stdexcept>

#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "Kvprintengine.h"
#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uOrvaneCommon.h"

namespace {

const QString kProc = QStringLiteral("p_Jxc_GetEventLog");
const QStringList kProcParams = {QStringLiteral("@cMode"),   QStringLiteral("@DATE"),
                                 QStringLiteral("@Custom1"), QStringLiteral("@Custom2"),
                                 QStringLiteral("@Custom3"), QStringLiteral("@szStrings")};
constexpr int kFunctionNo = 1330;
constexpr int kBeginDate = 17;
constexpr int kEndDate = 18;

void Notice(const QString &text)
{
    Udllmessageintf::SuperMessageBox(text, QString(), TMessageBoxType::mtInformation);
}

// The query edition cannot write files or clear the log.
bool RefusedInQueryEdition()
{
    if (!uDllComm::DllParams.IsQuery)
        return false;
    Notice(QStringLiteral("查询版不能使用此功能。"));
    return true;
}

[[noreturn]] void FileError(const QString &fileName, const QString &reason)
{
    throw std::runtime_error(QStringLiteral("不能写入文件“%1”：%2").arg(fileName, reason).toStdString());
}

} // namespace

TEventLogSaveDialog::TEventLogSaveDialog(QWidget *parent) : QFileDialog(parent)
{
    setObjectName(QStringLiteral("SaveDialog1"));
    setAcceptMode(QFileDialog::AcceptSave);
    setFileMode(QFileDialog::AnyFile);
    // The window's own close check asks about replacing a file.
    setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
}

void TEventLogSaveDialog::accept()
{
    const QString fileName = selectedFiles().value(0);
    if (!fileName.isEmpty() && OnCanClose && !OnCanClose(fileName))
        return;
    QFileDialog::accept();
}

TfrmSysEventLog::TfrmSysEventLog(QWidget *parent) : TfrmJXCQueryParent(parent)
{
    SetMoudleNo(kFunctionNo);
    auto *dates = new QHBoxLayout;
    lblBeginDate = new QLabel(this);
    lblBeginDate->setObjectName(QStringLiteral("lblBeginDate"));
    lblEndDate = new QLabel(this);
    lblEndDate->setObjectName(QStringLiteral("lblEndDate"));
    dates->addWidget(lblBeginDate);
    dates->addWidget(lblEndDate);
    dates->addStretch(1);
    QueryLayout()->addLayout(dates);
    MainGrid = new TKvGGeneralGrid(this);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns(
        GridColumns({{"Date", "日期"}, {"HostName", "计算机名"}, {"Employee", "操作员"}, {"Event", "事件"}}));
    QueryLayout()->addWidget(MainGrid, 1);

    btnQuery = AddButton("btnQuery", QStringLiteral("查询条件"));
    btnExport = AddButton("btnExport", QStringLiteral("导出日志"));
    btnClear = AddButton("btnClear", QStringLiteral("清空日志"));
    btnPrint = AddButton("btnPrint", QStringLiteral("打印"));
    btnHelp = AddButton("btnHelp", QStringLiteral("帮助"));
    btnClose = AddButton("btnClose", QStringLiteral("关闭"));

    // The tool bar's twins; its own print button gives way to tbtnPrint, which opens the same menu.
    for (QAction *action : ToolBar->actions())
        if (ToolBar->widgetForAction(action) == btnExpertPrint || action == tbsPrintSep)
            action->setVisible(false);
    const auto tool = [this](const char *name, QPushButton *twin) {
        auto *t = new TKvToolButton(twin->text(), ToolBar);
        t->setObjectName(QLatin1String(name));
        ToolBar->addWidget(t);
        connect(t, &QToolButton::clicked, twin, &QPushButton::click);
        return t;
    };
    tbtnQuery = tool("tbtnQuery", btnQuery);
    tbtnExport = tool("tbtnExport", btnExport);
    tbtnClear = tool("tbtnClear", btnClear);
    tbtn1 = ToolBar->addSeparator();
    tbtn1->setObjectName(QStringLiteral("tbtn1"));
    tbtnPrint = tool("tbtnPrint", btnPrint);
    tbtnHelp = tool("tbtnHelp", btnHelp);
    tbtnClose = tool("tbtnClose", btnClose);
    btnPrint->setMenu(btnExpertPrint->PopupMenu);
    tbtnPrint->setMenu(btnExpertPrint->PopupMenu);
    tbtnPrint->setPopupMode(QToolButton::InstantPopup);

    SaveDialog1 = new TEventLogSaveDialog(this);
    SaveDialog1->OnCanClose = [this](const QString &fileName) { return SaveDialog1CanClose(fileName); };

    const auto guarded = [this](void (TfrmSysEventLog::*handler)()) {
        return [this, handler] { Kvtable::RunGuarded([this, handler] { (this->*handler)(); }); };
    };
    connect(btnQuery, &QPushButton::clicked, this, guarded(&TfrmSysEventLog::btnQueryClick));
    connect(btnExport, &QPushButton::clicked, this, guarded(&TfrmSysEventLog::btnExportClick));
    connect(btnClear, &QPushButton::clicked, this, guarded(&TfrmSysEventLog::btnClearClick));
    connect(btnHelp, &QPushButton::clicked, this, &TQuillForm::ShowHelp);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

    SetStatusText(QString());
    SetTitle(QStringLiteral("系统日志"));
    FHelpName = QStringLiteral("文件/系统日志");
    SetFunctionNo(kFunctionNo);
}

TfrmSysEventLog::~TfrmSysEventLog() = default;

bool TfrmSysEventLog::Open()
{
    Params[kBeginDate] = uOrvaneCommon::GetJxcBeginDate();
    Params[kEndDate] = uOrvaneCommon::GetJxcEndDate();
    if (!ShowCondition(uCondDefine::DateRangeCondition(), true)) {
        close();
        return false;
    }
    LoadData();
    return true;
}

void TfrmSysEventLog::LoadData()
{
    const QString begin = Params[kBeginDate].toString();
    const QString end = Params[kEndDate].toString();
    Udlldbservice::OpenProcByName(kProc, kProcParams,
                                  {QStringLiteral("R"), QString(), QString(), begin, end, QString()},
                                  cdsGetRecordSet);
    lblBeginDate->setText(QStringLiteral("开始日期：") + begin);
    lblEndDate->setText(QStringLiteral("结束日期：") + end);
    RefreshData();
    FBClearUse = false;
}

void TfrmSysEventLog::btnQueryClick()
{
    if (ShowCondition(uCondDefine::DateRangeCondition(), true))
        LoadData();
}

void TfrmSysEventLog::btnExportClick()
{
    if (RefusedInQueryEdition())
        return;
    Export();
}

void TfrmSysEventLog::Export()
{
    SaveDialog1->setNameFilter(QStringLiteral("Text files (*.txt *.TXT)"));
    SaveDialog1->selectFile(QDir(uSysEventLog::AppDirectory()).filePath(QStringLiteral("Data/exportLog")));
    QString fileName;
    if (!FBClearUse) {
        if (SaveDialog1->exec() != QDialog::Accepted)
            return;
        fileName = SaveDialog1->selectedFiles().value(0).trimmed();
        if (fileName.isEmpty() || QFileInfo(fileName).fileName().isEmpty()) {
            Notice(QStringLiteral("请输入要保存文件名。"));
            return;
        }
        fileName = uSysEventLog::WithTxtExtension(fileName);
        const QFileInfo target(fileName);
        if (target.exists()) {
            // Devices, pipes and folders are the system's; a leading dot hides a file.
            const QString reason = !target.isFile()    ? QStringLiteral("文件是系统文件")
                                   : target.isHidden() ? QStringLiteral("文件是隐藏文件")
                                                       : QString();
            Udllmessageintf::CheckError(!reason.isEmpty(),
                                        QStringLiteral("%1，不能导出系统日志。").arg(reason),
                                        TMessageBoxType::mtInformation, QString());
        }
    } else {
        const QDir data(QDir(uSysEventLog::AppDirectory()).filePath(QStringLiteral("Data")));
        if (!data.mkpath(QStringLiteral(".")))
            FileError(data.path(), QStringLiteral("不能建立文件夹。"));
        const QString stamp = QDateTime::currentDateTime().toString(QStringLiteral("yyyy-MM-dd@hh-mm-ss"));
        fileName = data.filePath(uOrvaneCommon::GetSysValue(QStringLiteral("Versionno")).trimmed() + stamp +
                                 QStringLiteral(".Txt"));
        fszFileName = fileName;
    }

    QFile file(fileName);
    if (!OpenPrivateFile(file))
        FileError(fileName, file.errorString());
    const QByteArray text = uSysEventLog::ExportText(cdsGetRecordSet);
    if (file.write(text) != text.size() || !file.flush())
        FileError(fileName, file.errorString());
    file.close();
    uOrvaneCommon::WriteSysEvent(QStringLiteral("日志导出操作"));
    if (!FBClearUse)
        Notice(QStringLiteral("导出日志成功。"));
}

bool TfrmSysEventLog::SaveDialog1CanClose(const QString &fileName)
{
    const QFileInfo target(uSysEventLog::WithTxtExtension(fileName));
    if (!target.exists())
        return true;
    return Udllmessageintf::SuperMessageBox(target.fileName() + QStringLiteral("文件已存在，要替换它吗？"),
                                            QStringLiteral("确认另存为"), TMessageBoxType::mtConfirmation,
                                            ButtonSet({TMessageBoxButton::mbYes, TMessageBoxButton::mbNo}),
                                            TMessageBoxButton::mbNo) == TMessageBoxButton::mbYes;
}

void TfrmSysEventLog::btnClearClick()
{
    if (RefusedInQueryEdition())
        return;
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("是否要清空系统日志？"),
                                          TMessageBoxType::mtInformation, QString()))
        return;
    FBClearUse = true;
    Export(); // an export that fails ends the clear here: the log is never cleared without its file
    {
        Udlldbservice::TTransaction transaction;
        Udlldbservice::ExecuteProcByName(
            kProc, kProcParams, {QStringLiteral("C"), QString(), QString(), QString(), QString(), QString()});
        uOrvaneCommon::WriteSysEvent(QStringLiteral("清空系统日志"));
        transaction.Commit();
    }
    RefreshData();
    LoadData();
    Notice(QStringLiteral("日志已清空，导出文件为") + fszFileName);
}

namespace uSysEventLog {

bool ShowSysEventLog()
{
    auto *form = new TfrmSysEventLog(uDllComm::DllParams.FparForm);
    form->ShowMDI();
    form->Open();
    return true;
}

QString AppDirectory()
{
    return QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);
}

QByteArray ExportText(TClientDataSet &rows)
{
    const QString tab = QStringLiteral("\t");
    QString text = QStringLiteral("系统日志导出\r\n");
    text += QStringLiteral("\t\t日期\t\t\t计算机名\t操作员\t\t事件\r\r\n");
    int number = 0;
    for (rows.First(); !rows.Eof(); rows.Next())
        text += tab + QString::number(++number) + tab + rows.FieldByName(QStringLiteral("DATE")).AsString() +
                tab + rows.FieldByName(QStringLiteral("HOSTNAME")).AsString() + tab + tab +
                rows.FieldByName(QStringLiteral("EMPLOYEE")).AsString() + tab +
                rows.FieldByName(QStringLiteral("EVENT")).AsString() + QStringLiteral("\r\r\n");
    QStringEncoder gbk("GBK");
    return gbk.isValid() ? QByteArray(gbk.encode(text)) : text.toLocal8Bit();
}

TPrintTable EventLogTable(TClientDataSet &rows)
{
    TPrintTable table;
    table.Title = PrintTemplate();
    table.Columns = QStringList{QStringLiteral("行号"), QStringLiteral("日期"), QStringLiteral("计算机名"),
                                QStringLiteral("操作员"), QStringLiteral("事件")};
    for (rows.First(); !rows.Eof(); rows.Next())
        table.Rows << QStringList{QString::number(table.Rows.size() + 1),
                                  rows.FieldByName(QStringLiteral("DATE")).AsString(),
                                  rows.FieldByName(QStringLiteral("HOSTNAME")).AsString(),
                                  rows.FieldByName(QStringLiteral("EMPLOYEE")).AsString(),
                                  rows.FieldByName(QStringLiteral("EVENT")).AsString()};
    return table;
}

QString PrintTemplate()
{
    return QStringLiteral("系统日志");
}

QString WithTxtExtension(const QString &fileName)
{
    return fileName.toLower().contains(QLatin1String(".txt")) ? fileName : fileName + QStringLiteral(".txt");
}

} // namespace uSysEventLog
