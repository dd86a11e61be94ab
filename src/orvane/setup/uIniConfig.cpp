#include "uIniConfig.h"

#include <QButtonGroup>
#include <QComboBox>
#include <QDateEdit>
#include <QFocusEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSpinBox>
#include <QTableWidget>
#include <QVBoxLayout>

#include "Format.h"
#include "Udllbaseselect.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uOperationFunc.h"
#include "uOrvaneCommon.h"
#include "uPreviewAtype.h"
#include "uSetupControls.h"
#include "uTransformFunc.h"

using namespace uIniConfigCore;

namespace {

const char *const kCompanyEdits[] = {"lbeFullName", "lbeName", "lbeAddress", "lbeTelCode", "lbeFaxNo",
                                     "lbeLegalMan", "lbeZip",  "lbeTaxNo",   "lbeBankNo",  "lbeMemo"};
const int kCompanyCaptions[] = {3266, 3267, 3268, 3269, 3270, 1429, 1427, 1424, 1423, 2541};
using uSetupControls::Cell;
using uSetupControls::kColumns;
using uSetupControls::kFirstLevelColumn;
const QColor kBeforeOpening(0xF0, 0xF0, 0xF0);
const QColor kFromOpening(0xFF, 0xFF, 0xFF);

QString GridDate(const QDate &date)
{
    return date.isValid() ? date.toString(QStringLiteral("yyyy/MM/dd")) : QString();
}

QLabel *CaptionLabel(int captionNo, QWidget *parent)
{
    return new QLabel(Caption(captionNo), parent);
}

} // namespace

