#include "uAccountOption.h"

#include <QButtonGroup>
#include <QCheckBox>
#include <QComboBox>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollArea>
#include <QStackedWidget>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ClientDataSet.h"
#include "ParamList.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllserverobject.h"
#include "Udllsystemintf.h"
#include "uAtypeLenManage.h"
#include "uBillMessageComm.h"
#include "uCMSystemReBuild.h"
#include "uChangePrintPassFrm.h"
#include "uDllComm.h"
#include "uIniConfigCore.h"
#include "uOperationFunc.h"
#include "uOrvaneCommon.h"
#include "uPreviewAtype.h"
#include "uSetupControls.h"
#include "uTransformFunc.h"

using namespace Udlldbservice;

namespace {

constexpr int kMaxDynamicPages = 30;
const QString kClosedCostMode = QStringLiteral("系统已经结账，存货核算方式保存失败。");

QString PictureOf(int pageId)
{
    static const QHash<int, QString> pictures = {
        {1, QStringLiteral("AccountCompany")},   {2, QStringLiteral("AccountCost")},
        {11, QStringLiteral("AccountPrint")},    {12, QStringLiteral("AccountBillOperation")},
        {13, QStringLiteral("AccountBusiness")}, {14, QStringLiteral("AccountFinance")},
        {15, QStringLiteral("AccountProduce")},  {16, QStringLiteral("AccountPop")}};
    return QStringLiteral(":/options/") + pictures.value(pageId, QStringLiteral("AccountOther"));
}

QLineEdit *NewEdit(const char *name, int maxLength, QWidget *parent)
{
    auto *edit = new QLineEdit(parent);
    edit->setObjectName(QString::fromLatin1(name));
    edit->setMaxLength(maxLength);
    return edit;
}

QButtonGroup *NewRadioGroup(const char *name, const QString &title, const QStringList &items, QWidget *parent,
                            QLayout *into)
{
    auto *box = new QGroupBox(title, parent);
    box->setObjectName(QString::fromLatin1(name));
    auto *layout = new QHBoxLayout(box);
    auto *group = new QButtonGroup(box);
    group->setObjectName(QString::fromLatin1(name));
    for (int i = 0; i < items.size(); ++i) {
        auto *button = new QRadioButton(items[i], box);
        button->setObjectName(QStringLiteral("%1%2").arg(QString::fromLatin1(name)).arg(i));
        group->addButton(button, i);
        layout->addWidget(button);
    }
    into->addWidget(box);
    return group;
}

// P_GBL_WriteSysData with @szOrder17 (the mode) first, then @szOrder1 .. @szOrder16; values[n] is
// @szOrder<n> (values[0] is the mode's place).
void WriteSysData(const QString &mode, QVariantList values)
{
    QStringList names{QStringLiteral("@szOrder17")};
    for (int i = 1; i <= 16; ++i)
        names << QStringLiteral("@szOrder%1").arg(i);
    values[0] = mode;
    values[16] = QStringLiteral("0");
    ExecuteProcByName(QStringLiteral("P_GBL_WriteSysData"), names, values);
}

// The account's path of names from the top level down, joined by a backslash.
QString AtypePath(const QString &typeId)
{
    QStringList names;
    QString id = typeId;
    while (!id.isEmpty() && id != u"00000") {
        TClientDataSet ds;
        OpenSQL(QStringLiteral("SELECT FullName, parid FROM Atypecw WHERE typeId = ?"), {id}, ds);
        if (ds.IsEmpty())
            break;
        names.prepend(ds.FieldByName(QStringLiteral("FullName")).AsString());
        id = ds.FieldByName(QStringLiteral("parid")).AsString();
    }
    return names.join(u'\\');
}

int Count(const QString &sql)
{
    return GetValueFromSQL(sql).toInt();
}

} // namespace

TCMDynamicCheckBox::TCMDynamicCheckBox(QWidget *parent) : QWidget(parent)
{
    auto *layout = new QHBoxLayout(this);
    layout->setContentsMargins(0, 0, 0, 0);
    Box = new QCheckBox(this);
    NewMark = new QLabel(this);
    NewMark->setPixmap(QPixmap(QStringLiteral(":/options/AccountOptionNew")));
    HelpButton = new QPushButton(this);
    HelpButton->setIcon(QIcon(QStringLiteral(":/options/AccountOptionHelp")));
    HelpButton->setFlat(true);
    layout->addWidget(Box);
    layout->addWidget(NewMark);
    layout->addWidget(HelpButton);
    layout->addStretch(1);
}

