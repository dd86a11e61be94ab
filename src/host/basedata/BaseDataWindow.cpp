#include "BaseDataWindow.h"

#include <QCheckBox>
#include <QComboBox>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTableWidget>
#include <QTreeWidget>
#include <QVBoxLayout>

#include "QuillInterfaces.h"

using accountdb::basedata::Field;
using accountdb::basedata::Kind;

namespace {

const QString kUserCode = QStringLiteral("UserCode");
const QString kFullName = QStringLiteral("FullName");

QString DisplayText(const QVariant &v)
{
    return v.typeId() == QMetaType::Double ? QString::number(v.toDouble(), 'g', 15) : v.toString();
}

QDialogButtonBox *OkCancel(QDialog *dialog)
{
    auto *buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, dialog);
    buttons->button(QDialogButtonBox::Ok)->setText(QStringLiteral("确定"));
    buttons->button(QDialogButtonBox::Ok)->setObjectName(QStringLiteral("btnOK"));
    buttons->button(QDialogButtonBox::Cancel)->setText(QStringLiteral("取消"));
    QObject::connect(buttons, &QDialogButtonBox::rejected, dialog, &QDialog::reject);
    return buttons;
}

} // namespace

BaseDataEditDialog::BaseDataEditDialog(const Kind &kind, bool isClass, const QVariantMap &values,
                                       QWidget *parent)
    : QDialog(parent)
{
    setObjectName(QStringLiteral("dlgBaseEdit"));
    setWindowTitle(kind.caption + (isClass ? QStringLiteral("类别") : QString()));
    auto *form = new QFormLayout(this);
    QList<Field> fields{{kUserCode, QStringLiteral("编号")}, {kFullName, QStringLiteral("名称")}};
    if (!isClass)
        fields += kind.fields;
    for (const Field &f : fields) {
        auto *edit = new QLineEdit(DisplayText(values.value(f.column)), this);
        edit->setObjectName(QStringLiteral("edt") + f.column);
        form->addRow(f.caption, edit);
        FEdits.append({f.column, edit});
    }
    QDialogButtonBox *buttons = OkCancel(this);
    connect(buttons, &QDialogButtonBox::accepted, this, &BaseDataEditDialog::SaveRequested);
    form->addRow(buttons);
}

QVariantMap BaseDataEditDialog::Values() const
{
    QVariantMap values;
    for (const auto &[column, edit] : FEdits)
        values.insert(column, edit->text().trimmed());
    return values;
}

