#include "uVchGridConfig.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QSignalBlocker>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uDateFormula.h"
#include "uDateIntervalFormula.h"
#include "uDllComm.h"
#include "uFormula.h"
#include "uInputBox.h"
#include "uLayoutsCommon.h"
#include "uOrvaneCommon.h"
#include "uSetUpBasicSelect.h"

namespace {
constexpr int kPages = 6;
constexpr int kCommittedRole = Qt::UserRole + 20; // the value last written to the account set
const QStringList kCheckFields = {QStringLiteral("Visible"), QStringLiteral("required"),
                                  QStringLiteral("BillTotal")};
const QStringList kDateFreeItems = {QStringLiteral("FreeDomDateDif"), QStringLiteral("FreeDom11"),
                                    QStringLiteral("FreeDom12"), QStringLiteral("FreeDom13")};

int Edition()
{
    return uDllComm::DllParams.PubVersion2;
}

bool BasicAvailable()
{
    return Edition() != 880 && Edition() != 2680;
}

TGridColumn Shown(const char *field, const char *caption)
{
    return {QString::fromLatin1(field), QString::fromUtf8(caption), QString(), 0, true};
}

TGridColumn Hidden(const char *field)
{
    return {QString::fromLatin1(field), QString(), QString(), 0, false};
}

QList<TGridColumn> ColumnsOf(int tabType)
{
    const bool basic = BasicAvailable();
    const bool formula = Edition() >= 2680;
    QList<TGridColumn> c;
    if (tabType == 0) {
        c << Shown("TitleName", "字段名") << Shown("ShowName", "显示名称") << Shown("Type", "类型")
          << Shown("Visible", "是否显示") << Shown("required", "是否必录");
        c << (basic ? Shown("ShowReturnTypeName", "基本信息") : Hidden("ShowReturnTypeName"));
        c << (basic ? Shown("ShowRelationBasic", "关联信息") : Hidden("ShowRelationBasic"));
        c << Hidden("VchType") << Hidden("DataType") << Hidden("IsSystem") << Hidden("BasicType");
        return c;
    }
    c << Shown("FieldName", "列名") << Shown("ShowName", "显示名称");
    if (tabType == 1) {
        c << (Edition() >= 3680 ? Shown("ColumnType", "类型") : Hidden("ColumnType"))
          << Shown("Visible", "是否显示");
        c << (formula ? Shown("FormulaName", "公式内容") : Hidden("FormulaName"));
        c << (basic ? Shown("ShowReturnTypeName", "基本信息") : Hidden("ShowReturnTypeName"));
        c << Hidden("VchType") << Shown("CanSet", "是否可设置") << Shown("GroupNo", "组号");
    } else {
        c << Shown("Type", "类型") << Shown("Visible", "是否显示") << Shown("BillTotal", "单据合计")
          << Shown("Digits", "小数位数");
        c << (formula ? Shown("FormulaName", "公式内容") : Hidden("FormulaName"));
        c << (basic ? Shown("ShowReturnTypeName", "基本信息") : Hidden("ShowReturnTypeName"));
        c << Hidden("VchType") << Hidden("CanSet") << Hidden("GroupNo");
    }
    c << Hidden("BasicType") << Hidden("FreeDomIndex") << Hidden("CMKvColumnNo") << Hidden("DataArea")
      << Hidden("columnname") << Hidden("ReturnTypeName") << Hidden("readonly") << Hidden("enabled");
    return c;
}
} // namespace

