#pragma once
// 序列号自动生成规则: the named rules from which goods serial numbers are made (SerialNumRules), each a
// ten-part pattern with a sequence option; one rule may be the default.

#include <QLabel>
#include <QTreeWidget>

#include "uDialogQueryParent.h"
#include "uNumberingCommon.h"

class QComboBox;
class QPushButton;

struct TSerialRuleNode
{
    int Id = 0;
    bool IsDefault = false;
    QString Code, Name, CodeName, DisplayText;
};
Q_DECLARE_METATYPE(TSerialRuleNode)

class TfrmSeriaNumRules : public TfrmDialogQueryParent
{
    Q_OBJECT
public:
    explicit TfrmSeriaNumRules(QWidget *parent = nullptr);
    ~TfrmSeriaNumRules() override;

    QTreeWidget *tvTree;
    QList<QComboBox *> cb; // cb1 … cb10
    TRadioGroup *rg;
    QLabel *Lbsample, *lblSample;
    QPushButton *btnNew, *btnEdit, *tbtnDelete, *CMGKvBitbtn3, *tbtnSave, *tbtnClose;

    void LoadTree();
    // The rule of the selected node; Id 0 when none.
    TSerialRuleNode Selected() const;
    void SelectRule(int id);
    void tvTreeChange();
    void btnNewClick();
    void btnEditClick();
    void tbtnDeleteClick();
    void CMGKvBitbtn3Click();
    void tbtnSaveClick();
    void PartChange(QComboBox *part);
    QString Pattern() const;
    void RefreshSample();
    void SetEditorEnabled(bool enabled);
    void ClearEditor();

    // The display text of a rule: its code and name, and for the default rule that text padded with
    // blanks to 22 bytes of the system code page and "默认" (longer: its first 19 characters and "...默认").
    static QString NodeText(const QString &fullName, bool isDefault);
    // Entry 序列号自动生成规则: True when closed with OK.
    static bool Execute();

private:
    // The rule is still there; otherwise the deleted-rule message and false.
    bool RuleExists(int id);
};
