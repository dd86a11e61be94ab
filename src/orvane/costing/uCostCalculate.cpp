#include "uCostCalculate.h"

#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QFontDatabase>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QShowEvent>
#include <QStringEncoder>
#include <QVBoxLayout>

#include "Format.h"
#include "Kvbasicfun.h"
#include "Kvbasicinfocomponent.h"
#include "Kvggeneralgrid.h"
#include "Udllmessageintf.h"
#include "uCostCalcProcessMain.h"
#include "uCostInput.h"
#include "uCostProgressBar.h"
#include "uDllComm.h"
#include "uJobLock.h"
#include "uOrvaneCommon.h"
#ifdef ORVANE_CLOSING_HOOK
#include "uJxcCheckOutCore.h"
#endif

namespace uCostCalculate {

namespace {
// Columns a character takes in the log's fixed-width Chinese font: ASCII one, East Asian wide
// characters two, and so the symbols and punctuation such a font draws full width (·×—…“”√℃①→■),
// combining marks none, other letters one. Rare characters outside the code page count two as shown.
int CharColumns(char32_t c)
{
    if (c < 0x80)
        return 1;
    const QChar::Category category = QChar::category(c);
    if (category == QChar::Mark_NonSpacing || category == QChar::Mark_Enclosing ||
        category == QChar::Other_Format)
        return 0;
    static constexpr std::pair<char32_t, char32_t> wide[] = {
        {0x00A7, 0x00A8},   {0x00B1, 0x00B1}, {0x00B7, 0x00B7}, {0x00D7, 0x00D7},   {0x00F7, 0x00F7},
        {0x1100, 0x115F},   {0x2010, 0x2026}, {0x2030, 0x203B}, {0x2103, 0x2103},   {0x2116, 0x2116},
        {0x2160, 0x21FF},   {0x2200, 0x22FF}, {0x2460, 0x26FF}, {0x2E80, 0x303E},   {0x3041, 0x33FF},
        {0x3400, 0x4DBF},   {0x4E00, 0x9FFF}, {0xA000, 0xA4CF}, {0xAC00, 0xD7A3},   {0xF900, 0xFAFF},
        {0xFE30, 0xFE4F},   {0xFF00, 0xFF60}, {0xFFE0, 0xFFE6}, {0x1F300, 0x1F64F}, {0x1F900, 0x1F9FF},
        {0x20000, 0x3FFFD},
    };
    for (const auto &[first, last] : wide)
        if (c >= first && c <= last)
            return 2;
    return 1;
}

int DisplayWidth(const QString &AText)
{
    int width = 0;
    for (const char32_t c : AText.toUcs4())
        width += CharColumns(c);
    return width;
}

// The log's font: a Chinese fixed-width font whose wide characters are exactly two columns, so the
// √/× column lines up; the closest one installed otherwise.
QFont LogFont(const QFont &base)
{
    QFont font = QFontDatabase::systemFont(QFontDatabase::FixedFont);
    const QStringList installed = QFontDatabase::families();
    for (const char *family : {"Noto Sans Mono CJK SC", "WenQuanYi Micro Hei Mono"})
        if (installed.contains(QLatin1String(family))) {
            font = QFont(QLatin1String(family));
            break;
        }
    font.setPointSizeF(base.pointSizeF());
    return font;
}
} // namespace

int GbkWidth(const QString &AText)
{
    QStringEncoder encoder("GBK", QStringConverter::Flag::Stateless);
    if (encoder.isValid())
        return int(QByteArray(encoder.encode(AText)).size());
    int width = 0;
    for (const QChar c : AText)
        width += c.unicode() < 0x80 ? 1 : (c.isLowSurrogate() ? 0 : 2);
    return width;
}

QString FitName(const QString &AName, bool APad, int AColumns)
{
    const int width = DisplayWidth(AName);
    if (width <= AColumns)
        return APad ? AName + QString(AColumns - width, QLatin1Char(' ')) : AName;
    static const QString suffix = QStringLiteral("...");
    const int room = AColumns - int(suffix.size());
    QString kept;
    int used = 0;
    for (const char32_t c : AName.toUcs4()) {
        const int w = CharColumns(c);
        if (used + w > room)
            break;
        kept += QString::fromUcs4(&c, 1);
        used += w;
    }
    // A wide character that would be split is left out; a space keeps the column width.
    return kept + suffix + QString(room - used, QLatin1Char(' '));
}

QString ElapsedText(qint64 AMilliseconds)
{
    const qint64 seconds = AMilliseconds / 1000;
    return QStringLiteral("%1小时%2分%3秒").arg(seconds / 3600).arg(seconds / 60 % 60).arg(seconds % 60);
}

} // namespace uCostCalculate

