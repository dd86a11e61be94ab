#include "uBillAuditConfigSet.h"

#include <QFormLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QPushButton>
#include <QVBoxLayout>
#include <cmath>

#include "Kvtable.h"
#include "QuillExceptions.h"
#include "Udllbillconfig.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uDllComm.h"
#include "uMultiLevelSelector.h"

using namespace uAuditCondition;

namespace {

enum { colEtypeName, colEtypeId, colOperatorType };
enum { colFactor, colLower, colUpper, colFooting };
const QString kSpecialChars = QStringLiteral("(,%,),&,`,;,',\"");

QTableWidgetItem *Item(const QString &text, bool editable = false)
{
    auto *item = new QTableWidgetItem(text);
    if (!editable)
        item->setFlags(item->flags() & ~Qt::ItemIsEditable);
    return item;
}

} // namespace

TfrmBillAuditConfigSet::TfrmBillAuditConfigSet(QWidget *parent) : TfrmDialogParent(parent)
{
    setObjectName(QStringLiteral("frmBillAuditConfigSet"));
    auto *root = new QVBoxLayout(pnlEntry);
    auto *nameRow = new QFormLayout;
    edtAuditName = new QLineEdit(pnlEntry);
    edtAuditName->setObjectName(QStringLiteral("edtAuditName"));
    edtAuditName->setMaxLength(60);
    nameRow->addRow(QStringLiteral("审核流程名称"), edtAuditName);
    root->addLayout(nameRow);

    grp1 = new QGroupBox(QStringLiteral("审核方式"), pnlEntry);
    grp1->setObjectName(QStringLiteral("grp1"));
    auto *modes = new QHBoxLayout(grp1);
    rbSingle = new QRadioButton(QStringLiteral("单人通过"), grp1);
    rbSingle->setObjectName(QStringLiteral("rbSingle"));
    rbSingle->setChecked(true);
    rbWhole = new QRadioButton(QStringLiteral("全部通过"), grp1);
    rbWhole->setObjectName(QStringLiteral("rbWhole"));
    modes->addWidget(rbSingle);
    modes->addWidget(rbWhole);
    root->addWidget(grp1);

    grp2 = new QGroupBox(QStringLiteral("审核人"), pnlEntry);
    grp2->setObjectName(QStringLiteral("grp2"));
    auto *auditors = new QVBoxLayout(grp2);
    MainGrid1 = new QTableWidget(0, 3, grp2);
    MainGrid1->setObjectName(QStringLiteral("MainGrid1"));
    MainGrid1->setHorizontalHeaderLabels(
        {QStringLiteral("审核人"), QStringLiteral("etypeid"), QStringLiteral("OperatorType")});
    MainGrid1->setColumnHidden(colEtypeId, true);
    MainGrid1->setColumnHidden(colOperatorType, true);
    MainGrid1->horizontalHeader()->setStretchLastSection(true);
    MainGrid1->installEventFilter(this);
    auditors->addWidget(MainGrid1);
    root->addWidget(grp2);

    grp3 = new QGroupBox(QStringLiteral("审核条件"), pnlEntry);
    grp3->setObjectName(QStringLiteral("grp3"));
    auto *conditions = new QVBoxLayout(grp3);
    auto *footingRow = new QFormLayout;
    edtFooting = new QComboBox(grp3);
    edtFooting->setObjectName(QStringLiteral("edtFooting"));
    edtFooting->addItems({kAnd, kOr});
    footingRow->addRow(QStringLiteral("关系"), edtFooting);
    conditions->addLayout(footingRow);
    MainGrid2 = new QTableWidget(0, 4, grp3);
    MainGrid2->setObjectName(QStringLiteral("MainGrid2"));
    MainGrid2->setHorizontalHeaderLabels(
        {QStringLiteral("要素"), QStringLiteral("下限"), QStringLiteral("上限"), QStringLiteral("关系")});
    MainGrid2->setContextMenuPolicy(Qt::ActionsContextMenu);
    actDeleteRow = new QAction(QStringLiteral("删除一行"), MainGrid2);
    actDeleteRow->setObjectName(QStringLiteral("actDeleteRow"));
    MainGrid2->addAction(actDeleteRow);
    MainGrid2->installEventFilter(this);
    conditions->addWidget(MainGrid2);
    mPrompt = new QPlainTextEdit(grp3);
    mPrompt->setObjectName(QStringLiteral("mPrompt"));
    mPrompt->setReadOnly(true);
    mPrompt->setMaximumHeight(60);
    conditions->addWidget(mPrompt);
    root->addWidget(grp3);

    lblHint = new QLabel(pnlEntry);
    lblHint->setObjectName(QStringLiteral("lblHint"));
    lblHint->setStyleSheet(QStringLiteral("color: red"));
    lblHint->hide();
    root->addWidget(lblHint);

    btnGBitbtn1 = AddBottomButton(QStringLiteral("btnGBitbtn1"), QStringLiteral("确定"));
    btnGBitbtn2 = AddBottomButton(QStringLiteral("btnGBitbtn2"), QStringLiteral("取消"), mrCancel);
    connect(btnGBitbtn1, &QPushButton::clicked, this,
            [this] { Kvtable::RunGuarded([this] { btnGBitbtn1Click(); }); });
    connect(MainGrid1, &QTableWidget::cellDoubleClicked, this,
            [this] { Kvtable::RunGuarded([this] { EditAuditors(); }); });
    connect(MainGrid2, &QTableWidget::currentCellChanged, this, [this](int row, int column) {
        if (QTableWidgetItem *item = MainGrid2->item(row, column))
            lastInput = item->text();
    });
    connect(MainGrid2, &QTableWidget::itemChanged, this, [this](QTableWidgetItem *item) {
        if (!FLoading)
            Kvtable::RunGuarded([this, item] { CellEdited(item->row(), item->column()); });
    });
    connect(actDeleteRow, &QAction::triggered, this, [this] { DeleteConditionRow(MainGrid2->currentRow()); });
    connect(edtFooting, &QComboBox::currentTextChanged, this, [this] {
        if (!FLoading)
            FootingChanged();
    });
}

