#!/usr/bin/env bash
# Several clients on one server account set at once:
#   1. eight processes post purchase receipts (each takes a bill number, then posts) into the inventory
#      period and the next one while a checkout closes the period and holds its transaction a while:
#      no bill lands in the closed period, the period's refused bills are refused as closed, the stock
#      quantities changed by exactly the posted lines, the numbers are distinct;
#   2. a cost calculation while another process holds the job lock is refused with the job's text; the
#      holder is killed and the next one runs; two cost calculations started together never fail in
#      any other way;
#   3. orvane-admin checkout killed inside its transaction (at three of its steps) leaves the account set
#      exactly as before, and the next checkout leaves it exactly as a checkout never interrupted.
#
#   tests/pg/concurrency.sh PG_RACE ORVANE_ADMIN
# Runs only on a server (ORVANE_TEST_DB=postgresql, ORVANE_TEST_PG=URI of the maintenance database);
# otherwise exits 77 (skipped). Needs psql.
set -euo pipefail

if [ "${ORVANE_TEST_DB:-}" != postgresql ] || [ -z "${ORVANE_TEST_PG:-}" ]; then
  echo "concurrency: runs on a server account set only (ORVANE_TEST_DB=postgresql ORVANE_TEST_PG=URI)"
  exit 77
fi
RACE=$1
ADMIN=$2
command -v psql >/dev/null || { echo "concurrency: psql is needed" >&2; exit 1; }
SERVER=${ORVANE_TEST_PG%/*}
PREFIX=orvane_race_$$
WORK=$(mktemp -d)
BACKGROUND=()

cleanup() {
  for p in "${BACKGROUND[@]}"; do kill -9 "$p" 2>/dev/null || true; done
  wait 2>/dev/null || true
  for db in $(sql postgres "SELECT datname FROM pg_database WHERE datname LIKE '${PREFIX}%'" 2>/dev/null); do
    sql postgres "DROP DATABASE IF EXISTS $db WITH (FORCE)" >/dev/null 2>&1 || true
  done
  rm -rf "$WORK"
}
trap cleanup EXIT

fail() {
  echo "concurrency: $*" >&2
  exit 1
}
sql() { # sql DATABASE STATEMENT: unaligned rows, fields separated by '|'
  local db=$1
  shift
  psql -X -q -A -t -v ON_ERROR_STOP=1 "$SERVER/$db" -c "$*"
}
uri() { echo "$SERVER/${PREFIX}_$1"; }
copy() { sql postgres "CREATE DATABASE ${PREFIX}_$2 TEMPLATE ${PREFIX}_$1"; }
# Waits up to SECONDS for a command to succeed.
wait_for() {
  local seconds=$1
  shift
  local end=$((SECONDS + seconds))
  until "$@"; do
    [ $SECONDS -lt $end ] || return 1
    sleep 0.05
  done
}

echo "concurrency: preparing a small demo account set on the server"
"$ADMIN" create-demo --db "$(uri base)" --size small >/dev/null
"$ADMIN" cost-calc --db "$(uri base)" --force-zero >/dev/null || true
sql "${PREFIX}_base" "UPDATE ptype SET CalcCost = 0" >/dev/null

# ---- 1. posting while a checkout closes the period ------------------------------------------------
copy base posting
DB=${PREFIX}_posting
PERIOD=$(sql "$DB" "SELECT SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod'")
IN_PERIOD=$(sql "$DB" "SELECT EndDate FROM T_Gbl_MonthProc WHERE Period = $PERIOD")
NEXT=$(sql "$DB" "SELECT StartDate FROM T_Gbl_MonthProc WHERE Period > $PERIOD ORDER BY Period LIMIT 1")
LAST_CODE=$(sql "$DB" "SELECT coalesce(max(Vchcode), 0) FROM DlyNdx")
sql "$DB" "SELECT PtypeId, KtypeId, Qty FROM GoodsStocks" >"$WORK/stock.before"
posters=()
for i in 1 2 3 4 5 6 7 8; do
  "$RACE" post "$(uri posting)" 40 "$IN_PERIOD" $NEXT >"$WORK/post$i.out" 2>"$WORK/post$i.err" &
  posters+=($!)
  BACKGROUND+=($!)
done
wait_for 30 grep -qs '^ok' "$WORK/post1.out" || fail "no bill was posted"
"$RACE" checkout "$(uri posting)" 2 >"$WORK/checkout.out" || fail "the checkout failed"
for i in "${!posters[@]}"; do
  wait "${posters[$i]}" || fail "poster $((i + 1)) failed: $(cat "$WORK/post$((i + 1)).err")"
done
read -r _ closed seen <"$WORK/checkout.out"
[ "$closed" = "$PERIOD" ] || fail "the checkout closed $closed, not $PERIOD"
now=$(sql "$DB" "SELECT count(*) FROM DlyNdx WHERE Period = $PERIOD")
[ "$now" = "$seen" ] || fail "$((now - seen)) bills landed in period $PERIOD after its checkout"
cat "$WORK"/post*.out >"$WORK/posted"
bad=$(awk -v d="$IN_PERIOD" '$1 == "refused" && ($2 != -3 || $3 != d)' "$WORK/posted")
[ -z "$bad" ] || fail "bills refused other than as closed: $bad"
refused=$(grep -c '^refused' "$WORK/posted" || true)
posted=$(grep -c '^ok' "$WORK/posted" || true)
in_closed=$(awk -v d="$IN_PERIOD" '$1 == "ok" && $4 == d' "$WORK/posted" | wc -l)
[ "$refused" -gt 0 ] && [ "$in_closed" -gt 0 ] ||
  fail "the checkout did not fall among the postings ($in_closed posted into the period, $refused refused)"
dup=$(awk '$1 == "ok" { print $3 }' "$WORK/posted" | sort | uniq -d)
[ -z "$dup" ] || fail "bill numbers given twice: $dup"
dup=$(sql "$DB" "SELECT Number FROM DlyNdx WHERE Vchcode > $LAST_CODE GROUP BY Number HAVING count(*) > 1")
[ -z "$dup" ] || fail "bill numbers stored twice: $dup"
stored=$(sql "$DB" "SELECT count(*) FROM DlyNdx WHERE Vchcode > $LAST_CODE")
[ "$stored" = "$posted" ] || fail "$posted bills posted, $stored stored"
sql "$DB" "SELECT PtypeId, KtypeId, Qty FROM GoodsStocks" >"$WORK/stock.after"
awk '$1 == "line" { print $2 "|" $3 "|" $4 }' "$WORK/posted" >"$WORK/stock.posted"
awk -F'|' '
  FILENAME ~ /before$/ { change[$1 "|" $2] -= $3 }
  FILENAME ~ /after$/ { change[$1 "|" $2] += $3 }
  FILENAME ~ /posted$/ { change[$1 "|" $2] -= $3 }
  END {
    for (k in change) if (change[k] > 0.00005 || change[k] < -0.00005) { print "stock " k " off by " change[k]; bad = 1 }
    exit bad
  }' "$WORK/stock.before" "$WORK/stock.after" "$WORK/stock.posted" ||
  fail "the stock quantities differ from the posted lines"
echo "concurrency: 8 posters: $posted bills posted ($in_closed into period $PERIOD before its checkout), $refused refused as closed; numbers distinct, stock as posted"

# ---- 2. the job lock --------------------------------------------------------------------------------
copy base jobs
"$RACE" hold "$(uri jobs)" 成本计算 >"$WORK/hold.out" 2>&1 &
holder=$!
BACKGROUND+=($holder)
wait_for 30 grep -qs held "$WORK/hold.out" || fail "the job lock was not taken: $(cat "$WORK/hold.out")"
if "$ADMIN" cost-calc --db "$(uri jobs)" >"$WORK/second.out" 2>&1; then
  fail "a cost calculation ran while another held the job lock"
fi
grep -q "“成本计算”正在进行中" "$WORK/second.out" || fail "unexpected refusal: $(cat "$WORK/second.out")"
kill -9 "$holder"
wait "$holder" 2>/dev/null || true
"$ADMIN" cost-calc --db "$(uri jobs)" >"$WORK/after-kill.out" 2>&1 ||
  fail "the job lock of a killed client was not released: $(cat "$WORK/after-kill.out")"
sql "${PREFIX}_jobs" "UPDATE ptype SET CalcCost = 1, MonthCalcCost = 1 WHERE Sonnum = 0" >/dev/null
"$ADMIN" cost-calc --db "$(uri jobs)" >"$WORK/a.out" 2>&1 &
a=$!
"$ADMIN" cost-calc --db "$(uri jobs)" >"$WORK/b.out" 2>&1 &
b=$!
BACKGROUND+=($a $b)
ran=0 refusedjobs=0
for p in "$a:a" "$b:b"; do
  if wait "${p%%:*}"; then
    ran=$((ran + 1))
  elif grep -q "“成本计算”正在进行中" "$WORK/${p##*:}.out"; then
    refusedjobs=$((refusedjobs + 1))
  else
    fail "a cost calculation beside another failed: $(cat "$WORK/${p##*:}.out")"
  fi
done
[ $ran -ge 1 ] || fail "neither of two cost calculations ran"
echo "concurrency: job lock: a second cost calculation refused, released by a kill; two at once: $ran ran, $refusedjobs refused"

# ---- 3. a checkout killed inside its transaction -------------------------------------------------
state() {
  sql "$1" "
    SELECT 'period', SubValue FROM T_Gbl_SysDataCw WHERE SubName = 'JxcPeriod';
    SELECT 'vouchers', count(*), coalesce(round(CAST(sum(DebitTotal) AS NUMERIC), 2), 0) FROM T_CW_DlyNdx;
    SELECT 'voucher lines', count(*) FROM T_CW_Dly;
    SELECT 'period balances', count(*), coalesce(round(CAST(sum(Total) AS NUMERIC), 2), 0) FROM T_Jxc_PeriodBalance;
    SELECT 'cost balances', count(*), coalesce(round(CAST(sum(Total) AS NUMERIC), 2), 0) FROM GoodsStocksCost;
    SELECT 'bills', count(*), coalesce(max(Vchcode), 0) FROM DlyNdx;
    SELECT 'log', count(*) FROM T_Jxc_CheckOutLog;
    SELECT 'calendar', count(*) FROM T_Gbl_MonthProc;
    SELECT 'marks', sum(CalcCost), sum(MonthCalcCost) FROM ptype;"
}
checkout() { "$ADMIN" checkout --db "$1" --ignore-unallocated --ignore-unaudited --auto-adjust >/dev/null 2>&1; }
# True while another session waits for a lock: the checkout stopped at the table held below.
waiting() {
  [ "$(sql postgres "SELECT count(*) FROM pg_stat_activity WHERE datname = '$1' AND wait_event_type = 'Lock'")" -gt 0 ]
}
sessions() { sql postgres "SELECT count(*) FROM pg_stat_activity WHERE datname = '$1'"; }
others_gone() { [ "$(sessions "$1")" = 0 ]; }
# The holder of a table: a session of the test that sleeps in its transaction.
holder() { echo "FROM pg_stat_activity WHERE datname = '$1' AND wait_event = 'PgSleep'"; }
holding() { [ "$(sql postgres "SELECT count(*) $(holder "$1")")" -gt 0 ]; }

BEFORE=$(state "${PREFIX}_base")
copy base after
checkout "$(uri after)" || fail "a checkout of the demo account set failed"
AFTER=$(state "${PREFIX}_after")
[ "$BEFORE" != "$AFTER" ] || fail "a complete checkout changed nothing"
killed=0
# Each kill lands at another step of the checkout's transaction: a session of the test holds the table
# that step writes, the checkout waits for it inside its transaction and is killed there.
for table in T_CW_DlyNdx T_Jxc_PeriodBalance T_Jxc_CheckOutLog; do
  name=kill_${table,,} # database names are folded to lower case
  copy base "$name"
  DB=${PREFIX}_$name
  sql "$DB" "BEGIN; LOCK TABLE $table IN EXCLUSIVE MODE; SELECT pg_sleep(120); COMMIT;" >/dev/null 2>&1 &
  BACKGROUND+=($!)
  wait_for 10 holding "$DB" || fail "the table $table could not be held"
  "$ADMIN" checkout --db "$(uri "$name")" --ignore-unallocated --ignore-unaudited --auto-adjust >/dev/null 2>&1 &
  pid=$! # the client itself: killing a shell around it would leave it running
  BACKGROUND+=($pid)
  wait_for 30 waiting "$DB" || fail "the checkout did not reach $table"
  kill -9 "$pid"
  wait "$pid" 2>/dev/null || true
  sql postgres "SELECT pg_cancel_backend(pid) $(holder "$DB")" >/dev/null
  # The server ends the session of a vanished client and rolls its transaction back.
  wait_for 120 others_gone "$DB" || fail "the session of the killed checkout stayed"
  NOW=$(state "$DB")
  if [ "$NOW" != "$BEFORE" ]; then
    diff <(echo "$BEFORE") <(echo "$NOW") >&2 || true
    fail "a checkout killed at $table left the account set changed"
  fi
  killed=$((killed + 1))
  # The killed client's job lock went with its session: the next checkout runs.
  checkout "$(uri "$name")" || fail "the checkout after the kill at $table failed"
  [ "$(state "$DB")" = "$AFTER" ] || fail "the checkout after the kill at $table left another account set"
done
echo "concurrency: checkout killed inside its transaction at $killed steps: all before, the next checkout complete"