namespace {
constexpr int ColPtypeID = 0;
constexpr int ColUserCode = 1;
constexpr int ColFullName = 2;

// The item list carries the names; an item missing there is looked up.
QString PtypeFullName(const TCostCalcProcess &AProcess)
{
    const QString APtypeID = AProcess.CurrentPtype();
    if (AProcess.cdsPtype.HasField(QStringLiteral("FullName"))) {
        const QString name = AProcess.cdsPtype.Value(QStringLiteral("FullName")).toString();
        if (!name.isEmpty())
            return name;
    }
    QString fullName, userCode;
    if (!uCostInput::GetPtypeNames(APtypeID, fullName, userCode) || fullName.isEmpty())
        return APtypeID;
    return fullName;
}

// Clears a flag when the scope ends, also when an error leaves it.
struct TFlagReset
{
    bool &Flag;
    ~TFlagReset() { Flag = false; }
};
} // namespace

TfrmCostCalculate::TfrmCostCalculate(const QString &APtypeList, QWidget *parent)
    : TfrmDialogParent(parent), FPtypeList(APtypeList)
{
    setObjectName(QStringLiteral("frmCostCalculate"));
    BuildControls();
    BuildPopupMenu();
    SetTitle(QStringLiteral("成本计算"));
    FHelpName = QStringLiteral("成本计算");
    // FormCreate
    pnlSelectPtype->setVisible(false);
    pnlCalcCost->setVisible(false);
    rbAllPtype->setChecked(true);
    rbSelectPtypeClick();
    btnBack->setEnabled(false);
    EnsureFormInit();
}

TfrmCostCalculate::~TfrmCostCalculate() = default;