bool TfrmBillAuditConfigSet::eventFilter(QObject *watched, QEvent *event)
{
    if (event->type() == QEvent::KeyPress) {
        const int key = static_cast<QKeyEvent *>(event)->key();
        if (watched == MainGrid1 && (key == Qt::Key_Return || key == Qt::Key_Enter)) {
            Kvtable::RunGuarded([this] { EditAuditors(); });
            return true;
        }
        if (watched == MainGrid2 && key == Qt::Key_Delete) {
            DeleteConditionRow(MainGrid2->currentRow());
            return true;
        }
    }
    return TfrmDialogParent::eventFilter(watched, event);
}

QString TfrmBillAuditConfigSet::FactorAt(int row) const
{
    const auto *box = qobject_cast<QComboBox *>(MainGrid2->cellWidget(row, colFactor));
    return box ? box->currentText() : QString();
}

void TfrmBillAuditConfigSet::AppendConditionRow(const QString &factor, double lower, double upper,
                                                const QString &footing)
{
    const bool loading = FLoading;
    FLoading = true;
    const int row = MainGrid2->rowCount();
    MainGrid2->insertRow(row);
    auto *box = new QComboBox(MainGrid2);
    box->setObjectName(QStringLiteral("cbFactor%1").arg(row));
    box->addItem(QString());
    box->addItems(FBillFactors);
    box->setCurrentText(factor);
    MainGrid2->setCellWidget(row, colFactor, box);
    connect(box, &QComboBox::currentTextChanged, this, [this, box] {
        for (int r = 0; r < MainGrid2->rowCount(); ++r)
            if (MainGrid2->cellWidget(r, colFactor) == box && !FLoading)
                Kvtable::RunGuarded([this, r] { CellEdited(r, colFactor); });
    });
    MainGrid2->setItem(row, colLower, Item(FormatBound(lower), true));
    MainGrid2->setItem(row, colUpper, Item(FormatBound(upper), true));
    MainGrid2->setItem(row, colFooting, Item(footing));
    FLoading = loading;
}