TfrmVchGridConfig::TfrmVchGridConfig(int vchType, QWidget *parent)
    : TfrmDialogParent(parent), FVchtype(vchType)
{
    setObjectName(QStringLiteral("frmVchGridConfig"));
    auto *root = new QHBoxLayout(pnlEntry);
    pnlTree = new QWidget(pnlEntry);
    pnlTree->setObjectName(QStringLiteral("pnlTree"));
    auto *treeBox = new QVBoxLayout(pnlTree);
    treeBox->setContentsMargins(0, 0, 0, 0);
    TreeView1 = new QTreeWidget(pnlTree);
    TreeView1->setObjectName(QStringLiteral("TreeView1"));
    TreeView1->setHeaderHidden(true);
    treeBox->addWidget(TreeView1);
    root->addWidget(pnlTree);
    PageControl = new QTabWidget(pnlEntry);
    PageControl->setObjectName(QStringLiteral("PageControl"));
    for (int i = 0; i < kPages; ++i) {
        auto *grid = new TKvGGeneralWGrid(PageControl);
        grid->setObjectName(QStringLiteral("TabGrid%1").arg(i + 1));
        grid->setSelectionBehavior(QAbstractItemView::SelectRows);
        grid->setSelectionMode(QAbstractItemView::SingleSelection);
        PageControl->addTab(grid, QString());
        PageControl->setTabVisible(i, false);
        TabGrids << grid;
        connect(grid, &QTableWidget::itemChanged, this,
                [this, i](QTableWidgetItem *item) { TabGridCellEdited(i, item); });
        connect(grid, &QTableWidget::currentCellChanged, this, &TfrmVchGridConfig::TabGridAfterRowChanged);
    }
    FTabs.resize(kPages);
    root->addWidget(PageControl, 1);
    btnColumn = AddBottomButton(QStringLiteral("btnColumn"), QStringLiteral("修改显示名称"));
    btnFormula = AddBottomButton(QStringLiteral("btnFormula"), QStringLiteral("公式设置"));
    btnBasic = AddBottomButton(QStringLiteral("btnBasic"), QStringLiteral("基本信息选择"));
    btnRelationBasic = AddBottomButton(QStringLiteral("btnRelationBasic"), QStringLiteral("关联基础资料"));
    btnExit = AddBottomButton(QStringLiteral("btnExit"), QStringLiteral("退出"), mrCancel);
    connect(PageControl, &QTabWidget::currentChanged, this, &TfrmVchGridConfig::PageControlChange);
    connect(TreeView1, &QTreeWidget::currentItemChanged, this, &TfrmVchGridConfig::TreeView1Change);
    connect(btnColumn, &QPushButton::clicked, this, &TfrmVchGridConfig::btnColumnClick);
    connect(btnFormula, &QPushButton::clicked, this, &TfrmVchGridConfig::btnFormulaClick);
    connect(btnBasic, &QPushButton::clicked, this, &TfrmVchGridConfig::btnBasicClick);
    connect(btnRelationBasic, &QPushButton::clicked, this, &TfrmVchGridConfig::btnRelationBasicClick);
}

void TfrmVchGridConfig::Prepare()
{
    SetTitle(QStringLiteral("单据格式配置"));
    if (Edition() == 880)
        btnFormula->hide();
    if (!BasicAvailable()) {
        btnBasic->hide();
        btnRelationBasic->hide();
    }
    if (FVchtype != 0) {
        pnlTree->hide();
        const int given = FVchtype;
        FIsPlugInVchtype = uLayoutsCommon::IsPlugInVchtype(given);
        FIsHasRelation =
            Udlldbservice::GetValueFromSQL(
                QStringLiteral("SELECT count(1) as c FROM RelationBasicType WHERE VchType = ?"), {given})
                .toInt() > 0;
        BuildTabs();
        return;
    }
    const QSignalBlocker quiet(TreeView1);
    uLayoutsCommon::LoadVchtypeTree(TreeView1, QStringLiteral("单据格式配置"), TreeFilters(), true);
    TreeView1Change();
}

QString TfrmVchGridConfig::TreeFilters()
{
    const TDllParams &params = uDllComm::DllParams;
    QString filters;
    if (params.IsCMSQ) {
        filters += QStringLiteral(
            " VchType not in (-5009, -5010, -5011, 206, 207,211, 212, 213, 214, 178, 188) and ");
        if (params.PubVersion2 < 2681)
            filters += QStringLiteral("VchType not in (19, 83, 170, 180, 46, 47, 48,") +
                       QStringLiteral("83, 144, 145, 142, 143, 202, 203, -5004, -5007, -5008) and ");
        if (params.PubVersion2 == 880)
            filters += QStringLiteral(" vchtype not in (146, 147, 161, 37, 38, 25) and ");
    }
    if (params.PubVersion2 != 6680)
        filters += QStringLiteral(" VchType not in (190, 191, 192) and ");
    if (params.PubVersion2 == 4680)
        filters += QStringLiteral(
            " VchType not in (180,181,182,183,184,185,186,187,188,-5010,117, 207, -5007) and ");
    return filters;
}

