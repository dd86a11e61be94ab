#include "uDateIntervalFormula.h"

#include <QHBoxLayout>
#include <QPushButton>
#include <QVBoxLayout>

#include "Udlldbservice.h"
#include "Udllmessageintf.h"

namespace {
const QString kInterval = QStringLiteral("日期间隔");
} // namespace

TfrmDateIntervalFormula::TfrmDateIntervalFormula(int vchType, int columnNo, int dataArea,
                                                 const QString &caption, QWidget *parent)
    : TFormulaDlgBase(vchType, columnNo, dataArea, caption, parent)
{
    setObjectName(QStringLiteral("frmDateIntervalFormula"));
    SetTitle(QStringLiteral("日期间隔公式设置"));
    lblBill->setText(QStringLiteral(" 单据：") + szVchtype);
    auto *root = new QVBoxLayout(pnlEntry);
    root->addWidget(lblBill);
    auto *items = new QHBoxLayout;
    TClientDataSet saved;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT * FROM BillFormula WHERE Vchtype = ? AND ColumnName = ? AND "
                       "dataarea = ?"),
        {vchType, FDataBaseName, dataArea}, saved);
    saved.First();
    const QString formula = saved.Eof() ? QString() : saved.Value(QStringLiteral("Formula")).toString();
    for (int item = 11; item <= 13; ++item) {
        auto *check = new QCheckBox(QStringLiteral("自由项%1").arg(item), pnlEntry);
        check->setObjectName(QStringLiteral("chkFreeDom%1").arg(item));
        check->setChecked(formula.contains(QStringLiteral("freedom%1").arg(item)));
        items->addWidget(check);
        chkItems << check;
    }
    root->addLayout(items);
    btnAll = AddBottomButton(QStringLiteral("btnAll"), QStringLiteral("应用到所有单据"));
    connect(btnSave, &QPushButton::clicked, this, &TfrmDateIntervalFormula::btnSaveClick);
    connect(btnAll, &QPushButton::clicked, this, &TfrmDateIntervalFormula::btnAllClick);
    connect(btnOther, &QPushButton::clicked, this, &TfrmDateIntervalFormula::btnOtherClick);
}

bool TfrmDateIntervalFormula::CheckedItems(QList<int> &items) const
{
    items.clear();
    for (int i = 0; i < chkItems.size(); ++i)
        if (chkItems[i]->isChecked())
            items << 11 + i;
    if (items.size() == 2)
        return true;
    Udllmessageintf::ShowWarningMsg(QStringLiteral("必须且只能勾选两个日期自由项。"));
    return false;
}

QString TfrmDateIntervalFormula::FormulaOf(const QList<int> &items)
{
    return QStringLiteral("freedom%1-freedom%2").arg(items[1]).arg(items[0]);
}

QString TfrmDateIntervalFormula::ContentOf(const QList<int> &items)
{
    return QStringLiteral("自由项%1-自由项%2").arg(items[1]).arg(items[0]);
}

QString TfrmDateIntervalFormula::DetailXMLOf(const QList<int> &items)
{
    QString xml = QStringLiteral("<Root>");
    for (int item : items)
        xml += QStringLiteral("<Record ColumnName=\"FreeDom%1\" />").arg(item);
    return xml + QStringLiteral("</Root>");
}

void TfrmDateIntervalFormula::btnSaveClick()
{
    QList<int> items;
    if (!CheckedItems(items))
        return;
    SaveFormula(nVchtype, ContentOf(items), FormulaOf(items), true, DetailXMLOf(items));
    Udllmessageintf::ShowInfoMessage(QStringLiteral("公式保存成功。"));
    bChange = true;
}

void TfrmDateIntervalFormula::btnAllClick()
{
    QList<int> items;
    if (!CheckedItems(items) || SaveAsAll(ContentOf(items), FormulaOf(items), true, DetailXMLOf(items)) < 0)
        return;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("已经将公式成功复制到全部单据的【日期间隔】下。"));
}

void TfrmDateIntervalFormula::btnOtherClick()
{
    QList<int> items;
    if (!CheckedItems(items))
        return;
    TCopyTexts texts;
    texts.ColumnCondition = QStringLiteral(" and display = 1 and CMKvColumnNo in (111,112,113,117) ");
    texts.Missing = QStringLiteral("【%1】没有【日期间隔】所需的自由项，不能对其设置公式。");
    texts.Overwrite = [](const QString &bill, const QString &) {
        return QStringLiteral("【") + bill +
               QStringLiteral("】的【日期间隔】已有公式，是否将当前的公式覆盖它？覆盖后无法还原。");
    };
    const auto prepare = [&](int, const QString &bill, TClientDataSet &columns) {
        for (int item : items)
            if (!columns.Locate(QStringLiteral("CMKvColumnNo"), 100 + item)) {
                Udllmessageintf::ShowWarningMsg(texts.Missing.arg(bill));
                return false;
            }
        return true;
    };
    const QString bill = CopyToOther(texts, prepare, [&](int target) {
        return SaveFormula(target, ContentOf(items), FormulaOf(items), true, DetailXMLOf(items));
    });
    if (!bill.isEmpty())
        Udllmessageintf::ShowInfoMessage(QStringLiteral("已经将公式成功复制到【") + bill +
                                         QStringLiteral("】的【") + kInterval + QStringLiteral("】下。"));
}

bool TfrmDateIntervalFormula::Execute(int vchType, int columnNo, int dataArea, const QString &caption)
{
    TfrmDateIntervalFormula form(vchType, columnNo, dataArea, caption);
    form.exec();
    return form.bChange;
}
