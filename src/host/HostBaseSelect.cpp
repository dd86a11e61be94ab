#include "HostBaseSelect.h"

#include "BaseSelectDialog.h"

bool HostBaseSelect::SelectBaseData(const QString &kind, const QString &searchText, bool multiSelect,
                                    TBaseRecordList &selected)
{
    accountdb::AccountDatabase *db = Database();
    if (!db)
        return false;
    BaseSelectDialog dialog(*db, kind, searchText, multiSelect, FParent);
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
    if (dialog.exec() != QDialog::Accepted || dialog.Selected().isEmpty())
        return false;
    selected = dialog.Selected().first();
    return true;
}
