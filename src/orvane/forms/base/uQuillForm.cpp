#include "uQuillForm.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QClipboard>
#include <QDateEdit>
#include <QGuiApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QShowEvent>

#include "Kvbasicfun.h"
#include "Kvbasicinfocomponent.h"
#include "Kvcontrols.h"
#include "Kvggeneralgrid.h"
#include "Kvtable.h"
#include "Udllbaseselect.h"
#include "Udllsystemintf.h"
#include "uDllComm.h"
#include "uFormBehaviour.h"
#include "uOperationFunc.h"
#include "uPrintdata.h"

namespace {
bool IsKOVA()
{
    return uDllComm::DllParams.PubVersion3 == QLatin1String("KOVA");
}

// The module's row height and alternating colours; the KOVA product line keeps the grid's own.
void ApplyGridColours(TKvGGeneralGrid *grid, const TQuillColorTypeConfig &colours)
{
    if (IsKOVA())
        return;
    grid->verticalHeader()->setDefaultSectionSize(colours.GridRowHeight);
    grid->setAlternatingRowColors(true);
    QPalette pal = grid->palette();
    pal.setColor(QPalette::Base, colours.GridOddColor);
    pal.setColor(QPalette::AlternateBase, colours.GridEvenColor);
    grid->setPalette(pal);
}

bool IsEnterKey(const QKeyEvent *key)
{
    return key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter;
}

// Decimals of a number text ("12.50" -> 2), for the totals row of a print.
int Decimals(const QString &text)
{
    const int point = text.indexOf(QLatin1Char('.'));
    return point < 0 ? 0 : int(text.size() - point - 1);
}

bool IsPasteKey(const QKeyEvent *key)
{
    return key->matches(QKeySequence::Paste) ||
           (key->key() == Qt::Key_V && (key->modifiers() & Qt::ControlModifier));
}
} // namespace

TQuillForm::TQuillForm(QWidget *parent) : TkvParentForm(parent)
{
    Construct();
}

TQuillForm::TQuillForm(QWidget *parent, const QVariantList &params) : TkvParentForm(parent)
{
    Construct();
    for (int i = 0; i < params.size() && i < OpenParamCount; ++i)
        Params[i] = params.at(i);
}

TQuillForm::~TQuillForm() = default;

void TQuillForm::Construct()
{
    FVersion = QStringLiteral("Quill Frame 2.0 2010-02-01");
    SetFunctionNo(0);
    FFunctionNoDetail.clear();
    FUnitType = 0;
    FCMGridTwoColorType = 0;
    FCMSysColor = std::make_unique<TQuillColorTypeConfig>();
    FHelpName.clear();
    FPrintName.clear();
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FCMSysColor->FormColor);
    setPalette(pal);
    // Remembered size and column widths, first focus, Enter and Esc.
    TFormBehaviour::Attach(this);
}

void TQuillForm::SetFunctionNo(int functionNo)
{
    FFunctionNo = functionNo;
    if (functionNo != 0 && FLimitList.isEmpty())
        LoadRights();
    if (functionNo != 0 && !FLimitList.isEmpty())
        ApplyDetailLimits();
}

void TQuillForm::LoadRights()
{
    FLimitList = uOrvaneCommon::GetFunctionLimitString(FFunctionNo);
    FDetailLimit.fill(false);
    uOrvaneCommon::GetFunctionDetailFlags(FFunctionNo, FDetailLimit);
}

bool TQuillForm::HasDetailRight(int detailNo) const
{
    if (detailNo < 1 || detailNo > 150 || !FDetailLimit[detailNo])
        return false;
    return detailNo <= FLimitList.size() && FLimitList.at(detailNo - 1) == QLatin1Char('1');
}

void TQuillForm::ApplyDetailLimits()
{
    if (FLimitList.isEmpty())
        return;
    for (QWidget *w : findChildren<QWidget *>()) {
        auto *limited = dynamic_cast<TKvLimitControl *>(w);
        if (limited && limited->LimitDetailNo() >= 1 && limited->LimitDetailNo() <= 150)
            limited->ApplyLimit(HasDetailRight(limited->LimitDetailNo()));
    }
}

void TQuillForm::SetPrintName(const QString &name)
{
    FPrintName = name;
}

void TQuillForm::ApplyFace()
{
    QPalette pal = palette();
    pal.setColor(QPalette::Window, FCMSysColor->FormColor);
    setPalette(pal);
    for (TKvGGeneralGrid *grid : findChildren<TKvGGeneralGrid *>()) {
        if (auto *wgrid = qobject_cast<TKvGGeneralWGrid *>(grid))
            ApplyFaceWGrid(wgrid);
        else
            ApplyFaceGrid(grid);
    }
}

void TQuillForm::RefreshData() {}

