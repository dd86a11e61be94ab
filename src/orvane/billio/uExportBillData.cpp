#include "uExportBillData.h"

#include <QCheckBox>
#include <QDir>
#include <QHBoxLayout>
#include <QPushButton>
#include <QStandardPaths>
#include <QVBoxLayout>
#include <stdexcept>

#include "Kvggeneralgrid.h"
#include "Kvtable.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uBillIoList.h"
#include "uDllComm.h"
#include "uExportBillDataCore.h"
#include "uExportBillDataQuery.h"
#include "uOrvaneCommon.h"

namespace {

constexpr int kCaptionMessage = 2894;
constexpr int kEmptyNameMessage = 2262;

// The list of bills.
QList<TGridColumn> ListColumns()
{
    return GridColumns({{"checked", "选择"},
                        {"nvchtype", ""},
                        {"number", "单据编号"},
                        {"netypeid", "经办人"},
                        {"nbtypeid", "单位全名"},
                        {"BFullName2", "结算单位"},
                        {"nktypeid", "仓库全名"},
                        {"ndeptid", "部门全名"},
                        {"mfullname", "项目全名"},
                        {"total", "金额"},
                        {"summary", "摘要"},
                        {"draftname", ""},
                        {"vchcode", ""},
                        {"vchtype", ""},
                        {"redword", ""},
                        {"draft", ""},
                        {"bbtypeid", ""},
                        {"bktypeid", ""},
                        {"betypeid", ""},
                        {"bdeptid", ""},
                        {"nktypeid2", ""},
                        {"bktypeid2", ""},
                        {"date", ""},
                        {"BUserCode2", ""},
                        {"musercode", ""}});
}

} // namespace

TfrmExportBillData::TfrmExportBillData(QWidget *parent) : TfrmMDIParent(parent)
{
    setObjectName(QStringLiteral("frmExportBillData"));
    auto *root = new QVBoxLayout(pnlEntry);
    MainGrid = new TKvGGeneralGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns(ListColumns());
    root->addWidget(MainGrid, 1);
    chkSelect = new QCheckBox(QStringLiteral("全选"), pnlEntry);
    chkSelect->setObjectName(QStringLiteral("chkSelect"));
    root->addWidget(chkSelect);
    uBillIoList::Connect(MainGrid, chkSelect);

    btnQuery = AddButton("btnQuery", QStringLiteral("查询条件"));
    btnRefresh = AddButton("btnRefresh", QStringLiteral("刷新"));
    btnExport = AddButton("btnExport", QStringLiteral("导出"));
    btnHelp = AddButton("btnHelp", QStringLiteral("帮助"));
    btnClose = AddButton("btnClose", QStringLiteral("关闭"));
    connect(btnQuery, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnQueryClick(); }); });
    connect(btnRefresh, &QPushButton::clicked, this, [this] { Kvtable::RunGuarded([this] { LoadList(); }); });
    connect(btnExport, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnExportClick(); }); });
    connect(btnHelp, &QPushButton::clicked, this, &TQuillForm::ShowHelp);
    connect(btnClose, &QPushButton::clicked, this, &QWidget::close);

    SaveDialog1 = new QFileDialog(this);
    SaveDialog1->setObjectName(QStringLiteral("SaveDialog1"));
    SaveDialog1->setAcceptMode(QFileDialog::AcceptSave);
    SaveDialog1->setFileMode(QFileDialog::AnyFile);
    // The window asks about an existing file itself, after its own checks.
    SaveDialog1->setOptions(QFileDialog::DontUseNativeDialog | QFileDialog::DontConfirmOverwrite);
    SaveDialog1->setNameFilter(QStringLiteral("Text files (*.txt *.TXT)"));
    DefaultFolder = QStandardPaths::writableLocation(QStandardPaths::AppDataLocation);

    SetTitle(uOrvaneCommon::GetMessageText(kCaptionMessage));
    SetStatusText(QString());
    // Every unit, handler, warehouse and department; posted bills, reversals left out.
    for (const int position : {3, 7, 8, 9, 128})
        Params[position] = QStringLiteral("00000");
    Params[24] = QStringLiteral("2");
    Params[25] = QStringLiteral("F");
}

