#include "uSetUpBasicSelect.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uLayoutsCommon.h"

namespace {
constexpr int kBasicTypeRole = Qt::UserRole;
constexpr int kTitleDataTypeRole = Qt::UserRole + 1;
const QString kChooseOne = QStringLiteral("请选择一项基本信息。");
const QString kGridKinds = QStringLiteral("Select BasicType, BasicName from FreeDomBasicType where "
                                          "(coalesce(Version, '') = '' OR Version = 'CS') and IsForGrid = 1 "
                                          "and BasicType <> 34 Order by OrderNo");

QStringList UpdateNames(std::initializer_list<const char *> names)
{
    QStringList list;
    for (const char *name : names)
        list << QString::fromLatin1(name);
    return list;
}
} // namespace

namespace uBasicSelectCommon {
bool CopyToOtherBill(int fromVchType, const QString &field, const std::function<bool(int)> &hasField,
                     const std::function<bool(int)> &hasBinding, const std::function<bool(int)> &store,
                     const QString &successPrefix)
{
    int target = 0;
    QString bill;
    if (!uLayoutsCommon::SelectVchtype(target, bill))
        return false;
    bill = uLayoutsCommon::BillName(target);
    if (target == fromVchType) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("不能将设置复制给自己。"));
        return false;
    }
    const QString where = QStringLiteral("【") + bill + QStringLiteral("】");
    if (!hasField(target)) {
        Udllmessageintf::ShowWarningMsg(where + QStringLiteral("没有【") + field +
                                        QStringLiteral("】，不能对其设置。"));
        return false;
    }
    if (hasBinding(target) &&
        !Udllmessageintf::ConfirmYesNo(where + QStringLiteral("的【") + field +
                                       QStringLiteral("】已有设置，是否将当前的设置覆盖它？")))
        return false;
    if (!store(target))
        return false;
    Udllmessageintf::ShowInfoMessage(successPrefix + bill + QStringLiteral("】的【") + field +
                                     QStringLiteral("】下。"));
    return true;
}
} // namespace uBasicSelectCommon

TBasicSelectDlgBase::TBasicSelectDlgBase(int vchType, const QString &field, QWidget *parent)
    : TfrmDialogParent(parent), FVchtype(vchType), FField(field)
{
    SetTitle(QStringLiteral("基本信息选择"));
    auto *root = new QVBoxLayout(pnlEntry);
    lblBill = new QLabel(QStringLiteral(" 单据：") + uLayoutsCommon::BillName(vchType), pnlEntry);
    lblBill->setObjectName(QStringLiteral("lblBill"));
    root->addWidget(lblBill);
    auto *body = new QHBoxLayout;
    tvList = new QTreeWidget(pnlEntry);
    tvList->setObjectName(QStringLiteral("tvList"));
    tvList->setHeaderLabel(QStringLiteral("基本信息"));
    body->addWidget(tvList);
    MainGrid = new TKvGGeneralGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->SetColumns({{QStringLiteral("ReturnTypeName"), QStringLiteral("返回信息"), QString(), 0, true},
                          {QStringLiteral("ReturnTypeField"), QString(), QString(), 0, false}});
    MainGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    body->addWidget(MainGrid, 1);
    root->addLayout(body);
    btnOk = AddBottomButton(QStringLiteral("btnOk"), QStringLiteral("确定"));
    btnOtherVchtype = AddBottomButton(QStringLiteral("btnOtherVchtype"), QStringLiteral("应用到其他单据"));
    btnAllVchtype = AddBottomButton(QStringLiteral("btnAllVchtype"), QStringLiteral("应用到所有单据"));
    btnClearBasic = AddBottomButton(QStringLiteral("btnClearBasic"), QStringLiteral("清除选项"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("取消"), mrCancel);
    connect(tvList, &QTreeWidget::currentItemChanged, this, &TBasicSelectDlgBase::tvListChange);
    connect(btnOk, &QPushButton::clicked, this, &TBasicSelectDlgBase::btnOkClick);
    connect(btnOtherVchtype, &QPushButton::clicked, this, &TBasicSelectDlgBase::btnOtherVchtypeClick);
    connect(btnAllVchtype, &QPushButton::clicked, this, &TBasicSelectDlgBase::btnAllVchtypeClick);
    connect(btnClearBasic, &QPushButton::clicked, this, &TBasicSelectDlgBase::btnClearBasicClick);
}

void TBasicSelectDlgBase::LoadKinds(const QString &sql, const QVariantList &params, TClientDataSet &current)
{
    current.First();
    const int basicType = current.Eof() ? -1 : current.Value(QStringLiteral("BasicType")).toInt();
    const QString returnName =
        current.Eof() ? QString() : current.Value(QStringLiteral("ReturnTypeName")).toString();
    TClientDataSet kinds;
    Udlldbservice::OpenSQL(sql, params, kinds);
    const QSignalBlocker quiet(tvList);
    QTreeWidgetItem *chosen = nullptr;
    for (kinds.First(); !kinds.Eof(); kinds.Next()) {
        auto *node = new QTreeWidgetItem(tvList, {kinds.Value(QStringLiteral("BasicName")).toString()});
        node->setData(0, kBasicTypeRole, kinds.Value(QStringLiteral("BasicType")).toInt());
        node->setData(0, kTitleDataTypeRole,
                      kinds.HasField(QStringLiteral("TitleDataType"))
                          ? kinds.Value(QStringLiteral("TitleDataType")).toInt()
                          : 0);
        if (!chosen && node->data(0, kBasicTypeRole).toInt() == basicType)
            chosen = node;
    }
    if (!chosen)
        return;
    tvList->setCurrentItem(chosen);
    LoadReturnFields(basicType);
    for (int row = 0; row < MainGrid->rowCount(); ++row)
        if (MainGrid->CellText(row, QStringLiteral("ReturnTypeName")) == returnName)
            MainGrid->setCurrentCell(row, 0);
}

void TBasicSelectDlgBase::LoadReturnFields(int basicType)
{
    TClientDataSet fields;
    Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_GetBasicFields"), {QStringLiteral("@BasicType")},
                                  {basicType}, fields);
    MainGrid->LoadFromDataSet(fields);
    MainGrid->setCurrentCell(-1, -1);
}

