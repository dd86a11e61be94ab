#pragma once
// The window of one kind of base data: the class tree on the left, the records of the chosen class on
// the right. Add, edit, copy, move to another class, delete, hide; search by code, name or pinyin
// initials; hidden records shown on request. Refusals are shown through the message service. The
// operator's base-data rights decide what the tree and the grid show (see BaseDataStore).

#include <QDialog>
#include <QWidget>
#include <memory>

#include "BaseDataStore.h"

class IDllMessageCon;
class QCheckBox;
class QComboBox;
class QLineEdit;
class QTableWidget;
class QTreeWidget;

// The form of one record: a line per field (object names "edt" + column), 确定 saves through the
// window and keeps the form open when the save is refused.
class BaseDataEditDialog : public QDialog
{
    Q_OBJECT
public:
    BaseDataEditDialog(const accountdb::basedata::Kind &kind, bool isClass, const QVariantMap &values,
                       QWidget *parent);
    QVariantMap Values() const;

signals:
    void SaveRequested();

private:
    QList<QPair<QString, QLineEdit *>> FEdits;
};

class BaseDataWindow : public QWidget
{
    Q_OBJECT
public:
    BaseDataWindow(accountdb::AccountDatabase &db, IDllMessageCon &messages, const QString &operatorId,
                   const accountdb::basedata::Kind &kind, QWidget *parent = nullptr);

    void Reload();
    QString CurrentClassId() const;
    QString CurrentRecordId() const;
    void SelectClass(const QString &typeId);

private:
    void LoadClasses();
    void LoadRecords();
    void OpenEditor(const QString &typeId, bool isClass, bool copy);
    void DeleteCurrent();
    void ToggleHidden();
    void AskMove();

    BaseDataStore FStore;
    IDllMessageCon &FMessages;
    QTreeWidget *FTree;
    QTableWidget *FGrid;
    QLineEdit *FSearch;
    QCheckBox *FShowHidden;
};
