#pragma once
// 单据编号格式设置: the number pattern of each bill type (ten parts, five ready-made styles), the
// numbering rules SNLex1 / SNLex3, the numbering switches and the reset of every counter.

#include <QCheckBox>
#include <QLabel>
#include <QRadioButton>

#include "uDialogParent.h"
#include "uNumberingCommon.h"

class QComboBox;
class QTabWidget;

class TfrmSNDefDlg : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmSNDefDlg(QWidget *parent = nullptr);
    ~TfrmSNDefDlg() override;

    QTabWidget *PageControl1;
    QWidget *tsStyle, *tsRule, *tsSwitch;
    QList<QComboBox *> cb;    // cb1 … cb10
    QList<QRadioButton *> RB; // RB1 … RB5 (tags 1..5)
    QList<QLabel *> lb;       // lb1 … lb5, the samples of the styles
    QLabel *Lbsample, *lblSample, *lbl1, *lbl2, *lbl3;
    TRadioGroup *rg1, *rg3;
    QGroupBox *gbSwitch;
    QList<QCheckBox *> CheckB; // CheckB1 … CheckB5 (tags 13, 48, 72, 132, 133)
    QPushButton *SBtnClear, *SBtnOther, *SBtnAll, *BitbOK, *BitbCancel;

    int FVchType = 0;

    // Title, captions, the bill type (asked for when FVchType is 0), the sample and the switches; false
    // when no bill type was chosen.
    bool Prepare();
    void LoadVchType(int vchType);
    void LoadSwitches();
    QString Pattern() const;
    void RefreshSample();
    // The checks before every save, in order; false after the message.
    bool Validate();
    void SavePattern(int vchType);

    void RB1Click(int style);
    void rg1Click();
    void SBtnOtherClick();
    void SBtnAllClick();
    void BitbOKClick();
    void SBtnClearClick();

    // The parts of a ready-made style (1..5).
    static QStringList StyleParts(int style);
    // Entry 单据编号格式设置: the window for bill type 11, modal; True.
    static bool Execute();
};