void TBasicSelectDlgBase::tvListChange()
{
    if (QTreeWidgetItem *node = tvList->currentItem())
        LoadReturnFields(node->data(0, kBasicTypeRole).toInt());
}

int TBasicSelectDlgBase::CurrentTitleDataType() const
{
    const QTreeWidgetItem *node = tvList->currentItem();
    return node ? node->data(0, kTitleDataTypeRole).toInt() : 0;
}

bool TBasicSelectDlgBase::Selection(int &basicType, QString &returnName, bool showMessage) const
{
    const QTreeWidgetItem *node = tvList->currentItem();
    const int row = MainGrid->currentRow();
    if (!node || row < 0 || row >= MainGrid->rowCount()) {
        if (showMessage)
            Udllmessageintf::ShowWarningMsg(kChooseOne);
        return false;
    }
    basicType = node->data(0, kBasicTypeRole).toInt();
    returnName = MainGrid->CellText(row, QStringLiteral("ReturnTypeName"));
    return true;
}

void TBasicSelectDlgBase::btnOkClick()
{
    int basicType = -1;
    QString returnName;
    if (!Selection(basicType, returnName) || !Store(FVchtype, basicType, returnName))
        return;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("保存成功。"));
    bChange = true;
    done(mrOk);
}

void TBasicSelectDlgBase::btnOtherVchtypeClick()
{
    int basicType = -1;
    QString returnName;
    if (!Selection(basicType, returnName))
        return;
    uBasicSelectCommon::CopyToOtherBill(
        FVchtype, FField, [this](int target) { return HasField(target); },
        [this](int target) { return HasBinding(target); },
        [&](int target) { return Store(target, basicType, returnName); },
        QStringLiteral("已经将基本信息选择成功复制到【"));
}

void TBasicSelectDlgBase::btnAllVchtypeClick()
{
    int basicType = -1;
    QString returnName;
    if (!Selection(basicType, returnName) ||
        !Udllmessageintf::ConfirmOKCancel(QStringLiteral("当前操作将会覆盖已有的设置，请确认继续。")))
        return;
    if (StoreAll(basicType, returnName) < 0)
        return;
    bChange = true;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("已经将基本信息选择成功复制到全部单据的【") + FField +
                                     QStringLiteral("】下。"));
}

