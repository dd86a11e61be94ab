#include "uFormulaDlgBase.h"

#include <QPushButton>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uFormulaCommon.h"
#include "uLayoutsCommon.h"

TFormulaDlgBase::TFormulaDlgBase(int vchType, int columnNo, int dataArea, const QString &caption,
                                 QWidget *parent)
    : TfrmDialogParent(parent), nVchtype(vchType), nFreeItem(columnNo), nDataArea(dataArea),
      FFieldName(caption)
{
    const bool plugIn = uLayoutsCommon::IsPlugInVchtype(vchType);
    FVchtypeTableName = plugIn ? QStringLiteral("T_Inf_PlugIn_Vchtype") : QStringLiteral("T_Gbl_Vchtype");
    FVchtypeColumnTableName =
        plugIn ? QStringLiteral("T_Inf_PlugIn_Vchcolumn") : QStringLiteral("T_Jxc_Vchcolumn");
    szVchtype = uLayoutsCommon::BillName(vchType);
    FDataBaseName = Udlldbservice::GetValueFromSQL(
                        QStringLiteral("select columnname from %1 where vchtype = ? and DataArea = ? and "
                                       "CMKvColumnNo = ?")
                            .arg(FVchtypeColumnTableName),
                        {vchType, dataArea, columnNo})
                        .toString();
    lblBill = new QLabel(pnlEntry);
    lblBill->setObjectName(QStringLiteral("lblBill"));
    btnSave = AddBottomButton(QStringLiteral("btnSave"), QStringLiteral("保存[&S]"));
    btnOther = AddBottomButton(QStringLiteral("btnOther"), QStringLiteral("应用到其他单据[&V]"));
    btnExit = AddBottomButton(QStringLiteral("btnExit"), QStringLiteral("退出"), mrCancel);
}

TSavedFormula TFormulaDlgBase::SavedFormula(int vchType) const
{
    TClientDataSet ds;
    Udlldbservice::OpenSQL(
        QStringLiteral("Select FormulaContent, Formula, Calc From BillFormula Where Vchtype = ? "
                       "and ColumnName = ? and DataArea = ?"),
        {vchType, FDataBaseName, nDataArea}, ds);
    TSavedFormula saved;
    ds.First();
    if (ds.Eof())
        return saved;
    saved.Exists = true;
    saved.Content = ds.Value(QStringLiteral("FormulaContent")).toString().trimmed();
    saved.Formula = ds.Value(QStringLiteral("Formula")).toString();
    saved.Calc = ds.Value(QStringLiteral("Calc")).toInt();
    return saved;
}

bool TFormulaDlgBase::SaveFormula(int vchType, const QString &content, const QString &formula, bool calc,
                                  const QString &detailXml)
{
    return Udlldbservice::ExecuteProcByName(
               QStringLiteral("P_KOVA_SaveBillFormula"),
               {QStringLiteral("@VchType"), QStringLiteral("@nDataArea"), QStringLiteral("@ColumnName"),
                QStringLiteral("@FFieldName"), QStringLiteral("@FormulaContent"), QStringLiteral("@Formula"),
                QStringLiteral("@Calc"), QStringLiteral("@FormulaType"), QStringLiteral("@DetailXML")},
               {vchType, nDataArea, FDataBaseName, FFieldName, content.trimmed(), formula,
                calc ? QStringLiteral("1") : QStringLiteral("0"), 0, detailXml}) >= 0;
}

bool TFormulaDlgBase::SaveConverted(int vchType, const QString &text, const TClientDataSet &columns,
                                    bool calc)
{
    return SaveFormula(vchType, text, uFormulaCommon::ConvertFormula(text, columns), calc,
                       uFormulaCommon::GetFormulaDetailXML(text, columns));
}

