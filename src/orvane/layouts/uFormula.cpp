#include "uFormula.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uFormulaCommon.h"
#include "uLayoutsCommon.h"

TfrmFormula::TfrmFormula(int vchType, int columnNo, int dataArea, const QString &caption, QWidget *parent)
    : TFormulaDlgBase(vchType, columnNo, dataArea, caption, parent)
{
    setObjectName(QStringLiteral("frmFormula"));
    SetTitle(QStringLiteral("公式设置"));
    lblBill->setText(QStringLiteral(" 单据：") + szVchtype + QStringLiteral("-") + caption);

    auto *root = new QVBoxLayout(pnlEntry);
    root->addWidget(lblBill);
    auto *body = new QHBoxLayout;
    lbDataField = new QListWidget(pnlEntry);
    lbDataField->setObjectName(QStringLiteral("lbDataField"));
    body->addWidget(lbDataField);
    gbFormula = new QGroupBox(pnlEntry);
    gbFormula->setObjectName(QStringLiteral("gbFormula"));
    auto *formulaBox = new QVBoxLayout(gbFormula);
    mFormula = new QPlainTextEdit(gbFormula);
    mFormula->setObjectName(QStringLiteral("mFormula"));
    formulaBox->addWidget(mFormula);
    auto *operators = new QHBoxLayout;
    int n = 0;
    for (const QString &op : {QStringLiteral("+"), QStringLiteral("-"), QStringLiteral("*"),
                              QStringLiteral("/"), QStringLiteral("("), QStringLiteral(")")}) {
        auto *button = new QPushButton(op, gbFormula);
        button->setObjectName(QStringLiteral("btn%1").arg(++n));
        connect(button, &QPushButton::clicked, this, [this, op] { btn1Click(op); });
        operators->addWidget(button);
        btnOperators << button;
    }
    formulaBox->addLayout(operators);
    chkCalc = new QCheckBox(QStringLiteral("非计算公式"), gbFormula);
    chkCalc->setObjectName(QStringLiteral("chkCalc"));
    formulaBox->addWidget(chkCalc);
    body->addWidget(gbFormula, 1);
    root->addLayout(body);
    btnCon = AddBottomButton(QStringLiteral("btnCon"), QStringLiteral("公式验证[&P]"));

    // The bill's usable columns, without the one being edited.
    TClientDataSet all;
    Udlldbservice::OpenProcByName(QStringLiteral("P_KOVA_LoadBillColumnName"),
                                  {QStringLiteral("@VchType"), QStringLiteral("@nDataArea")},
                                  {vchType, dataArea}, all);
    FColumns.SetFieldNames({QStringLiteral("fieldname"), QStringLiteral("ColumnName")});
    for (all.First(); !all.Eof(); all.Next()) {
        if (all.Value(QStringLiteral("visible")).toInt() != 1)
            continue;
        if (all.Value(QStringLiteral("IsColumn")).toInt() == 1 &&
            all.Value(QStringLiteral("CMKvColumnNo")).toInt() == columnNo)
            continue;
        const QString field = all.Value(QStringLiteral("fieldname")).toString();
        FColumns.AppendRow({field, all.Value(QStringLiteral("ColumnName"))});
        lbDataField->addItem(field);
    }

    const TSavedFormula saved = SavedFormula(vchType);
    mFormula->setPlainText(saved.Content);
    const bool textAllowed = uLayoutsCommon::IsTextFormulaColumn(columnNo);
    chkCalc->setChecked(textAllowed && saved.Exists && saved.Calc == 0);
    chkCalc->setEnabled(textAllowed);
    chkCalc->setVisible(textAllowed);
    chkCalcClick();

    connect(lbDataField, &QListWidget::itemDoubleClicked, this, &TfrmFormula::lbDataFieldDblClick);
    connect(chkCalc, &QCheckBox::clicked, this, &TfrmFormula::chkCalcClick);
    connect(btnCon, &QPushButton::clicked, this, &TfrmFormula::btnConClick);
    connect(btnSave, &QPushButton::clicked, this, &TfrmFormula::btnSaveClick);
    connect(btnOther, &QPushButton::clicked, this, &TfrmFormula::btnOtherClick);
}

void TfrmFormula::InsertToken(const QString &token)
{
    mFormula->insertPlainText(QStringLiteral(" ") + token + QStringLiteral(" "));
    mFormula->setFocus();
}

void TfrmFormula::lbDataFieldDblClick()
{
    if (lbDataField->currentItem())
        InsertToken(lbDataField->currentItem()->text());
}

void TfrmFormula::btn1Click(const QString &token)
{
    InsertToken(token);
}

void TfrmFormula::chkCalcClick()
{
    gbFormula->setTitle(chkCalc->isChecked() ? QStringLiteral("公式内容：最长支持60个字符")
                                             : QStringLiteral("公式内容"));
}

bool TfrmFormula::btnConClick()
{
    if (!uFormulaCommon::CheckFormula(mFormula->toPlainText(), FColumns, !chkCalc->isChecked(), true))
        return false;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("公式验证正确。"));
    return true;
}

void TfrmFormula::btnSaveClick()
{
    const bool calc = !chkCalc->isChecked();
    SaveOrDelete(mFormula->toPlainText().trimmed(), FColumns, calc, [&](const QString &text) {
        return uFormulaCommon::CheckFormula(text, FColumns, calc, true);
    });
}

void TfrmFormula::btnOtherClick()
{
    const QString text = mFormula->toPlainText().trimmed();
    const bool calc = !chkCalc->isChecked();
    if (!uFormulaCommon::CheckFormula(text, FColumns, calc, true))
        return;
    const TCopyTexts texts = CopyTexts(QStringLiteral(" and display = 1 and readonly = 0 and enabled = 1 "));
    TClientDataSet targetColumns;
    const auto prepare = [&](int, const QString &bill, TClientDataSet &columns) {
        // The target's own columns, without the one receiving the formula.
        targetColumns.SetFieldNames({QStringLiteral("fieldname"), QStringLiteral("ColumnName")});
        for (columns.First(); !columns.Eof(); columns.Next())
            if (columns.Value(QStringLiteral("CMKvColumnNo")).toInt() != nFreeItem)
                targetColumns.AppendRow({columns.Value(QStringLiteral("fieldname")),
                                         columns.Value(QStringLiteral("columnname"))});
        if (calc && !uFormulaCommon::CheckFormula(text, targetColumns, calc, false)) {
            Udllmessageintf::ShowWarningMsg(QStringLiteral("公式无法应用，可能是公式的某些变量在【") + bill +
                                            QStringLiteral("】中不存在。"));
            return false;
        }
        return true;
    };
    const QString bill = CopyToOther(
        texts, prepare, [&](int target) { return SaveConverted(target, text, targetColumns, calc); });
    if (!bill.isEmpty())
        Udllmessageintf::ShowInfoMessage(QStringLiteral("公式保存成功。"));
}

bool TfrmFormula::Execute(int vchType, int columnNo, int dataArea, const QString &caption)
{
    TfrmFormula form(vchType, columnNo, dataArea, caption);
    form.exec();
    return form.bChange;
}