void TfrmCostCalculate::BuildControls()
{
    auto *pages = new QVBoxLayout(pnlEntry);
    pages->setContentsMargins(12, 8, 12, 8);

    pnlMain = new QWidget(pnlEntry);
    pnlMain->setObjectName(QStringLiteral("pnlMain"));
    auto *mainLayout = new QVBoxLayout(pnlMain);
    lblCaption =
        new QLabel(QStringLiteral("根据本期发生业务的繁杂程度，计算需要一段时间，请耐心等待......"), pnlMain);
    lblCaption->setObjectName(QStringLiteral("lblCaption"));
    lblCaption->setWordWrap(true);
    lblCaption2 = new QLabel(QStringLiteral("建议在计算成本时，暂停客户端操作！"), pnlMain);
    lblCaption2->setObjectName(QStringLiteral("lblCaption2"));
    chkDisplay = new QCheckBox(QStringLiteral("下次进入不显示本页"), pnlMain);
    chkDisplay->setObjectName(QStringLiteral("chkDisplay"));
    mainLayout->addWidget(lblCaption);
    mainLayout->addWidget(lblCaption2);
    mainLayout->addStretch(1);
    mainLayout->addWidget(chkDisplay);
    pages->addWidget(pnlMain);

    pnlSelectPtype = new QWidget(pnlEntry);
    pnlSelectPtype->setObjectName(QStringLiteral("pnlSelectPtype"));
    auto *selectLayout = new QVBoxLayout(pnlSelectPtype);
    lblSelectPtype = new QLabel(QStringLiteral("请选择需要计算成本的存货"), pnlSelectPtype);
    lblSelectPtype->setObjectName(QStringLiteral("lblSelectPtype"));
    rbAllPtype = new QRadioButton(QStringLiteral("全部存货"), pnlSelectPtype);
    rbAllPtype->setObjectName(QStringLiteral("rbAllPtype"));
    rbSelectPtype = new QRadioButton(QStringLiteral("指定存货"), pnlSelectPtype);
    rbSelectPtype->setObjectName(QStringLiteral("rbSelectPtype"));
    auto *radios = new QHBoxLayout;
    radios->addWidget(rbAllPtype);
    radios->addWidget(rbSelectPtype);
    radios->addStretch(1);
    edtPtype = new TCMGLabelBtnEdit(QStringLiteral("存货全名："), pnlSelectPtype);
    edtPtype->setObjectName(QStringLiteral("edtPtype"));
    edtPtype->SetBasicKind(QStringLiteral("Ptype"));
    edtPtype->SetMultiSelect(true);
    grdPtype = new TKvGGeneralWGrid(pnlSelectPtype);
    grdPtype->setObjectName(QStringLiteral("grdPtype"));
    grdPtype->SetColumns({{QStringLiteral("ptypeid"), QStringLiteral("存货ID"), QString(), 0, false},
                          {QStringLiteral("UserCode"), QStringLiteral("存货编号"), QString(), 0, true},
                          {QStringLiteral("FullName"), QStringLiteral("存货全名"), QString(), 0, true}});
    grdPtype->horizontalHeader()->setStretchLastSection(true);
    grdPtype->setSelectionBehavior(QAbstractItemView::SelectRows);
    selectLayout->addWidget(lblSelectPtype);
    selectLayout->addLayout(radios);
    selectLayout->addWidget(edtPtype);
    selectLayout->addWidget(grdPtype, 1);
    pages->addWidget(pnlSelectPtype);

    pnlCalcCost = new QWidget(pnlEntry);
    pnlCalcCost->setObjectName(QStringLiteral("pnlCalcCost"));
    auto *calcLayout = new QVBoxLayout(pnlCalcCost);
    gProgressBar = new QProgressBar(pnlCalcCost);
    gProgressBar->setObjectName(QStringLiteral("gProgressBar"));
    gProgressBar->setRange(0, 1);
    gProgressBar->setValue(0);
    mmoPtype = new QPlainTextEdit(pnlCalcCost);
    mmoPtype->setObjectName(QStringLiteral("mmoPtype"));
    mmoPtype->setReadOnly(true);
    // Result lines fit the width; the long summary wraps instead of hiding behind a scroll bar.
    mmoPtype->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    mmoPtype->setFont(uCostCalculate::LogFont(mmoPtype->font()));
    calcLayout->addWidget(gProgressBar);
    calcLayout->addWidget(mmoPtype, 1);
    pages->addWidget(pnlCalcCost);

    btnBack = AddBottomButton(QStringLiteral("btnBack"), QStringLiteral("上一步"));
    btnNext = AddBottomButton(QStringLiteral("btnNext"), QStringLiteral("下一步"));
    // The run ends by renaming the exit button; the finish button of the form stays out of sight.
    btnComplete = AddBottomButton(QStringLiteral("btnComplete"), QStringLiteral("完成"));
    btnComplete->setVisible(false);
    btnExit = AddBottomButton(QStringLiteral("btnExit"), QStringLiteral("退出"));

    connect(chkDisplay, &QCheckBox::clicked, this,
            [this] { uCostInput::RunHandler([this] { chkDisplayClick(); }); });
    connect(rbSelectPtype, &QRadioButton::toggled, this, [this] { rbSelectPtypeClick(); });
    connect(btnBack, &QPushButton::clicked, this,
            [this] { uCostInput::RunHandler([this] { btnBackNextClick(false); }); });
    connect(btnNext, &QPushButton::clicked, this,
            [this] { uCostInput::RunHandler([this] { btnBackNextClick(true); }); });
    connect(btnExit, &QPushButton::clicked, this, [this] { btnExitClick(); });
    FOnAfterSelectBaseInfo = [this](TGLabelBtnEdit *, const TBaseRecordList &records) {
        int row = qMax(grdPtype->currentRow(), 0);
        for (int i = 0; i < records.size(); ++i, ++row) {
            if (i > 0 || row >= grdPtype->rowCount())
                AddPtypeRow(row, QString());
            SetRowPtype(row, records.at(i).TypeId);
        }
        grdPtype->setCurrentCell(row - 1, ColFullName);
        edtPtype->ClearRecord();
        edtPtype->SetText(QString());
    };
    resize(520, 400);
}

void TfrmCostCalculate::BuildPopupMenu()
{
    pmPtype = new QMenu(grdPtype);
    pmPtype->setObjectName(QStringLiteral("pmPtype"));
    QAction *before = pmPtype->addAction(QStringLiteral("前插一行"));
    before->setObjectName(QStringLiteral("actInsertBefore"));
    QAction *after = pmPtype->addAction(QStringLiteral("后插一行"));
    after->setObjectName(QStringLiteral("actInsertAfter"));
    QAction *remove = pmPtype->addAction(QStringLiteral("删除一行"));
    remove->setObjectName(QStringLiteral("actDeleteRow"));
    connect(before, &QAction::triggered, this, [this] { InsertPtypeRow(true); });
    connect(after, &QAction::triggered, this, [this] { InsertPtypeRow(false); });
    connect(remove, &QAction::triggered, this, [this] { DeletePtypeRow(); });
    grdPtype->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(grdPtype, &QWidget::customContextMenuRequested, this, [this](const QPoint &pos) {
        if (grdPtype->isEnabled())
            pmPtype->popup(grdPtype->viewport()->mapToGlobal(pos));
    });
}

