#pragma once
// Month-end checkout and reversal: the database procedures, the shared transaction, the windows driven
// by object name, and orvane-admin. Every test works on a fresh account set opened in January of the
// current year, with two goods items costed by the month-end average:
//   G1: opening 10 at 5, bought 10 at 7, sold 6        (cost 6, sale cost 36, 14 left worth 84)
//   G2: opening 4 at 10, sold 4                        (sale cost 40, nothing left)

#include <QObject>
#include <QStringList>
#include <memory>

#include "TestAccountSet.h"

class TstClosing : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;
    int FYear = 0;
    int FP1 = 0;
    int FP2 = 0;
    QList<QStringList> FPlugInCalls;

    QString Date(int month, int day) const;
    void Post(int vchtype, const QString &date, const QStringList &records);
    void CostAll();
    QVariant Value(const QString &sql, const QVariantList &params = {});
    void Exec(const QString &sql, const QVariantList &params = {});
    QString Sys(const QString &name);
    void SetSys(const QString &name, const QString &value);
    // Rows of a query as text, for comparing states.
    QString Dump(const QString &sql);
    // Everything the checkout and the reversal touch.
    QString State();
    // A plug-in procedure that records its call, writes a mark and returns the result.
    void AddPlugIn(const QString &table, const QString &name, bool before, int result);
    // Runs the checkout window's OK button (no exec) and returns the window's result code.
    int ClickCheckOut(bool autoImprove, bool *stillOpen = nullptr);

private slots:
    void init();
    void cleanup();

    // database and core (tst_closing.cpp)
    void preCheckCodes_data();
    void preCheckCodes();
    void carryForwardVouchers();
    void periodEndBalances();
    void calendar_data();
    void calendar();
    void autoImprove();
    void reversalRefusals_data();
    void reversalRefusals();
    void roundTrip_data();
    void roundTrip();
    void plugInFailures_data();
    void plugInFailures();
    void jzsyView_data();
    void jzsyView();
    void admin_data();
    void admin();

    // windows (tst_closing_windows.cpp)
    void checkOutPreCheck_data();
    void checkOutPreCheck();
    void overflowMessage_data();
    void overflowMessage();
    void unauditedBills_data();
    void unauditedBills();
    void allocationQuestions();
    void autoImproveBox_data();
    void autoImproveBox();
    void checkOutPlugIns_data();
    void checkOutPlugIns();
    void editionLabels_data();
    void editionLabels();
    void unCheckOutWindow_data();
    void unCheckOutWindow();
    void viewWindow_data();
    void viewWindow();
};
