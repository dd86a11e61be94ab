#include "uSerialNumRules.h"

#include <QComboBox>
#include <QDate>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QStringEncoder>
#include <QTabWidget>
#include <QVBoxLayout>

#include "Kvtable.h"
#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uSetSerialNumer.h"

namespace {

const QStringList kSeparators = {QStringLiteral("年"), QStringLiteral("月"), QStringLiteral("日"),
                                 QStringLiteral("-"),  QStringLiteral("."),  QStringLiteral(":")};

// Display text and stored value of the odd parts, the date shown being today's.
QList<QPair<QString, QString>> ValueItems()
{
    const QDate today = QDate::currentDate();
    QList<QPair<QString, QString>> items = {
        {QStringLiteral("年份(%1)").arg(today.year()), QStringLiteral("yyyy")},
        {QStringLiteral("月(%1)").arg(today.month()), QStringLiteral("mm")},
        {QStringLiteral("日(%1)").arg(today.day()), QStringLiteral("dd")},
        {QStringLiteral("年月日(%1)").arg(today.toString(QStringLiteral("yyyyMMdd"))),
         QStringLiteral("yyyymmdd")},
        {QStringLiteral("操作员"), QStringLiteral("操作员")},
        {QStringLiteral("机器名"), QStringLiteral("机器名")}};
    for (const QString &zeros :
         {QStringLiteral("0"), QStringLiteral("00"), QStringLiteral("000"), QStringLiteral("0000")})
        items.append({QStringLiteral("流水号[%1]").arg(zeros), QStringLiteral("[%1]").arg(zeros)});
    return items;
}

int GbkLength(const QString &text)
{
    QStringEncoder gbk("GBK");
    return gbk.isValid() ? int(QByteArray(gbk.encode(text)).size()) : int(text.toLocal8Bit().size());
}

const QString kExists = QStringLiteral("SELECT CASE WHEN EXISTS (SELECT 1 FROM SerialNumRules WHERE ID = ?) "
                                       "THEN 1 ELSE 0 END");

} // namespace

