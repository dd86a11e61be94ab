#!/usr/bin/env bash
# One entry point: ./orvane.sh run | test | bench [NAME]
# Installs the Debian packages that are missing, configures, builds and runs.
set -euo pipefail
cd "$(dirname "$0")"
ROOT=$(pwd)

PACKAGES=(build-essential cmake ninja-build pkg-config qt6-base-dev qt6-base-dev-tools libqt6sql6-sqlite
  qt6-qpa-plugins libgl-dev fonts-wqy-microhei libsodium-dev libsqlite3-dev clang libclang-rt-dev poppler-utils
  qt6-translations-l10n fonts-noto-cjk libxlsxwriter-dev unzip python3 postgresql postgresql-client libqt6sql6-psql)

# Test executables that do not pass on PostgreSQL yet: the second run of the suite leaves them out.
PG_PENDING=()
# Benchmarks that run a second time on a throwaway PostgreSQL cluster (--server URI), on the same
# generated account set.
SERVER_BENCHES=(checkout backup)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  if [ ${#missing[@]} -gt 0 ]; then
    echo "Installing: ${missing[*]}"
    local sudo=""
    [ "$(id -u)" -ne 0 ] && sudo="sudo"
    $sudo apt-get update -qq
    DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq "${missing[@]}"
  fi
}

build() { # build DIR TYPE
  local dir=$1 type=$2
  local launcher=()
  # Several work trees of one machine share compiled objects through ccache when it is there.
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache -DCMAKE_C_COMPILER_LAUNCHER=ccache)
  cmake -S "$ROOT" -B "$ROOT/$dir" -G Ninja -DCMAKE_BUILD_TYPE="$type" "${launcher[@]}" >/dev/null
  cmake --build "$ROOT/$dir" -j"$(nproc)"
}

DEMO_DB="$ROOT/demo/demo.orv"

# The demo account set with base data when the administration tool can make one; otherwise the host
# program creates a new account set (seed data, administrator "00000") on first start.
ensure_demo() {
  mkdir -p "$ROOT/demo"
  if [ ! -f "$DEMO_DB" ] && [ -x "$ROOT/build/bin/orvane-admin" ]; then
    "$ROOT/build/bin/orvane-admin" create-demo --db "$DEMO_DB" --size small 2>/dev/null ||
      "$ROOT/build/bin/orvane-admin" create --db "$DEMO_DB" 2>/dev/null || true
  fi
}

has_arg() { # has_arg NAME ARGS...: one of ARGS is NAME or NAME=...
  local name=$1
  shift
  for a in "$@"; do
    case "$a" in "$name" | "$name"=*) return 0 ;; esac
  done
  return 1
}

# The demo's month-end work from the command line, on a copy: the demo stays as it was, so every run
# shows the same month. Says which period it closed and how it answered the checkout's questions.
headless_demo() {
  local work
  work=$(mktemp -d)
  trap 'rm -rf "$work"' RETURN
  local f
  for f in "$DEMO_DB" "$DEMO_DB-wal"; do
    [ -f "$f" ] && cp "$f" "$work/demo.orv${f#"$DEMO_DB"}"
  done
  local admin="$ROOT/build/bin/orvane-admin" db="$work/demo.orv" period status=0
  period=$("$admin" sysvalue --db "$db" JxcPeriod 2>/dev/null | tr -d '[:space:]') || true
  if [[ "$period" =~ ^([0-9]{4})([0-9]{2})$ ]]; then
    period="${BASH_REMATCH[1]}年${BASH_REMATCH[2]}月"
  fi
  echo "没有显示器：在演示账套的副本上计算成本并结账 ${period:-（期间未知）}，${DEMO_DB#"$ROOT"/} 不会改变。"
  echo "结账时的提问按以下方式回答：有未分配费用的单据仍结账，忽略未审核的单据，自动调整库存。"
  "$admin" cost-calc --db "$db" || status=$?
  "$admin" checkout --db "$db" --ignore-unaudited --ignore-unallocated --auto-adjust || status=$?
  echo "副本已删除；在有显示器的电脑上运行 ./orvane.sh run 打开程序。"
  return $status
}

cmd=${1:-help}
shift || true
case "$cmd" in
run)
  install_packages
  build build Debug
  ensure_demo
  # Without a display the main window can still be photographed (--screenshot FILE, offscreen).
  if [ "${1:-}" = "--headless" ] ||
    { [ -z "${DISPLAY:-}" ] && [ -z "${WAYLAND_DISPLAY:-}" ] && ! has_arg --screenshot "$@"; }; then
    headless_demo
    exit $?
  fi
  # Log-on dialog first; `--operator 00000` skips it for scripted use.
  exec "$ROOT/build/bin/orvane" --db "$DEMO_DB" "$@"
  ;;
test)
  install_packages
  build build Debug
  export QT_QPA_PLATFORM=offscreen
  cd "$ROOT/build"
  echo "== SQLite"
  ctest --output-on-failure -j"$(nproc)" "$@"
  # The same suite on a throwaway PostgreSQL cluster of its own, stopped however the run ends.
  pg_dir=$(mktemp -d)
  trap '"$ROOT/tests/pg/cluster.sh" stop "$pg_dir"' EXIT
  pg_uri=$("$ROOT/tests/pg/cluster.sh" start "$pg_dir")
  echo "== PostgreSQL ($pg_uri)"
  pending=()
  [ ${#PG_PENDING[@]} -eq 0 ] || pending=(-E "^($(IFS='|'; echo "${PG_PENDING[*]}"))\$")
  ORVANE_TEST_DB=postgresql ORVANE_TEST_PG=$pg_uri ctest --output-on-failure -j"$(nproc)" "${pending[@]}" "$@"
  ;;
bench)
  install_packages
  build build-release Release
  found=0
  for b in "$ROOT"/build-release/bin/bench_*; do
    [ -x "$b" ] || continue
    name=${b##*/bench_}
    if [ -z "${1:-}" ] || [ "$1" = "$name" ]; then
      found=1
      echo "== $name"
      "$b"
      if [[ " ${SERVER_BENCHES[*]} " == *" $name "* ]]; then
        if [ -z "${pg_uri:-}" ]; then
          pg_dir=$(mktemp -d)
          trap '"$ROOT/tests/pg/cluster.sh" stop "$pg_dir"' EXIT
          pg_uri=$("$ROOT/tests/pg/cluster.sh" start "$pg_dir")
        fi
        echo "== $name (PostgreSQL)"
        "$b" --server "$pg_uri"
      fi
    fi
  done
  [ $found -eq 1 ] || { echo "no benchmark named ${1:-}" >&2; exit 1; }
  ;;
*)
  echo "usage: ./orvane.sh run [--headless | --operator ID] [--screenshot FILE] | test | bench [NAME]" >&2
  exit 2
  ;;
esac
