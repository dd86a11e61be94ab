#pragma once
// Rules of the rights that the window and the command line apply alike: the default group, the rights
// that come and go together and the detail rights that build on another detail.

#include <QList>
#include <QString>
#include <functional>

namespace uRightRules {

inline const QString DefaultGroup = QStringLiteral("会计组");
constexpr int RightCount = 3100;
constexpr int DetailCount = 200;
constexpr int AuditCentre = 1974;         // 单据审核中心
constexpr int OtherOperatorsBills = 1984; // seeing bills other operators entered

inline const QString GrantsOtherBills =
    QStringLiteral("选择了单据审核中心权限后,系统将自动选择可以查看其他操作员录入的单据的权限。");
inline const QString RevokesAuditCentre = QStringLiteral("取消该权限后，系统将自动取消单据审核中心的权限。");

// The right that must change with a grant or revocation, or 0: the audit centre needs the bills of
// other operators, so granting 1974 grants 1984 and revoking 1984 revokes 1974.
inline int CoupledRight(int right, bool grant)
{
    if (grant && right == AuditCentre)
        return OtherOperatorsBills;
    if (!grant && right == OtherOperatorsBills)
        return AuditCentre;
    return 0;
}

struct TDetailChange
{
    int DetailNo;
    bool Value;
};

// The detail changes that follow from detail "detail" becoming "value", the change itself first.
// Changing (143) and deleting (4) need viewing (11): removing 11 removes them, granting either grants
// 11 — each only when the right has that detail.
inline QList<TDetailChange> CoupledDetails(int detail, bool value,
                                           const std::function<bool(int)> &rightHasDetail)
{
    constexpr int base = 11;
    constexpr int dependants[] = {143, 4};
    QList<TDetailChange> changes{{detail, value}};
    if (detail == base && !value) {
        for (int d : dependants)
            if (rightHasDetail(d))
                changes.append({d, false});
    } else if (value && (detail == dependants[0] || detail == dependants[1]) && rightHasDetail(base)) {
        changes.append({base, true});
    }
    return changes;
}

} // namespace uRightRules