BaseDataWindow::BaseDataWindow(accountdb::AccountDatabase &db, IDllMessageCon &messages,
                               const QString &operatorId, const Kind &kind, QWidget *parent)
    : QWidget(parent), FStore(db, kind, operatorId), FMessages(messages)
{
    setObjectName(QStringLiteral("frmBaseData_") + kind.name);
    setWindowTitle(kind.caption);
    auto *layout = new QVBoxLayout(this);
    auto *bar = new QHBoxLayout;
    const auto button = [&](const char *name, const QString &text, auto slot) {
        auto *b = new QPushButton(text, this);
        b->setObjectName(QLatin1String(name));
        connect(b, &QPushButton::clicked, this, slot);
        bar->addWidget(b);
    };
    button("btnAddClass", QStringLiteral("新增类别"), [this] { OpenEditor(QString(), true, false); });
    button("btnEditClass", QStringLiteral("修改类别"), [this] {
        if (CurrentClassId() != accountdb::basedata::kRootId)
            OpenEditor(CurrentClassId(), true, false);
    });
    button("btnAdd", QStringLiteral("新增"), [this] { OpenEditor(QString(), false, false); });
    button("btnEdit", QStringLiteral("修改"), [this] {
        if (!CurrentRecordId().isEmpty())
            OpenEditor(CurrentRecordId(), false, false);
    });
    button("btnCopy", QStringLiteral("复制"), [this] {
        if (!CurrentRecordId().isEmpty())
            OpenEditor(CurrentRecordId(), false, true);
    });
    button("btnMove", QStringLiteral("移动"), &BaseDataWindow::AskMove);
    button("btnDelete", QStringLiteral("删除"), &BaseDataWindow::DeleteCurrent);
    button("btnHide", QStringLiteral("隐藏/恢复"), &BaseDataWindow::ToggleHidden);
    bar->addStretch();
    FSearch = new QLineEdit(this);
    FSearch->setObjectName(QStringLiteral("edtSearch"));
    FSearch->setPlaceholderText(QStringLiteral("编号、名称或拼音首字母"));
    connect(FSearch, &QLineEdit::textChanged, this, &BaseDataWindow::LoadRecords);
    bar->addWidget(FSearch);
    FShowHidden = new QCheckBox(QStringLiteral("显示隐藏的记录"), this);
    FShowHidden->setObjectName(QStringLiteral("chkShowHidden"));
    connect(FShowHidden, &QCheckBox::toggled, this, &BaseDataWindow::LoadRecords);
    bar->addWidget(FShowHidden);
    layout->addLayout(bar);

    auto *splitter = new QSplitter(this);
    FTree = new QTreeWidget(splitter);
    FTree->setObjectName(QStringLiteral("treClasses"));
    FTree->setHeaderLabel(kind.caption + QStringLiteral("类别"));
    connect(FTree, &QTreeWidget::currentItemChanged, this, &BaseDataWindow::LoadRecords);
    FGrid = new QTableWidget(splitter);
    FGrid->setObjectName(QStringLiteral("grdRecords"));
    FGrid->setSelectionBehavior(QAbstractItemView::SelectRows);
    FGrid->setSelectionMode(QAbstractItemView::SingleSelection);
    FGrid->setEditTriggers(QAbstractItemView::NoEditTriggers);
    QStringList headers{QStringLiteral("编号"), QStringLiteral("名称")};
    for (const Field &f : kind.fields)
        headers << f.caption;
    headers << QStringLiteral("状态");
    FGrid->setColumnCount(headers.size());
    FGrid->setHorizontalHeaderLabels(headers);
    connect(FGrid, &QTableWidget::cellDoubleClicked, this,
            [this] { OpenEditor(CurrentRecordId(), false, false); });
    splitter->setStretchFactor(1, 3);
    layout->addWidget(splitter);
    Reload();
}

QString BaseDataWindow::CurrentClassId() const
{
    const QTreeWidgetItem *item = FTree->currentItem();
    return item ? item->data(0, Qt::UserRole).toString() : accountdb::basedata::kRootId;
}

QString BaseDataWindow::CurrentRecordId() const
{
    const int row = FGrid->currentRow();
    return row < 0 ? QString() : FGrid->item(row, 0)->data(Qt::UserRole).toString();
}

void BaseDataWindow::SelectClass(const QString &typeId)
{
    const QList<QTreeWidgetItem *> items =
        FTree->findItems(QStringLiteral("*"), Qt::MatchWildcard | Qt::MatchRecursive);
    for (QTreeWidgetItem *item : items)
        if (item->data(0, Qt::UserRole).toString() == typeId)
            FTree->setCurrentItem(item);
}

void BaseDataWindow::Reload()
{
    const QString current = CurrentClassId();
    LoadClasses();
    SelectClass(current);
    LoadRecords();
}

void BaseDataWindow::LoadClasses()
{
    const QSignalBlocker block(FTree);
    FTree->clear();
    auto *root = new QTreeWidgetItem(FTree, {QStringLiteral("全部") + FStore.Kind().caption});
    root->setData(0, Qt::UserRole, accountdb::basedata::kRootId);
    QHash<QString, QTreeWidgetItem *> items{{accountdb::basedata::kRootId, root}};
    for (const TBaseDataRow &c : FStore.Classes()) { // parents come first
        QTreeWidgetItem *parent = items.value(c.ParId, root);
        auto *item = new QTreeWidgetItem(
            parent, {c.Fields.value(kUserCode).toString() + u' ' + c.Fields.value(kFullName).toString()});
        item->setData(0, Qt::UserRole, c.TypeId);
        items.insert(c.TypeId, item);
    }
    FTree->expandAll();
    FTree->setCurrentItem(root);
}