TfrmExportBillData::~TfrmExportBillData() = default;

bool TfrmExportBillData::ShowQuery()
{
    TfrmExportBillDataQuery query(this, Params);
    return query.exec() == mrOk;
}

void TfrmExportBillData::LoadList()
{
    uExportBillDataCore::TExportQuery q;
    q.BeginDate = Params[17].toString();
    q.EndDate = Params[18].toString();
    q.VchtypeName = Params[12].toString();
    q.EType = Params[7].toString();
    q.Summary = Params[78].toString();
    q.BType = Params[3].toString();
    q.KType = Params[8].toString();
    q.DType = Params[9].toString();
    q.Comment = Params[93].toString();
    q.Draft = Params[24].toString();
    q.RedOld = Params[25].toString();
    uExportBillDataCore::LoadList(q, cdsGetRecordSet);
    RefreshData();
    uBillIoList::Reset(MainGrid, chkSelect);
}

void TfrmExportBillData::btnQueryClick()
{
    if (ShowQuery())
        LoadList();
}

QString TfrmExportBillData::ChooseTarget()
{
    SaveDialog1->setDirectory(DefaultFolder);
    SaveDialog1->selectFile(QDir(DefaultFolder).filePath(QStringLiteral("exportdata")));
    for (;;) {
        if (SaveDialog1->exec() != QDialog::Accepted)
            return QString();
        const QString chosen = SaveDialog1->selectedFiles().value(0).trimmed();
        if (chosen.isEmpty() || QFileInfo(chosen).fileName().isEmpty()) {
            Udllmessageintf::ShowWarningMsg(uOrvaneCommon::GetMessageText(kEmptyNameMessage));
            return QString();
        }
        const QString fileName = uExportBillDataCore::WithExtension(chosen);
        if (const QString refusal = uExportBillDataCore::PrepareTarget(fileName); !refusal.isEmpty()) {
            Udllmessageintf::ShowWarningMsg(refusal);
            return QString();
        }
        if (!QFileInfo::exists(fileName) ||
            Udllmessageintf::ConfirmYesNo(QStringLiteral("文件已经存在，是否覆盖？")))
            return fileName;
    }
}

void TfrmExportBillData::btnExportClick()
{
    QList<int> recNos;
    for (const int row : uBillIoList::TickedRows(MainGrid)) {
        const qint64 vchcode = MainGrid->CellText(row, QStringLiteral("vchcode")).toLongLong();
        if (vchcode <= 0)
            continue;
        for (int recNo = 1; recNo <= cdsGetRecordSet.RecordCount(); ++recNo) {
            cdsGetRecordSet.SetRecNo(recNo);
            if (cdsGetRecordSet.Value(QStringLiteral("vchcode")).toLongLong() == vchcode) {
                recNos << recNo;
                break;
            }
        }
    }
    if (recNos.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("请至少选择一条您要导出的单据。"));
        return;
    }
    const QString fileName = ChooseTarget();
    if (fileName.isEmpty())
        return;
    const uExportBillDataCore::TExportFile file =
        uExportBillDataCore::BuildFile(cdsGetRecordSet, recNos, uDllComm::DllParams.IsCMSQ);
    QString error;
    if (!uExportBillDataCore::WriteFile(fileName, file.Bytes, error))
        throw std::runtime_error(error.toStdString());
    uExportBillDataCore::RecordExport(fileName, file.Count);
    Udllmessageintf::ShowInfoMessage(uExportBillDataCore::SuccessText(file.Count));
}

namespace uExportBillData {

bool ShowExportBillData()
{
    auto *form = new TfrmExportBillData(uDllComm::DllParams.FparForm);
    form->Params[17] = Udllsystemintf::GetPubDefaultBeginDate();
    form->Params[18] = Udllsystemintf::GetPubDefaultEndDate();
    form->ShowMDI();
    if (!form->ShowQuery()) {
        form->close();
        return true;
    }
    form->LoadList();
    return true;
}

} // namespace uExportBillData