TfrmSeriaNumRules::TfrmSeriaNumRules(QWidget *parent) : TfrmDialogQueryParent(parent)
{
    setObjectName(QStringLiteral("frmSeriaNumRules"));
    auto *body = new QHBoxLayout;
    tvTree = new QTreeWidget(this);
    tvTree->setObjectName(QStringLiteral("tvTree"));
    tvTree->setHeaderHidden(true);
    body->addWidget(tvTree, 1);

    auto *editor = new QVBoxLayout;
    auto *partsRow = new QHBoxLayout;
    QStringList odd;
    for (const auto &item : ValueItems())
        odd << item.first;
    cb = uNumberingCommon::CreateParts(this, odd, kSeparators);
    const auto values = ValueItems();
    for (int i = 0; i < cb.size(); ++i) {
        QComboBox *part = cb[i];
        if (i % 2 == 0) {
            for (int v = 0; v < values.size(); ++v)
                part->setItemData(v, values[v].second);
            part->lineEdit()->setMaxLength(20);
        }
        partsRow->addWidget(part);
        connect(part, &QComboBox::editTextChanged, this, [this, part] { PartChange(part); });
    }
    editor->addLayout(partsRow);
    auto *sampleRow = new QHBoxLayout;
    lblSample = new QLabel(QStringLiteral("样例"), this);
    lblSample->setObjectName(QStringLiteral("lblSample"));
    Lbsample = new QLabel(this);
    Lbsample->setObjectName(QStringLiteral("Lbsample"));
    sampleRow->addWidget(lblSample);
    sampleRow->addWidget(Lbsample, 1);
    editor->addLayout(sampleRow);
    auto *pages = new QTabWidget(this);
    pages->setObjectName(QStringLiteral("PageControl1"));
    auto *page = new QWidget;
    auto *pageLayout = new QVBoxLayout(page);
    rg = new TRadioGroup(
        QStringLiteral("rg"), QString(),
        {QStringLiteral("全年编号递增"), QStringLiteral("每月编号递增"), QStringLiteral("每日编号递增")},
        page);
    pageLayout->addWidget(rg);
    pageLayout->addStretch(1);
    pages->addTab(page, QStringLiteral("流水号选项"));
    editor->addWidget(pages, 1);
    body->addLayout(editor, 3);
    QueryLayout()->addLayout(body, 1);

    const auto tool = [this](const char *name, const QString &text, void (TfrmSeriaNumRules::*handler)()) {
        auto *button = new QPushButton(text, this);
        button->setObjectName(QLatin1String(name));
        button->setAutoDefault(false);
        ToolBar->addWidget(button);
        connect(button, &QPushButton::clicked, this,
                [this, handler] { Kvtable::RunGuarded([this, handler] { (this->*handler)(); }); });
        return button;
    };
    btnNew = tool("btnNew", QStringLiteral("新增"), &TfrmSeriaNumRules::btnNewClick);
    btnEdit = tool("btnEdit", QStringLiteral("修改"), &TfrmSeriaNumRules::btnEditClick);
    tbtnDelete = tool("tbtnDelete", QStringLiteral("删除"), &TfrmSeriaNumRules::tbtnDeleteClick);
    CMGKvBitbtn3 = tool("CMGKvBitbtn3", QStringLiteral("设为默认"), &TfrmSeriaNumRules::CMGKvBitbtn3Click);
    tbtnSave = tool("tbtnSave", QStringLiteral("保存"), &TfrmSeriaNumRules::tbtnSaveClick);
    tbtnClose = new QPushButton(QStringLiteral("关闭"), this);
    tbtnClose->setObjectName(QStringLiteral("tbtnClose"));
    tbtnClose->setAutoDefault(false);
    ToolBar->addWidget(tbtnClose);
    connect(tbtnClose, &QPushButton::clicked, this, [this] { done(mrOk); });
    connect(tvTree, &QTreeWidget::currentItemChanged, this,
            [this] { Kvtable::RunGuarded([this] { tvTreeChange(); }); });
}

TfrmSeriaNumRules::~TfrmSeriaNumRules() = default;

QString TfrmSeriaNumRules::NodeText(const QString &fullName, bool isDefault)
{
    if (!isDefault)
        return fullName;
    constexpr int width = 22;
    const int bytes = GbkLength(fullName);
    if (bytes > width)
        return fullName.left(19) + QStringLiteral("...默认");
    return fullName + QString(width - bytes, QLatin1Char(' ')) + QStringLiteral("默认");
}

void TfrmSeriaNumRules::LoadTree()
{
    const QSignalBlocker block(tvTree);
    tvTree->clear();
    TClientDataSet rows;
    Udlldbservice::OpenSQL(
        QStringLiteral("SELECT ID, \"Default\", Code, FullName AS name, (Code || ' ' || FullName) "
                       "AS fullname FROM SerialNumRules ORDER BY Code"),
        rows);
    for (rows.First(); !rows.Eof(); rows.Next()) {
        TSerialRuleNode node;
        node.Id = rows.FieldByName(QStringLiteral("ID")).AsInteger();
        node.IsDefault = rows.FieldByName(QStringLiteral("Default")).AsInteger() == 1;
        node.Code = rows.FieldByName(QStringLiteral("Code")).AsString();
        node.Name = rows.FieldByName(QStringLiteral("name")).AsString();
        node.CodeName = rows.FieldByName(QStringLiteral("fullname")).AsString();
        node.DisplayText = NodeText(node.CodeName, node.IsDefault);
        auto *item = new QTreeWidgetItem(tvTree, {node.DisplayText});
        item->setData(0, Qt::UserRole, QVariant::fromValue(node));
    }
}

TSerialRuleNode TfrmSeriaNumRules::Selected() const
{
    const QTreeWidgetItem *item = tvTree->currentItem();
    return item ? item->data(0, Qt::UserRole).value<TSerialRuleNode>() : TSerialRuleNode();
}

