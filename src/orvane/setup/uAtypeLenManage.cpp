#include "uAtypeLenManage.h"

#include "Udlldbservice.h"
#include "Udllmessageintf.h"
#include "uOrvaneCommon.h"

TAtypeLenManage::TAtypeLenManage() : vParams(std::make_unique<TParamList>())
{
    QStringList names;
    for (int level = 2; level <= 9; ++level)
        names << QStringLiteral("@Custom%1").arg(level);
    TParamList outputs;
    Udlldbservice::ExecuteProcByName(QStringLiteral("P_GBL_GetAtypeUserCodeLength"), names,
                                     QVariantList(names.size(), 0), &outputs);
    for (int level = 2; level <= 9; ++level)
        FLengths[level - 2] = outputs.ParamByName(QStringLiteral("@Custom%1").arg(level)).toInt();
}

TAtypeLenManage::~TAtypeLenManage() = default;

int TAtypeLenManage::Length(int level) const
{
    return level >= 2 && level <= 9 ? FLengths[level - 2] : 0;
}

QString TAtypeLenManage::ShortenRefusedText(int level)
{
    static const QStringList ordinals = {QStringLiteral("二"), QStringLiteral("三"), QStringLiteral("四"),
                                         QStringLiteral("五"), QStringLiteral("六"), QStringLiteral("七"),
                                         QStringLiteral("八"), QStringLiteral("九")};
    return QStringLiteral("缩短第%1级科目编码长度可能导致该级科目编码重复，不能缩短。")
        .arg(ordinals.value(level - 2));
}

void TAtypeLenManage::SetLength(int level, int length)
{
    if (level < 2 || level > 9)
        return;
    const int current = FLengths[level - 2];
    if (current != 0 && current != length) {
        const int result = Udlldbservice::ExecuteProcByName(
            QStringLiteral("P_CW_AtypeLenManager;1"),
            {QStringLiteral("@btCustom01"), QStringLiteral("@btCustom02")}, {level, length});
        if (result == -5) {
            is_TempSign = false;
            Udllmessageintf::SuperMessageBox(ShortenRefusedText(level), QString(), TMessageBoxType::mtError);
        } else if (result >= 0) {
            FLengths[level - 2] = length;
        }
    }
    uOrvaneCommon::SetSysValue(QStringLiteral("ATypeIDLength%1").arg(level), QString::number(length));
}