void BaseDataWindow::LoadRecords()
{
    const Kind &kind = FStore.Kind();
    FGrid->setRowCount(0);
    for (const TBaseDataRow &r :
         FStore.Records(CurrentClassId(), FSearch->text(), FShowHidden->isChecked())) {
        const int row = FGrid->rowCount();
        FGrid->insertRow(row);
        QStringList texts{r.Fields.value(kUserCode).toString(), r.Fields.value(kFullName).toString()};
        for (const Field &f : kind.fields)
            texts << DisplayText(r.Fields.value(f.column));
        texts << (r.Deleted ? QStringLiteral("隐藏") : QString());
        for (int c = 0; c < texts.size(); ++c)
            FGrid->setItem(row, c, new QTableWidgetItem(texts[c]));
        FGrid->item(row, 0)->setData(Qt::UserRole, r.TypeId);
    }
}

void BaseDataWindow::OpenEditor(const QString &typeId, bool isClass, bool copy)
{
    QVariantMap values;
    if (!typeId.isEmpty())
        values = FStore.Row(typeId).Fields;
    if (copy)
        values.remove(kUserCode);
    auto *dialog = new BaseDataEditDialog(FStore.Kind(), isClass, values, this);
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    const QString editedId = copy ? QString() : typeId;
    const QString parId = CurrentClassId();
    connect(dialog, &BaseDataEditDialog::SaveRequested, this, [this, dialog, editedId, parId, isClass] {
        QString newId;
        const QString error = FStore.Save(editedId, parId, isClass, dialog->Values(), &newId);
        if (!error.isEmpty()) {
            FMessages.ShowWarningMsg(error);
            return;
        }
        dialog->accept();
        Reload();
        if (isClass && editedId.isEmpty())
            SelectClass(newId);
    });
    dialog->open();
}

void BaseDataWindow::DeleteCurrent()
{
    const QString typeId = CurrentRecordId();
    if (typeId.isEmpty()) {
        // Without a record chosen, the chosen (empty) class is what goes.
        if (CurrentClassId() == accountdb::basedata::kRootId)
            return;
        if (!FMessages.ConfirmYesNo(QStringLiteral("删除这个类别吗？"), TMessageBoxType::mtConfirmation,
                                    windowTitle()))
            return;
        if (const QString error = FStore.Delete(CurrentClassId()); !error.isEmpty())
            FMessages.ShowWarningMsg(error);
        else
            Reload();
        return;
    }
    if (!FMessages.ConfirmYesNo(QStringLiteral("删除这条记录吗？"), TMessageBoxType::mtConfirmation,
                                windowTitle()))
        return;
    if (const QString error = FStore.Delete(typeId); !error.isEmpty())
        FMessages.ShowWarningMsg(error);
    else
        LoadRecords();
}

void BaseDataWindow::ToggleHidden()
{
    const QString typeId = CurrentRecordId();
    if (typeId.isEmpty())
        return;
    if (const QString error = FStore.SetHidden(typeId, !FStore.Row(typeId).Deleted); !error.isEmpty())
        FMessages.ShowWarningMsg(error);
    LoadRecords();
}

void BaseDataWindow::AskMove()
{
    // The chosen record; without one, the chosen class with everything under it.
    const bool isClass = CurrentRecordId().isEmpty();
    const QString typeId = isClass ? CurrentClassId() : CurrentRecordId();
    if (typeId == accountdb::basedata::kRootId)
        return;
    auto *dialog = new QDialog(this);
    dialog->setObjectName(QStringLiteral("dlgMove"));
    dialog->setWindowTitle(QStringLiteral("移到其他类别"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    auto *layout = new QVBoxLayout(dialog);
    auto *classes = new QComboBox(dialog);
    classes->setObjectName(QStringLiteral("cboClass"));
    classes->addItem(QStringLiteral("全部") + FStore.Kind().caption, accountdb::basedata::kRootId);
    for (const TBaseDataRow &c : FStore.Classes())
        if (!c.TypeId.startsWith(typeId)) // not into itself or below it
            classes->addItem(
                c.Fields.value(kUserCode).toString() + u' ' + c.Fields.value(kFullName).toString(), c.TypeId);
    layout->addWidget(classes);
    QDialogButtonBox *buttons = OkCancel(dialog);
    connect(buttons, &QDialogButtonBox::accepted, this, [this, dialog, classes, typeId, isClass] {
        if (const QString error = FStore.Move(typeId, classes->currentData().toString()); !error.isEmpty()) {
            FMessages.ShowWarningMsg(error);
            return;
        }
        dialog->accept();
        if (isClass)
            Reload();
        else
            LoadRecords();
    });
    layout->addWidget(buttons);
    dialog->open();
}