void TQuillForm::ShowRecordSet(TClientDataSet &records)
{
    if (records.FieldCount() == 0)
        return;
    struct TWaitCursor
    {
        TWaitCursor() { QApplication::setOverrideCursor(Qt::WaitCursor); }
        ~TWaitCursor() { QApplication::restoreOverrideCursor(); }
    } wait;
    records.First();
    const auto grids = findChildren<TKvGGeneralGrid *>();
    if (!grids.isEmpty())
        grids.first()->LoadFromDataSet(records);
    ApplyFace();
}

void TQuillForm::AfterShow() {}

void TQuillForm::SelectBaseInfo(TGLabelBtnEdit *edit, const QString &mode)
{
    if (!edit || edit->BasicKind().isEmpty() || edit->ReadOnly())
        return;
    QString kind = edit->BasicKind();
    if (FOnBeforeSelectBaseInfo && !FOnBeforeSelectBaseInfo(edit, kind))
        return;
    const bool fromKeyboard = mode == QLatin1String("KEYDOWN");
    TBaseRecordList records;
    if (!Udllbaseselect::SelectBaseData(kind, fromKeyboard ? edit->Text().trimmed() : QString(),
                                        edit->MultiSelect(), records) ||
        records.isEmpty())
        return;
    edit->SetRecord(records.first());
    if (FOnAfterSelectBaseInfo)
        FOnAfterSelectBaseInfo(edit, records);
    if (FOnVchAfterSelectBaseInfo)
        FOnVchAfterSelectBaseInfo(edit, records);
    if (fromKeyboard)
        FocusNextFrom(edit);
}

void TQuillForm::ShowHelp()
{
    uOperationFunc::OpenHelpTopic(FHelpName);
}

void TQuillForm::RefreshFaceAll()
{
    ApplyFace();
}

void TQuillForm::ApplyFaceGrid(TKvGGeneralGrid *grid)
{
    QFont font = grid->font();
    font.setFamily(FCMSysColor->GridFontName);
    grid->setFont(font);
    ApplyGridColours(grid, *FCMSysColor);
}

void TQuillForm::ApplyFaceWGrid(TKvGGeneralWGrid *grid)
{
    ApplyGridColours(grid, *FCMSysColor);
}

void TQuillForm::SetPrintHeaderValues(TPrintHeaderValues &values)
{
    const QDateTime now = QDateTime::currentDateTime();
    values.append({QStringLiteral("系统日期"), now.toString(QStringLiteral("yyyy-MM-dd"))});
    values.append({QStringLiteral("系统时间"), now.toString(QStringLiteral("hh:mm:ss"))});
    values.append({QStringLiteral("登录日期"), Udllsystemintf::GetLogOnDate()});
    values.append({QStringLiteral("操作员"), Udllsystemintf::GetCurrentOperatorName()});
    values.append(
        {QStringLiteral("公司名称"), uOrvaneCommon::GetSysValue(QStringLiteral("companyfullname"))});
    values.append({QStringLiteral("公司地址"), uOrvaneCommon::GetSysValue(QStringLiteral("address"))});
    values.append({QStringLiteral("公司电话"), uOrvaneCommon::GetSysValue(QStringLiteral("tel"))});
    values.append({QStringLiteral("会计年度"), uOrvaneCommon::GetCurrentYear()});
}

void TQuillForm::SetPrintTableValues(TPrintHeaderValues &values)
{
    values.append({QStringLiteral("表名"), FTitle});
    for (TGLabelEmptyDate *date : findChildren<TGLabelEmptyDate *>())
        if (date->isVisibleTo(this))
            values.append({date->Caption(), date->IsEmptyDate() ? QString() : date->DateText()});
}

TPrintHeaderValues TQuillForm::PrintHeaderValues(const QString &title, bool extended)
{
    TPrintHeaderValues values;
    const QString ownTitle = std::exchange(FTitle, title);
    SetPrintTableValues(values);
    FTitle = ownTitle;
    SetPrintHeaderValues(values);
    if (!extended)
        return values;
    for (TGLabelControl *control : findChildren<TGLabelControl *>()) {
        if (!control->isVisibleTo(this) || qobject_cast<TGLabelEmptyDate *>(control))
            continue; // the dates are in already
        if (auto *edit = qobject_cast<TGLabelBtnEdit *>(control))
            values.append({control->Caption(), edit->Text()});
        else if (auto *combo = qobject_cast<TGLabelComBox *>(control))
            values.append({control->Caption(), combo->ComboBox()->currentText()});
        else if (auto *memo = qobject_cast<TGLabelMemo *>(control))
            values.append({control->Caption(), memo->Text()});
    }
    return values;
}

