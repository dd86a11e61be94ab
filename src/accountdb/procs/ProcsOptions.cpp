// Procedures of the account-options window.
//
// P_Gbl_LoadEntriesConfig(@Version)  the pages the edition offers: PageId, FullName, IsDynamic, in order.
// P_Gbl_LoadSysCon(@Version, @nShowAll)  the switches of the dynamic pages: ConId, Name, Stats, PageId,
//   HelpLink, ManageName, PlugInCaption, CheckProcName, NewFlag (@nShowAll 0: only those with a page the
//   edition offers).
// P_GBL_WriteSysData(@szOrder1 .. @szOrder17)  @szOrder17 "0": company information (3 short name,
//   4 telephone, 5 full name, 6 address, 7 tax number, 8 bank, 14 legal representative, 15 fax);
//   "1": tax settings (9 bill rows, 11 VAT rate, 12 purchase price difference ratio). -1 other mode.
// P_Gbl_CheckTradeAtype  -1 when the chart of accounts is in use (vouchers exist), so the trade stays.
// P_Gbl_CheckSysCon134 / P_Gbl_CheckSysCon140 (@ConId, @Stats -> @ErrMsg)  checks of switches against the
//   data: production cannot be switched off while production bills exist (-2); switching off the
//   cost calculation is asked (-1).

#include "AccountDatabase.h"
#include "EventLog.h"
#include "Procedures.h"

namespace accountdb {

namespace {

QString hiddenMark(ProcContext &ctx)
{
    return QStringLiteral("%;") + ctx.in(QStringLiteral("@Version")).toString().trimmed() +
           QStringLiteral(";%");
}

int loadEntriesConfig(ProcContext &ctx)
{
    ctx.setResult(QStringLiteral("SELECT PageId, FullName, IsDynamic FROM T_Gbl_EntriesConfig "
                                 "WHERE HideVersions NOT LIKE ? ORDER BY ShowOrder, PageId"),
                  {hiddenMark(ctx)});
    return 0;
}

int loadSysCon(ProcContext &ctx)
{
    const QString columns = QStringLiteral(
        "SELECT c.ConId, c.Name, c.Stats, c.PageId, c.HelpLink, c.ManageName, c.PlugInCaption, "
        "c.CheckProcName, c.NewFlag FROM T_Gbl_SysCon c INNER JOIN T_Gbl_EntriesConfig e ON e.PageId = "
        "c.PageId "
        "WHERE e.IsDynamic = 1");
    if (ctx.in(QStringLiteral("@nShowAll")).toInt() == 1)
        ctx.setResult(columns + QStringLiteral(" ORDER BY c.PageId, c.ShowOrder, c.ConId"));
    else
        ctx.setResult(columns + QStringLiteral(
                                    " AND e.HideVersions NOT LIKE ? ORDER BY c.PageId, c.ShowOrder, c.ConId"),
                      {hiddenMark(ctx)});
    return 0;
}

int writeSysData(ProcContext &ctx)
{
    const auto order = [&ctx](int n) { return ctx.in(QStringLiteral("@szOrder%1").arg(n)).toString(); };
    QList<std::pair<QString, int>> values;
    const QString mode = order(17).trimmed();
    if (mode == QLatin1String("0")) {
        values = {{QStringLiteral("CompanyName"), 3},     {QStringLiteral("Tel"), 4},
                  {QStringLiteral("CompanyFullName"), 5}, {QStringLiteral("Address"), 6},
                  {QStringLiteral("TaxNo"), 7},           {QStringLiteral("BankAndTaxNo"), 8},
                  {QStringLiteral("LegalMan"), 14},       {QStringLiteral("FaxNo"), 15}};
    } else if (mode == QLatin1String("1")) {
        values = {{QStringLiteral("BillRow"), 9},
                  {QStringLiteral("AllRate"), 11},
                  {QStringLiteral("BuyPriceDiffer"), 12}};
    } else {
        return -1;
    }
    for (const auto &[name, n] : values) {
        ProcParams params{{QStringLiteral("@szName"), name}, {QStringLiteral("@szValue"), order(n)}};
        if (ctx.call(QStringLiteral("P_GBL_SetSysValue"), params) < 0)
            return -1;
    }
    writeEvent(ctx, QString(),
               event::OptionChange.arg(mode == QLatin1String("0") ? QStringLiteral("公司信息")
                                                                  : QStringLiteral("税率设置")));
    return 0;
}

int checkTradeAtype(ProcContext &ctx)
{
    return ctx.value(QStringLiteral("SELECT count(*) FROM T_CW_DlyNdx")).toInt() > 0 ? -1 : 0;
}

int checkProduction(ProcContext &ctx)
{
    if (ctx.in(QStringLiteral("@Stats")).toInt() == 1)
        return 0;
    const int bills =
        ctx.value(QStringLiteral("SELECT count(*) FROM DlyNdx WHERE Vchtype IN (172, 173, 174, 176)"))
            .toInt();
    if (bills == 0)
        return 0;
    ctx.setOut(QStringLiteral("@ErrMsg"), QStringLiteral("账套中已有生产单据，不能停用生产管理。"));
    return -2;
}

int checkCostCalc(ProcContext &ctx)
{
    if (ctx.in(QStringLiteral("@Stats")).toInt() == 1)
        return 0;
    ctx.setOut(QStringLiteral("@ErrMsg"),
               QStringLiteral("停用进销存成本计算后，出库单据将不再计算成本，是否继续？"));
    return -1;
}

} // namespace

void registerOptionsProcs(ProcRegistry &registry)
{
    registry.addReader(QStringLiteral("P_Gbl_LoadEntriesConfig"), &loadEntriesConfig);
    registry.addReader(QStringLiteral("P_Gbl_LoadSysCon"), &loadSysCon);
    registry.add(QStringLiteral("P_GBL_WriteSysData"), &writeSysData);
    registry.addReader(QStringLiteral("P_Gbl_CheckTradeAtype"), &checkTradeAtype);
    registry.addReader(QStringLiteral("P_Gbl_CheckSysCon134"), &checkProduction);
    registry.addReader(QStringLiteral("P_Gbl_CheckSysCon140"), &checkCostCalc);
    registerOptionsRebuildProcs(registry);
}

} // namespace accountdb