TfrmAccountOption::TfrmAccountOption(QWidget *parent) : TfrmDialogParent(parent)
{
    InitOptionsPictures();
    for (int i = 1; i <= kMaxDynamicPages; ++i)
        FDynamicPageList << QStringLiteral("DynamicPage%1").arg(i, 2, 10, QLatin1Char('0'));
    FPageIdNoteBookName = {{1, QStringLiteral("CompanyPage")},
                           {2, QStringLiteral("CostSettlePage")},
                           {3, QStringLiteral("OtherPage")}};
    BuildControls();
    SetTitle(QStringLiteral("账套选项"));
    FHelpName = QStringLiteral("文件/账套选项");
    LoadCompanyPage();
    LoadOtherValues();
    LoadOtherPage();
    LoadEntries();
    LoadDynamicPages();
    SelectPage(FDefaultPageId);
}

TfrmAccountOption::~TfrmAccountOption() = default;

bool TfrmAccountOption::Execute()
{
    if (uCMSystemReBuildCore::NormalTokenRefused())
        return false;
    TfrmAccountOption form;
    form.exec();
    return true;
}

void TfrmAccountOption::BuildControls()
{
    auto *layout = new QHBoxLayout(pnlEntry);
    tvEntriesConfig = new QListWidget(pnlEntry);
    tvEntriesConfig->setObjectName(QStringLiteral("tvEntriesConfig"));
    tvEntriesConfig->setFixedWidth(150);
    nbPages = new QStackedWidget(pnlEntry);
    nbPages->setObjectName(QStringLiteral("nbPages"));
    layout->addWidget(tvEntriesConfig);
    layout->addWidget(nbPages, 1);
    const QList<std::pair<QString, QWidget *>> pages = {
        {QStringLiteral("CompanyPage"), BuildCompanyPage()},
        {QStringLiteral("CostSettlePage"), BuildCostSettlePage()},
        {QStringLiteral("OtherPage"), BuildOtherPage()}};
    for (const auto &[name, page] : pages) {
        page->setObjectName(name);
        nbPages->addWidget(page);
        FPages.insert(name, page);
    }
    connect(tvEntriesConfig, &QListWidget::currentItemChanged, this, [this](QListWidgetItem *item) {
        if (item)
            SelectPage(item->data(Qt::UserRole).toInt());
    });
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"), mrCancel);
    connect(btnHelp, &QPushButton::clicked, this, [this] { ShowHelp(); });
}

QWidget *TfrmAccountOption::BuildCompanyPage()
{
    auto *page = new QWidget;
    auto *form = new QFormLayout(page);
    const QList<std::tuple<QLineEdit **, const char *, QString>> fields = {
        {&lbeFullName, "lbeFullName", QStringLiteral("公司全名")},
        {&lbeName, "lbeName", QStringLiteral("公司简称")},
        {&lbeAddress, "lbeAddress", QStringLiteral("公司地址")},
        {&lbeTelCode, "lbeTelCode", QStringLiteral("电话号码")},
        {&lbeLegalMan, "lbeLegalMan", QStringLiteral("法人代表")},
        {&lbeZip, "lbeZip", QStringLiteral("邮政编码")},
        {&lbeFaxNo, "lbeFaxNo", QStringLiteral("传真号码")},
        {&lbeTaxNumber, "lbeTaxNumber", QStringLiteral("税    号")},
        {&lbeBank, "lbeBank", QStringLiteral("开户银行")},
        {&lbeMemo, "lbeMemo", QStringLiteral("备    注")}};
    for (const auto &[edit, name, caption] : fields) {
        *edit = NewEdit(name, 100, page);
        form->addRow(caption, *edit);
    }
    btnCompanyPageSave = new QPushButton(QStringLiteral("保存信息"), page);
    btnCompanyPageSave->setObjectName(QStringLiteral("btnCompanyPageSave"));
    form->addRow(QString(), btnCompanyPageSave);
    connect(btnCompanyPageSave, &QPushButton::clicked, this, &TfrmAccountOption::btnCompanyPageSaveClick);
    return page;
}