void TfrmCostCalculate::showEvent(QShowEvent *event)
{
    TfrmDialogParent::showEvent(event);
    if (!event->spontaneous() && !FShown) {
        FShown = true;
        uCostInput::RunHandler([this] { FormShow(); });
    }
}

void TfrmCostCalculate::FormShow()
{
    FPage = 0;
    const QString costCalc = uOrvaneCommon::GetSysValue(QStringLiteral("CostCalc"));
    FShowIntro = costCalc.isEmpty() || costCalc == QLatin1String("0");
    const bool preset = !FPtypeList.isEmpty() && FPtypeList != QLatin1String("00000");
    grdPtype->setRowCount(0);
    if (preset) {
        rbSelectPtype->setChecked(true);
        for (const QString &id : FPtypeList.split(QLatin1Char(',')))
            AddPtypeRow(grdPtype->rowCount(), id.trimmed());
    } else {
        AddPtypeRow(0, QString());
    }
    if (FShowIntro && FPtypeList.isEmpty()) {
        pnlMain->setVisible(true);
        pnlSelectPtype->setVisible(false);
    } else {
        pnlMain->setVisible(false);
        pnlSelectPtype->setVisible(true);
        FPage = 1;
    }
}

void TfrmCostCalculate::chkDisplayClick()
{
    uOrvaneCommon::SetSysValue(QStringLiteral("CostCalc"),
                               chkDisplay->isChecked() ? QStringLiteral("1") : QStringLiteral("0"));
}

void TfrmCostCalculate::rbSelectPtypeClick()
{
    const bool select = rbSelectPtype->isChecked();
    grdPtype->setEnabled(select);
    edtPtype->setEnabled(select);
}

QStringList TfrmCostCalculate::SelectedPtypes() const
{
    QStringList ids;
    for (int row = 0; row < grdPtype->rowCount(); ++row) {
        const QTableWidgetItem *item = grdPtype->item(row, ColPtypeID);
        const QString id = item ? item->text().trimmed() : QString();
        if (!id.isEmpty())
            ids << id;
    }
    return ids;
}

void TfrmCostCalculate::btnBackNextClick(bool ANext)
{
    if (ANext && FPage == 1 && rbSelectPtype->isChecked())
        Udllmessageintf::CheckError(SelectedPtypes().isEmpty(), QStringLiteral("请至少选择一个存货。"));
    FPage += ANext ? 1 : -1;
    ShowPage();
    if (FPage == 2) {
        // After the run, also one that a database error ended, only "完成" remains.
        const auto finish = [this] {
            btnExit->setText(QStringLiteral("完成"));
            btnExit->setEnabled(true);
        };
        try {
            CalcCost();
        } catch (...) {
            finish();
            throw;
        }
        finish();
    }
}

void TfrmCostCalculate::ShowPage()
{
    pnlMain->setVisible(FPage == 0 && FShowIntro);
    pnlSelectPtype->setVisible(FPage == 1);
    pnlCalcCost->setVisible(FPage == 2);
    btnNext->setEnabled(FPage != 2);
    btnBack->setEnabled(FPage == 1 && FShowIntro);
}

void TfrmCostCalculate::btnExitClick()
{
    if (FRunning) {
        FCancel = true;
        btnExit->setEnabled(false);
        return;
    }
    done(mrExit);
}

void TfrmCostCalculate::done(int result)
{
    // Closing the window while items are costed only asks the run to stop after the current item.
    if (FRunning) {
        btnExitClick();
        return;
    }
    TfrmDialogParent::done(result);
}

void TfrmCostCalculate::AddPtypeRow(int ARow, const QString &APtypeID)
{
    grdPtype->insertRow(ARow);
    for (int col = 0; col < grdPtype->columnCount(); ++col)
        grdPtype->setItem(ARow, col, new QTableWidgetItem());
    SetRowPtype(ARow, APtypeID);
}

void TfrmCostCalculate::SetRowPtype(int ARow, const QString &APtypeID)
{
    QString fullName, userCode;
    if (!APtypeID.isEmpty())
        uCostInput::GetPtypeNames(APtypeID, fullName, userCode);
    grdPtype->item(ARow, ColPtypeID)->setText(APtypeID);
    grdPtype->item(ARow, ColUserCode)->setText(userCode);
    grdPtype->item(ARow, ColFullName)->setText(fullName);
}

