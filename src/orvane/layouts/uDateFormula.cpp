#include "uDateFormula.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QRegularExpression>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uFormulaCalculate.h"
#include "uFormulaCommon.h"

namespace {
const QString kItem11 = QStringLiteral("自由项11");
const QString kItem12 = QStringLiteral("自由项12");
const QString kWrong = QStringLiteral("公式错误，请检查公式。");
} // namespace

TfrmDateFormula::TfrmDateFormula(int vchType, int columnNo, int dataArea, const QString &caption,
                                 QWidget *parent)
    : TFormulaDlgBase(vchType, columnNo, dataArea, caption, parent)
{
    setObjectName(QStringLiteral("frmDateFormula"));
    SetTitle(QStringLiteral("日期公式设置"));
    lblBill->setText(QStringLiteral("自由项：") + caption + QStringLiteral(" 单据：") + szVchtype);
    auto *root = new QVBoxLayout(pnlEntry);
    root->addWidget(lblBill);
    mFormula = new QLineEdit(pnlEntry);
    mFormula->setObjectName(QStringLiteral("mFormula"));
    root->addWidget(mFormula);
    auto *tokens = new QHBoxLayout;
    const auto tokenButton = [&](const QString &name, const QString &token) {
        auto *button = new QPushButton(token, pnlEntry);
        button->setObjectName(name);
        connect(button, &QPushButton::clicked, this, [this, token] { mFormula->insert(token); });
        tokens->addWidget(button);
        return button;
    };
    btnItem11 = tokenButton(QStringLiteral("btnItem11"), kItem11);
    btnItem12 = tokenButton(QStringLiteral("btnItem12"), kItem12);
    btnItem12->setEnabled(columnNo != 112);
    btnPlus = tokenButton(QStringLiteral("btnPlus"), QStringLiteral("+"));
    btnMinus = tokenButton(QStringLiteral("btnMinus"), QStringLiteral("-"));
    root->addLayout(tokens);
    btnAll = AddBottomButton(QStringLiteral("btnAll"), QStringLiteral("应用到所有单据"));

    LoadDateColumns(vchType, dataArea, FColumns);
    mFormula->setText(SavedFormula(vchType).Content);
    connect(btnSave, &QPushButton::clicked, this, &TfrmDateFormula::btnSaveClick);
    connect(btnAll, &QPushButton::clicked, this, &TfrmDateFormula::btnAllClick);
    connect(btnOther, &QPushButton::clicked, this, &TfrmDateFormula::btnOtherClick);
}

void TfrmDateFormula::LoadDateColumns(int vchType, int dataArea, TClientDataSet &columns)
{
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT CMKvColumnNo, ColumnName, fieldname from t_jxc_vchcolumn where "
                       "dataarea = ? and vchtype = ? and display = 1 and CMKvColumnNo in "
                       "(111, 112) order by columnorder"),
        {dataArea, vchType}, columns);
}

bool TfrmDateFormula::CheckDateFormula(const QString &text)
{
    if (text.trimmed().isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("公式内容为空。"));
        return false;
    }
    // One date item followed by signed offsets of at most four digits.
    static const QRegularExpression pattern(QStringLiteral("(^Formula)(((\\+|\\-)+)[0-9999]{1,4})*$"));
    QString shape = text;
    shape.replace(kItem11, QStringLiteral("Formula")).replace(kItem12, QStringLiteral("Formula"));
    shape.remove(u' ');
    if ((nFreeItem == 112 && text.contains(kItem12)) || !pattern.match(shape).hasMatch()) {
        Udllmessageintf::ShowWarningMsg(kWrong);
        return false;
    }
    TFormulaCalculate calc;
    QString days;
    calc.Eval(QString(shape).replace(QStringLiteral("Formula"), QStringLiteral("0")), days);
    if (days.toDouble() > 9999) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("计算结果超过系统允许的围范。"));
        return false;
    }
    return uFormulaCommon::CheckFormula(text, FColumns, true, true);
}

void TfrmDateFormula::btnSaveClick()
{
    SaveOrDelete(mFormula->text().trimmed(), FColumns, true,
                 [this](const QString &text) { return CheckDateFormula(text); });
}

bool TfrmDateFormula::CheckForCopy(const QString &text)
{
    if (text.isEmpty()) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("公式内容为空，不能应用到其他单据。"));
        return false;
    }
    return CheckDateFormula(text);
}

void TfrmDateFormula::btnAllClick()
{
    const QString text = mFormula->text().trimmed();
    if (!CheckForCopy(text))
        return;
    if (SaveAsAll(text, uFormulaCommon::ConvertFormula(text, FColumns), true,
                  uFormulaCommon::GetFormulaDetailXML(text, FColumns)) < 0)
        return;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("已经将公式：") + text +
                                     QStringLiteral(" 成功复制到全部单据的【") + FFieldName +
                                     QStringLiteral("】下。"));
}

void TfrmDateFormula::btnOtherClick()
{
    const QString text = mFormula->text().trimmed();
    if (!CheckForCopy(text))
        return;
    const TCopyTexts texts = CopyTexts(QStringLiteral(" and display = 1 and CMKvColumnNo in (112, 113) "));
    TClientDataSet targetColumns;
    const auto prepare = [&](int target, const QString &bill, TClientDataSet &) {
        LoadDateColumns(target, nDataArea, targetColumns);
        if (uFormulaCommon::CheckFormula(text, targetColumns, true, false))
            return true;
        Udllmessageintf::ShowWarningMsg(QStringLiteral("公式无法应用，可能是公式的某些变量在【") + bill +
                                        QStringLiteral("】中不存在。"));
        return false;
    };
    if (!CopyToOther(texts, prepare, [&](int target) {
             return SaveConverted(target, text, targetColumns, true);
         }).isEmpty())
        Udllmessageintf::ShowInfoMessage(QStringLiteral("公式保存成功。"));
}

bool TfrmDateFormula::Execute(int vchType, int columnNo, int dataArea, const QString &caption)
{
    TfrmDateFormula form(vchType, columnNo, dataArea, caption);
    form.exec();
    return form.bChange;
}
