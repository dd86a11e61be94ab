#pragma once
// The host's base-data selection dialog: one kind of base data in a list, searched by code or by
// name while typing; 确定 (or a double click) returns the picked rows.

#include <QDialog>

#include "HostBaseData.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class QTableWidget;

class BaseSelectDialog : public QDialog
{
    Q_OBJECT
public:
    BaseSelectDialog(accountdb::AccountDatabase &db, const QString &kind, const QString &searchText,
                     bool multiSelect, QWidget *parent = nullptr);

    // Limits the list to the rows whose id begins with the prefix (sub-accounts of an account).
    void SetIdPrefix(const QString &prefix);
    // Leaves out the records the operator may not use (base-data rights); empty: no operator, no limit.
    void SetOperator(const QString &operatorId);
    const TBaseKind &Kind() const { return FKind; }
    // The rows the list shows now, in order.
    const TBaseRecordList &Rows() const { return FRows; }
    // The rows picked when the dialog was accepted.
    const TBaseRecordList &Selected() const { return FSelected; }

public slots:
    void Search();

private:
    void RemoveNotAllowed();
    void grdBaseSelectionChanged();
    void btnOKClick();

    accountdb::AccountDatabase &FDb;
    TBaseKind FKind;
    QString FIdPrefix;
    QString FOperatorId;
    TBaseRecordList FRows;
    TBaseRecordList FSelected;

    QLineEdit *edtSearch;
    QRadioButton *rbByCode;
    QRadioButton *rbByName;
    QTableWidget *grdBase;
    QLabel *lblCount;
    QPushButton *btnOK;
    QPushButton *btnCancel;
};