TfrmIniConfig::TfrmIniConfig(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmIniConfig"));
    // No close entry: the wizard ends through its buttons.
    setWindowFlag(Qt::WindowCloseButtonHint, false);
    BuildPages();
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    btnHelp->setVisible(false);
    btnBack = AddBottomButton(QStringLiteral("btnBack"), Caption(3274));
    btnNext = AddBottomButton(QStringLiteral("btnNext"), Caption(3275));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"));
    btnClose->setVisible(false);
    connect(btnBack, &QPushButton::clicked, this, &TfrmIniConfig::btnBackClick);
    connect(btnNext, &QPushButton::clicked, this, &TfrmIniConfig::btnNextClick);
    connect(btnClose, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(btnHelp, &QPushButton::clicked, this,
            [] { uOperationFunc::OpenHelpTopic(QStringLiteral("系统初始(n)/系统配置/账套初始设置")); });
    LoadValues();
}

TfrmIniConfig::~TfrmIniConfig() = default;

void TfrmIniConfig::BuildPages()
{
    auto *side = new QVBoxLayout;
    Image1 = new QLabel(pnlEntry);
    Image1->setObjectName(QStringLiteral("Image1"));
    Image2 = new QLabel(pnlEntry);
    Image2->setObjectName(QStringLiteral("Image2"));
    for (QLabel *image : {Image1, Image2}) {
        image->setFixedWidth(120);
        image->setStyleSheet(QStringLiteral("background: #3a6ea5;"));
        side->addWidget(image, 1);
    }
    auto *pages = new QVBoxLayout;
    for (QGroupBox *box :
         {BuildCompanyPage(), BuildSysIniPage(), BuildAtypeLenPage(), BuildPeriodPage(), BuildHiddenGroup()})
        pages->addWidget(box);
    auto *layout = new QHBoxLayout(pnlEntry);
    layout->addLayout(side);
    layout->addLayout(pages, 1);
}

QGroupBox *TfrmIniConfig::BuildCompanyPage()
{
    grbCompanyInfo = new QGroupBox(Caption(2530), pnlEntry);
    grbCompanyInfo->setObjectName(QStringLiteral("grbCompanyInfo"));
    auto *form = new QFormLayout(grbCompanyInfo);
    auto *hint = new QLabel(QStringLiteral("以下信息将用于报表打印，建议据实填写；如以后需要修改，可以") +
                                QStringLiteral("在软件中进行。"),
                            grbCompanyInfo);
    hint->setObjectName(QStringLiteral("lblHint"));
    hint->setWordWrap(true);
    form->addRow(hint);
    for (int i = 0; i < 10; ++i) {
        auto *edit = new QLineEdit(grbCompanyInfo);
        edit->setObjectName(QLatin1String(kCompanyEdits[i]));
        edit->setMaxLength(100);
        form->addRow(CaptionLabel(kCompanyCaptions[i], grbCompanyInfo), edit);
        CompanyEdits << edit;
    }
    sbtnSave = new QPushButton(Caption(3265), grbCompanyInfo);
    sbtnSave->setObjectName(QStringLiteral("sbtnSave"));
    sbtnSave->setVisible(false);
    form->addRow(sbtnSave);
    connect(sbtnSave, &QPushButton::clicked, this, &TfrmIniConfig::sbtnSaveClick);
    return grbCompanyInfo;
}

QGroupBox *TfrmIniConfig::BuildSysIniPage()
{
    grbSysIni = new QGroupBox(Caption(3201), pnlEntry);
    grbSysIni->setObjectName(QStringLiteral("grbSysIni"));
    lcbTradeMode = new QComboBox(grbSysIni);
    lcbTradeMode->setObjectName(QStringLiteral("lcbTradeMode"));
    for (const TTradeInfo &trade : ReadTrades()) {
        FTradeList.insert(trade.FId, trade);
        lcbTradeMode->addItem(trade.FName, trade.FId);
    }
    btnPreviewAtype = new QPushButton(QStringLiteral("科目预览"), grbSysIni);
    btnPreviewAtype->setObjectName(QStringLiteral("btnPreviewAtype"));
    grgTypeList = uSetupControls::NewVoucherTypeBox(grbSysIni, &FTypeButtons);
    auto *trade = new QHBoxLayout;
    trade->addWidget(lcbTradeMode, 1);
    trade->addWidget(btnPreviewAtype);
    auto *form = new QFormLayout(grbSysIni);
    form->addRow(QStringLiteral("请选择企业类别"), trade);
    form->addRow(grgTypeList);
    connect(lcbTradeMode, &QComboBox::currentIndexChanged, this, &TfrmIniConfig::lcbTradeModeChange);
    connect(btnPreviewAtype, &QPushButton::clicked, this, &TfrmIniConfig::btnPreviewAtypeClick);
    return grbSysIni;
}

QGroupBox *TfrmIniConfig::BuildAtypeLenPage()
{
    grbAtypeLen = new QGroupBox(Caption(3281), pnlEntry);
    grbAtypeLen->setObjectName(QStringLiteral("grbAtypeLen"));
    AtypeLen_SpGrid = uSetupControls::NewGrid(grbAtypeLen);
    AtypeLen_SpGrid->installEventFilter(this);
    connect(AtypeLen_SpGrid, &QTableWidget::currentCellChanged, this,
            [this](int row, int column, int previousRow, int previousColumn) {
                if (FChecking || previousRow != 1 || previousColumn < kFirstLevelColumn ||
                    (row == previousRow && column == previousColumn))
                    return;
                if (!CheckCodeLengthCell(previousColumn)) {
                    const QSignalBlocker block(AtypeLen_SpGrid);
                    AtypeLen_SpGrid->setCurrentCell(previousRow, previousColumn);
                }
            });
    auto *layout = new QVBoxLayout(grbAtypeLen);
    layout->addWidget(AtypeLen_SpGrid);
    return grbAtypeLen;
}

QGroupBox *TfrmIniConfig::BuildPeriodPage()
{
    grbPeriodSet = new QGroupBox(QStringLiteral("会计期间设置"), pnlEntry);
    grbPeriodSet->setObjectName(QStringLiteral("grbPeriodSet"));
    const QDate logOn = QDate::fromString(Udllsystemintf::GetLogOnDate(), QStringLiteral("yyyy-MM-dd"));
    const QDate today = logOn.isValid() ? logOn : QDate::currentDate();
    edtAccYear = new QLineEdit(grbPeriodSet);
    edtAccYear->setObjectName(QStringLiteral("edtAccYear"));
    edtAccYear->setReadOnly(true);
    udAccYear = new QSpinBox(grbPeriodSet);
    udAccYear->setObjectName(QStringLiteral("udAccYear"));
    udAccYear->setRange(2000, 2099);
    udAccYear->setSingleStep(1);
    lblStartPeriod = new QComboBox(grbPeriodSet);
    lblStartPeriod->setObjectName(QStringLiteral("lblStartPeriod"));
    for (int p = 1; p <= 12; ++p)
        lblStartPeriod->addItem(QString::number(p));
    lblStartPeriod->setCurrentIndex(today.month() - 1);
    GridPeriod = new QTableWidget(13, 4, grbPeriodSet);
    GridPeriod->setObjectName(QStringLiteral("GridPeriod"));
    GridPeriod->horizontalHeader()->setVisible(false);
    GridPeriod->verticalHeader()->setVisible(false);
    GridPeriod->setEditTriggers(QAbstractItemView::NoEditTriggers);
    GridPeriod->setSelectionMode(QAbstractItemView::SingleSelection);
    GridPeriod->setSelectionBehavior(QAbstractItemView::SelectItems);
    GridPeriod->setStyleSheet(
        QStringLiteral("QTableWidget::item:selected { background: white; color: black; }"));
    const QStringList header = {QStringLiteral("期间号"), QStringLiteral("起始日期"),
                                QStringLiteral("结账日期"), QStringLiteral("天数")};
    for (int c = 0; c < header.size(); ++c)
        GridPeriod->setItem(0, c, Cell(header[c], false));
    DatePick1 = new QDateEdit(GridPeriod->viewport());
    DatePick1->setObjectName(QStringLiteral("DatePick1"));
    DatePick1->setDateRange(QDate(2000, 1, 1), QDate(2099, 12, 31));
    DatePick1->setDisplayFormat(QStringLiteral("yyyy/MM/dd"));
    DatePick1->setCalendarPopup(true);
    DatePick1->hide();
    DatePick1->installEventFilter(this);
    const auto picked = [this] {
        if (FEditRow > 0)
            GridPeriod->item(FEditRow, FEditStart ? 1 : 2)->setText(GridDate(DatePick1->date()));
        FDateSet = true;
    };
    connect(DatePick1, &QDateEdit::dateChanged, this, picked);
    connect(GridPeriod, &QTableWidget::cellDoubleClicked, this, &TfrmIniConfig::GridPeriodDblClick);
    connect(lblStartPeriod, &QComboBox::currentIndexChanged, this, &TfrmIniConfig::ShowPeriods);
    connect(udAccYear, &QSpinBox::valueChanged, this, [this](int year) {
        edtAccYear->setText(QString::number(year));
        LoadPeriods(year);
    });

    auto *top = new QHBoxLayout;
    top->addWidget(new QLabel(QStringLiteral("会计年度"), grbPeriodSet));
    top->addWidget(edtAccYear);
    top->addWidget(udAccYear);
    top->addSpacing(16);
    top->addWidget(new QLabel(QStringLiteral("开账期间"), grbPeriodSet));
    top->addWidget(lblStartPeriod);
    top->addStretch(1);
    auto *layout = new QVBoxLayout(grbPeriodSet);
    layout->addLayout(top);
    layout->addWidget(GridPeriod, 1);

    const QSignalBlocker block(udAccYear);
    udAccYear->setValue(today.year());
    edtAccYear->setText(QString::number(udAccYear->value()));
    return grbPeriodSet;
}

QGroupBox *TfrmIniConfig::BuildHiddenGroup()
{
    grbHSType = new QGroupBox(pnlEntry);
    grbHSType->setObjectName(QStringLiteral("grbHSType"));
    lbeMoneyCode = new QLineEdit(grbHSType);
    lbeMoneyCode->setObjectName(QStringLiteral("lbeMoneyCode"));
    lbeMoneyName = new QLineEdit(grbHSType);
    lbeMoneyName->setObjectName(QStringLiteral("lbeMoneyName"));
    lbcEnterPriseType = new QComboBox(grbHSType);
    lbcEnterPriseType->setObjectName(QStringLiteral("lbcEnterPriseType"));
    lbcEnterPriseType->addItems({QStringLiteral("商品流通企业"), QStringLiteral("工业企业"),
                                 QStringLiteral("服务企业"), QStringLiteral("其他企业")});
    lbcEnterPrisePro = new QComboBox(grbHSType);
    lbcEnterPrisePro->setObjectName(QStringLiteral("lbcEnterPrisePro"));
    lbcEnterPrisePro->addItems({QStringLiteral("私营企业"), QStringLiteral("国有企业"),
                                QStringLiteral("集体企业"), QStringLiteral("股份制企业"),
                                QStringLiteral("外商投资企业"), QStringLiteral("其他")});
    lbeAccountManager = new QLineEdit(grbHSType);
    lbeAccountManager->setObjectName(QStringLiteral("lbeAccountManager"));
    btnAccountManager = new QPushButton(QStringLiteral("…"), grbHSType);
    btnAccountManager->setObjectName(QStringLiteral("btnAccountManager"));
    connect(btnAccountManager, &QPushButton::clicked, this, [this] {
        TBaseRecordList picked;
        if (Udllbaseselect::SelectBaseData(QStringLiteral("Employee"), QString(), false, picked) &&
            !picked.isEmpty()) {
            FAdminId = picked.first().TypeId;
            lbeAccountManager->setText(picked.first().FullName);
        }
    });
    auto *form = new QFormLayout(grbHSType);
    form->addRow(CaptionLabel(3260, grbHSType), lbeMoneyCode);
    form->addRow(CaptionLabel(3261, grbHSType), lbeMoneyName);
    form->addRow(CaptionLabel(3262, grbHSType), lbcEnterPriseType);
    form->addRow(CaptionLabel(3263, grbHSType), lbcEnterPrisePro);
    auto *manager = new QHBoxLayout;
    manager->addWidget(lbeAccountManager, 1);
    manager->addWidget(btnAccountManager);
    form->addRow(CaptionLabel(3264, grbHSType), manager);
    grbHSType->setVisible(false);
    return grbHSType;
}

void TfrmIniConfig::LoadValues()
{
    using uOrvaneCommon::GetSysValue;
    for (int i = 0; i < CompanyEdits.size(); ++i)
        CompanyEdits[i]->setText(GetSysValue(QLatin1String(CompanyKeys()[i].Read)));
    const int group = uTransformFunc::StrToIntLoose(GetSysValue(QStringLiteral("vtGroupNo")));
    if (QAbstractButton *button = FTypeButtons->button(group - 1))
        button->setChecked(true);
    const int trade = StrToIntDef(GetSysValue(QStringLiteral("TradeID")).trimmed(), -1);
    {
        const QSignalBlocker block(lcbTradeMode);
        const int index = lcbTradeMode->findData(trade);
        lcbTradeMode->setCurrentIndex(index >= 0 ? index : 0);
    }
    LoadCodeLengths();
    lbeMoneyCode->setText(GetSysValue(QStringLiteral("CurrencyCode")));
    lbeMoneyName->setText(GetSysValue(QStringLiteral("CurrencyName")));
    lbcEnterPriseType->setCurrentIndex(
        uTransformFunc::StrToIntOrZero(GetSysValue(QStringLiteral("EnterpriseType"))));
    lbcEnterPrisePro->setCurrentIndex(
        uTransformFunc::StrToIntOrZero(GetSysValue(QStringLiteral("EnterCharacter"))));
    lbeAccountManager->setText(GetSysValue(QStringLiteral("AdminName")));
    btnAccountManager->setEnabled(!GetSysValue(QStringLiteral("AdminID")).isEmpty());
    LoadPeriods(udAccYear->value());
}

int TfrmIniConfig::SelectedTradeId() const
{
    return lcbTradeMode->currentIndex() >= 0 ? lcbTradeMode->currentData().toInt() : -1;
}

void TfrmIniConfig::LoadCodeLengths()
{
    AtypeLen_SpGrid->item(1, kFirstLevelColumn)->setText(QStringLiteral("4"));
    const QStringList levels = uIniConfigCore::LoadCodeLengths(SelectedTradeId());
    uSetupControls::SetLengths(AtypeLen_SpGrid, levels, !ReviewMode());
}

void TfrmIniConfig::lcbTradeModeChange()
{
    LoadCodeLengths();
}

void TfrmIniConfig::LoadPeriods(int year)
{
    year = std::clamp(year, 2000, 2099);
    bool stored = false;
    FRows = uIniConfigCore::LoadPeriods(year, &stored);
    if (stored) {
        // A stored calendar brings its opening period along (year * 100 + period).
        const int open =
            uTransformFunc::StrToIntOrZero(uOrvaneCommon::GetSysValue(QStringLiteral("OpenPeriod")));
        const int period = open > 100 ? open % 100 : open;
        const QSignalBlocker block(lblStartPeriod);
        if (period >= 1 && period <= 12)
            lblStartPeriod->setCurrentIndex(period - 1);
    }
    FbakData = FRows;
    ShowPeriods();
}

void TfrmIniConfig::ShowPeriods()
{
    const int opening = lblStartPeriod->currentIndex() + 1;
    for (int i = 0; i < 12; ++i) {
        const TPeriodRow &row = FRows.value(i);
        const QStringList cells = {row.No > 0 ? QString::number(row.No) : QString(), GridDate(row.Start),
                                   GridDate(row.End),
                                   row.No > 0 ? QString::number(DayCount(row.Start, row.End)) : QString()};
        for (int c = 0; c < cells.size(); ++c) {
            QTableWidgetItem *item = Cell(cells[c], false);
            item->setBackground(i + 1 < opening ? kBeforeOpening : kFromOpening);
            GridPeriod->setItem(i + 1, c, item);
        }
    }
}

void TfrmIniConfig::GridPeriodDblClick(int row, int column)
{
    if (row < 1 || row > 12 || !(column == 2 || (column == 1 && row == 1)))
        return;
    FEditRow = row;
    FEditStart = column == 1;
    FDateSet = false;
    const QDate cell = QDate::fromString(GridPeriod->item(row, column)->text(), QStringLiteral("yyyy/MM/dd"));
    const QDate logOn = QDate::fromString(Udllsystemintf::GetLogOnDate(), QStringLiteral("yyyy-MM-dd"));
    {
        const QSignalBlocker block(DatePick1);
        DatePick1->setDate(cell.isValid() ? cell : logOn);
    }
    DatePick1->setGeometry(GridPeriod->visualItemRect(GridPeriod->item(row, column)));
    DatePick1->show();
    DatePick1->setFocus();
}

void TfrmIniConfig::DatePick1Exit()
{
    if (FEditRow < 0)
        return;
    const int row = FEditRow;
    FEditRow = -1;
    DatePick1->hide();
    if (!FDateSet) {
        ShowPeriods();
        return;
    }
    FDateSet = false;
    if (ApplyDateEdit(FRows, row - 1, FEditStart, DatePick1->date())) {
        FbakData = FRows;
    } else {
        Udllmessageintf::SuperMessageBox(kPast2099, QString(), TMessageBoxType::mtError);
        FRows = FbakData;
    }
    ShowPeriods();
}

bool TfrmIniConfig::CheckCodeLengthCell(int column)
{
    QTableWidgetItem *item = AtypeLen_SpGrid->item(1, column);
    if (!item || column < kFirstLevelColumn)
        return true;
    const int value = uTransformFunc::StrToIntLoose(item->text().trimmed());
    item->setText(QString::number(value));
    int sum = 0;
    for (int c = kFirstLevelColumn; c < kColumns; ++c)
        sum += uTransformFunc::StrToIntLoose(AtypeLen_SpGrid->item(1, c)->text());
    const QString problem = CodeLengthCellProblem(column, value, sum);
    if (problem.isEmpty())
        return true;
    FChecking = true;
    Udllmessageintf::SuperMessageBox(problem);
    FChecking = false;
    if (column == kFirstLevelColumn)
        AtypeLen_SpGrid->setFocus();
    return false;
}

bool TfrmIniConfig::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == DatePick1 && event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (key == Qt::Key_Return || key == Qt::Key_Enter || key == Qt::Key_Escape) {
            FDateSet = key != Qt::Key_Escape;
            DatePick1Exit();
            return true;
        }
    } else if (watched == DatePick1 && event->type() == QEvent::FocusOut) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason)
            DatePick1Exit();
    } else if (watched == AtypeLen_SpGrid && event->type() == QEvent::FocusOut && !FChecking) {
        const auto reason = static_cast<QFocusEvent *>(event)->reason();
        const int column = AtypeLen_SpGrid->currentColumn();
        if (reason != Qt::PopupFocusReason && reason != Qt::ActiveWindowFocusReason &&
            AtypeLen_SpGrid->currentRow() == 1 && !CheckCodeLengthCell(column))
            AtypeLen_SpGrid->item(1, column)->setText(QString());
    }
    return TfrmDialogParent::eventFilter(watched, event);
}

