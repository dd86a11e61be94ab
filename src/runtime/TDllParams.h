#pragma once
// The record the host passes to InitLoadDll; fields in the order of the calling contract.

#include <QMap>
#include <QString>

#include "QuillInterfaces.h"

using TStringDictionary = QMap<QString, QString>;

struct TDllParams
{
    QWidget *FparForm = nullptr; // host main form; MDI parent of the module's non-modal windows
    quintptr DllHandle = 0;      // library handle owned by the host, released at unload when non-zero
    QString PubVersion;
    int PubVersion2 = 6680; // edition code: 880, 2680, 3680, 4680, 5680, 6680
    QString PubVersion3;    // "KOVA" switches the grids to that product line
    QString PubVersion4;
    QString PubVersionNo;
    QString PubMainVersionNo;
    QString PublicVersionNo;
    QString PubSystemVersion;
    QString PubVersionDetail;
    QString Reserved44; // not read by the module
    QString PubDataBaseName;
    bool IsCMSQ = false;
    bool IsQuery = false;
    bool IsNetCS = false;
    bool IsGM = false;
    bool IsGL = false;
    int Reserved60 = 0;
    int Reserved64 = 0;
    QString PUBLIC_APPNAME;
    QString PUB_PRINT_PRENAME;
    TStringDictionary *Reserved76 = nullptr;
    TStringDictionary *ProductInfo = nullptr;
    IExistsData *ExistsData = nullptr;
    IDllMessageCon *DllMessage = nullptr;
    IDataBaseService *DataBaseService = nullptr;
    IBaseSelect *BaseSelect = nullptr;
    IBillInterface *BillInterface = nullptr;
    IAccountIntf *AccountIntf = nullptr;
    IBaseViewIntf *BaseViewIntf = nullptr;
    ISystemIntf *SystemIntf = nullptr;
    IFAIntf *FAIntf = nullptr;
    ICAIntf *CAIntf = nullptr;
    IBuyManageIntf *BuyManageIntf = nullptr;
    ISaleManageIntf *SaleManageIntf = nullptr;
    IBillConfigIntf *BillConfigIntf = nullptr;
    IProduceIntf *ProduceIntf = nullptr;
    IOrvaneIntf *OrvaneIntf = nullptr;
    IReportManageIntf *ReportManageIntf = nullptr;
    ICoQuillServerDisp *vmrSvr = nullptr;
    bool LogLongTimeQuery = false;
    QWidget *MainFaceForm = nullptr;
};
