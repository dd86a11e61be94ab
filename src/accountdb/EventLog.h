#pragma once
// The system event log of an account set (table T_Sys_EventLog). One routine writes an event; it runs
// on the caller's connection, so inside a procedure or an open transaction the event is committed or
// rolled back together with the work it records.

#include <QDateTime>
#include <QString>

namespace accountdb {

class AccountDatabase;
class ProcContext;

// The texts of the events the host, orvane-admin and the procedures write.
namespace event {
inline const QString LogOn = QStringLiteral("登录系统");
inline const QString LogOnRefused = QStringLiteral("登录被拒绝：%1"); // the reason
inline const QString LogOff = QStringLiteral("退出系统");
inline const QString OperatorChange = QStringLiteral("更换操作员为%1");
inline const QString PasswordChange = QStringLiteral("修改口令");
inline const QString PrintPasswordChange = QStringLiteral("修改打印密码");
inline const QString TokenBind = QStringLiteral("安全钥匙绑定：操作员%1，钥匙%2"); // operator, number
inline const QString TokenUnbind = QStringLiteral("取消安全钥匙绑定：操作员%1");   // operator
inline const QString Backup = QStringLiteral("数据备份：%1");                      // the backup file
inline const QString Restore = QStringLiteral("数据恢复：%1");                     // the backup file
inline const QString SqlScript = QStringLiteral("执行SQL脚本：%1");                // the script file
inline const QString CostCalc = QStringLiteral("成本计算：%1");                    // what was calculated
inline const QString CheckOut = QStringLiteral("进销存期末结账：期间%1");
inline const QString UnCheckOut = QStringLiteral("进销存期末反结账：期间%1");
inline const QString RightsChange = QStringLiteral("操作员授权：%1");
inline const QString OptionChange = QStringLiteral("账套选项修改：%1");
inline const QString Rebuild = QStringLiteral("系统重建");
inline const QString Upgrade = QStringLiteral("升级补丁：%1");
inline const QString BillExport = QStringLiteral("业务单据导出：%1");
inline const QString BillImport = QStringLiteral("业务单据导入：%1");
inline const QString LogExport = QStringLiteral("日志导出操作");
inline const QString BaseDataChange = QStringLiteral("基本信息：%1"); // kind and what changed
inline const QString LogClear = QStringLiteral("清空系统日志");
} // namespace event

// The name of this computer as the log records it.
QString computerName();
// "yyyy-MM-dd hh:mm:ss": how the log stores and shows the time of an event.
QString eventTimeText(const QDateTime &time);
// Reads "yyyy-MM-dd hh:mm:ss" or "yyyy/MM/dd hh:mm:ss" (date alone allowed); invalid when neither.
QDateTime parseEventTime(const QString &text);

// Writes one event now, on this computer. An empty operator name is looked up from the operator id.
void writeEvent(AccountDatabase &db, const QString &operatorId, const QString &event,
                const QString &operatorName = QString());
// The same from inside a procedure (its savepoint, so its transaction).
void writeEvent(ProcContext &ctx, const QString &operatorId, const QString &event,
                const QString &operatorName = QString());
// An event whose time and computer the caller gives (the module records its own exports this way).
void writeEventAt(ProcContext &ctx, const QDateTime &time, const QString &hostName, const QString &operatorId,
                  const QString &operatorName, const QString &event);

} // namespace accountdb