bool TfrmBillAuditConfigSet::Prepare()
{
    const QString billName = Udllbillconfig::GetBillName(FVchtype);
    lblHint->setText(
        QStringLiteral("  %1有单据在审核流程中，不能修改该单据的审核设置，修改后也不能保存。").arg(billName));
    lblHint->setVisible(BillsInFlow(FVchtype) >= 1);
    const QVariantList key{FVchtype, FLeveal};
    if (FMode == QStringLiteral("M")) {
        TClientDataSet level;
        Udlldbservice::OpenSQL(
            QStringLiteral("SELECT * FROM AuditDetail a WHERE a.Vchtype = ? AND a.Leveal = ?"), key, level);
        if (level.IsEmpty()) {
            Udllmessageintf::SuperMessageBox(QStringLiteral("该级次不存在或已被删除，请重新选择。"));
            return false;
        }
        edtAuditName->setText(level.FieldByName(QStringLiteral("FullName")).AsString());
        (level.FieldByName(QStringLiteral("AuditType")).AsInteger() != 0 ? rbWhole : rbSingle)
            ->setChecked(true);
        mPrompt->setPlainText(level.FieldByName(QStringLiteral("AuditCondition")).AsString());
    }
    SetMoudleNo(19730);
    FLoading = true;
    edtFooting->setCurrentText(kAnd);
    FBillFactors = BillFactors().value(FVchtype);
    SetTitle(FMode == QStringLiteral("A") ? QStringLiteral("新增审核信息") : QStringLiteral("修改审核信息"));
    QList<QStringList> auditors;
    if (FMode == QStringLiteral("M")) {
        TClientDataSet rows;
        Udlldbservice::OpenProcByName(QStringLiteral("P_Audit_GetAuditDetailEmployee"),
                                      {QStringLiteral("@nVchtype"), QStringLiteral("@nLeveal")}, key, rows);
        for (rows.First(); !rows.Eof(); rows.Next())
            auditors.append({rows.FieldByName(QStringLiteral("EtypeName")).AsString(),
                             rows.FieldByName(QStringLiteral("etypeid")).AsString(),
                             rows.FieldByName(QStringLiteral("OperatorType")).AsString()});
        Udlldbservice::OpenSQL(
            QStringLiteral("SELECT factor, lowerLimit AS lower, upperLimit AS upper, footing "
                           "FROM AuditConditionDetail a WHERE a.VchType = ? AND a.Leveal = ? "
                           "ORDER BY RowNo"),
            key, rows);
        for (rows.First(); !rows.Eof(); rows.Next()) {
            const QString factor = rows.FieldByName(QStringLiteral("factor")).AsString();
            const bool offered = FBillFactors.contains(factor);
            if (rows.RecNo() == 1 && rows.FieldByName(QStringLiteral("footing")).AsString() == kOr)
                edtFooting->setCurrentText(kOr);
            AppendConditionRow(offered ? factor : QString(),
                               offered ? rows.FieldByName(QStringLiteral("lower")).AsFloat() : 0,
                               offered ? rows.FieldByName(QStringLiteral("upper")).AsFloat() : 0,
                               offered ? rows.FieldByName(QStringLiteral("footing")).AsString() : QString());
        }
    }
    AppendConditionRow();
    SetAuditors(auditors);
    FLoading = false;
    if (FBillFactors.isEmpty()) {
        resize(width(), height() - grp3->sizeHint().height());
        grp3->hide();
    }
    return true;
}