void TfrmSeriaNumRules::SelectRule(int id)
{
    for (int i = 0; i < tvTree->topLevelItemCount(); ++i)
        if (tvTree->topLevelItem(i)->data(0, Qt::UserRole).value<TSerialRuleNode>().Id == id)
            tvTree->setCurrentItem(tvTree->topLevelItem(i));
}

void TfrmSeriaNumRules::SetEditorEnabled(bool enabled)
{
    for (int i = 0; i < cb.size(); i += 2)
        cb[i]->setEnabled(enabled);
    rg->setEnabled(enabled);
    if (!enabled)
        rg->SetItemIndex(0);
    Lbsample->setVisible(enabled);
    lblSample->setVisible(enabled);
}

void TfrmSeriaNumRules::ClearEditor()
{
    for (QComboBox *part : cb) {
        part->setCurrentIndex(-1);
        part->setEditText(QString());
    }
}

void TfrmSeriaNumRules::tvTreeChange()
{
    const TSerialRuleNode node = Selected();
    if (node.Id == 0)
        return;
    rg->SetItemIndex(Udlldbservice::GetValueFromSQL(
                         QStringLiteral("SELECT SNLex FROM SerialNumRules WHERE ID = ?"), {node.Id})
                         .toInt());
    const QStringList parts = uNumberingCommon::SplitParts(
        Udlldbservice::GetValueFromSQL(QStringLiteral("SELECT SNFormat FROM SerialNumRules WHERE ID = ?"),
                                       {node.Id})
            .toString());
    for (int i = 0; i < cb.size(); ++i) {
        const int item = i % 2 == 0 ? cb[i]->findData(parts[i]) : -1;
        cb[i]->setCurrentIndex(item);
        if (item < 0)
            cb[i]->setEditText(parts[i]);
    }
    RefreshSample();
}

QString TfrmSeriaNumRules::Pattern() const
{
    QStringList parts;
    for (int i = 0; i < cb.size(); ++i) {
        const QComboBox *part = cb[i];
        const int item = part->currentIndex();
        const bool picked = i % 2 == 0 && item >= 0 && part->currentText() == part->itemText(item);
        parts << (picked ? part->itemData(item).toString() : part->currentText().trimmed());
    }
    return uNumberingCommon::JoinParts(parts);
}

void TfrmSeriaNumRules::RefreshSample()
{
    Lbsample->setText(
        uNumberingCommon::SampleNumber(Pattern().trimmed(), 0, 0, QDateTime::currentDateTime()));
}

void TfrmSeriaNumRules::PartChange(QComboBox *part)
{
    if (part->currentText().trimmed().size() >= 61) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("规则配置录入过长。"));
        return;
    }
    RefreshSample();
}

bool TfrmSeriaNumRules::RuleExists(int id)
{
    if (Udlldbservice::GetValueFromSQL(kExists, {id}).toInt() == 1)
        return true;
    Udllmessageintf::ShowWarningMsg(QStringLiteral("该规则已被删除，请刷新数据后重新操作。"));
    return false;
}

void TfrmSeriaNumRules::btnNewClick()
{
    TfrmSetSerialNumber dialog(this);
    dialog.setWindowTitle(QStringLiteral("新增序列号自动生成规则"));
    dialog.FMode = QStringLiteral("A");
    if (dialog.exec() != QDialog::Accepted)
        return;
    LoadTree();
    SelectRule(dialog.FNewID);
    tvTreeChange();
    SetEditorEnabled(true);
}

void TfrmSeriaNumRules::btnEditClick()
{
    const TSerialRuleNode node = Selected();
    if (node.Id == 0 || !RuleExists(node.Id))
        return;
    TfrmSetSerialNumber dialog(this);
    dialog.setWindowTitle(QStringLiteral("修改序列号自动生成规则"));
    dialog.FMode = QStringLiteral("U");
    dialog.FID = node.Id;
    dialog.edtCode->setText(node.Code);
    dialog.edtName->setText(node.Name);
    if (dialog.exec() != QDialog::Accepted)
        return;
    LoadTree();
    const QSignalBlocker block(tvTree); // the editor keeps what is being edited
    SelectRule(node.Id);
}

