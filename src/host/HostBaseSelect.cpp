#include "HostBaseSelect.h"

#include "BaseSelectDialog.h"
#include "Udllsystemintf.h"

namespace {
// The logged-on operator whose base-data rights limit the lists; none before the log-on.
QString CurrentOperator()
{
    return Udllsystemintf::SystemIntf ? Udllsystemintf::GetCurrentOperatorId() : QString();
}
} // namespace

bool HostBaseSelect::SelectBaseData(const QString &kind, const QString &searchText, bool multiSelect,
                                    TBaseRecordList &selected)
{
    accountdb::AccountDatabase *db = Database();
    if (!db)
        return false;
    BaseSelectDialog dialog(*db, kind, searchText, multiSelect, FParent);
    dialog.SetOperator(CurrentOperator());
    if (dialog.exec() != QDialog::Accepted || dialog.Selected().isEmpty())
        return false;
    selected = dialog.Selected();
    return true;
}

bool HostBaseSelect::SelectAtype(const QString &startCode, TBaseRecord &selected)
{
    accountdb::AccountDatabase *db = Database();
    if (!db)
        return false;
    BaseSelectDialog dialog(*db, QStringLiteral("Atype"), QString(), false, FParent);
    const QString code = startCode.trimmed();
    const bool root = code.isEmpty() || code.count(u'0') == code.size();
    if (!root)
        dialog.SetIdPrefix(code);
    dialog.SetOperator(CurrentOperator());
    if (dialog.exec() != QDialog::Accepted || dialog.Selected().isEmpty())
        return false;
    selected = dialog.Selected().first();
    return true;
}
