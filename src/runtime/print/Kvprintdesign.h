#pragma once
// 打印设计: the print layout of one layout number and template. Per detail the columns print in the
// listed order under the listed titles (double-click renames, the check box shows or hides, 上移 / 下移
// reorder); paper size, orientation and margins for the whole print. OK keeps the changes in the layout.

#include <QDialog>

#include "Kvprintlayout.h"

class QComboBox;
class QDoubleSpinBox;
class QListWidget;
class QPushButton;

class QUILLCMRUNSTD_EXPORT TfrmPrintDesign : public QDialog
{
    Q_OBJECT
public:
    // details: the tables of the print, for the columns they have.
    TfrmPrintDesign(const TPrintLayout &layout, const std::array<TPrintTable, PrintDetailCount> &details,
                    QWidget *parent = nullptr);

    QComboBox *cbxDetail;
    QListWidget *lstColumns;
    QPushButton *btnUp;
    QPushButton *btnDown;
    QPushButton *btnReset;
    QComboBox *cbxPaper;
    QComboBox *cbxOrientation;
    QDoubleSpinBox *edtMarginLeft, *edtMarginTop, *edtMarginRight, *edtMarginBottom;
    QPushButton *btnOK;
    QPushButton *btnCancel;

    // The layout as the dialog shows it now.
    TPrintLayout Layout();

private:
    void ShowDetail(int detail);
    void KeepDetail();
    void MoveCurrent(int step);

    TPrintLayout FLayout;
    std::array<TPrintTable, PrintDetailCount> FDetails;
    int FShownDetail = -1;
};
