#pragma once
// Tests of the window framework: base forms (rights, input checks, paste guard, close handling, MDI),
// query parents and the condition box, batch messages and the input box. Every test function gets a
// fresh account set; modal windows are driven from a timer once they are up.

#include <QApplication>
#include <QDialog>
#include <QObject>
#include <QTimer>
#include <functional>
#include <memory>

#include "TestAccountSet.h"

class TestForms : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    // Base forms
    void functionNoZeroLoadsNoRights();
    void detailLimits_data();
    void detailLimits();
    void functionNoTwiceLoadsRightsOnce();
    void checkInput_data();
    void checkInput();
    void pasteGuard_data();
    void pasteGuard();
    void closeWritesParams();
    void dialogTitle();
    void refreshDataLoadsGrid();
    void selectBaseInfo();
    void mdiChildDeletedOnClose_data();
    void mdiChildDeletedOnClose();
    void printHeaderValues();

    // Query parents and condition box
    void quickDateRange_data();
    void quickDateRange();
    void conditionInfoText_data();
    void conditionInfoText();
    void condBoxCancelKeepsParams();
    void condBoxRequired_data();
    void condBoxRequired();
    void condBoxWritesParams();
    void condBoxSaveDate_data();
    void condBoxSaveDate();
    void condBoxInitialDates();
    void condBoxQuickRangeRespectsBounds();
    void queryParents();
    void jxcQueryStatusText_data();
    void jxcQueryStatusText();
    void jxcFreeDomCaptions();
    void gridFilterAndLocate();

    // Batch messages and input box
    void addMsgUnique_data();
    void addMsgUnique();
    void batchWindow_data();
    void batchWindow();
    void confirmClosedReturnsFalse();
    void billBatchMessageDedup();
    void billBatchShow_data();
    void billBatchShow();
    void inputValue_data();
    void inputValue();
    void inputValueLayout();

private:
    std::unique_ptr<TestAccountSet> FAcct;
};

// Runs the check on the modal window that the code under test is about to exec(), then closes that
// window if the check left it open, so a failing check never hangs the test.
inline void OnNextModal(std::function<void(QDialog *)> check, int attempts = 50)
{
    QTimer::singleShot(0, [check, attempts] {
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        if (!dialog && attempts > 0) {
            OnNextModal(check, attempts - 1);
            return;
        }
        check(dialog);
        if (dialog && dialog->isVisible())
            dialog->reject();
    });
}
