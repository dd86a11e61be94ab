#pragma once
// First set-up of an account set: the procedures (trade, code lengths and re-coding, calendar), the
// period editor, the wizard and the chart preview driven by object name, 打开账套, orvane-admin init.
// Every test works on a fresh account set.

#include <QObject>
#include <memory>

#include "TestAccountSet.h"

class TstSetup : public QObject
{
    Q_OBJECT

private:
    std::unique_ptr<TestAccountSet> FSet;

    QVariant Value(const QString &sql, const QVariantList &params = {});
    void Exec(const QString &sql, const QVariantList &params = {});
    QString Sys(const QString &name);
    QString Chart(); // the chart of accounts as text
    int Proc(const QString &name, const QStringList &names, const QVariantList &values);

private slots:
    void init();
    void cleanup();

    // procedures, period rules, orvane-admin (tst_setup.cpp)
    void changeTrade_data();
    void changeTrade();
    void codeLengthChange_data();
    void codeLengthChange();
    void customMonth_data();
    void customMonth();
    void dateEdit_data();
    void dateEdit();
    void dayCount_data();
    void dayCount();
    void codeLengthCell_data();
    void codeLengthCell();
    void adminInit_data();
    void adminInit();

    // windows and entries (tst_setup_wizard.cpp)
    void notNeeded_data();
    void notNeeded();
    void setUpToTheEnd();
    void reviewMode();
    void pageRefusals_data();
    void pageRefusals();
    void periodQuestion_data();
    void periodQuestion();
    void lengthManager_data();
    void lengthManager();
    void previewTree_data();
    void previewTree();
    void openAccountSet_data();
    void openAccountSet();
};