void TfrmVchGridConfig::TreeView1Change()
{
    FVchtype = uLayoutsCommon::NodeVchtype(TreeView1->currentItem());
    FIsPlugInVchtype = uLayoutsCommon::IsPlugInVchtype(FVchtype);
    FIsHasRelation =
        Udlldbservice::GetValueFromSQL(
            QStringLiteral("SELECT count(1) as c FROM RelationBasicType WHERE VchType = ?"), {FVchtype})
            .toInt() > 0;
    BuildTabs();
}

QString TfrmVchGridConfig::Table(const QString &name) const
{
    return (FIsPlugInVchtype ? QStringLiteral("T_Inf_PlugIn_") : QStringLiteral("T_Jxc_")) + name;
}

void TfrmVchGridConfig::BuildTabs()
{
    const QSignalBlocker quiet(PageControl);
    for (int i = 0; i < kPages; ++i)
        PageControl->setTabVisible(i, false);
    TClientDataSet tabs;
    Udlldbservice::OpenSQL(
        QStringLiteral("select Vchtype, TabName, DataArea, TabType, DefaultShow, NotApplicable  "
                       "from %1 where vchtype = ? order by TabOrder")
            .arg(Table(QStringLiteral("BillTabConfig"))),
        {FVchtype}, tabs);
    const QString edition = QStringLiteral(";%1;").arg(Edition());
    int page = 0;
    int shownFirst = -1;
    for (tabs.First(); !tabs.Eof() && page < kPages; tabs.Next()) {
        if (tabs.Value(QStringLiteral("NotApplicable")).toString().contains(edition))
            continue;
        FTabs[page] = {tabs.Value(QStringLiteral("TabType")).toInt(),
                       tabs.Value(QStringLiteral("DataArea")).toInt()};
        PageControl->setTabText(page, tabs.Value(QStringLiteral("TabName")).toString());
        PageControl->setTabVisible(page, true);
        TabGrids[page]->setProperty("tag", FTabs[page].TabType);
        TabGrids[page]->SetColumns(ColumnsOf(FTabs[page].TabType));
        LoadTabData(page);
        if (shownFirst < 0 || tabs.Value(QStringLiteral("DefaultShow")).toInt() == 1)
            shownFirst = page;
        ++page;
    }
    if (shownFirst >= 0)
        PageControl->setCurrentIndex(shownFirst);
    PageControlChange();
}

void TfrmVchGridConfig::LoadTabData(int page)
{
    const TTab tab = FTabs[page];
    TKvGGeneralWGrid *grid = TabGrids[page];
    const QSignalBlocker quiet(grid);
    TClientDataSet rows;
    Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_LoadVchConfig"),
                                  {QStringLiteral("@nTabType"), QStringLiteral("@nDataArea"),
                                   QStringLiteral("@VchType"), QStringLiteral("@IsPlugInVchtype")},
                                  {tab.TabType, tab.DataArea, FVchtype, FIsPlugInVchtype ? 1 : 0}, rows);
    if (tab.TabType != 0) {
        // Bill totals and decimals of the free items are system values.
        TClientDataSet freeItems;
        Udlldbservice::OpenProcByName(QStringLiteral("P_Jxc_GetFreeDomConfig"),
                                      {QStringLiteral("@nVchType"), QStringLiteral("@nDataArea")},
                                      {FVchtype, tab.DataArea}, freeItems);
        for (freeItems.First(); !freeItems.Eof(); freeItems.Next()) {
            if (!rows.Locate(QStringLiteral("columnname"), freeItems.Value(QStringLiteral("columnname"))))
                continue;
            rows.SetValue(QStringLiteral("BillTotal"), freeItems.Value(QStringLiteral("freedomsumtotal")));
            rows.SetValue(QStringLiteral("Digits"), freeItems.Value(QStringLiteral("freedomdec")));
        }
    }
    for (const QString &field :
         {QStringLiteral("Digits"), QStringLiteral("VchType"), QStringLiteral("DataType"),
          QStringLiteral("CMKvColumnNo"), QStringLiteral("GroupNo"), QStringLiteral("CanSet")})
        grid->SetColumnKind(field, TGridColumnKind::Text);
    grid->LoadFromDataSet(rows);
    for (int row = 0; row < grid->rowCount(); ++row) {
        for (int c = 0; c < grid->columnCount(); ++c) {
            QTableWidgetItem *item = grid->item(row, c);
            if (!item)
                continue;
            const QString field = grid->Columns().at(c).FieldName;
            const bool editable = TabGridCMCanModifyForFieldEvent(page, row, field);
            Qt::ItemFlags flags = Qt::ItemIsEnabled | Qt::ItemIsSelectable;
            if (kCheckFields.contains(field)) {
                const bool on = grid->CellText(row, field).toInt() == 1;
                item->setData(kCommittedRole, on ? 1 : 0);
                item->setText(QString());
                item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
                if (editable)
                    flags |= Qt::ItemIsUserCheckable;
            } else {
                item->setData(kCommittedRole, grid->CellText(row, field));
                if (editable)
                    flags |= Qt::ItemIsEditable;
            }
            item->setFlags(flags);
        }
    }
}