QWidget *TfrmAccountOption::BuildCostSettlePage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    rgCostMode = NewRadioGroup("rgCostMode", QStringLiteral("存货核算方式"),
                               {QStringLiteral("总仓核算"), QStringLiteral("分仓核算")}, page, layout);
    rgARSettleType =
        NewRadioGroup("rgARSettleType", QStringLiteral("应收结算类型"),
                      {QStringLiteral("按单据结算"), QStringLiteral("按存货结算")}, page, layout);
    rgAPSettleType =
        NewRadioGroup("rgAPSettleType", QStringLiteral("应付结算类型"),
                      {QStringLiteral("按单据结算"), QStringLiteral("按存货结算")}, page, layout);
    auto *zero = new QGroupBox(QStringLiteral("零成本出库选择"), page);
    auto *zeroLayout = new QVBoxLayout(zero);
    rbZeroCost1 = new QRadioButton(zero);
    rbZeroCost1->setObjectName(QStringLiteral("rbZeroCost1"));
    rbZeroCost2 = new QRadioButton(zero);
    rbZeroCost2->setObjectName(QStringLiteral("rbZeroCost2"));
    chkMinusIsZero = new QCheckBox(QStringLiteral("零成本包括负成本"), zero);
    chkMinusIsZero->setObjectName(QStringLiteral("chkMinusIsZero"));
    for (QWidget *w : std::initializer_list<QWidget *>{rbZeroCost1, rbZeroCost2, chkMinusIsZero})
        zeroLayout->addWidget(w);
    layout->addWidget(zero);
    btnOther2Save = new QPushButton(QStringLiteral("保存"), page);
    btnOther2Save->setObjectName(QStringLiteral("btnOther2Save"));
    layout->addWidget(btnOther2Save);
    layout->addStretch(1);
    connect(btnOther2Save, &QPushButton::clicked, this, &TfrmAccountOption::btnOther2SaveClick);
    return page;
}

QWidget *TfrmAccountOption::BuildOtherPage()
{
    auto *page = new QWidget;
    auto *layout = new QVBoxLayout(page);
    auto *trade = new QHBoxLayout;
    lcbTradeAtype = new QComboBox(page);
    lcbTradeAtype->setObjectName(QStringLiteral("lcbTradeAtype"));
    btnPreviewAtype = new QPushButton(QStringLiteral("科目预览"), page);
    btnPreviewAtype->setObjectName(QStringLiteral("btnPreviewAtype"));
    trade->addWidget(new QLabel(QStringLiteral("企业类别"), page));
    trade->addWidget(lcbTradeAtype, 1);
    trade->addWidget(btnPreviewAtype);
    layout->addLayout(trade);

    grbAtypeLen = new QGroupBox(uIniConfigCore::Caption(3281), page);
    grbAtypeLen->setObjectName(QStringLiteral("grbAtypeLen"));
    AtypeLen_SpGrid = uSetupControls::NewGrid(grbAtypeLen);
    AtypeLen_SpGrid->setFixedHeight(100);
    (new QVBoxLayout(grbAtypeLen))->addWidget(AtypeLen_SpGrid);
    layout->addWidget(grbAtypeLen);

    grgTypeList = uSetupControls::NewVoucherTypeBox(page, &FTypeButtons);
    layout->addWidget(grgTypeList);

    auto *form = new QFormLayout;
    lbeDefTaxRate = NewEdit("lbeDefTaxRate", 255, page);
    lbePriceD = NewEdit("lbePriceD", 255, page);
    form->addRow(QStringLiteral("默认增值税税率"), lbeDefTaxRate);
    form->addRow(QStringLiteral("采购差价报警比例"), lbePriceD);
    btnPrintPassWord = new QPushButton(QStringLiteral("打印密码设置(&M)"), page);
    btnPrintPassWord->setObjectName(QStringLiteral("btnPrintPassWord"));
    btnOtherPageSave = new QPushButton(QStringLiteral("保存"), page);
    btnOtherPageSave->setObjectName(QStringLiteral("btnOtherPageSave"));
    form->addRow(QString(), btnPrintPassWord);
    form->addRow(QString(), btnOtherPageSave);
    layout->addLayout(form);
    layout->addStretch(1);
    // A number typed with a sign keeps its magnitude.
    for (QLineEdit *edit : {lbeDefTaxRate, lbePriceD})
        connect(edit, &QLineEdit::editingFinished, this, [edit] {
            bool ok = false;
            const double v = edit->text().trimmed().toDouble(&ok);
            if (ok && v < 0)
                edit->setText(QString::number(-v));
        });
    connect(lcbTradeAtype, &QComboBox::currentIndexChanged, this, &TfrmAccountOption::lcbTradeAtypeChange);
    connect(btnPreviewAtype, &QPushButton::clicked, this, [this] {
        if (lcbTradeAtype->currentIndex() >= 0)
            TfrmPreviewAtype::Execute(lcbTradeAtype->currentData().toInt());
    });
    connect(btnPrintPassWord, &QPushButton::clicked, this,
            [this] { uChangePrintPassFrm::ShowChangePrintPass(this); });
    connect(btnOtherPageSave, &QPushButton::clicked, this, &TfrmAccountOption::btnOtherPageSaveClick);
    return page;
}