void TBasicSelectDlgBase::btnClearBasicClick()
{
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("数据清空后不能恢复，请确认继续。")) ||
        !Store(FVchtype, -1, QString()))
        return;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("清空成功。"));
    bChange = true;
    done(mrOk);
}

// ---- grid columns

TfrmSetUpBasicSelect::TfrmSetUpBasicSelect(int vchType, int columnNo, int dataArea, const QString &field,
                                           QWidget *parent)
    : TBasicSelectDlgBase(vchType, field, parent), FColumnNo(columnNo), FDataArea(dataArea)
{
    setObjectName(QStringLiteral("frmSetUpBasicSelect"));
    TClientDataSet current;
    Udlldbservice::OpenSQL(
        QStringLiteral("Select BasicType, ReturnTypeName From T_GBL_FreeDomBasicSelect Where "
                       "(coalesce(Version, '') = '' OR Version = 'CS') and Vchtype = ? and "
                       "CMKvColumnNo = ? and DataArea = ?"),
        {vchType, columnNo, dataArea}, current);
    LoadKinds(kGridKinds, {}, current);
}

bool TfrmSetUpBasicSelect::Store(int vchType, int basicType, const QString &returnName)
{
    return Udlldbservice::ExecuteProcByName(
               QStringLiteral("P_KOVA_UpdateFreeDomBasicSelect"),
               UpdateNames(
                   {"@VchType", "@CMKvColumnNo", "@BasicType", "@ReturnTypeName", "@DataArea", "@Version"}),
               {vchType, FColumnNo, basicType, returnName, FDataArea, uBasicSelectCommon::Version}) >= 0;
}

bool TfrmSetUpBasicSelect::HasField(int vchType)
{
    return !Udlldbservice::GetValueFromSQL(
                QStringLiteral("select CMKvColumnNo from t_jxc_vchcolumn where vchtype = "
                               "? and display = 1 and CMKvColumnNo = ?"),
                {vchType, FColumnNo})
                .isNull();
}

bool TfrmSetUpBasicSelect::HasBinding(int vchType)
{
    return !Udlldbservice::GetValueFromSQL(
                QStringLiteral(
                    "Select BasicType From T_GBL_FreeDomBasicSelect Where (coalesce(Version, '') = '' OR "
                    "Version = 'CS') and Vchtype = ? and CMKvColumnNo = ? and BasicType <> -1"),
                {vchType, FColumnNo})
                .isNull();
}

int TfrmSetUpBasicSelect::StoreAll(int basicType, const QString &returnName)
{
    return Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_KOVA_UpdateAllBillFreeDomBasicSelect"),
        UpdateNames({"@CMKvColumnNo", "@BasicType", "@ReturnTypeName", "@DataArea", "@Version"}),
        {FColumnNo, basicType, returnName, FDataArea, uBasicSelectCommon::Version});
}

bool TfrmSetUpBasicSelect::Execute(int vchType, int columnNo, int dataArea, const QString &field)
{
    TfrmSetUpBasicSelect form(vchType, columnNo, dataArea, field);
    form.exec();
    return form.bChange;
}

// ---- header custom fields

TfrmSetCustomBasic::TfrmSetCustomBasic(int vchType, int dataType, const QString &field, QWidget *parent)
    : TBasicSelectDlgBase(vchType, field, parent), FDataType(dataType)
{
    setObjectName(QStringLiteral("frmSetCustomBasic"));
    lblBill->setText(lblBill->text() + QStringLiteral("  自定义字段：") + field);
    TClientDataSet current;
    Udlldbservice::OpenSQL(
        QStringLiteral("Select BasicType, ReturnTypeName From T_GBL_CustomBasicSelect Where "
                       "(coalesce(Version, '') = '' OR Version = 'CS') and Vchtype = ? and "
                       "DataType = ?"),
        {vchType, dataType}, current);
    LoadKinds(kGridKinds, {}, current);
}