QString TfrmVchGridConfig::Value(int page, int row, const QString &field) const
{
    const TKvGGeneralWGrid *grid = TabGrids[page];
    const int c = grid->ColumnOfField(field);
    const QTableWidgetItem *item = c >= 0 ? grid->item(row, c) : nullptr;
    if (!item)
        return QString();
    if (kCheckFields.contains(field))
        return item->checkState() == Qt::Checked ? QStringLiteral("1") : QStringLiteral("0");
    return item->data(kCommittedRole).toString();
}

bool TfrmVchGridConfig::TabGridCMCanModifyForFieldEvent(int page, int row, const QString &field) const
{
    const TKvGGeneralWGrid *grid = TabGrids[page];
    const int tabType = FTabs[page].TabType;
    if (field == QLatin1String("Visible") || field == QLatin1String("required")) {
        if (tabType != 0)
            return field == QLatin1String("Visible") &&
                   grid->CellText(row, QStringLiteral("CanSet")).toInt() == 1;
        if (field == QLatin1String("Visible"))
            return grid->CellText(row, QStringLiteral("IsSystem")).toInt() == 0;
        const int dataType = grid->CellText(row, QStringLiteral("DataType")).toInt();
        return (dataType >= 62 && dataType <= 70) || (dataType >= 111 && dataType <= 117) || dataType == 103;
    }
    if (field == QLatin1String("Digits") || field == QLatin1String("BillTotal"))
        return tabType == 2 && !kDateFreeItems.contains(grid->CellText(row, QStringLiteral("columnname")));
    if (field == QLatin1String("ColumnType")) {
        const int no = grid->CellText(row, QStringLiteral("CMKvColumnNo")).toInt();
        return FVchtype == 0 && (no == 125 || no == 126);
    }
    return false;
}

void TfrmVchGridConfig::SetCheck(int page, int row, const QString &field, bool on)
{
    TKvGGeneralWGrid *grid = TabGrids[page];
    const QSignalBlocker quiet(grid);
    QTableWidgetItem *item = grid->item(row, grid->ColumnOfField(field));
    item->setCheckState(on ? Qt::Checked : Qt::Unchecked);
    item->setData(kCommittedRole, on ? 1 : 0);
}

void TfrmVchGridConfig::SetText(int page, int row, const QString &field, const QString &text)
{
    TKvGGeneralWGrid *grid = TabGrids[page];
    const QSignalBlocker quiet(grid);
    QTableWidgetItem *item = grid->item(row, grid->ColumnOfField(field));
    item->setText(text);
    item->setData(kCommittedRole, text);
}

