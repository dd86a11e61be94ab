#pragma once
// Fixed texts of the module's entry routines.

#include <QString>

namespace uStringConst {
inline const QString ModuleFileName = QStringLiteral("Orvane.dll");
inline const QString ModuleVersion = QStringLiteral("V17.0");
inline const QString VersionMismatch =
    QStringLiteral("【系统维护】版本与【主程序】版本不一致，请重新安装软件。");
inline const QString FileNotExists = QStringLiteral("文件不存在。");
inline const QString NoRightToOpen = QStringLiteral("你没有这个功能的权限，不能打开。");
inline const QString NormalTokenRefused = QStringLiteral("您的安全钥匙是普通级别，不能进入该功能模块。");
inline const QString CloseOtherWindows = QStringLiteral("当前打开了其他窗口，是否全部关闭？");
inline const QString CloseBillWindows = QStringLiteral("当前打开了单据窗口，是否全部关闭？");
} // namespace uStringConst