bool TfrmSetCustomBasic::Store(int vchType, int basicType, const QString &returnName)
{
    return Udlldbservice::ExecuteProcByName(
               QStringLiteral("P_KOVA_UpdateCustomBasicSelect"),
               UpdateNames({"@VchType", "@DataType", "@BasicType", "@ReturnTypeName", "@Version"}),
               {vchType, FDataType, basicType, returnName, uBasicSelectCommon::Version}) >= 0;
}

bool TfrmSetCustomBasic::HasField(int vchType)
{
    return !Udlldbservice::GetValueFromSQL(
                QStringLiteral("select DataType from t_jxc_vchtitle where vchtype = ? and DataType = ?"),
                {vchType, FDataType})
                .isNull();
}

bool TfrmSetCustomBasic::HasBinding(int vchType)
{
    return !Udlldbservice::GetValueFromSQL(
                QStringLiteral(
                    "Select BasicType From T_GBL_CustomBasicSelect Where (coalesce(Version, '') = '' OR "
                    "Version = 'CS') and Vchtype = ? and DataType = ? and BasicType <> -1"),
                {vchType, FDataType})
                .isNull();
}

int TfrmSetCustomBasic::StoreAll(int basicType, const QString &returnName)
{
    return Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_KOVA_UpdateAllBillCustomBasicSelect"),
        UpdateNames({"@DataType", "@BasicType", "@ReturnTypeName", "@Version"}),
        {FDataType, basicType, returnName, uBasicSelectCommon::Version});
}

bool TfrmSetCustomBasic::Execute(int vchType, int dataType, const QString &field)
{
    TfrmSetCustomBasic form(vchType, dataType, field);
    form.exec();
    return form.bChange;
}

// ---- related basic data of header fields

TfrmSetRelationBasic::TfrmSetRelationBasic(int vchType, int dataType, const QString &field, QWidget *parent)
    : TBasicSelectDlgBase(vchType, field, parent), FDataType(dataType)
{
    setObjectName(QStringLiteral("frmSetRelationBasic"));
    SetTitle(QStringLiteral("关联信息选择"));
    lblBill->setText(lblBill->text() + QStringLiteral("  自定义字段：") + field);
    btnOtherVchtype->hide();
    btnAllVchtype->hide();
    TClientDataSet current;
    Udlldbservice::OpenSQL(
        QStringLiteral("Select BasicType, ReturnTypeName From T_GBL_FreeDomRelationBasic Where "
                       "(coalesce(Version, '') = '' OR Version = 'CS') and Vchtype = ? and "
                       "DestDataType = ?"),
        {vchType, dataType}, current);
    LoadKinds(QStringLiteral(
                  "Select f.BasicType, t.titlename as BasicName, r.TitleDataType from RelationBasicType r "
                  "Left Join FreeDomBasicType f on r.BasicType = f.BasicType left join t_jxc_vchtitle t on "
                  "r.TitleDataType = t.DataType and t.VchType = r.VchType where r.VchType = ? and "
                  "f.IsForGrid = 0 Order by r.OrderNo"),
              {vchType}, current);
}

void TfrmSetRelationBasic::LoadReturnFields(int basicType)
{
    TClientDataSet fields;
    Udlldbservice::OpenSQL(
        QStringLiteral("select * from FreeDomBasicReturnType WHERE  ReturnTypeField not "
                       "in('FullName', 'PrePriceName') and  BasicType = ? ORDER BY OrderNo"),
        {basicType}, fields);
    MainGrid->LoadFromDataSet(fields);
    MainGrid->setCurrentCell(-1, -1);
}

bool TfrmSetRelationBasic::Store(int vchType, int basicType, const QString &returnName)
{
    return Udlldbservice::ExecuteProcByName(QStringLiteral("P_KOVA_UpdateRelationBasicSelect"),
                                            UpdateNames({"@VchType", "@SourceDataType", "@DestDataType",
                                                         "@BasicType", "@ReturnTypeName", "@Version"}),
                                            {vchType, basicType == -1 ? 0 : CurrentTitleDataType(), FDataType,
                                             basicType, returnName, uBasicSelectCommon::Version}) >= 0;
}

bool TfrmSetRelationBasic::Execute(int vchType, int dataType, const QString &field)
{
    TfrmSetRelationBasic form(vchType, dataType, field);
    form.exec();
    return form.bChange;
}
