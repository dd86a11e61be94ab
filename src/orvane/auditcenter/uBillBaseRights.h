#pragma once
// CheckBillBaseRights: may the current operator open or audit a bill, given the base records it uses?
// The accounting supervisor always may; anyone else is refused when any unit, warehouse, department,
// goods item or account on the bill is among the records he may not use (the database's V_UserNot*
// views, joined on the operator as a bound value). With showMessage the refusal is shown.

#include <QString>

namespace uBillBaseRights {

inline const QString RefusedText = QStringLiteral("您没有单据上所涉及基本信息的权限，不能打开。");

bool CheckBillBaseRights(int vchType, int vchCode, bool showMessage);

} // namespace uBillBaseRights