void TfrmVchGridConfig::TabGridCellEdited(int page, QTableWidgetItem *item)
{
    TKvGGeneralWGrid *grid = TabGrids[page];
    const int row = item->row();
    const QString field = grid->Columns().at(item->column()).FieldName;
    const bool header = FTabs[page].TabType == 0;
    const QString title = Table(QStringLiteral("VchTitle"));
    const QVariantList titleKey = {FVchtype, grid->CellText(row, QStringLiteral("DataType")).toInt()};
    const QString columnName = grid->CellText(row, QStringLiteral("columnname"));
    const int columnNo = grid->CellText(row, QStringLiteral("CMKvColumnNo")).toInt();
    const auto sysName = [&](const char *suffix) {
        return QString(columnName).replace(QLatin1String("FreeDom"), QLatin1String("UserDefine")) +
               QString::fromLatin1(suffix);
    };
    if (kCheckFields.contains(field)) {
        const bool on = item->checkState() == Qt::Checked;
        if (item->data(kCommittedRole).toInt() == (on ? 1 : 0))
            return;
        if (field == QLatin1String("BillTotal")) {
            uOrvaneCommon::SetSysValue(sysName("_Total"), on ? QStringLiteral("T") : QStringLiteral("F"));
        } else if (header) {
            Udlldbservice::TTransaction transaction;
            const bool visible = field == QLatin1String("Visible");
            Udlldbservice::ExecuteSQL(
                QStringLiteral("Update %1 Set %2 = ? Where VchType = ? And DataType = ?")
                    .arg(title, visible ? QStringLiteral("Visible") : QStringLiteral("required")),
                QVariantList{on ? 1 : 0} + titleKey);
            // Hidden fields cannot be required, and required fields are shown.
            const QString coupled = visible ? QStringLiteral("required") : QStringLiteral("Visible");
            if ((visible && !on && Value(page, row, coupled) == QLatin1String("1")) ||
                (!visible && on && Value(page, row, coupled) == QLatin1String("0"))) {
                Udlldbservice::ExecuteSQL(
                    QStringLiteral("Update %1 Set %2 = ? Where VchType = ? And DataType = ?")
                        .arg(title, coupled),
                    QVariantList{on ? 1 : 0} + titleKey);
                SetCheck(page, row, coupled, on);
            }
            transaction.Commit();
        } else {
            Udlldbservice::ExecuteSQL(
                QStringLiteral("Update %1 Set Visible = ? Where VchType = ? and CMKvColumnNo = ? "
                               "and DataArea = ?")
                    .arg(Table(QStringLiteral("VchColumn"))),
                {on ? 1 : 0, FVchtype, columnNo, FTabs[page].DataArea});
        }
        SetCheck(page, row, field, on);
        FModified = true;
        return;
    }
    const QString before = item->data(kCommittedRole).toString();
    const QString text = item->text().trimmed();
    if (text == before)
        return;
    if (field == QLatin1String("Digits")) {
        bool ok = false;
        const int digits = text.toInt(&ok);
        if (!ok || digits < 0 || digits > 8) {
            Udllmessageintf::ShowWarningMsg(QStringLiteral("小数位数必须是0到8之间的整数。"));
            SetText(page, row, field, before);
            return;
        }
        uOrvaneCommon::SetSysValue(sysName("_Dec"), QString::number(digits));
        SetText(page, row, field, QString::number(digits));
        FModified = true;
        return;
    }
    if (field == QLatin1String("ColumnType")) {
        const bool date = text == QStringLiteral("日期");
        if ((!date && text != QStringLiteral("文本")) ||
            !Udllmessageintf::ConfirmOKCancel(
                QStringLiteral("当前操作将会覆盖所有单据的设置，请确认继续。"))) {
            SetText(page, row, field, before);
            return;
        }
        Udlldbservice::TTransaction transaction;
        uOrvaneCommon::SetSysValue(columnNo == 125 ? QStringLiteral("BillColumnType_Custom3")
                                                   : QStringLiteral("BillColumnType_Custom4"),
                                   date ? QStringLiteral("1") : QStringLiteral("0"));
        // A date column cannot take its value from basic information.
        if (date)
            Udlldbservice::ExecuteSQL(
                QStringLiteral("delete from T_GBL_FreeDomBasicSelect WHERE  CMKvColumnNo = ?"), {columnNo});
        transaction.Commit();
        SetText(page, row, field, text);
        if (date) {
            SetText(page, row, QStringLiteral("ShowReturnTypeName"), QString());
            SetText(page, row, QStringLiteral("BasicType"), QStringLiteral("-1"));
        }
        FModified = true;
        return;
    }
    SetText(page, row, field, before);
}

TKvGGeneralWGrid *TfrmVchGridConfig::CurrentGrid() const
{
    const int page = PageControl->currentIndex();
    return page >= 0 && PageControl->isTabVisible(page) ? TabGrids[page] : nullptr;
}

