#include "uPassToken.h"

#include <QPushButton>
#include <QVBoxLayout>

#include "Kvggeneralgrid.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "Udllsystemintf.h"
#include "uOrvaneCommon.h"
#include "uPassTokenBind.h"
#include "uSysEventLog.h"

namespace {
constexpr int kFunctionNo = 1836;
const QString kNoOperator = QStringLiteral("请在列表中选择一位操作员。");
const QString kNotBound = QStringLiteral("该操作员没有绑定安全钥匙，不需要取消绑定。");

void Notice(const QString &text)
{
    Udllmessageintf::SuperMessageBox(text);
}
} // namespace

TfrmPassToken::TfrmPassToken(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmPassToken"));
    auto *layout = new QVBoxLayout(pnlEntry);
    MainGrid = new TKvGGeneralGrid(pnlEntry);
    MainGrid->setObjectName(QStringLiteral("MainGrid"));
    MainGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    MainGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    MainGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    MainGrid->SetColumns(GridColumns({{"eUserCode", "操作员编号"},
                                      {"eFullName", "操作员全名"},
                                      {"Pass_Code", "安全钥匙号码"},
                                      {"PassType", "级别"},
                                      {"PassStatus", "状态"},
                                      {"Pass_Level", ""},
                                      {"Pass_Have", ""},
                                      {"EtypeID", ""}}));
    layout->addWidget(MainGrid);
    SetMoudleNo(kFunctionNo);

    btnBind = AddBottomButton(QStringLiteral("btnBind"), QStringLiteral("绑定"));
    btnUnBind = AddBottomButton(QStringLiteral("btnUnBind"), QStringLiteral("取消绑定"));
    btnHelp = AddBottomButton(QStringLiteral("btnHelp"), QStringLiteral("帮助"));
    btnClose = AddBottomButton(QStringLiteral("btnClose"), QStringLiteral("关闭"), mrCancel);
    connect(btnBind, &QPushButton::clicked, this, &TfrmPassToken::btnBindClick);
    connect(btnUnBind, &QPushButton::clicked, this, &TfrmPassToken::btnUnBindClick);
    connect(btnHelp, &QPushButton::clicked, this, [this] { ShowHelp(); });
}

TfrmPassToken::~TfrmPassToken() = default;

void TfrmPassToken::LoadData()
{
    Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_PassToken"),
                                  {QStringLiteral("@cMode"), QStringLiteral("@szEtypeID"),
                                   QStringLiteral("@szPassCode"), QStringLiteral("@nPassLevel"),
                                   QStringLiteral("@nPassHave")},
                                  {QStringLiteral("R"), QString(), QString(), 0, 0}, cdsGetRecordSet);
    RefreshData();
    if (MainGrid->rowCount() > 0 && MainGrid->currentRow() < 0)
        MainGrid->setCurrentCell(0, 0);
}

QString TfrmPassToken::CurrentField(const QString &fieldName) const
{
    const int row = MainGrid->currentRow();
    return row < 0 ? QString() : MainGrid->CellText(row, fieldName);
}

int TfrmPassToken::CallPassToken(const QString &mode, const QString &operatorId, const QString &code,
                                 int level, int have, const QString &event)
{
    Udlldbservice::TTransaction transaction;
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_KOVA_PassToken;1"),
        {QStringLiteral("@cMode"), QStringLiteral("@szEtypeID"), QStringLiteral("@szPassCode"),
         QStringLiteral("@nPassLevel"), QStringLiteral("@nPassHave")},
        {mode, operatorId, code, level, have});
    if (result >= 0) {
        uOrvaneCommon::WriteSysEvent(event);
        transaction.Commit();
    }
    return result;
}

void TfrmPassToken::btnBindClick()
{
    const QString operatorId = CurrentField(QStringLiteral("EtypeID"));
    const QString name = CurrentField(QStringLiteral("eFullName"));
    if (operatorId.isEmpty()) {
        Notice(kNoOperator);
        return;
    }
    if (CurrentField(QStringLiteral("Pass_Have")) == QLatin1String("1")) {
        Notice(QStringLiteral("该操作员已经绑定了安全钥匙，若需更换，请先取消绑定。"));
        return;
    }
    QString code;
    QString info;
    int level = 0;
    if (!Udllsystemintf::CheckToken(code, info, level) || code.isEmpty()) {
        Notice(QStringLiteral("请先插上安全钥匙再绑定，具体操作请见帮助。"));
        return;
    }
    for (int row = 0; row < MainGrid->rowCount(); ++row) {
        if (MainGrid->CellText(row, QStringLiteral("Pass_Code")) == code) {
            Notice(QStringLiteral("该安全钥匙已经绑定到\"%1\"操作员，请更换安全钥匙。")
                       .arg(MainGrid->CellText(row, QStringLiteral("eFullName"))));
            return;
        }
    }
    TfrmPassTokenBind bind(this);
    bind.SetTitle(QStringLiteral("绑定安全钥匙"));
    bind.Prepare(name, code, level, level == 0 ? QStringLiteral("普通") : QStringLiteral("高级"));
    if (bind.exec() != mrOk)
        return;
    const int result =
        CallPassToken(QStringLiteral("W"), operatorId, bind.PassCode(), bind.PassLevel(), bind.PassHave(),
                      QStringLiteral("安全钥匙绑定：操作员%1，钥匙%2").arg(name, bind.PassCode()));
    if (result == -2101) {
        Notice(QStringLiteral("该安全钥匙已经绑定到其他操作员，请更换安全钥匙。"));
        return;
    }
    if (result < 0) {
        Notice(QStringLiteral("绑定出错，请稍候重试。"));
        return;
    }
    Notice(QStringLiteral("操作员\"%1\"与安全钥匙[%2]绑定成功，该操作员登录时必须使用安全钥匙。")
               .arg(name, bind.PassCode()));
    LoadData();
}

void TfrmPassToken::btnUnBindClick()
{
    const QString operatorId = CurrentField(QStringLiteral("EtypeID"));
    const QString name = CurrentField(QStringLiteral("eFullName"));
    if (operatorId.isEmpty()) {
        Notice(kNoOperator);
        return;
    }
    if (CurrentField(QStringLiteral("Pass_Have")) != QLatin1String("1")) {
        Notice(kNotBound);
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(
            QStringLiteral("是否确认取消操作员\"%1\"的安全钥匙绑定？").arg(name)))
        return;
    const int result = CallPassToken(QStringLiteral("U"), operatorId, QString(), 0, 0,
                                     QStringLiteral("取消安全钥匙绑定：操作员%1").arg(name));
    if (result == -2101) {
        Notice(kNotBound);
        return;
    }
    if (result < 0) {
        Notice(QStringLiteral("取消绑定出错，请稍候重试。"));
        return;
    }
    Notice(QStringLiteral("成功取消操作员\"%1\"的安全钥匙。").arg(name));
    LoadData();
}

namespace uPassToken {

bool ShowPassToken()
{
    TfrmPassToken form;
    form.SetTitle(QStringLiteral("安全钥匙设置"));
    form.FHelpName = QStringLiteral("文件/安全钥匙");
    form.SetFunctionNo(kFunctionNo);
    form.LoadData();
    form.exec();
    return true;
}

} // namespace uPassToken
