// A module of another version: every export is there, but CheckValid refuses the host.
#define WITH_CALLFUNCTION
#define CheckValid CheckValidAccepting
#include "broken_missing.cpp"
#undef CheckValid

EXPORT bool CheckValid(const QString &, QString &message)
{
    message = QStringLiteral("【系统维护】版本与【主程序】版本不一致，请重新安装软件。");
    return false;
}