void TfrmAccountOption::LoadCompanyPage()
{
    TClientDataSet ds;
    OpenSQL(QStringLiteral(
                "SELECT SubName, SubValue FROM T_Gbl_SysDataCw WHERE upper(SubName) IN ('COMPANYNAME', "
                "'TEL', 'COMPANYFULLNAME', 'ADDRESS', 'TAXNO', 'BANKANDTAXNO', 'ALLRATE', 'BUYPRICEDIFFER', "
                "'LEGALMAN', 'FAXNO', 'POSTCODE', 'UNITMEMO')"),
            ds);
    QHash<QString, QString> values;
    for (ds.First(); !ds.Eof(); ds.Next())
        values.insert(ds.FieldByName(QStringLiteral("SubName")).AsString().toLower(),
                      ds.FieldByName(QStringLiteral("SubValue")).AsString());
    const QList<std::pair<QLineEdit *, const char *>> fields = {
        {lbeName, "companyname"},   {lbeTelCode, "tel"},           {lbeFullName, "companyfullname"},
        {lbeAddress, "address"},    {lbeTaxNumber, "taxno"},       {lbeBank, "bankandtaxno"},
        {lbeDefTaxRate, "allrate"}, {lbePriceD, "buypricediffer"}, {lbeLegalMan, "legalman"},
        {lbeFaxNo, "faxno"},        {lbeZip, "postcode"},          {lbeMemo, "unitmemo"}};
    for (const auto &[edit, name] : fields)
        edit->setText(values.value(QString::fromLatin1(name)));
}