TPrintTable TQuillForm::GetGridPrintData(TKvGGeneralGrid *grid)
{
    // Reading the cells must not run the grid's change handlers.
    const QSignalBlocker quiet(grid);
    TPrintTable table;
    table.Title = grid->PrintTitle().isEmpty() ? FTitle : grid->PrintTitle();
    table.Columns << QStringLiteral("行号");
    QList<int> printed;
    for (int c = 0; c < grid->columnCount(); ++c) {
        const TGridColumn column = grid->Columns().value(c);
        if (grid->isColumnHidden(c) || !column.Visible)
            continue;
        printed << c;
        const QTableWidgetItem *header = grid->horizontalHeaderItem(c);
        table.Columns << (!column.PrintName.isEmpty() ? column.PrintName
                          : header                    ? header->text()
                                                      : column.Caption);
    }
    const QStringList sumFields = FGridSumFields.value(grid);
    QList<double> sums(printed.size(), 0);
    QList<int> places(printed.size(), 0);
    for (int r = 0; r < grid->rowCount(); ++r) {
        if (grid->isRowHidden(r))
            continue;
        QStringList cells;
        bool blank = true;
        for (int c : std::as_const(printed)) {
            const QTableWidgetItem *cell = grid->item(r, c);
            cells << (cell ? cell->text() : QString());
            blank = blank && cells.last().trimmed().isEmpty();
        }
        if (blank)
            continue;
        for (int i = 0; i < printed.size(); ++i) {
            sums[i] += cells[i].toDouble();
            places[i] = std::max(places[i], Decimals(cells[i].trimmed()));
        }
        table.Rows << (QStringList{QString::number(table.Rows.size() + 1)} + cells);
    }
    if (!sumFields.isEmpty()) {
        table.Totals << QStringLiteral("合 计");
        for (int i = 0; i < printed.size(); ++i) {
            const bool summed =
                sumFields.contains(grid->Columns().value(printed[i]).FieldName, Qt::CaseInsensitive);
            table.Totals << (summed ? Kvbasicfun::FloatToStringBit(sums[i], places[i]) : QString());
        }
    }
    return table;
}

TPrintTable TQuillForm::GetGridPrintDataW(TKvGGeneralWGrid *grid)
{
    // A cell being typed in counts with what it shows.
    if (QWidget *editor = grid->focusWidget(); editor && editor != grid && grid->isAncestorOf(editor))
        grid->setFocus();
    return GetGridPrintData(grid);
}

void TQuillForm::SetGridSumFields(TKvGGeneralGrid *grid, const QStringList &fieldNames)
{
    FGridSumFields.insert(grid, fieldNames);
}

bool TQuillForm::PrintDistributionGrid(TKvGGeneralGrid *grid)
{
    const int answer = Kvtable::GetRadioCheckEx(
        QStringLiteral("请选择"),
        {QStringLiteral("打印"), QStringLiteral("打印预览"), QStringLiteral("打印设计")}, 1, this);
    if (answer < 0)
        return false;
    TCMKvPrintBtn button(this);
    button.setVisible(false);
    const QString title = FTitle + QStringLiteral("分布表");
    button.SetTitle(title);
    button.SetMainGrid(1, grid);
    button.SetHeader(PrintHeaderValues(title, false));
    auto *wgrid = qobject_cast<TKvGGeneralWGrid *>(grid);
    button.SetDetail1(wgrid ? GetGridPrintDataW(wgrid) : GetGridPrintData(grid));
    button.SetPrintID(FFunctionNo != 0 ? FFunctionNo : FMoudleNo);
    button.SetPrintTemplate(title);
    if (answer == 1)
        button.Print();
    else if (answer == 2)
        button.Preview();
    else
        button.Design();
    return true;
}

bool TQuillForm::PrintDistributionGridW(TKvGGeneralWGrid *grid)
{
    return PrintDistributionGrid(grid);
}

void TQuillForm::SetPrintButton(TCMKvPrintBtn *button)
{
    FPrintHandler.reset();
    FPrintButton = button;
    CreatePrintHandler();
}

void TQuillForm::CreatePrintHandler()
{
    if (!FPrintButton || FPrintHandler)
        return;
    FPrintHandler = std::make_unique<TPrintHandler>(this, FPrintButton);
    FPrintHandler->FSetPrintIdAndTemplateName = [this](TCMKvPrintBtn *b) {
        CMEventHandlerSetPrintIdAndTemplateName(b);
    };
}

void TQuillForm::CMEventHandlerSetPrintIdAndTemplateName(TCMKvPrintBtn *button)
{
    if (button->PrintID() == 0)
        button->SetPrintID(FFunctionNo != 0 ? FFunctionNo : FMoudleNo);
    if (button->PrintTemplate().isEmpty())
        button->SetPrintTemplate(FPrintName.isEmpty() ? FTitle : FPrintName);
}

