#!/usr/bin/env bash
# Kills orvane-admin rebuild part-way, again and again, and checks that the account set is always
# either exactly as before the rebuild or exactly as after a complete one.
#
#   tests/options/kill_rebuild.sh [ORVANE_ADMIN] [SIZE]
# ORVANE_ADMIN defaults to build/bin/orvane-admin, SIZE (of the demo account set) to small; KILLS
# (default 30) kills are spread over the time a complete rebuild takes.
# Needs the sqlite3 command line tool to read the account set (exit 77 without it).
set -euo pipefail

ADMIN=${1:-build/bin/orvane-admin}
SIZE=${2:-small}
command -v sqlite3 >/dev/null || { echo "kill_rebuild: sqlite3 is needed" >&2; exit 77; }
[ -x "$ADMIN" ] || { echo "kill_rebuild: $ADMIN is not executable" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

state() {
    sqlite3 "$1" "
      SELECT 'periods', group_concat(SubValue) FROM T_Gbl_SysDataCw WHERE SubName IN ('JxcPeriod', 'Period', 'iniover');
      SELECT 'bills', count(*), coalesce(max(Vchcode), 0) FROM DlyNdx;
      SELECT 'lines', (SELECT count(*) FROM DlyBuy), (SELECT count(*) FROM DlySale), (SELECT count(*) FROM DlyOther);
      SELECT 'opening', (SELECT count(*) FROM DlyNdxIni), (SELECT count(*) FROM DlyIni);
      SELECT 'stock', count(*), coalesce(round(sum(Qty), 4), 0) FROM GoodsStocks;
      SELECT 'fifo', (SELECT count(*) FROM T_FIFO_InList_Stock), (SELECT count(*) FROM T_FIFO_OutList_Stock);
      SELECT 'cost balances', count(*), coalesce(round(sum(Total), 2), 0) FROM GoodsStocksCost;
      SELECT 'period balances', count(*) FROM T_Jxc_PeriodBalance;
      SELECT 'calendar', count(*), sum(Closed) FROM T_Gbl_MonthProc;
      SELECT 'marks', sum(CalcCost), sum(MonthCalcCost), round(sum(RecPrice), 4) FROM ptype;"
}

fresh() {
    rm -f "$WORK/run.orv" "$WORK/run.orv-wal" "$WORK/run.orv-shm"
    cp "$WORK/base.orv" "$WORK/run.orv"
}

echo "kill_rebuild: preparing a $SIZE demo account set"
"$ADMIN" create-demo --db "$WORK/base.orv" --size "$SIZE" >/dev/null
"$ADMIN" cost-calc --db "$WORK/base.orv" --force-zero >/dev/null || true
"$ADMIN" checkout --db "$WORK/base.orv" --ignore-unallocated --ignore-unaudited >/dev/null || true
sqlite3 "$WORK/base.orv" "PRAGMA wal_checkpoint(TRUNCATE);" >/dev/null

fresh
BEFORE=$(state "$WORK/run.orv")
start=$(date +%s%N)
"$ADMIN" rebuild --db "$WORK/run.orv" --keep-opening --yes >/dev/null
full_ms=$(( ($(date +%s%N) - start) / 1000000 ))
AFTER=$(state "$WORK/run.orv")
if [ "$BEFORE" = "$AFTER" ]; then
    echo "kill_rebuild: a complete rebuild changed nothing" >&2
    exit 1
fi
echo "kill_rebuild: a complete rebuild takes ${full_ms} ms"

before=0 after=0
for step in $(seq 1 "${KILLS:-30}"); do
    fresh
    "$ADMIN" rebuild --db "$WORK/run.orv" --keep-opening --yes >/dev/null 2>&1 &
    pid=$!
    sleep "$(awk -v ms="$full_ms" -v s="$step" -v n="${KILLS:-30}" 'BEGIN { printf "%.3f", ms * s / n / 1000 }')"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    # The job lock row a killed run leaves is stale and taken over by the next job; it is not compared.
    NOW=$(state "$WORK/run.orv")
    if [ "$NOW" = "$BEFORE" ]; then
        before=$((before + 1))
    elif [ "$NOW" = "$AFTER" ]; then
        after=$((after + 1))
    else
        echo "kill_rebuild: kill $step left the account set neither as before nor as after:" >&2
        diff <(echo "$BEFORE") <(echo "$NOW") >&2 || true
        exit 1
    fi
done
echo "kill_rebuild: $before kills left it as before, $after as after; all consistent"