void TfrmCostCalculate::InsertPtypeRow(bool ABefore)
{
    const int current = grdPtype->currentRow();
    int row = grdPtype->rowCount();
    if (current >= 0)
        row = ABefore ? current : current + 1;
    AddPtypeRow(row, QString());
    grdPtype->setCurrentCell(row, ColFullName);
}

void TfrmCostCalculate::DeletePtypeRow()
{
    const int current = grdPtype->currentRow();
    if (current < 0)
        return;
    if (grdPtype->rowCount() <= 1) {
        SetRowPtype(current, QString());
        return;
    }
    grdPtype->removeRow(current);
}

void TfrmCostCalculate::Log(const QString &ALine)
{
    mmoPtype->appendPlainText(ALine);
    // The log follows its last line, whatever the user scrolled to meanwhile.
    mmoPtype->verticalScrollBar()->setValue(mmoPtype->verticalScrollBar()->maximum());
}

void TfrmCostCalculate::CalcCost()
{
    QElapsedTimer clock;
    clock.start();
    mmoPtype->clear();
    FProcessed = 0;
    FFailed = 0;
    FDlyCount = 0;
    TCostCalcProcess process(false);
    process.SetOnGetOutPrice([this](const QString &AReason, const QString &ACostMode, double APrice) {
        Log(QStringLiteral("%1，已通过【%2】方式获取成本，成本单价为【%3】")
                .arg(AReason, ACostMode, Kvbasicfun::FloatToStringBit(APrice, 6)));
    });
    process.SetOnInputCost(&ShowCostInput);

    const QString list =
        rbAllPtype->isChecked() ? QStringLiteral("00000") : SelectedPtypes().join(QLatin1Char(','));
    const int count = process.GetCalcPtype(list);
    if (count == 0 && !process.LastError().isEmpty())
        Log(process.LastError());
    gProgressBar->setRange(0, count > 0 ? count : 1);
    gProgressBar->setValue(0);
    FRunning = true;
    TFlagReset running{FRunning};
    btnExit->setText(QStringLiteral("取消"));
    FCancel = false;

    while (!process.ProcessEnd() && !FCancel) {
        ++FProcessed;
        QCoreApplication::processEvents();
        const QString name = PtypeFullName(process);
        Log(QStringLiteral("正在计算：") + uCostCalculate::FitName(name, false));
        const bool ok = process.CalcPtypeCost(FDlyCount);
        if (!ok)
            ++FFailed;
        if (gProgressBar->value() < gProgressBar->maximum())
            gProgressBar->setValue(gProgressBar->value() + 1);
        Log(uCostCalculate::FitName(name, true) + (ok ? QStringLiteral("√ ") : QStringLiteral("× ")));
        Log(QString());
        process.ProcessNext();
    }
    process.CommitPending();

    gProgressBar->setValue(gProgressBar->maximum());
    Log(FCancel ? QStringLiteral("用户取消计算。") : QStringLiteral("成本计算完成。"));
    Log(Format(QStringLiteral("共计算存货 %d 个，其中 %d 个存货成本计算成功，%d 个存货成本计算异常。"
                              "共计算明细%d条。共耗时:%s。"),
               {FProcessed, FProcessed - FFailed, FFailed, FDlyCount,
                uCostCalculate::ElapsedText(clock.elapsed())}));
    // The run ends on its summary, in view.
    mmoPtype->moveCursor(QTextCursor::End);
    mmoPtype->ensureCursorVisible();
}

bool ShowCostCalculate(const QString &APtypeList)
{
    if (uDllComm::DllParams.IsQuery) {
        Udllmessageintf::ShowInfoMessage(QStringLiteral("查询版不能使用此功能。"));
        return false;
    }
    if (uOrvaneCommon::IsIniNotOver()) {
        Udllmessageintf::ShowErrorMsg(QStringLiteral("成本计算之前请先期初结账。"));
        return false;
    }
    QString refusal;
    const std::unique_ptr<TJobLock> job = uJobLock::StartPeriodJob(QStringLiteral("成本计算"), refusal);
    if (!job) {
        Udllmessageintf::ShowWarningMsg(refusal);
        return false;
    }
    TfrmCostCalculate frm(APtypeList);
    frm.exec();
    return true;
}

void InstallCostCalcHook()
{
#ifdef ORVANE_CLOSING_HOOK
    uJxcCheckOutCore::CalcCostHook = [](const QString &APtypeIds) {
        return APtypeIds.trimmed().isEmpty() ? ShowCostCalculate(QString()) : CalcCostWithProgress(APtypeIds);
    };
#endif
}