void TfrmIniConfig::ShowPage(int page)
{
    for (QGroupBox *box : {grbCompanyInfo, grbSysIni, grbAtypeLen, grbPeriodSet, grbHSType})
        box->setVisible(false);
    btnBack->setText(Caption(3274));
    btnNext->setText(Caption(3275));
    btnBack->setEnabled(true);
    btnNext->setEnabled(true);
    fiCurPage = page;
    const QList<QGroupBox *> boxes = {grbCompanyInfo, grbSysIni, grbAtypeLen, grbPeriodSet};
    boxes[page - 1]->setVisible(true);
    const QString suffix = page == 1   ? Caption(2530)
                           : page == 2 ? Caption(3201)
                           : page == 3 ? Caption(3281)
                                       : QStringLiteral("会计期间设置");
    SetTitle(Caption(3246) + QStringLiteral("-") + suffix);
    if (page == 1)
        btnBack->setEnabled(false);
    if (page == 4) {
        btnNext->setText(Caption(2899));
        if (ReviewMode()) {
            btnNext->setEnabled(false);
            btnClose->setVisible(true);
        }
    }
}

void TfrmIniConfig::btnBackClick()
{
    if (fiCurPage > 1)
        ShowPage(fiCurPage - 1);
}

void TfrmIniConfig::btnNextClick()
{
    if (fiCurPage < 4) {
        ShowPage(fiCurPage + 1);
        return;
    }
    if (!FinalSave())
        return;
    Udllsystemintf::ReLoadAtypeClass();
    fbSave = true;
    done(mrOk);
}

