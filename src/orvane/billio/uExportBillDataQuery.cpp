#include "uExportBillDataQuery.h"

#include <QCheckBox>
#include <QComboBox>
#include <QGridLayout>

#include "ClientDataSet.h"
#include "Kvbasicinfocomponent.h"
#include "Udlldbservice.h"

namespace {

// Condition positions of the export list.
constexpr int kUnit = 3, kHandler = 7, kStock = 8, kDept = 9, kVchtype = 12, kBegin = 17, kEnd = 18,
              kDraftState = 20, kDraft = 24, kRedOld = 25, kSummary = 78, kComment = 93, kHandlerChosen = 128;
const QString kAll = QStringLiteral("00000");

TGLabelBtnEdit *BaseEdit(QWidget *parent, const char *name, const QString &caption, const char *kind)
{
    auto *edit = new TCMGLabelBtnEdit(caption, parent);
    edit->setObjectName(QLatin1String(name));
    edit->SetBasicKind(QLatin1String(kind));
    return edit;
}

// The chosen record's id, "00000" (all) when the edit is empty.
QString BaseValue(const TGLabelBtnEdit *edit)
{
    const QString value = edit->Value().trimmed();
    return value.isEmpty() ? kAll : value;
}

} // namespace

TfrmExportBillDataQuery::TfrmExportBillDataQuery(QWidget *parent, TOpenParams &conditions)
    : TfrmDialogParent(parent), FConditions(conditions)
{
    setObjectName(QStringLiteral("frmExportBillDataQuery"));
    SetTitle(QStringLiteral("导出业务单据查询"));
    auto *grid = new QGridLayout(pnlEntry);
    ldtStart = new TGLabelEmptyDate(QStringLiteral("开始日期"), pnlEntry);
    ldtStart->setObjectName(QStringLiteral("ldtStart"));
    ldtEnd = new TGLabelEmptyDate(QStringLiteral("结束日期"), pnlEntry);
    ldtEnd->setObjectName(QStringLiteral("ldtEnd"));
    lblVchtype = new TGLabelComBox(QStringLiteral("单据类型"), pnlEntry);
    lblVchtype->setObjectName(QStringLiteral("lblVchtype"));
    lbeBtype = BaseEdit(pnlEntry, "lbeBtype", QStringLiteral("往来单位"), "Btype");
    lbeEtype = BaseEdit(pnlEntry, "lbeEtype", QStringLiteral("经办人"), "Employee");
    lbeDtype = BaseEdit(pnlEntry, "lbeDtype", QStringLiteral("部门"), "Department");
    lbeKType = BaseEdit(pnlEntry, "lbeKType", QStringLiteral("仓库"), "Stock");
    lbeZY = new TCMGLabelBtnEdit(QStringLiteral("摘要"), pnlEntry);
    lbeZY->setObjectName(QStringLiteral("lbeZY"));
    cbxDraft = new QCheckBox(QStringLiteral("包含草稿"), pnlEntry);
    cbxDraft->setObjectName(QStringLiteral("cbxDraft"));
    grid->addWidget(ldtStart, 0, 0);
    grid->addWidget(ldtEnd, 0, 1);
    grid->addWidget(lblVchtype, 1, 0);
    grid->addWidget(cbxDraft, 1, 1);
    grid->addWidget(lbeBtype, 2, 0);
    grid->addWidget(lbeEtype, 2, 1);
    grid->addWidget(lbeKType, 3, 0);
    grid->addWidget(lbeDtype, 3, 1);
    grid->addWidget(lbeZY, 4, 0, 1, 2);

    lblVchtype->ComboBox()->addItem(QString());
    TClientDataSet types;
    Udlldbservice::OpenSQL(QStringLiteral("SELECT Name FROM GetVchtype ORDER BY Vchtype"), {}, types);
    for (types.First(); !types.Eof(); types.Next())
        lblVchtype->ComboBox()->addItem(types.Value(QStringLiteral("Name")).toString());
    lblVchtype->ComboBox()->setCurrentText(FConditions[kVchtype].toString());

    ldtStart->SetDate(QDate::fromString(FConditions[kBegin].toString(), QStringLiteral("yyyy-MM-dd")));
    ldtEnd->SetDate(QDate::fromString(FConditions[kEnd].toString(), QStringLiteral("yyyy-MM-dd")));
    cbxDraft->setChecked(FConditions[kDraftState].toBool());
    lbeZY->SetText(FConditions[kSummary].toString());

    btnOK = AddBottomButton(QStringLiteral("btnOK"), QStringLiteral("确定"));
    btnOK->setDefault(true);
    btnCancel = AddBottomButton(QStringLiteral("btnCancel"), QStringLiteral("取消"), mrCancel);
    connect(btnOK, &QPushButton::clicked, this, &TfrmExportBillDataQuery::btnOKClick);
}

TfrmExportBillDataQuery::~TfrmExportBillDataQuery() = default;

void TfrmExportBillDataQuery::btnOKClick()
{
    FConditions[kBegin] = ldtStart->DateText();
    FConditions[kEnd] = ldtEnd->DateText();
    FConditions[kVchtype] = lblVchtype->ComboBox()->currentText().trimmed();
    FConditions[kDraft] = cbxDraft->isChecked() ? QString() : QStringLiteral("2");
    FConditions[kDraftState] = cbxDraft->isChecked();
    FConditions[kRedOld] = QStringLiteral("F");
    FConditions[kUnit] = BaseValue(lbeBtype);
    FConditions[kDept] = BaseValue(lbeDtype);
    FConditions[kHandlerChosen] = BaseValue(lbeEtype);
    FConditions[kStock] = BaseValue(lbeKType);
    FConditions[kSummary] = lbeZY->Text().trimmed();
    FConditions[kComment] = QString();
    FConditions[kHandler] = FConditions[kHandlerChosen];
    done(mrOk);
}