void TfrmBillAuditConfigSet::SetAuditors(const QList<QStringList> &rows)
{
    MainGrid1->setRowCount(0);
    for (const QStringList &r :
         rows.isEmpty() ? QList<QStringList>{{QString(), QString(), QString()}} : rows) {
        const int row = MainGrid1->rowCount();
        MainGrid1->insertRow(row);
        for (int column = 0; column < 3; ++column)
            MainGrid1->setItem(row, column, Item(r.value(column)));
    }
}

void TfrmBillAuditConfigSet::EditAuditors()
{
    TAuditorList list;
    for (int row = 0; row < MainGrid1->rowCount(); ++row)
        if (!MainGrid1->item(row, colEtypeId)->text().isEmpty())
            list.append({MainGrid1->item(row, colEtypeId)->text(), QString(),
                         MainGrid1->item(row, colEtypeName)->text(),
                         MainGrid1->item(row, colOperatorType)->text().toInt()});
    if (!ShowAuditorSelector(list, FVchtype, QStringLiteral("审核人")))
        return;
    QList<QStringList> rows;
    for (const TAuditorRec &r : std::as_const(list))
        rows.append({r.FullName, r.TypeId, QString::number(r.OperatorType)});
    SetAuditors(rows);
}

void TfrmBillAuditConfigSet::CellEdited(int row, int column)
{
    if (row < 0 || row >= MainGrid2->rowCount())
        return;
    FLoading = true;
    const QString factor = FactorAt(row);
    QTableWidgetItem *lower = MainGrid2->item(row, colLower);
    QTableWidgetItem *upper = MainGrid2->item(row, colUpper);
    if (factor.isEmpty()) {
        lower->setText(QStringLiteral("0"));
        upper->setText(QStringLiteral("0"));
        MainGrid2->item(row, colFooting)->setText(QString());
    } else {
        const double low = lower->text().toDouble();
        const double up = upper->text().toDouble();
        if (low > up && std::fabs(low) > 1e-9 && std::fabs(up) > 1e-10) {
            if (column == colLower || column == colUpper)
                MainGrid2->item(row, column)->setText(lastInput);
            FLoading = false;
            RebuildPrompt();
            Udllmessageintf::CheckError(true, QStringLiteral("下限必须小于等于上限，请重新输入。"),
                                        TMessageBoxType::mtWarning);
        }
        for (QTableWidgetItem *bound : {lower, upper}) {
            const double v = bound->text().toDouble();
            bound->setText(FormatBound(std::fabs(v) > kMaxBound ? kMaxBound : v));
        }
        MainGrid2->item(row, colFooting)->setText(edtFooting->currentText());
        if (row == MainGrid2->rowCount() - 1)
            AppendConditionRow();
    }
    FLoading = false;
    RebuildPrompt();
}

void TfrmBillAuditConfigSet::DeleteConditionRow(int row)
{
    if (row < 0 || row >= MainGrid2->rowCount())
        return;
    FLoading = true;
    qobject_cast<QComboBox *>(MainGrid2->cellWidget(row, colFactor))->setCurrentIndex(0);
    MainGrid2->item(row, colLower)->setText(QStringLiteral("0"));
    MainGrid2->item(row, colUpper)->setText(QStringLiteral("0"));
    MainGrid2->item(row, colFooting)->setText(QString());
    FLoading = false;
    RebuildPrompt();
}

void TfrmBillAuditConfigSet::FootingChanged()
{
    FLoading = true;
    for (int row = 0; row < MainGrid2->rowCount(); ++row)
        if (!FactorAt(row).isEmpty())
            MainGrid2->item(row, colFooting)->setText(edtFooting->currentText());
    FLoading = false;
    RebuildPrompt();
}

QList<TConditionRow> TfrmBillAuditConfigSet::ConditionRows() const
{
    QList<TConditionRow> rows;
    for (int row = 0; row < MainGrid2->rowCount(); ++row)
        rows.append({FactorAt(row), MainGrid2->item(row, colLower)->text().toDouble(),
                     MainGrid2->item(row, colUpper)->text().toDouble(),
                     MainGrid2->item(row, colFooting)->text()});
    return rows;
}

