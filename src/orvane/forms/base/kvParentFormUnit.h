#pragma once
// TkvParentForm: the framework layer under every window. Prepares the framework controls (labelled
// edits, grids, buttons, status bar), carries the title, the open parameters Params and the window's
// parameter object, and checks required inputs.

#include <QDialog>
#include <QVariant>
#include <array>
#include <memory>

#include "Kvprintlayout.h"
#include "ParamList.h"

class TGLabelBtnEdit;
class TGLabelMemo;
class TGLabelComBox;
class TGLabelEmptyDate;
class TGKvBitbtn;
class TKvStatusBar;
class TKvGGeneralGrid;

// Modal results of the windows (what exec() returns).
enum TModalResult : int {
    mrNone = 0,
    mrOk = 1,
    mrCancel = 2,
    mrAbort = 3,
    mrRetry = 4,
    mrIgnore = 5,
    mrYes = 6,
    mrNo = 7,
};

// The open parameters a caller fills before showing a window (and reads back after it closed).
constexpr int OpenParamCount = 188;
using TOpenParams = std::array<QVariant, OpenParamCount>;

class TkvParentForm : public QDialog
{
    Q_OBJECT
public:
    explicit TkvParentForm(QWidget *parent = nullptr);
    ~TkvParentForm() override;

    // 188 open parameters (indexes 0..187).
    TOpenParams Params;

    QString Title() const { return FTitle; }
    virtual void SetTitle(const QString &title);
    int MoudleNo() const { return FMoudleNo; }
    void SetMoudleNo(int no) { FMoudleNo = no; }
    QString UseClassName() const { return FUseClassName; }
    TParamList *ParamList() const { return FParamList.get(); }

    virtual void FocusNext();
    virtual void FocusNextFrom(QWidget *control);
    virtual void InitParamList();
    virtual void AfterSetParamList();
    // The first labelled button edit, empty date or memo that must not be empty and is empty:
    // "必须输入 " + its caption + "!" (caption "提示"), focus on it, False. True when all are filled.
    virtual bool CheckInput();

    // Runs InitControls once; the windows call it at the end of their constructor when they need their
    // controls prepared before showing, otherwise the first show does it.
    void EnsureFormInit();
    bool IsFormInit() const { return FIsFormInit; }

    // The print layout saved for a layout number and template (the default when none is), and saving it.
    static TPrintLayout DoPrintGetConfig(int printId, const QString &templateName);
    static void DoPrintSetCongfig(int printId, const QString &templateName, const TPrintLayout &layout);

protected:
    // Calls the initialiser of every framework control of the form, by class, first match wins.
    virtual void InitControls();
    void CreateParamList();

    void InitGLabelBtnEdit(TGLabelBtnEdit *control);
    void InitGLabelMemo(TGLabelMemo *control);
    void InitGLabelComBox(TGLabelComBox *control);
    void InitGLabelEmptyDate(TGLabelEmptyDate *control);
    void InitGBitbtn(TGKvBitbtn *control);
    void InitStatusBar(TKvStatusBar *control);
    void InitGeneralGrid(TKvGGeneralGrid *control);
    // Hooks the subclasses fill: what a control needs from the window (selection, paste guard, keys).
    virtual void ControlInitialised(QWidget *control);

    int FMoudleNo = 0;
    QString FUseClassName;
    QString FPrintItem;
    QString FTitle;
    QString FHelpItem;
    std::unique_ptr<TParamList> FParamList;
    bool FIsFormInit = false;
};
