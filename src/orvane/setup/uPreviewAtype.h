#pragma once
// TfrmPreviewAtype: a trade's chart-of-accounts template as a tree ("科目预览"), and TDataSetFormater,
// the record-set copies the tree is built from.

#include <memory>

#include "ClientDataSet.h"
#include "uDialogParent.h"

class QTreeWidget;
class QTreeWidgetItem;

class TDataSetFormater
{
public:
    // A copy of the record set: fields and rows (the filter and order are not copied).
    static void CloneDataSet(const TClientDataSet &source, TClientDataSet &target);
    // The target gets the source's fields and no rows.
    static void CopyDataSetStructure(const TClientDataSet &source, TClientDataSet &target);
    // Appends the source's current record to the target, value by field position.
    static void CopyDataSetCurrentRecord(const TClientDataSet &source, TClientDataSet &target);
    // An empty record set with the source's fields.
    static std::unique_ptr<TClientDataSet> Create(const TClientDataSet &source);
};

class TfrmPreviewAtype : public TfrmDialogParent
{
    Q_OBJECT
public:
    explicit TfrmPreviewAtype(int tradeId, QWidget *parent = nullptr);
    ~TfrmPreviewAtype() override;

    static void Execute(int tradeId);

    int FTradeID = 0;
    QTreeWidget *tvAtype;
    QPushButton *btnClose;

    // Image of a node: 0 closed, 1 open, 2 selected; -1 for a leaf.
    static int ImageIndex(const QTreeWidgetItem *node);
    void FillTree();

private:
    void AddChildren(const QString &parentId, QTreeWidgetItem *parent);
};
