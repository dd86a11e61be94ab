#!/usr/bin/env bash
# Kills orvane-admin cost-calc part-way, again and again, and checks every goods item of the account
# set: it is either exactly as before the calculation (costs, FIFO lists, matches, balances, its
# mark still set) or exactly as after a complete one (its mark cleared), never half written. Then a
# second run over what a kill left finishes the job and must give the complete result.
#
#   tests/costing/kill_costcalc.sh [ORVANE_ADMIN] [SIZE]
# ORVANE_ADMIN defaults to build/bin/orvane-admin, SIZE (of the demo account set) to small; KILLS
# (default 16) kills are spread over the time a complete calculation takes. The calculation commits
# after every item here, so that kills land between commits as well as inside them.
# Reads the account set with Python's sqlite3 module; exits 77 (skipped) without it.
set -euo pipefail

ADMIN=${1:-build/bin/orvane-admin}
SIZE=${2:-small}
KILLS=${KILLS:-16}
python3 -c 'import sqlite3' 2>/dev/null || { echo "kill_costcalc: python3 with sqlite3 is needed" >&2; exit 77; }
[ -x "$ADMIN" ] || { echo "kill_costcalc: $ADMIN is not executable" >&2; exit 2; }
WORK=$(mktemp -d)
trap 'rm -rf "$WORK"' EXIT

# One line per goods item: its mark and a digest of everything the calculation writes for it.
state() {
    python3 - "$1" <<'EOF'
import sqlite3, sys
db = sqlite3.connect(sys.argv[1], isolation_level=None)
db.execute("BEGIN")  # one snapshot for every item
def rows(sql, ptype):
    return repr([tuple(round(v, 4) if isinstance(v, float) else v for v in r)
                 for r in db.execute(sql, (ptype,))])
parts = [
    "SELECT Dlyorder, CostPrice, CostTotal, Price, Total FROM DlyBuy WHERE PtypeId = ? ORDER BY 1",
    "SELECT Dlyorder, CostPrice, CostTotal, Price, Total FROM DlySale WHERE PtypeId = ? ORDER BY 1",
    "SELECT Dlyorder, CostPrice, CostTotal, Price, Total FROM DlyOther WHERE PtypeId = ? ORDER BY 1",
    "SELECT ID, CostPrice, CostTotal, MatchedQty, MatchedTotal FROM T_FIFO_InList_Stock WHERE PtypeID = ? ORDER BY 1",
    "SELECT ID, CostPrice, CostTotal FROM T_FIFO_OutList_Stock WHERE PtypeID = ? ORDER BY 1",
    "SELECT ID, CostPrice, CostTotal, MatchedQty, MatchedTotal FROM T_FIFO_InList_Commission WHERE PtypeID = ? ORDER BY 1",
    "SELECT ID, CostPrice, CostTotal FROM T_FIFO_OutList_Commission WHERE PtypeID = ? ORDER BY 1",
    "SELECT Period, InTable, InDlyorder, OutTable, OutDlyorder, Qty, Price, Total FROM T_FIFO_MatchList WHERE PtypeID = ? ORDER BY 1, 2, 3, 4, 5",
    "SELECT KTypeID, BlockNo, Period, Qty, Total FROM GoodsStocksCost WHERE PtypeId = ? ORDER BY 1, 2, 3",
    "SELECT BlockNo, Period, Qty, Total FROM CommissionCost WHERE PTypeID = ? ORDER BY 1, 2",
]
for ptype, calc, month in db.execute(
        "SELECT typeId, CalcCost, MonthCalcCost FROM ptype WHERE Sonnum = 0 ORDER BY typeId").fetchall():
    print(ptype, calc, month, hash("\n".join(rows(sql, ptype) for sql in parts)) & 0xffffffffffff)
EOF
}

fresh() {
    rm -f "$WORK/run.orv" "$WORK/run.orv-wal" "$WORK/run.orv-shm"
    cp "$WORK/base.orv" "$WORK/run.orv"
}

CALC=("$ADMIN" cost-calc --db "$WORK/run.orv" --force-zero --commit-every 1)

echo "kill_costcalc: preparing a $SIZE demo account set"
"$ADMIN" create-demo --db "$WORK/base.orv" --size "$SIZE" >/dev/null
export PYTHONHASHSEED=0

fresh
BEFORE=$(state "$WORK/run.orv")
start=$(date +%s%N)
"${CALC[@]}" >/dev/null 2>&1 || true
full_ms=$(( ($(date +%s%N) - start) / 1000000 ))
AFTER=$(state "$WORK/run.orv")
changed=$(paste -d'|' <(echo "$BEFORE") <(echo "$AFTER") | awk -F'|' '$1 != $2' | wc -l)
if [ "$changed" -eq 0 ]; then
    echo "kill_costcalc: a complete calculation changed nothing" >&2
    exit 1
fi
echo "kill_costcalc: a complete calculation costs $changed goods items in ${full_ms} ms"

# Each item as before or as after; prints how many are as after, or fails naming the first that is
# neither.
check() {
    paste -d'|' <(echo "$BEFORE") <(echo "$AFTER") <(echo "$1") | awk -F'|' '
        $3 == $2 && $3 != $1 { done++ ; next }
        $3 == $1 { next }
        { split($3, f, " "); print "goods item " f[1] " is neither as before nor as after" > "/dev/stderr"; bad = 1 }
        END { if (bad) exit 1; print done + 0 }'
}

partway=0
for step in $(seq 1 "$KILLS"); do
    fresh
    "${CALC[@]}" >/dev/null 2>&1 &
    pid=$!
    sleep "$(awk -v ms="$full_ms" -v s="$step" -v n="$KILLS" 'BEGIN { printf "%.3f", ms * (s - 0.5) / n / 1000 }')"
    kill -9 "$pid" 2>/dev/null || true
    wait "$pid" 2>/dev/null || true
    NOW=$(state "$WORK/run.orv")
    done_items=$(check "$NOW") || { echo "kill_costcalc: kill $step left a goods item half costed" >&2; exit 1; }
    [ "$done_items" -gt 0 ] && [ "$done_items" -lt "$changed" ] && partway=$((partway + 1))
    echo "  kill $step: $done_items of $changed goods items costed, the rest untouched"
done

# What the last kill left is finished by a second run.
"${CALC[@]}" >/dev/null 2>&1 || true
if [ "$(state "$WORK/run.orv")" != "$AFTER" ]; then
    echo "kill_costcalc: the run after a kill did not give the complete result" >&2
    exit 1
fi
echo "kill_costcalc: $partway of $KILLS kills landed part-way; every item whole; the rerun completes"
if [ "$partway" -eq 0 ]; then
    echo "kill_costcalc: no kill landed part-way through the items; try a larger SIZE" >&2
    exit 1
fi
