#include "BaseSelectDialog.h"

#include "AccountDatabase.h"
#include "BaseRights.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QSet>
#include <QSqlQuery>
#include <QTableWidget>
#include <QVBoxLayout>

BaseSelectDialog::BaseSelectDialog(accountdb::AccountDatabase &db, const QString &kind,
                                   const QString &searchText, bool multiSelect, QWidget *parent)
    : QDialog(parent), FDb(db), FKind(HostBaseData::Resolve(db, kind))
{
    setObjectName(QStringLiteral("frmBaseSelect"));
    const QString caption = FKind.Caption.isEmpty() ? FKind.Kind : FKind.Caption;
    setWindowTitle(QStringLiteral("选择") + caption);
    resize(560, 420);

    auto *lblSearch = new QLabel(QStringLiteral("查找："), this);
    edtSearch = new QLineEdit(searchText, this);
    edtSearch->setObjectName(QStringLiteral("edtSearch"));
    edtSearch->setClearButtonEnabled(true);
    lblSearch->setBuddy(edtSearch);
    rbByCode = new QRadioButton(QStringLiteral("按编号"), this);
    rbByCode->setObjectName(QStringLiteral("rbByCode"));
    rbByName = new QRadioButton(QStringLiteral("按名称"), this);
    rbByName->setObjectName(QStringLiteral("rbByName"));
    rbByCode->setChecked(true);
    auto *group = new QButtonGroup(this);
    group->addButton(rbByCode);
    group->addButton(rbByName);

    grdBase = new QTableWidget(0, 2, this);
    grdBase->setObjectName(QStringLiteral("grdBase"));
    grdBase->setHorizontalHeaderLabels({QStringLiteral("编号"), QStringLiteral("名称")});
    grdBase->horizontalHeader()->setStretchLastSection(true);
    grdBase->verticalHeader()->setVisible(false);
    grdBase->setEditTriggers(QAbstractItemView::NoEditTriggers);
    grdBase->setSelectionBehavior(QAbstractItemView::SelectRows);
    grdBase->setSelectionMode(multiSelect ? QAbstractItemView::ExtendedSelection
                                          : QAbstractItemView::SingleSelection);

    lblCount = new QLabel(this);
    lblCount->setObjectName(QStringLiteral("lblCount"));
    btnOK = new QPushButton(QStringLiteral("确定"), this);
    btnOK->setObjectName(QStringLiteral("btnOK"));
    btnOK->setDefault(true);
    btnCancel = new QPushButton(QStringLiteral("取消"), this);
    btnCancel->setObjectName(QStringLiteral("btnCancel"));

    auto *searchRow = new QHBoxLayout;
    searchRow->addWidget(lblSearch);
    searchRow->addWidget(edtSearch, 1);
    searchRow->addWidget(rbByCode);
    searchRow->addWidget(rbByName);
    auto *buttonRow = new QHBoxLayout;
    buttonRow->addWidget(lblCount, 1);
    buttonRow->addWidget(btnOK);
    buttonRow->addWidget(btnCancel);
    auto *layout = new QVBoxLayout(this);
    layout->addLayout(searchRow);
    layout->addWidget(grdBase, 1);
    layout->addLayout(buttonRow);

    connect(edtSearch, &QLineEdit::textChanged, this, &BaseSelectDialog::Search);
    connect(rbByCode, &QRadioButton::toggled, this, &BaseSelectDialog::Search);
    connect(grdBase, &QTableWidget::itemSelectionChanged, this, &BaseSelectDialog::grdBaseSelectionChanged);
    connect(grdBase, &QTableWidget::cellDoubleClicked, this, &BaseSelectDialog::btnOKClick);
    connect(btnOK, &QPushButton::clicked, this, &BaseSelectDialog::btnOKClick);
    connect(btnCancel, &QPushButton::clicked, this, &QDialog::reject);
    Search();
}

void BaseSelectDialog::SetIdPrefix(const QString &prefix)
{
    FIdPrefix = prefix;
    Search();
}

void BaseSelectDialog::SetOperator(const QString &operatorId)
{
    FOperatorId = operatorId;
    Search();
}

void BaseSelectDialog::RemoveNotAllowed()
{
    static const QHash<QString, QChar> codes = {{QStringLiteral("Btype"), u'B'},
                                                {QStringLiteral("Stock"), u'K'},
                                                {QStringLiteral("Ptype"), u'P'},
                                                {QStringLiteral("Department"), u'D'},
                                                {QStringLiteral("Atype"), u'A'}};
    const auto code = codes.constFind(FKind.Kind);
    if (FOperatorId.isEmpty() || code == codes.constEnd())
        return;
    QSet<QString> hidden;
    QSqlQuery q = FDb.exec(accountdb::baserights::notAllowedSql(*code), {FOperatorId});
    while (q.next())
        hidden.insert(q.value(0).toString());
    FRows.removeIf([&hidden](const TBaseRecord &r) { return hidden.contains(r.TypeId); });
}

void BaseSelectDialog::Search()
{
    const TBaseSearchField field = rbByName->isChecked() ? TBaseSearchField::Name : TBaseSearchField::Code;
    FRows = HostBaseData::Find(FDb, FKind, field, edtSearch->text(), FIdPrefix);
    RemoveNotAllowed();
    grdBase->clearContents();
    grdBase->setRowCount(FRows.size());
    for (int i = 0; i < FRows.size(); ++i) {
        grdBase->setItem(i, 0, new QTableWidgetItem(FRows[i].UserCode));
        grdBase->setItem(i, 1, new QTableWidgetItem(FRows[i].FullName));
    }
    if (!FRows.isEmpty())
        grdBase->selectRow(0);
    lblCount->setText(QStringLiteral("共 %1 条").arg(FRows.size()));
    grdBaseSelectionChanged();
}

void BaseSelectDialog::grdBaseSelectionChanged()
{
    btnOK->setEnabled(grdBase->selectionModel()->hasSelection());
}

void BaseSelectDialog::btnOKClick()
{
    FSelected.clear();
    const QModelIndexList rows = grdBase->selectionModel()->selectedRows();
    QList<int> numbers;
    for (const QModelIndex &index : rows)
        numbers << index.row();
    std::sort(numbers.begin(), numbers.end());
    for (int row : numbers)
        if (row >= 0 && row < FRows.size())
            FSelected.append(FRows[row]);
    if (FSelected.isEmpty())
        return;
    accept();
}