void TfrmIniConfig::btnPreviewAtypeClick()
{
    if (SelectedTradeId() > 0)
        TfrmPreviewAtype::Execute(SelectedTradeId());
}

void TfrmIniConfig::sbtnSaveClick()
{
    QStringList values;
    for (QLineEdit *edit : std::as_const(CompanyEdits))
        values << edit->text();
    SaveCompany(values);
    Udllmessageintf::SuperMessageBox(uOrvaneCommon::GetMessageText(6082));
}

TIniConfigData TfrmIniConfig::Collect() const
{
    TIniConfigData data;
    for (QLineEdit *edit : CompanyEdits)
        data.Company << edit->text();
    data.CurrencyCode = lbeMoneyCode->text();
    data.CurrencyName = lbeMoneyName->text();
    data.EnterpriseType = lbcEnterPriseType->currentIndex();
    data.EnterCharacter = lbcEnterPrisePro->currentIndex();
    data.AdminID = FAdminId;
    data.AdminName = lbeAccountManager->text();
    data.GroupNo = FTypeButtons->checkedId() + 1;
    data.TradeId = SelectedTradeId();
    data.TradeReportPath = FTradeList.value(data.TradeId).FReportPath;
    data.Lengths = uSetupControls::Lengths(AtypeLen_SpGrid);
    data.Year = udAccYear->value();
    data.StartPeriod = lblStartPeriod->currentIndex() + 1;
    data.Periods = FRows;
    return data;
}

