#pragma once
// The system rebuild without its window: the options as the rebuild procedure takes them, the
// confirmations the data calls for, and the run inside one transaction of the host's server object
// (plug-in procedures before, P_GBL_SystemReBuild, plug-in procedures after, commit). The rebuild
// window and orvane-admin both run it.

#include <QString>
#include <QStringList>
#include <QVariantList>

namespace uCMSystemReBuildCore {

// What the user keeps; the "keep" flags of the window's check boxes.
struct TRebuildOptions
{
    bool IniData = false;
    bool GMData = false;
    bool Orders = false;
    bool CheckedOrders = false;
    bool Draft = false;
    bool PriceTrack = true;
    bool AllTask = false, TaskDone = false, TaskUnDone = false;
    bool AllMsg = false, MsgRead = false, MsgUnRead = false;
    bool AllSchedule = false, ScheduleDone = false, ScheduleUnDone = false;
};

// The windows of account-set maintenance are closed to a pass token of the ordinary level: true (after
// the message) when the current operator holds one.
bool NormalTokenRefused();

// 0 when everything is kept (the all box, or both others), 1 only the undone (unread) ones, 2 only
// the done (read) ones, 3 none.
int ThreeWay(bool all, bool done, bool undone);

// The twelve parameter names and values of P_GBL_SystemReBuild.
QStringList ParamNames();
QVariantList ParamValues(const TRebuildOptions &options, const QString &operatorId);

extern const QString ConfirmText;    // "请再次确认‘系统重建’。"
extern const QString BackupQuestion; // offered before the rebuild
extern const QString DoneText;       // "系统重建已正确完成, 确认退出。"

// The questions about data a rebuild deletes beyond the bills (fixed assets used in production, batch
// tasks, batch processing bills), in the order they are asked.
QStringList DataQuestions();

enum class TRunStatus {
    Done,
    Busy,         // another job holds the account set (Message)
    PlugInFailed, // a plug-in procedure returned a negative value (Message = its @ErrMsg); rolled back
    Refused,      // P_GBL_SystemReBuild returned a negative value; rolled back
};

struct TRunResult
{
    TRunStatus Status = TRunStatus::Done;
    QString Message;
};

// Steps from the server transaction on: begin (320), the plug-ins before, the rebuild, the plug-ins
// after, commit (322) and the reload (337). Any failure rolls back (321); an exception rolls back and
// passes on.
TRunResult Run(const TRebuildOptions &options);

} // namespace uCMSystemReBuildCore
