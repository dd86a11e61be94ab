#pragma once
// 基本信息选择 / 关联信息选择: the binding of one bill field to a kind of basic information and the field of
// it that the bill receives. The kinds are a tree on the left (tvList), the return fields of the chosen kind
// a grid on the right (MainGrid). TfrmSetUpBasicSelect binds a grid column, TfrmSetCustomBasic a header
// custom field, TfrmSetRelationBasic the related basic data of a header field. Every write carries "CS".

#include <QLabel>
#include <QTreeWidget>
#include <functional>

#include "Kvggeneralgrid.h"
#include "uDialogParent.h"

class QPushButton;

namespace uBasicSelectCommon {
inline const QString Version = QStringLiteral("CS");
// Copies a binding to the same field of a bill the user picks: the same bill is refused, a bill without
// the field ("hasField" false) too; an existing binding ("hasBinding") is replaced after a question.
// "store" writes it; the success text is "successPrefix" + bill + "】的【" + field + "】下。".
bool CopyToOtherBill(int fromVchType, const QString &field, const std::function<bool(int)> &hasField,
                     const std::function<bool(int)> &hasBinding, const std::function<bool(int)> &store,
                     const QString &successPrefix);
} // namespace uBasicSelectCommon

class TBasicSelectDlgBase : public TfrmDialogParent
{
    Q_OBJECT
public:
    TBasicSelectDlgBase(int vchType, const QString &field, QWidget *parent = nullptr);

    QLabel *lblBill;
    QTreeWidget *tvList;
    TKvGGeneralGrid *MainGrid;
    QPushButton *btnOk, *btnOtherVchtype, *btnAllVchtype, *btnClearBasic, *btnClose;

    int FVchtype;
    QString FField; // the field's caption
    bool bChange = false;

    void tvListChange();
    void btnOkClick();
    void btnOtherVchtypeClick();
    void btnAllVchtypeClick();
    void btnClearBasicClick();

    // The chosen kind and return field; false (and the message) when no return field is selected.
    bool Selection(int &basicType, QString &returnName, bool showMessage = true) const;

protected:
    // Builds the kind tree from "sql" (BasicType, BasicName[, TitleDataType]) and selects the binding read
    // into "current" (BasicType, ReturnTypeName; no row: none).
    void LoadKinds(const QString &sql, const QVariantList &params, TClientDataSet &current);
    virtual void LoadReturnFields(int basicType);
    virtual bool Store(int vchType, int basicType, const QString &returnName) = 0;
    virtual bool HasField(int vchType) = 0;
    virtual bool HasBinding(int vchType) = 0;
    virtual int StoreAll(int basicType, const QString &returnName) = 0;
    // The source field of a relation kind (its TitleDataType); 0 for the others.
    int CurrentTitleDataType() const;
};

class TfrmSetUpBasicSelect : public TBasicSelectDlgBase
{
    Q_OBJECT
public:
    TfrmSetUpBasicSelect(int vchType, int columnNo, int dataArea, const QString &field,
                         QWidget *parent = nullptr);
    int FColumnNo, FDataArea;
    static bool Execute(int vchType, int columnNo, int dataArea, const QString &field);

protected:
    bool Store(int vchType, int basicType, const QString &returnName) override;
    bool HasField(int vchType) override;
    bool HasBinding(int vchType) override;
    int StoreAll(int basicType, const QString &returnName) override;
};

class TfrmSetCustomBasic : public TBasicSelectDlgBase
{
    Q_OBJECT
public:
    TfrmSetCustomBasic(int vchType, int dataType, const QString &field, QWidget *parent = nullptr);
    int FDataType;
    static bool Execute(int vchType, int dataType, const QString &field);

protected:
    bool Store(int vchType, int basicType, const QString &returnName) override;
    bool HasField(int vchType) override;
    bool HasBinding(int vchType) override;
    int StoreAll(int basicType, const QString &returnName) override;
};

class TfrmSetRelationBasic : public TBasicSelectDlgBase
{
    Q_OBJECT
public:
    TfrmSetRelationBasic(int vchType, int dataType, const QString &field, QWidget *parent = nullptr);
    int FDataType;
    static bool Execute(int vchType, int dataType, const QString &field);

protected:
    void LoadReturnFields(int basicType) override;
    bool Store(int vchType, int basicType, const QString &returnName) override;
    bool HasField(int) override { return false; }
    bool HasBinding(int) override { return false; }
    int StoreAll(int, const QString &) override { return -1; }
};
