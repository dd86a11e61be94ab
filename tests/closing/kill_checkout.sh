#!/usr/bin/env bash
# Kills orvane-admin checkout part-way, again and again, and checks that the account set is always
# either exactly as before the checkout or exactly as after a complete one: the inventory period,
# the vouchers, the period-end balances, the cost balances, the bills and the checkout log.
#
#   tests/closing/kill_checkout.sh [ORVANE_ADMIN] [SIZE]
# ORVANE_ADMIN defaults to build/bin/orvane-admin, SIZE (of the demo account set) to medium; KILLS
# (default 40) kills are spread over the time a complete checkout takes.
# Needs the sqlite3 command line tool to read the account set.
set -euo pipefail

ADMIN=${1:-build/bin/orvane-admin}
SIZE=${2:-medium}
command -v sqlite3 >/dev/null || { echo "kill_checkout: sqlite3 is needed" >&2; exit 2; }
[ -x "$ADMIN" ] || { echo "kill_checkout: $ADMIN is not executable" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

state() {
    sqlite3 "$1" "
      SELECT 'period', SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod';
      SELECT 'vouchers', count(*), coalesce(round(sum(DebitTotal), 2), 0) FROM T_CW_DlyNdx;
      SELECT 'voucher lines', count(*) FROM T_CW_Dly;
      SELECT 'period balances', count(*), coalesce(round(sum(Total), 2), 0) FROM T_Jxc_PeriodBalance;
      SELECT 'cost balances', count(*), coalesce(round(sum(Total), 2), 0) FROM GoodsStocksCost;
      SELECT 'bills', count(*), coalesce(max(Vchcode), 0) FROM DlyNdx;
      SELECT 'log', count(*) FROM T_Jxc_CheckOutLog;
      SELECT 'calendar', count(*) FROM T_Gbl_MonthProc;
      SELECT 'marks', sum(CalcCost), sum(MonthCalcCost) FROM ptype;"
}

fresh() {
    rm -f "$WORK/run.orv" "$WORK/run.orv-wal" "$WORK/run.orv-shm"
    cp "$WORK/base.orv" "$WORK/run.orv"
}

echo "kill_checkout: preparing a $SIZE demo account set"
"$ADMIN" create-demo --db "$WORK/base.orv" --size "$SIZE" >/dev/null
"$ADMIN" cost-calc --db "$WORK/base.orv" --force-zero >/dev/null || true
# The quantities the generator leaves can be zero with an amount; the adjustment makes the run longer.
"$ADMIN" sysvalue --db "$WORK/base.orv" JxcPeriod >/dev/null
sqlite3 "$WORK/base.orv" "UPDATE ptype SET CalcCost = 0; PRAGMA wal_checkpoint(TRUNCATE);" >/dev/null

fresh
BEFORE=$(state "$WORK/run.orv")
start=$(date +%s%N)
"$ADMIN" checkout --db "$WORK/run.orv" --ignore-unallocated --ignore-unaudited --auto-adjust >/dev/null
full_ms=$(( ($(date +%s%N) - start) / 1000000 ))
AFTER=$(state "$WORK/run.orv")
if [ "$BEFORE" = "$AFTER" ]; then
    echo "kill_checkout: a complete checkout changed nothing" >&2
    exit 1
fi
echo "kill_checkout: a complete checkout takes ${full_ms} ms"

# True while the process holds the write lock of the account set (byte 120 of the -shm file in WAL
# mode): it is inside its write transaction.
in_transaction() {
    local pid=$1 inode
    [ -f "$WORK/run.orv-shm" ] || return 1
    inode=$(stat -c %i "$WORK/run.orv-shm" 2>/dev/null) || return 1
    awk -v pid="$pid" -v inode="$inode" '
        $2 == "POSIX" && $4 == "WRITE" && $5 == pid && $7 == "120" {
            n = split($6, dev, ":"); if (dev[n] == inode) found = 1 }
        END { exit found ? 0 : 1 }' /proc/locks
}

partway=0 completed=0 untouched=0
for step in $(seq 1 "${KILLS:-40}"); do
    fresh
    "$ADMIN" checkout --db "$WORK/run.orv" --ignore-unallocated --ignore-unaudited --auto-adjust \
        >/dev/null 2>&1 &
    pid=$!
    sleep "$(awk -v ms="$full_ms" -v s="$step" -v n="${KILLS:-40}" 'BEGIN { printf "%.3f", ms * s / n / 1000 }')"
    inside=no
    in_transaction "$pid" && inside=yes
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    NOW=$(state "$WORK/run.orv")
    if [ "$NOW" = "$BEFORE" ]; then
        if [ "$inside" = yes ]; then partway=$((partway + 1)); what="killed inside the transaction, as before"
        else untouched=$((untouched + 1)); what="killed outside the transaction, as before"; fi
    elif [ "$NOW" = "$AFTER" ]; then
        completed=$((completed + 1)); what="finished before the kill, as after"
    else
        echo "kill_checkout: kill $step left the account set neither as before nor as after:" >&2
        diff <(echo "$BEFORE") <(echo "$NOW") >&2 || true
        exit 1
    fi
    echo "  kill $step: $what"
done
echo "kill_checkout: $partway kills inside the transaction, $untouched before it, $completed after it; all consistent"
if [ "$partway" -eq 0 ]; then
    echo "kill_checkout: no kill landed inside the transaction; try a larger SIZE" >&2
    exit 1
fi