bool TfrmIniConfig::FinalSave()
{
    DatePick1Exit(); // a pending date edit first
    return uIniConfigCore::FinalSave(Collect());
}

void TfrmIniConfig::done(int result)
{
    if (fiCurPage < 4) {
        Udllmessageintf::SuperMessageBox(
            QStringLiteral("你第一次使用该系统，请先完成所有的配置再关闭界面。"));
        return;
    }
    if (!fbSave && !ReviewMode() && !FinalSave())
        return;
    TfrmDialogParent::done(result);
}

bool TfrmIniConfig::Run()
{
    fiCurPage = 1;
    fszIniSetUp = uOrvaneCommon::GetSysValue(QStringLiteral("InitSetup"));
    fszIniOver = uOrvaneCommon::GetSysValue(QStringLiteral("iniover"));
    if ((fszIniSetUp == QLatin1String("T") || fszIniOver == QLatin1String("1")) && !fbRead) {
        fbReturn = true;
        return fbReturn;
    }
    if (ReviewMode()) {
        for (QWidget *control : std::initializer_list<QWidget *>{
                 lcbTradeMode, lbcEnterPrisePro, lbcEnterPriseType, lbeAccountManager, grgTypeList})
            control->setEnabled(false);
        sbtnSave->setVisible(true);
        LoadCodeLengths(); // read-only now
    }
    Image2->setVisible(uDllComm::DllParams.IsGM);
    Image1->setVisible(!uDllComm::DllParams.IsGM);
    ShowPage(1);
    exec();
    return fbReturn;
}

bool TfrmIniConfig::Execute(bool read)
{
    TfrmIniConfig form;
    form.fbRead = read;
    return form.Run();
}

namespace uIniConfig {
bool IniConfigShow(bool read)
{
    return TfrmIniConfig::Execute(read);
}
} // namespace uIniConfig