void TFormulaDlgBase::SaveOrDelete(const QString &text, const TClientDataSet &columns, bool calc,
                                   const std::function<bool(const QString &)> &check)
{
    if (text.isEmpty()) {
        if (!DeleteAfterQuestion())
            return;
    } else if (!check(text) || !SaveConverted(nVchtype, text, columns, calc)) {
        return;
    }
    Udllmessageintf::ShowInfoMessage(QStringLiteral("公式保存成功。"));
    bChange = true;
}

bool TFormulaDlgBase::DeleteAfterQuestion()
{
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("公式内容为空，保存后，将删除【") + szVchtype +
                                          QStringLiteral("】在【") + FFieldName +
                                          QStringLiteral("】上对应的公式(如果原来有公式)，是否继续？")))
        return false;
    Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_KOVA_DelBillFormula"),
        {QStringLiteral("@VchType"), QStringLiteral("@nDataArea"), QStringLiteral("@ColumnName")},
        {nVchtype, nDataArea, FDataBaseName});
    return true;
}

int TFormulaDlgBase::SaveAsAll(const QString &content, const QString &formula, bool calc,
                               const QString &detailXml)
{
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("当前操作将会覆盖已有的设置，请确认继续。")))
        return -1;
    bChange = true;
    return Udlldbservice::ExecuteProcByName(QStringLiteral("P_KOVA_SaveAsAllBillFormula"),
                                            {QStringLiteral("@VchType"), QStringLiteral("@ColumnName"),
                                             QStringLiteral("@FormulaContent"), QStringLiteral("@Formula"),
                                             QStringLiteral("@Calc"), QStringLiteral("@FormulaType"),
                                             QStringLiteral("@DetailXML")},
                                            {nVchtype, FDataBaseName, content.trimmed(), formula,
                                             calc ? QStringLiteral("1") : QStringLiteral("0"), 0, detailXml});
}

TFormulaDlgBase::TCopyTexts TFormulaDlgBase::CopyTexts(const QString &columnCondition) const
{
    TCopyTexts texts;
    texts.ColumnCondition = columnCondition;
    texts.Missing = QStringLiteral("【%1】没有【") + FFieldName + QStringLiteral("】，不能对其设置公式。");
    texts.Overwrite = [field = FFieldName](const QString &bill, const QString &existing) {
        return QStringLiteral("【") + bill + QStringLiteral("】的【") + field +
               QStringLiteral("】已有公式:") + existing +
               QStringLiteral("，是否将当前的公式覆盖它？覆盖后无法还原。");
    };
    return texts;
}

QString TFormulaDlgBase::SelfCopyText() const
{
    const QString self = szVchtype + QStringLiteral("-") + FFieldName;
    return QStringLiteral("当前公式为【") + self + QStringLiteral("】的公式，您选择的也是【") + self +
           QStringLiteral("】，不能将公式复制给自己。");
}

QString TFormulaDlgBase::CopyToOther(const TCopyTexts &texts, const TPrepare &prepare,
                                     const std::function<bool(int vchType)> &save)
{
    int target = 0;
    QString bill;
    if (!uLayoutsCommon::SelectVchtype(target, bill))
        return QString();
    bill = uLayoutsCommon::BillName(target);
    if (target == nVchtype) {
        Udllmessageintf::ShowWarningMsg(SelfCopyText());
        return QString();
    }
    TClientDataSet columns;
    Udlldbservice::OpenSQL(
        QStringLiteral("select CMKvColumnNo, fieldname, columnname from %1 where vchtype = ? "
                       "and DataArea = ?")
                .arg(uLayoutsCommon::ColumnTable(target)) +
            texts.ColumnCondition,
        {target, nDataArea}, columns);
    if (!columns.Locate(QStringLiteral("CMKvColumnNo"), nFreeItem)) {
        Udllmessageintf::ShowWarningMsg(texts.Missing.arg(bill));
        return QString();
    }
    if (!prepare(target, bill, columns))
        return QString();
    const TSavedFormula existing = SavedFormula(target);
    if (existing.Exists && !Udllmessageintf::ConfirmYesNo(texts.Overwrite(bill, existing.Content)))
        return QString();
    if (!save(target))
        return QString();
    return bill;
}
