#pragma once
// TBillBatchMessage: per-bill results of a save or audit in nine categories, shown together by the
// host's bill message box. Each category keeps a record once.

#include <array>

#include "Udatastructure.h"

class TBillBatchMessage
{
public:
    // Category order as the host box takes them.
    enum TCategory : int {
        bmMsg,
        bmStock,
        bmCommission,
        bmFactStock,
        bmWorkShow,
        bmSerialNo,
        bmFactSerialNo,
        bmProduceStock,
        bmConsignStock,
    };

    TBillBatchMessage() = default;

    void ClearMsg();
    // A record carrying only the text, in the general category.
    void AddMsg(const QString &text);
    void AddMsg(const TBillMessageInfo &info) { Add(bmMsg, info); }
    void AddStockMsg(const TBillMessageInfo &info) { Add(bmStock, info); }
    void AddCommissionMsg(const TBillMessageInfo &info) { Add(bmCommission, info); }
    void AddFactStockMsg(const TBillMessageInfo &info) { Add(bmFactStock, info); }
    void AddWorkShopMsg(const TBillMessageInfo &info) { Add(bmWorkShow, info); }
    void AddSerialNoMsg(const TBillMessageInfo &info) { Add(bmSerialNo, info); }
    void AddFactSerialNoMsg(const TBillMessageInfo &info) { Add(bmFactSerialNo, info); }
    void AddProduceStockMsg(const TBillMessageInfo &info) { Add(bmProduceStock, info); }
    void AddConsignStockMsg(const TBillMessageInfo &info) { Add(bmConsignStock, info); }
    bool HasMsg() const;
    const TBillMessageList &List(TCategory category) const { return FLists[category]; }
    const std::array<TBillMessageList, 9> &Lists() const { return FLists; }

    void ShowBatchMsg() const;
    void ShowWarningBatchMsg() const;
    void ShowErrorBatchMsg() const;
    bool ConfirmYesNoBatchMsg() const;
    bool ConfirmOKCancelBatchMsg() const;
    void ShowBatchMsgModaless() const;
    void ShowWarningBatchMsgModaless() const;
    void ShowErrorBatchMsgModaless() const;
    bool ConfirmYesNoBatchMsgModaless() const;
    bool ConfirmOKCancelBatchMsgModaless() const;

private:
    void Add(TCategory category, const TBillMessageInfo &info);
    // FMsgList, FStockMsgList, FCommissionMsgList, FFactStockMsgList, FWorkShowMsgList, FSerialNoMsgList,
    // FFactSerialNoMsgList, FProduceStockMsgList, FConsignStockMsgList.
    std::array<TBillMessageList, 9> FLists;
};