bool TfrmVchGridConfig::IsHeaderCustom(int page, int row) const
{
    const int dataType = TabGrids[page]->CellText(row, QStringLiteral("DataType")).toInt();
    return FTabs[page].TabType == 0 && dataType >= 62 && dataType <= 70;
}

void TfrmVchGridConfig::PageControlChange()
{
    TabGridAfterRowChanged();
}

void TfrmVchGridConfig::TabGridAfterRowChanged()
{
    const TKvGGeneralWGrid *grid = CurrentGrid();
    const int page = PageControl->currentIndex();
    const int row = grid ? grid->currentRow() : -1;
    const bool has = row >= 0;
    btnColumn->setEnabled(has);
    const int no =
        has && FTabs[page].TabType != 0 ? grid->CellText(row, QStringLiteral("CMKvColumnNo")).toInt() : 0;
    btnFormula->setEnabled(has && FVchtype != 0 &&
                           (no == 112 || no == 113 || no == 117 || uLayoutsCommon::IsFormulaColumn(no)));
    const bool customColumn = (no >= 41 && no <= 45) || (no >= 80 && no <= 84) || no == 125 || no == 126;
    btnBasic->setEnabled(has && (IsHeaderCustom(page, row) || customColumn));
    btnRelationBasic->setEnabled(has && FIsHasRelation && IsHeaderCustom(page, row));
}

void TfrmVchGridConfig::Reload()
{
    const int page = PageControl->currentIndex();
    TKvGGeneralWGrid *grid = TabGrids[page];
    const int row = grid->currentRow();
    LoadTabData(page);
    if (row >= 0 && row < grid->rowCount())
        grid->setCurrentCell(row, 0);
}

void TfrmVchGridConfig::btnColumnClick()
{
    const TKvGGeneralWGrid *grid = CurrentGrid();
    const int page = PageControl->currentIndex();
    const int row = grid ? grid->currentRow() : -1;
    if (row < 0)
        return;
    const bool header = FTabs[page].TabType == 0;
    const bool headerCustom = IsHeaderCustom(page, row);
    const QString old = grid->CellText(row, QStringLiteral("ShowName"));
    QString name = old;
    for (;;) {
        if (!InputValue(QStringLiteral("修改显示名称"), QStringLiteral("显示名称修改为："), name))
            return;
        name = name.trimmed();
        const QString problem = uLayoutsCommon::NameProblem(name, headerCustom);
        if (problem.isEmpty())
            break;
        Udllmessageintf::ShowWarningMsg(problem);
    }
    if (name == old)
        return;
    Udlldbservice::TTransaction transaction;
    if (header) {
        Udlldbservice::ExecuteSQL(
            QStringLiteral("Update %1 set FieldNameo = ? Where VchType = ? And DataType = ?")
                .arg(Table(QStringLiteral("VchTitle"))),
            {name, FVchtype, grid->CellText(row, QStringLiteral("DataType")).toInt()});
    } else {
        const int no = grid->CellText(row, QStringLiteral("CMKvColumnNo")).toInt();
        const bool everyBill =
            uLayoutsCommon::IsCustomColumn(no) &&
            Udllmessageintf::ConfirmYesNo(
                QStringLiteral("是否将所有单据【%1】列的显示名称全部修改为【%2】？").arg(old, name));
        // The bill windows' saved captions give way to the new name.
        if (everyBill) {
            Udlldbservice::ExecuteSQL(
                QStringLiteral("Update T_Jxc_VchColumn set FieldNameO = ? Where CMKvColumnNo = ?"),
                {name, no});
            Udlldbservice::ExecuteSQL(QStringLiteral("Update KV_GridFieldConfig Set CaptionStr = '' Where "
                                                     "substr(ModuleNo, 1, 4) in (Select CAST(FunctionNo "
                                                     "AS TEXT) From T_Gbl_FunctionList Where VchType in "
                                                     "(Select Distinct(VchType) From T_Jxc_VchColumn "
                                                     "Where CMKvColumnNo in (41, 42, 43, 44, 45, 80, 81, 82, "
                                                     "83, 84, 111, 112, 113, 114, 115, 116)))"));
        } else {
            Udlldbservice::ExecuteSQL(
                QStringLiteral(
                    "update %1 set fieldnameo = ? where VchType = ? and CMKvColumnNo = ? and DataArea = ?")
                    .arg(Table(QStringLiteral("VchColumn"))),
                {name, FVchtype, no, FTabs[page].DataArea});
            Udlldbservice::ExecuteSQL(
                QStringLiteral(
                    "Update KV_GridFieldConfig Set CaptionStr = '' Where substr(ModuleNo, 1, 4) in ( Select "
                    "CAST(FunctionNo AS TEXT) From T_Gbl_FunctionList Where Caption = ?)"),
                {uLayoutsCommon::BillName(FVchtype)});
        }
    }
    transaction.Commit();
    FModified = true;
    Reload();
}