void TfrmSeriaNumRules::tbtnDeleteClick()
{
    const TSerialRuleNode node = Selected();
    if (node.Id == 0 ||
        !Udllmessageintf::ConfirmOKCancel(QStringLiteral("确定删除规则【%1】吗？").arg(node.CodeName)))
        return;
    Udlldbservice::ExecuteSQL(QStringLiteral("DELETE FROM SerialNumRules WHERE ID = ?"), {node.Id});
    LoadTree();
    ClearEditor();
    if (tvTree->topLevelItemCount() > 0) {
        tvTree->setCurrentItem(tvTree->topLevelItem(0));
        tvTreeChange();
    } else {
        SetEditorEnabled(false);
    }
}

void TfrmSeriaNumRules::CMGKvBitbtn3Click()
{
    const TSerialRuleNode node = Selected();
    if (node.Id == 0 || !RuleExists(node.Id))
        return;
    if (node.IsDefault) {
        Udllmessageintf::ShowInfoMessage(QStringLiteral("规则【%1】已为默认。").arg(node.CodeName));
        return;
    }
    if (!Udllmessageintf::ConfirmOKCancel(QStringLiteral("确定将规则【%1】设为默认吗？").arg(node.CodeName)))
        return;
    {
        Udlldbservice::TTransaction transaction;
        Udlldbservice::ExecuteSQL(QStringLiteral("UPDATE SerialNumRules SET \"Default\" = 0"));
        Udlldbservice::ExecuteSQL(QStringLiteral("UPDATE SerialNumRules SET \"Default\" = 1 WHERE ID = ?"),
                                  {node.Id});
        transaction.Commit();
    }
    LoadTree();
    const QSignalBlocker block(tvTree);
    SelectRule(node.Id);
}

void TfrmSeriaNumRules::tbtnSaveClick()
{
    const TSerialRuleNode node = Selected();
    if (node.Id == 0)
        return;
    const QString pattern = Pattern();
    if (!RuleExists(node.Id))
        return;
    if (pattern.size() > uNumberingCommon::MaxPatternLength) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("规则配置录入过长，不能保存。"));
        return;
    }
    const QString trimmed = pattern.trimmed();
    if (trimmed.contains(u'&') || trimmed.contains(u'\'') || trimmed.contains(u'"')) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("规则配置不能包含以下特殊字符：&,',\""));
        return;
    }
    static const QStringList sequences = {QStringLiteral("[0]"), QStringLiteral("[00]"),
                                          QStringLiteral("[000]"), QStringLiteral("[0000]")};
    if (std::none_of(sequences.begin(), sequences.end(),
                     [&trimmed](const QString &s) { return trimmed.contains(s); })) {
        Udllmessageintf::ShowWarningMsg(QStringLiteral("规则配置至少需要包含一种流水号。"));
        return;
    }
    const int result = Udlldbservice::ExecuteProcByName(
        QStringLiteral("P_KOVA_SerialNumberRules;1"),
        {QStringLiteral("@cMode"), QStringLiteral("@ID"), QStringLiteral("@Code"),
         QStringLiteral("@FullName"), QStringLiteral("@Default"), QStringLiteral("@SNFormat"),
         QStringLiteral("@SNLex")},
        {QStringLiteral("S"), node.Id, QString(), QString(), 0, pattern, rg->ItemIndex()});
    if (result >= 0)
        Udllmessageintf::ShowInfoMessage(QStringLiteral("保存成功。"));
}

bool TfrmSeriaNumRules::Execute()
{
    TfrmSeriaNumRules form;
    form.SetTitle(QStringLiteral("序列号自动生成规则"));
    form.LoadTree();
    if (form.tvTree->topLevelItemCount() > 0) {
        form.tvTree->setCurrentItem(form.tvTree->topLevelItem(0));
        form.tvTreeChange();
    } else {
        form.SetEditorEnabled(false);
    }
    return form.exec() == mrOk;
}
