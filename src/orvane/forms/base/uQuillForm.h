#pragma once
// TQuillForm: the layer every window of the module derives from. Rights of the window's function
// (FunctionNo: loaded once, detail rights applied to rights-aware controls), help, base-data selection
// from labelled button edits, keyboard rules (Enter moves on, F1 help, the paste guard), colours of the
// grids, the print header values and the print data of the grids.

#include <QColor>
#include <QHash>
#include <QList>
#include <QPair>
#include <functional>
#include <memory>

#include "ClientDataSet.h"
#include "Kvprintdata.h"
#include "Udatastructure.h"
#include "kvParentFormUnit.h"
#include "uOrvaneCommon.h"

class TKvGGeneralWGrid;
class TCMKvPrintBtn;
class TPrintHandler;

// Ordered name/value pairs of a print header ("系统日期", "操作员", ...).
using TPrintHeaderValues = QList<QPair<QString, QString>>;

// Colours of the framework (form and the two alternating grid row colours).
struct TQuillColorTypeConfig
{
    QColor FormColor = QColor(0xF0, 0xF0, 0xF0);
    QColor GridOddColor = QColor(0xFF, 0xFF, 0xFF);
    QColor GridEvenColor = QColor(0xEE, 0xF3, 0xFA);
    QString GridFontName = QStringLiteral("宋体");
    int GridRowHeight = 25;
};

class TQuillForm : public TkvParentForm
{
    Q_OBJECT
public:
    // Before a selection: may change the base-data kind; False cancels the selection.
    using TSelectBaseInfoEvent = std::function<bool(TGLabelBtnEdit *edit, QString &kind)>;
    // After a selection: the records picked.
    using TAfterSelectBaseInfoEvent =
        std::function<void(TGLabelBtnEdit *edit, const TBaseRecordList &records)>;

    explicit TQuillForm(QWidget *parent = nullptr);
    // CreateByParams: as the plain constructor, then the given values become Params[0..].
    TQuillForm(QWidget *parent, const QVariantList &params);
    ~TQuillForm() override;

    QString FHelpName; // help topic, e.g. "文件/系统日志"; set by the creator before showing
    TSelectBaseInfoEvent FOnBeforeSelectBaseInfo;
    TAfterSelectBaseInfoEvent FOnAfterSelectBaseInfo;
    TAfterSelectBaseInfoEvent FOnVchAfterSelectBaseInfo;

    QString Version() const { return FVersion; }
    int FunctionNo() const { return FFunctionNo; }
    // Stores the number; the first non-zero number loads the operator's rights string and the details
    // the function defines; then the detail rights are applied to the controls.
    virtual void SetFunctionNo(int functionNo);
    QString FunctionNoDetail() const { return FFunctionNoDetail; }
    QString LimitList() const { return FLimitList; }
    const uOrvaneCommon::TDetailFlags &DetailLimit() const { return FDetailLimit; }
    // True when the function defines the detail (1..150) and the operator holds it.
    bool HasDetailRight(int detailNo) const;
    // Enables / shows every rights-aware control bound to a detail number by HasDetailRight.
    void ApplyDetailLimits();

    QString PrintName() const { return FPrintName; }
    virtual void SetPrintName(const QString &name);
    int UnitType() const { return FUnitType; }
    void SetUnitType(int unitType) { FUnitType = unitType; }
    bool IsNotMDIForm() const { return FIsNotMDIForm; }
    const TQuillColorTypeConfig &SysColor() const { return *FCMSysColor; }

    virtual void ApplyFace();
    virtual void RefreshData();
    // RefreshData of the two window shapes: the record set (when it has fields) into the first general
    // grid, under the wait cursor, then the colours.
    void ShowRecordSet(TClientDataSet &records);
    virtual void AfterShow();
    // The selection of a labelled button edit: the host's base-data dialog for the edit's kind; "KEYDOWN"
    // searches for the typed text and moves on after a choice.
    virtual void SelectBaseInfo(TGLabelBtnEdit *edit, const QString &mode);
    virtual void ShowHelp();
    virtual void RefreshFaceAll();
    virtual void ApplyFaceGrid(TKvGGeneralGrid *grid);
    virtual void ApplyFaceWGrid(TKvGGeneralWGrid *grid);
    virtual void SetPrintHeaderValues(TPrintHeaderValues &values);
    virtual void SetPrintTableValues(TPrintHeaderValues &values);
    // The header of a print: the table values (title, dates), the header values, and in the extended
    // mode the values of the window's labelled controls as well.
    TPrintHeaderValues PrintHeaderValues(const QString &title, bool extended);

    // A grid as a print table: "行号" and the printable columns (by print name), one row per shown,
    // non-blank grid row, and the totals row "合 计" when the grid has sum columns.
    virtual TPrintTable GetGridPrintData(TKvGGeneralGrid *grid);
    virtual TPrintTable GetGridPrintDataW(TKvGGeneralWGrid *grid);
    // The grid's totals row adds up these fields (empty: the grid has no totals row).
    void SetGridSumFields(TKvGGeneralGrid *grid, const QStringList &fieldNames);
    // Asks "请选择" 打印 / 打印预览 / 打印设计 and runs it for the grid alone, titled Title + "分布表".
    // False when the choice was cancelled.
    virtual bool PrintDistributionGrid(TKvGGeneralGrid *grid);
    virtual bool PrintDistributionGridW(TKvGGeneralWGrid *grid);
    // Enter in a framework edit moves to the next control; True when the key was used.
    virtual bool EditKeyPress(QWidget *edit, QKeyEvent *event);

    // The paste guard: True when Ctrl+V into the target must be swallowed.
    static bool PasteRefused(QWidget *target);
    // Values of the framework controls bound to an open parameter go back into Params
    // (dates as "yyyy-MM-dd", base-data choices by TypeId).
    void WriteControlsToParams();

    // The window's print handler over its print button; owned, released on close and made again when
    // the window is shown again. Null for a window without a print button.
    TPrintHandler *PrintHandler() const { return FPrintHandler.get(); }
    TCMKvPrintBtn *PrintButton() const { return FPrintButton; }
    void SetPrintButton(TCMKvPrintBtn *button);
    // Names the print layout when the window did not: its function number (else its module number) and
    // its print name (else its title).
    virtual void CMEventHandlerSetPrintIdAndTemplateName(TCMKvPrintBtn *button);

protected:
    void ControlInitialised(QWidget *control) override;
    bool eventFilter(QObject *watched, QEvent *event) override;
    void showEvent(QShowEvent *event) override;
    void changeEvent(QEvent *event) override;
    void keyPressEvent(QKeyEvent *event) override;
    // Work of the close handlers of the two window shapes: parameters back, print handler released.
    void FormClose();
    void LoadRights();
    void PassKOVAVersion();

    QString FVersion;
    QWidget *FActControl = nullptr;
    int FFunctionNo = 0;
    QString FFunctionNoDetail;
    bool FIsNotMDIForm = false;
    QString FPrintName;
    int FUnitType = 0;
    int FCMGridTwoColorType = 0;
    std::unique_ptr<TQuillColorTypeConfig> FCMSysColor;
    QString FLimitList;
    uOrvaneCommon::TDetailFlags FDetailLimit{};
    QString FFunctionName;
    QString FParamsLModeStr, FParamsCModeStr, FParamsCTypeStr;
    std::unique_ptr<TPrintHandler> FPrintHandler;
    TCMKvPrintBtn *FPrintButton = nullptr;
    QHash<const TKvGGeneralGrid *, QStringList> FGridSumFields;

private:
    void Construct();
    void CreatePrintHandler();
};