void TfrmVchGridConfig::btnFormulaClick()
{
    const TKvGGeneralWGrid *grid = CurrentGrid();
    const int page = PageControl->currentIndex();
    const int row = grid ? grid->currentRow() : -1;
    if (row < 0 || FTabs[page].TabType == 0)
        return;
    if (Udlldbservice::GetValueFromSQL(
            QStringLiteral("SELECT CASE WHEN EXISTS (Select 1 From T_Gbl_Vchtype Where "
                           "Vchtype = ?) THEN 1 ELSE 0 END"),
            {FVchtype})
            .toInt() != 1) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("插件单据暂不支持设置公式。"));
        return;
    }
    const int no = grid->CellText(row, QStringLiteral("CMKvColumnNo")).toInt();
    const int area = FTabs[page].DataArea;
    const QString caption = grid->CellText(row, QStringLiteral("FieldName"));
    bool saved = false;
    if (no == 112 || no == 113)
        saved = TfrmDateFormula::Execute(FVchtype, no, area, caption);
    else if (no == 117)
        saved = TfrmDateIntervalFormula::Execute(FVchtype, no, area, caption);
    else if (uLayoutsCommon::IsFormulaColumn(no))
        saved = TfrmFormula::Execute(FVchtype, no, area, caption);
    if (!saved)
        return;
    FModified = true;
    Reload();
}

void TfrmVchGridConfig::btnBasicClick()
{
    const TKvGGeneralWGrid *grid = CurrentGrid();
    const int page = PageControl->currentIndex();
    const int row = grid ? grid->currentRow() : -1;
    if (row < 0)
        return;
    bool changed = false;
    if (FTabs[page].TabType == 0) {
        changed =
            TfrmSetCustomBasic::Execute(FVchtype, grid->CellText(row, QStringLiteral("DataType")).toInt(),
                                        grid->CellText(row, QStringLiteral("TitleName")));
    } else {
        const int no = grid->CellText(row, QStringLiteral("CMKvColumnNo")).toInt();
        if ((no == 125 || no == 126) &&
            uOrvaneCommon::GetSysValue(no == 125 ? QStringLiteral("BillColumnType_Custom3")
                                                 : QStringLiteral("BillColumnType_Custom4")) ==
                QLatin1String("1")) {
            Udllmessageintf::ShowWarningMsg(
                QStringLiteral("自定义3和4的类型必须选择文本才能设置基本信息选择。"));
            return;
        }
        changed = TfrmSetUpBasicSelect::Execute(FVchtype, no, FTabs[page].DataArea,
                                                grid->CellText(row, QStringLiteral("FieldName")));
    }
    if (changed)
        Reload();
}

void TfrmVchGridConfig::btnRelationBasicClick()
{
    const TKvGGeneralWGrid *grid = CurrentGrid();
    const int row = grid ? grid->currentRow() : -1;
    if (row < 0 || FTabs[PageControl->currentIndex()].TabType != 0)
        return;
    if (TfrmSetRelationBasic::Execute(FVchtype, grid->CellText(row, QStringLiteral("DataType")).toInt(),
                                      grid->CellText(row, QStringLiteral("TitleName"))))
        Reload();
}

bool TfrmVchGridConfig::Execute(int vchType)
{
    if (Udllsystemintf::HasOpenBill()) {
        if (!Udllmessageintf::ConfirmYesNo(QStringLiteral("当前打开了单据窗口，是否全部关闭？"),
                                           TMessageBoxType::mtInformation))
            return false;
        Udllsystemintf::CloseAllBillPage();
        if (Udllsystemintf::HasOpenBill())
            return false;
    }
    TfrmVchGridConfig form(vchType);
    form.Prepare();
    form.exec();
    return form.FModified;
}