bool TQuillForm::EditKeyPress(QWidget *edit, QKeyEvent *event)
{
    if (!IsEnterKey(event) || event->modifiers() & ~Qt::KeypadModifier)
        return false;
    // A base-data edit with typed, unchosen text searches first (the edit itself handles that Enter).
    for (QWidget *w = edit; w && w != this; w = w->parentWidget())
        if (auto *btnEdit = qobject_cast<TGLabelBtnEdit *>(w)) {
            if (!btnEdit->BasicKind().isEmpty() && !btnEdit->HasRecord() &&
                !btnEdit->Text().trimmed().isEmpty())
                return false;
            FocusNextFrom(btnEdit);
            return true;
        } else if (auto *label = qobject_cast<TGLabelControl *>(w)) {
            FocusNextFrom(label);
            return true;
        }
    FocusNextFrom(edit);
    return true;
}

bool TQuillForm::PasteRefused(QWidget *target)
{
    const QString clip = QGuiApplication::clipboard()->text();
    const bool quoteLike = clip.contains(QLatin1Char('"')) || clip.contains(QLatin1Char('&')) ||
                           clip.contains(QLatin1Char('\''));
    // Inside a W-grid (the grid or its cell editor): quotes and "&" break the grid's data.
    for (QWidget *w = target; w; w = w->parentWidget())
        if (qobject_cast<TKvGGeneralWGrid *>(w))
            return quoteLike;
    auto *edit = qobject_cast<TKVDatatypeEdit *>(target);
    if (edit && qobject_cast<TCMGLabelBtnEdit *>(edit->parentWidget()))
        return edit->RefusePaste() || quoteLike;
    return false;
}

void TQuillForm::WriteControlsToParams()
{
    for (TGLabelControl *control : findChildren<TGLabelControl *>()) {
        const int index = control->ParamIndex();
        if (index < 0 || index >= OpenParamCount)
            continue;
        if (auto *date = qobject_cast<TGLabelEmptyDate *>(control))
            Params[index] = date->DateText();
        else if (auto *edit = qobject_cast<TGLabelBtnEdit *>(control))
            Params[index] = edit->Value();
        else if (auto *memo = qobject_cast<TGLabelMemo *>(control))
            Params[index] = memo->Text();
        else if (auto *combo = qobject_cast<TGLabelComBox *>(control))
            Params[index] = combo->ItemIndex();
    }
}

void TQuillForm::ControlInitialised(QWidget *control)
{
    if (auto *edit = qobject_cast<TGLabelBtnEdit *>(control)) {
        connect(edit, &TGLabelBtnEdit::SelectRequested, this,
                [this, edit](const QString &mode) { SelectBaseInfo(edit, mode); });
        edit->Edit()->installEventFilter(this);
    } else if (auto *date = qobject_cast<TGLabelEmptyDate *>(control)) {
        date->DateEdit()->installEventFilter(this);
    } else if (auto *combo = qobject_cast<TGLabelComBox *>(control)) {
        combo->ComboBox()->installEventFilter(this);
    } else if (auto *wgrid = qobject_cast<TKvGGeneralWGrid *>(control)) {
        wgrid->installEventFilter(this);
    }
}

bool TQuillForm::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress && watched->isWidgetType()) {
        auto *key = static_cast<QKeyEvent *>(event);
        auto *widget = static_cast<QWidget *>(watched);
        if (IsPasteKey(key))
            return PasteRefused(widget);
        if (!qobject_cast<TKvGGeneralGrid *>(widget) && EditKeyPress(widget, key))
            return true;
    }
    return TkvParentForm::eventFilter(watched, event);
}

void TQuillForm::showEvent(QShowEvent *event)
{
    TkvParentForm::showEvent(event);
    if (event->spontaneous())
        return;
    EnsureFormInit();
    if (FFunctionNo != 0 && FLimitList.isEmpty())
        LoadRights();
    CreatePrintHandler(); // released when the window closed before
    AfterShow();
    PassKOVAVersion();
}

void TQuillForm::changeEvent(QEvent *event)
{
    TkvParentForm::changeEvent(event);
    if (event->type() == QEvent::ActivationChange && isActiveWindow())
        PassKOVAVersion();
}

void TQuillForm::keyPressEvent(QKeyEvent *event)
{
    if (event->key() == Qt::Key_F1) {
        ShowHelp();
        return;
    }
    TkvParentForm::keyPressEvent(event);
}

void TQuillForm::FormClose()
{
    WriteControlsToParams();
    FPrintHandler.reset();
}

void TQuillForm::PassKOVAVersion()
{
    const bool kova = IsKOVA();
    for (TKvGGeneralGrid *grid : findChildren<TKvGGeneralGrid *>())
        grid->SetCMKOVAVersion(kova);
}
