#pragma once
// The bills of one bill type: searched by a date range, a part of the number and a part of the
// partner's code or name; a double click (or Enter) opens the bill in the bill window.

#include <QWidget>
#include <functional>

namespace accountdb {
class AccountDatabase;
}

class QLineEdit;
class QTableWidget;

class BillListWindow : public QWidget
{
    Q_OBJECT
public:
    using TOpenBill = std::function<bool(qint64 vchcode, int vchtype)>;
    BillListWindow(std::function<accountdb::AccountDatabase *()> db, int vchType, TOpenBill open,
                   QWidget *parent = nullptr);

    void Search();
    qint64 CodeAt(int row) const;

private:
    std::function<accountdb::AccountDatabase *()> FDb;
    int FVchType;
    TOpenBill FOpen;
    QLineEdit *edtDateFrom;
    QLineEdit *edtDateTo;
    QLineEdit *edtNumber;
    QLineEdit *edtPartner;
    QTableWidget *grdBills;
};