void TfrmBillAuditConfigSet::RebuildPrompt()
{
    mPrompt->setPlainText(BuildConditionText(ConditionRows()));
}

bool CheckAuditorValid(const QString &id, int operatorType, const QString &name)
{
    if (operatorType == 1) {
        const bool found = Udlldbservice::GetValueFromSQL(
                               QStringLiteral("SELECT count(*) FROM Department WHERE Deleted = 0 AND "
                                              "etypeid <> '' AND typeId = ?"),
                               {id})
                               .toInt() > 0;
        if (!found)
            Udllmessageintf::SuperMessageBox(QStringLiteral("“%1”已经被删除或停用，请重新选择。").arg(name));
        return found;
    }
    if (operatorType != 0)
        return true;
    const bool found =
        Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT count(*) FROM Employee E INNER JOIN "
                                                      "T_GBL_LoginUser L ON E.TypeId = L.ETypeId AND "
                                                      "E.TypeId <> '00000' WHERE E.Deleted <> 1 AND "
                                                      "E.TypeId = ?"),
                                       {id})
            .toInt() > 0;
    if (!found)
        Udllmessageintf::SuperMessageBox(QStringLiteral("审核人“%1”已经被删除，请重新选择。").arg(name));
    return found;
}

void TfrmBillAuditConfigSet::Validate()
{
    const auto refuse = [](bool condition, const QString &text, QWidget *focus = nullptr) {
        if (!condition)
            return;
        Udllmessageintf::SuperMessageBox(text);
        if (focus)
            focus->setFocus();
        throw EAbort();
    };
    bool plugIn = false;
    refuse(BillsInFlow(FVchtype, &plugIn) > 0,
           QStringLiteral("  %1还有单据在审核流程中，不能新增或修改该种单据的审核设置。")
               .arg(BillTypeName(FVchtype, plugIn)));
    const QString name = edtAuditName->text();
    refuse(name.isEmpty(), QStringLiteral("审核流程名称不能为空。"), edtAuditName);
    refuse(name.size() > 60, QStringLiteral("审核流程名称不能大于60个字符。"), edtAuditName);
    bool special = false;
    for (const QString &c : kSpecialChars.split(u','))
        special = special || name.trimmed().contains(c);
    refuse(special,
           QStringLiteral("审核流程名称不能包含以下特殊字符: \r") + kSpecialChars + QStringLiteral("。"),
           edtAuditName);
    refuse(MainGrid1->rowCount() == 1 && MainGrid1->item(0, colEtypeId)->text().isEmpty(),
           QStringLiteral("请至少选择一个审核人。"));
    refuse(mPrompt->toPlainText().size() > 2000, QStringLiteral("审核条件不能大于2000个字符。"));
    refuse(FMode == QStringLiteral("M") &&
               Udlldbservice::GetValueFromSQL(
                   QStringLiteral("SELECT count(*) FROM AuditDetail WHERE Vchtype = ? AND Leveal = ?"),
                   {FVchtype, FLeveal})
                       .toInt() == 0,
           QStringLiteral("该级次被其他用户删除，不能修改。"));
    for (int row = 0; row < MainGrid1->rowCount(); ++row)
        if (!CheckAuditorValid(MainGrid1->item(row, colEtypeId)->text(),
                               MainGrid1->item(row, colOperatorType)->text().toInt(),
                               MainGrid1->item(row, colEtypeName)->text()))
            throw EAbort();
    const QList<TConditionRow> rows = ConditionRows();
    for (int i = 0; i < rows.size(); ++i)
        refuse(!rows[i].Factor.isEmpty() && std::fabs(rows[i].Lower) <= 1e-8 &&
                   std::fabs(rows[i].Upper) <= 1e-8,
               QStringLiteral("第%1行要素上下限不能同时为空，请重新录入。").arg(i + 1));
}