bool TfrmAccountOption::CostModeChangeable() const
{
    return uOrvaneCommon::GetSysValue(QStringLiteral("iniover")).trimmed() == u"0" &&
           Count(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Vchtype = 57 AND Draft IN (2, 4)")) == 0 &&
           Count(QStringLiteral("SELECT count(*) FROM DlyIni WHERE trim(coalesce(KtypeId, '')) = ''")) == 0;
}

void TfrmAccountOption::LoadOtherValues()
{
    TClientDataSet orders;
    OpenSQL(QStringLiteral("SELECT CostMode, CostName FROM T_JXC_CostCalcOrder ORDER BY CostMode, CostOrder"),
            orders);
    QStringList names[2];
    for (orders.First(); !orders.Eof(); orders.Next())
        names[orders.FieldByName(QStringLiteral("CostMode")).AsInteger() == 0 ? 0 : 1]
            << orders.FieldByName(QStringLiteral("CostName")).AsString();
    rbZeroCost1->setText(names[0].join(QStringLiteral("、")));
    rbZeroCost2->setText(names[1].join(QStringLiteral("、")));

    const QList<std::tuple<QString, int, std::function<void(int)>>> values = {
        {QStringLiteral("InventoryAccounting"), 8387,
         [this](int v) { rgCostMode->button(v ? 1 : 0)->setChecked(true); }},
        {QStringLiteral("ZeroCostSelect"), 8388,
         [this](int v) { (v == 1 ? rbZeroCost2 : rbZeroCost1)->setChecked(true); }},
        {QStringLiteral("ARSettleType"), 8389,
         [this](int v) { rgARSettleType->button(v ? 1 : 0)->setChecked(true); }},
        {QStringLiteral("APSettleType"), 8390,
         [this](int v) { rgAPSettleType->button(v ? 1 : 0)->setChecked(true); }}};
    for (const auto &[name, message, apply] : values) {
        const QVariant v =
            GetValueFromSQL(QStringLiteral("SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = ?"), {name});
        if (v.isNull()) {
            Udllmessageintf::ShowWarningMsg(uOrvaneCommon::GetMessageText(message));
            return;
        }
        apply(v.toString().trimmed().toInt());
    }
    chkMinusIsZero->setChecked(Udllsystemintf::CheckSysCon(164));
    const bool changeable = CostModeChangeable();
    const bool small = uDllComm::DllParams.PubVersion2 == 880;
    for (QButtonGroup *group : {rgCostMode, rgARSettleType, rgAPSettleType})
        for (QAbstractButton *b : group->buttons())
            b->setEnabled(!small && (group != rgCostMode || changeable));
}

void TfrmAccountOption::LoadOtherPage()
{
    bool numeric = false;
    const int trade = uOrvaneCommon::GetSysValue(QStringLiteral("TradeId")).trimmed().toInt(&numeric);
    FAccountTradeId = numeric ? trade : -1;
    TClientDataSet trades;
    OpenSQL(
        QStringLiteral("SELECT t.TradeId, t.cName FROM Trade t WHERE t.TradeId = ? OR EXISTS "
                       "(SELECT 1 FROM ProductTrades p WHERE p.MainVersion = ? AND p.TradeId = t.TradeId) "
                       "ORDER BY t.TradeId"),
        {FAccountTradeId, uDllComm::DllParams.PubMainVersionNo}, trades);
    {
        const QSignalBlocker block(lcbTradeAtype);
        for (trades.First(); !trades.Eof(); trades.Next())
            lcbTradeAtype->addItem(trades.Fields(1).AsString(), trades.Fields(0).AsInteger());
        lcbTradeAtype->setCurrentIndex(lcbTradeAtype->findData(FAccountTradeId));
    }
    const bool tradeChangeable = ExecuteProcByName(QStringLiteral("P_Gbl_CheckTradeAtype"), {}, {}) >= 0;
    lcbTradeAtype->setEnabled(tradeChangeable);
    btnPreviewAtype->setEnabled(tradeChangeable);

    const bool opened = uOrvaneCommon::GetSysValue(QStringLiteral("iniover")).trimmed() != u"0";
    QStringList levels;
    for (int level = 1; level <= uIniConfigCore::kLevels; ++level)
        levels << uOrvaneCommon::GetSysValue(QStringLiteral("ATypeIDLength%1").arg(level));
    uSetupControls::SetLengths(AtypeLen_SpGrid, levels, !opened);

    const int group = uTransformFunc::StrToIntLoose(uOrvaneCommon::GetSysValue(QStringLiteral("vtGroupNo")));
    if (QAbstractButton *button = FTypeButtons->button(group - 1))
        button->setChecked(true);
    grgTypeList->setEnabled(!opened && Count(QStringLiteral("SELECT count(*) FROM T_CW_DlyNdx")) == 0);
}

void TfrmAccountOption::lcbTradeAtypeChange()
{
    const int trade = lcbTradeAtype->currentData().toInt();
    const bool opened = uOrvaneCommon::GetSysValue(QStringLiteral("iniover")).trimmed() != u"0";
    QStringList levels;
    if (trade == FAccountTradeId)
        for (int level = 1; level <= uIniConfigCore::kLevels; ++level)
            levels << uOrvaneCommon::GetSysValue(QStringLiteral("ATypeIDLength%1").arg(level));
    else
        levels = uIniConfigCore::LoadCodeLengths(trade);
    uSetupControls::SetLengths(AtypeLen_SpGrid, levels, !opened);
}

void TfrmAccountOption::LoadEntries()
{
    TClientDataSet ds;
    OpenProcByName(QStringLiteral("P_Gbl_LoadEntriesConfig"), {QStringLiteral("@Version")},
                   {QString::number(uDllComm::DllParams.PubVersion2)}, ds);
    int next = 0;
    for (ds.First(); !ds.Eof(); ds.Next()) {
        const int pageId = ds.FieldByName(QStringLiteral("PageId")).AsInteger();
        auto *item = new QListWidgetItem(
            QIcon(PictureOf(pageId)), ds.FieldByName(QStringLiteral("FullName")).AsString(), tvEntriesConfig);
        item->setData(Qt::UserRole, pageId);
        if (FDefaultPageId == -1)
            FDefaultPageId = pageId;
        if (ds.FieldByName(QStringLiteral("IsDynamic")).AsInteger() == 1 && next < FDynamicPageList.size()) {
            FDynamicPageIdNoteBookName.insert(pageId, FDynamicPageList[next++]);
            FCurrUseDynamicPageList << pageId;
        }
    }
}

void TfrmAccountOption::LoadDynamicPages()
{
    TClientDataSet ds;
    OpenProcByName(QStringLiteral("P_Gbl_LoadSysCon"),
                   {QStringLiteral("@Version"), QStringLiteral("@nShowAll")},
                   {QString::number(uDllComm::DllParams.PubVersion2), 1}, ds);
    for (int pageId : std::as_const(FCurrUseDynamicPageList)) {
        const QString name = FDynamicPageIdNoteBookName.value(pageId);
        auto *scroll = new QScrollArea;
        scroll->setObjectName(name);
        auto *box = new QWidget;
        box->setObjectName(QStringLiteral("DynamicBox") + name.right(2));
        scroll->setWidget(box);
        scroll->setWidgetResizable(true);
        nbPages->addWidget(scroll);
        FPages.insert(name, scroll);
        FDynamicPageControl.insert(name, scroll);
        int top = 22;
        for (ds.First(); !ds.Eof(); ds.Next()) {
            if (ds.FieldByName(QStringLiteral("PageId")).AsInteger() != pageId)
                continue;
            auto *item = new TCMDynamicCheckBox(box);
            item->ConId = ds.FieldByName(QStringLiteral("ConId")).AsInteger();
            item->setObjectName(QStringLiteral("Switch%1").arg(item->ConId));
            item->Box->setText(ds.FieldByName(QStringLiteral("Name")).AsString());
            item->Box->setChecked(ds.FieldByName(QStringLiteral("Stats")).AsInteger() == 1);
            item->HelpLink = ds.FieldByName(QStringLiteral("HelpLink")).AsString().trimmed();
            item->ManageName = ds.FieldByName(QStringLiteral("ManageName")).AsString().trimmed();
            item->PlugInCaption = ds.FieldByName(QStringLiteral("PlugInCaption")).AsString().trimmed();
            item->CheckProcName = ds.FieldByName(QStringLiteral("CheckProcName")).AsString().trimmed();
            item->NewMark->setVisible(ds.FieldByName(QStringLiteral("NewFlag")).AsInteger() == 1);
            item->HelpButton->setVisible(!item->HelpLink.isEmpty());
            item->move(20, top);
            top += 25;
            connect(item->Box, &QCheckBox::clicked, this, [this, item] { SwitchClick(item); });
            connect(item->HelpButton, &QPushButton::clicked, this,
                    [item] { uOperationFunc::OpenHelpTopic(item->HelpLink); });
            FSwitches.insert(item->ConId, item);
        }
        box->setMinimumHeight(top + 10);
    }
}

TCMDynamicCheckBox *TfrmAccountOption::Switch(int conId) const
{
    return FSwitches.value(conId);
}

void TfrmAccountOption::SelectPage(int pageId)
{
    const QString name = FPageIdNoteBookName.value(pageId, FDynamicPageIdNoteBookName.value(pageId));
    if (QWidget *page = FPages.value(name))
        nbPages->setCurrentWidget(page);
    for (int i = 0; i < tvEntriesConfig->count(); ++i)
        if (tvEntriesConfig->item(i)->data(Qt::UserRole).toInt() == pageId &&
            tvEntriesConfig->currentRow() != i)
            tvEntriesConfig->setCurrentRow(i);
    ExecuteSQL(QStringLiteral("UPDATE T_Gbl_SysCon SET NewFlag = 0 WHERE PageId = ?"), {pageId});
}

// The checks of a switch before it is saved, in order; false puts it back.
bool TfrmAccountOption::CheckSwitch(TCMDynamicCheckBox *item, bool checked)
{
    using namespace Udllmessageintf;
    if (item->ConId == 88 && !checked) {
        const QString typeId =
            GetValueFromSQL(QStringLiteral("SELECT typeId FROM Atypecw WHERE CheckWaiBi = 1 AND "
                                           "Deleted = 0 ORDER BY typeId LIMIT 1"))
                .toString();
        if (!typeId.isEmpty()) {
            ShowInfoMessage(QStringLiteral("会计科目 \"") + AtypePath(typeId) +
                            QStringLiteral("\" 已经核算外币，不能取消配置。"));
            return false;
        }
    }
    if (item->ConId == 97 && uOrvaneCommon::GetSysValue(QStringLiteral("iniover")).trimmed() == u"1" &&
        uOrvaneCommon::GetSysValue(QStringLiteral("Period")).toInt() >
            uOrvaneCommon::GetSysValue(QStringLiteral("JxcPeriod")).toInt()) {
        ShowInfoMessage(QStringLiteral("当前进销存会计期间小于财务会计期间，请先做进销存的月末处理。"));
        return false;
    }
    static const QHash<int, QString> questions = {
        {105, QStringLiteral("您的选择可能会导致业务数据和账务数据不等，是否继续？")},
        {124, QStringLiteral("您的选择可能会导致固定资产数据和账务数据不等，是否继续？")},
        {125, QStringLiteral("您的选择可能会导致工资数据和账务数据不等，是否继续？")}};
    if (!checked && questions.contains(item->ConId) && !ConfirmYesNo(questions.value(item->ConId)))
        return false;
    if (!item->CheckProcName.isEmpty()) {
        TParamList outputs;
        const int r =
            ExecuteProcByName(item->CheckProcName,
                              {QStringLiteral("@ConId"), QStringLiteral("@Stats"), QStringLiteral("@ErrMsg")},
                              {item->ConId, checked ? 1 : 0, QString()}, &outputs);
        const QString text = outputs.ParamByName(QStringLiteral("@ErrMsg")).toString();
        if (r <= -2) {
            ShowInfoMessage(text);
            return false;
        }
        if (r == -1 && !ConfirmYesNo(text))
            return false;
    }
    return true;
}

void TfrmAccountOption::SwitchClick(TCMDynamicCheckBox *item)
{
    const bool checked = item->Box->isChecked();
    if (!CheckSwitch(item, checked)) {
        const QSignalBlocker block(item->Box);
        item->Box->setChecked(!checked);
        return;
    }
    uOrvaneCommon::SetSysConStats(item->ConId, checked);
    uOrvaneCommon::WriteSysEvent(
        QStringLiteral("账套选项修改：%1%2")
            .arg(checked ? QStringLiteral("启用") : QStringLiteral("停用"), item->Box->text()));
    if (item->ConId == 69)
        uOperationFunc::WriteConfigIni(Udllsystemintf::GetPubZtName(), QStringLiteral("QUICKPRINT"),
                                       checked ? QStringLiteral("YES") : QStringLiteral("NO"));
}

void TfrmAccountOption::btnCompanyPageSaveClick()
{
    QVariantList values(17, QString());
    const QList<std::pair<int, QLineEdit *>> orders = {{3, lbeName},      {4, lbeTelCode},   {5, lbeFullName},
                                                       {6, lbeAddress},   {7, lbeTaxNumber}, {8, lbeBank},
                                                       {14, lbeLegalMan}, {15, lbeFaxNo}};
    for (const auto &[n, edit] : orders)
        values[n] = edit->text().trimmed();
    WriteSysData(QStringLiteral("0"), values);
    uOrvaneCommon::SetSysValue(QStringLiteral("POSTCODE"), lbeZip->text());
    uOrvaneCommon::SetSysValue(QStringLiteral("UNITMEMO"), lbeMemo->text());
    Udllmessageintf::ShowInfoMessage(QStringLiteral("公司信息保存成功。"));
}

void TfrmAccountOption::btnOther2SaveClick()
{
    TBillBatchMessage batch;
    if (uOrvaneCommon::GetSysValue(QStringLiteral("iniover")).trimmed() != u"0") {
        batch.AddMsg(kClosedCostMode);
    } else if (Count(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Vchtype = 57 AND Draft IN (2, 4)")) >
               0) {
        batch.AddMsg(QStringLiteral("账套中存在调价单，存货核算方式保存失败。"));
    } else if (Count(QStringLiteral("SELECT count(*) FROM DlyIni WHERE trim(coalesce(KtypeId, '')) = ''")) >
               0) {
        batch.AddMsg(QStringLiteral("账套中存在无仓库的库存期初结单，存货核算方式保存失败。"));
    } else {
        Udllserverobject::Invoke(Udllserverobject::DispBeginTrans);
        int r = -1;
        try {
            r = ExecuteProcByName(QStringLiteral("P_Jxc_ChangeInventoryAccounting"),
                                  {QStringLiteral("@szOrder11")}, {QString::number(rgCostMode->checkedId())});
        } catch (...) {
            Udllserverobject::Invoke(Udllserverobject::DispRollBackTrans);
            throw;
        }
        Udllserverobject::Invoke(r >= 0 ? Udllserverobject::DispCommitTrans
                                        : Udllserverobject::DispRollBackTrans);
        switch (r) {
        case -1:
            batch.AddMsg(QStringLiteral("数据更新失败，请稍后重试。"));
            break;
        case -2:
            batch.AddMsg(kClosedCostMode);
            break;
        case -3:
            batch.AddMsg(QStringLiteral("修改存货核算方式将造成先进先出法存货期间负库存，不能修改。"));
            break;
        default:
            batch.AddMsg(QStringLiteral("存货核算方式保存成功。"));
        }
    }
    const QString update = QStringLiteral("UPDATE T_Gbl_SysDataCw SET SubValue = ? WHERE SubName = ?");
    ExecuteSQL(update, {QString::number(rgARSettleType->checkedId()), QStringLiteral("ARSettleType")});
    batch.AddMsg(QStringLiteral("应收结算类型保存成功。"));
    ExecuteSQL(update, {QString::number(rgAPSettleType->checkedId()), QStringLiteral("APSettleType")});
    batch.AddMsg(QStringLiteral("应付结算类型保存成功。"));
    ExecuteSQL(update, {rbZeroCost2->isChecked() ? QStringLiteral("1") : QStringLiteral("0"),
                        QStringLiteral("ZeroCostSelect")});
    uOrvaneCommon::SetSysConStats(164, chkMinusIsZero->isChecked());
    batch.AddMsg(QStringLiteral("零成本出库选择保存成功。"));
    batch.ShowWarningBatchMsg();
}

void TfrmAccountOption::btnOtherPageSaveClick()
{
    TBillBatchMessage batch;
    SaveTrade(batch);
    if (uOrvaneCommon::GetSysValue(QStringLiteral("iniover")).trimmed() != u"0") {
        batch.AddMsg(QStringLiteral("系统已经结账，科目编码长度保存失败。"));
        batch.AddMsg(QStringLiteral("系统已经结账，凭证类型保存失败。"));
    } else {
        if (!SaveCodeLengths(batch))
            return;
        SaveVoucherType(batch);
    }
    if (SaveTaxSettings(batch))
        batch.ShowWarningBatchMsg();
}

void TfrmAccountOption::SaveTrade(TBillBatchMessage &batch)
{
    const int trade = lcbTradeAtype->currentIndex() >= 0 ? lcbTradeAtype->currentData().toInt() : -2;
    if (trade < 0 || trade == FAccountTradeId ||
        !Udllmessageintf::ConfirmYesNo(QStringLiteral(
            "更改企业类别会覆盖科目表、存货核算方法等关键数据，请确认备份账套后操作。是否继续？")))
        return;
    if (ExecuteProcByName(QStringLiteral("P_Gbl_CheckTradeAtype"), {}, {}) < 0 ||
        ExecuteProcByName(QStringLiteral("P_GBL_ChangeTrade"), {QStringLiteral("@prm_TradeID")}, {trade}) <
            0) {
        batch.AddMsg(QStringLiteral("当前账套已经使用过对应的会计科目数据，不能再更改企业类别。"));
        return;
    }
    FAccountTradeId = trade;
    Udllsystemintf::ReLoadAtypeClass();
    batch.AddMsg(QStringLiteral("企业类别保存成功。"));
}

bool TfrmAccountOption::SaveCodeLengths(TBillBatchMessage &batch)
{
    const QStringList levels = uSetupControls::Lengths(AtypeLen_SpGrid);
    if (const QString problem = uIniConfigCore::CodeLengthsProblem(levels); !problem.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(problem);
        return false;
    }
    TAtypeLenManage lengths;
    for (int level = 2; level <= uIniConfigCore::kLevels; ++level)
        lengths.SetLength(level, levels[level - 1].trimmed().toInt());
    if (!lengths.is_TempSign)
        return false;
    Udllsystemintf::ReLoadAtypeClass();
    batch.AddMsg(QStringLiteral("科目编码长度保存成功。"));
    return true;
}

void TfrmAccountOption::SaveVoucherType(TBillBatchMessage &batch)
{
    if (Count(QStringLiteral("SELECT count(*) FROM T_CW_DlyNdx")) > 0) {
        batch.AddMsg(QStringLiteral("账套中已有凭证，凭证类型保存失败。"));
        return;
    }
    uOrvaneCommon::SetSysValue(QStringLiteral("vtGroupNo"), QString::number(FTypeButtons->checkedId() + 1));
    batch.AddMsg(QStringLiteral("凭证类型保存成功。"));
}

bool TfrmAccountOption::SaveTaxSettings(TBillBatchMessage &batch)
{
    QString ratio = lbePriceD->text().trimmed();
    const QString rate = lbeDefTaxRate->text().trimmed();
    const double ratioValue = uTransformFunc::StrToFloatLoose(ratio);
    const double rateValue = uTransformFunc::StrToFloatLoose(rate);
    if (qAbs(ratioValue) > 100000000)
        ratio = QStringLiteral("100000000");
    if (ratioValue < 0) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("请录入正确的采购差价报警比例。"));
        return false;
    }
    if (rateValue >= 100 || rateValue < 0) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("请录入正确的默认增值税税率。"));
        return false;
    }
    QVariantList values(17, QString());
    values[9] = uOrvaneCommon::GetSysValue(QStringLiteral("BillRow"));
    values[11] = rate;
    values[12] = ratio;
    WriteSysData(QStringLiteral("1"), values);
    batch.AddMsg(QStringLiteral("默认增值税税率保存成功。"));
    batch.AddMsg(QStringLiteral("采购差价报警比例保存成功。"));
    return true;
}