void TfrmBillAuditConfigSet::Store()
{
    Udlldbservice::TTransaction transaction;
    int level = FLeveal;
    if (FMode == QStringLiteral("A")) {
        Udlldbservice::ExecuteProcByName(QStringLiteral("P_Audit_CreateVchtypeNdx"),
                                         {QStringLiteral("@Vchtype")}, {FVchtype});
        level = Udlldbservice::GetValueFromSQL(
                    QStringLiteral("SELECT SonLeveal FROM AuditNdx WHERE Vchtype = ?"), {FVchtype})
                    .toInt() +
                1;
        Udllmessageintf::CheckError(!uDllComm::DllParams.IsNetCS && uDllComm::DllParams.PubVersion2 <= 2680 &&
                                        level != 1,
                                    QStringLiteral("该级次已存在，不能新增。"), TMessageBoxType::mtWarning);
    }
    const QVariantList key{FVchtype, level};
    Udlldbservice::ExecuteSQL(QStringLiteral("DELETE FROM AuditDetail WHERE Vchtype = ? AND Leveal = ?"),
                              key);
    Udlldbservice::ExecuteSQL(
        QStringLiteral("DELETE FROM \"AuditDetail-E\" WHERE Vchtype = ? AND Leveal = ?"), key);
    Udlldbservice::ExecuteSQL(
        QStringLiteral("DELETE FROM AuditConditionDetail WHERE VchType = ? AND Leveal = ?"), key);
    Udlldbservice::ExecuteSQL(
        QStringLiteral("INSERT INTO AuditDetail (Vchtype, Leveal, FullName, Deleted, AuditType, "
                       "AuditCondition) VALUES (?, ?, ?, 0, ?, ?)"),
        {FVchtype, level, edtAuditName->text(), rbWhole->isChecked() ? 1 : 0, mPrompt->toPlainText()});
    for (int row = 0; row < MainGrid1->rowCount(); ++row)
        Udlldbservice::ExecuteSQL(
            QStringLiteral("INSERT INTO \"AuditDetail-E\" (Vchtype, Leveal, EtypeID, OperatorType) "
                           "VALUES (?, ?, ?, ?)"),
            {FVchtype, level, MainGrid1->item(row, colEtypeId)->text(),
             MainGrid1->item(row, colOperatorType)->text().toInt()});
    const QList<TConditionRow> rows = ConditionRows();
    for (int i = 0; i < rows.size(); ++i)
        if (!rows[i].Factor.isEmpty())
            Udlldbservice::ExecuteSQL(
                QStringLiteral("INSERT INTO AuditConditionDetail (VchType, Leveal, factor, lowerLimit, "
                               "upperLimit, footing, RowNo) VALUES (?, ?, ?, ?, ?, ?, ?)"),
                {FVchtype, level, rows[i].Factor, QString::number(rows[i].Lower, 'f', 4).toDouble(),
                 QString::number(rows[i].Upper, 'f', 4).toDouble(), rows[i].Footing, i});
    if (FMode == QStringLiteral("A"))
        Udlldbservice::ExecuteSQL(
            QStringLiteral("UPDATE AuditNdx SET SonLeveal = ?, IsAudit = 1 WHERE Vchtype = ?"),
            {level, FVchtype});
    transaction.Commit();
}

void TfrmBillAuditConfigSet::btnGBitbtn1Click()
{
    RebuildPrompt();
    Validate();
    Store();
    FOk = true;
    Udllmessageintf::ShowInfoMessage(QStringLiteral("保存成功。"));
    done(mrOk);
}

bool ShowAuditConfigSet(const QString &mode, int vchType, int level)
{
    TfrmBillAuditConfigSet form;
    form.FVchtype = vchType;
    form.FLeveal = level;
    form.FMode = mode;
    if (!form.Prepare())
        return false;
    if (AuditConfigSetHook)
        AuditConfigSetHook(form);
    else
        form.exec();
    return form.FOk;
}
