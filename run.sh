#!/usr/bin/env bash
# erpsync set-up and entry points. Each command installs what it needs, builds, then runs.
#   ./run.sh demo   embedded branch and central servers with sample data, then the synchroniser on them
#   ./run.sh demo-odbc  the same day with both servers behind SQL Server's wire protocol, the program on ODBC
#   ./run.sh test   every test
#   ./run.sh build  build only
#   ./run.sh windows  cross-build for Windows (mingw-w64), run the core tests under Wine, make the zip
#   ./run.sh package  the .deb (both programs, man page, README, systemd units)
#   ./run.sh install-check  install that .deb and run the headless demo from an empty folder
#   ./run.sh concurrency  eight branches uploading 1,000 vouchers each into one head office, then the check
#   ./run.sh soak   the unattended runner for 30 minutes under ERP activity: memory, files, log growth
#   ./run.sh sweep  the full fault sweep (ERPSYNC_SWEEP_POINTS points per operation, default 64), then
#                   ERPSYNC_SWEEP_HISTORIES seeded histories of the branch (default 2,000)
set -euo pipefail
cd "$(dirname "$0")"

PACKAGES=(cmake ninja-build g++ pkg-config libsqlite3-dev unixodbc unixodbc-dev tdsodbc freetds-bin libsqliteodbc
  libfmt-dev libcli11-dev libgtest-dev libgmock-dev googletest libbenchmark-dev
  qt6-base-dev qt6-base-dev-tools libgl-dev fonts-dejavu-core xvfb xauth locales)

# What the Windows build adds: the cross compiler, Wine to run the tests, and what builds the libraries
# Debian does not ship for mingw (SQLite from its Debian source package needs tclsh and dpkg-source).
WINDOWS_PACKAGES=(g++-mingw-w64-x86-64-posix gcc-mingw-w64-x86-64-posix mingw-w64-x86-64-dev wine wine64 tcl
  dpkg-dev xz-utils zip)

install_packages() {
  local missing=()
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  export DEBIAN_FRONTEND=noninteractive
  $sudo apt-get update -qq
  $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

build() {
  cmake -S . -B build -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo "$@" >/dev/null
  cmake --build build -j "$(nproc)"
}

# The main job on the embedded servers: a fresh testbed, the schema upgrade, a headless connect, the
# day start, a day of ERP work at the branch and head office, what the change logs and the push lock
# now say, the passes that bring both sides in step, the comparison, and the day end.
run_demo() {
  local home=build/demo cli=build/cli/erpsync-cli
  echo "== Testbed: embedded branch and central servers (rows per table)"
  "$cli" demo --home "$home"
  echo; echo "== Update Database"
  "$cli" update-database --home "$home"
  echo; echo "== Connect"
  "$cli" connect --home "$home"
  echo; echo "== Day start: the branch's stock and ledger balances rebuilt from head office"
  "$cli" day-start --home "$home" --yes
  echo; echo "== ERP activity: vouchers at the branch, masters and board rates at head office"
  "$cli" testbed simulate --home "$home"
  local q="SELECT ID, TableName, tblUniqueID, Action, ParentID, VchTYpeID, tblUniqueRefID, ActionTime FROM tblActivity ORDER BY ID"
  echo; echo "== Branch change log (vouchers waiting to go up)"
  "$cli" sql --home "$home" --server embedded:servers/branch --database BR01 -e "$q"
  echo; echo "== Central change log (masters waiting to come down)"
  "$cli" sql --home "$home" --server embedded:servers/central --database HO01 -e "$q"
  echo; echo "== Push lock"
  "$cli" lock-status --home "$home"
  # The upload waits until a voucher is two minutes old (the interval box); the embedded servers' clock
  # is moved ten minutes on instead of waiting.
  echo; echo "== Auto-sync passes until nothing waits (server clock ten minutes on)"
  ERPSYNC_SERVER_CLOCK_OFFSET=600 "$cli" run --home "$home" --passes 10 --wait-ms 0 --until-quiet
  echo; echo "== Branch and central counts side by side"
  "$cli" counts --home "$home"
  echo; echo "== The day's vouchers compared one by one (header, lines, quantity and amount sums)"
  "$cli" verify --home "$home"
  echo; echo "== Day end: every count equal, the branch's vouchers locked"
  "$cli" day-end --home "$home" --yes
  echo; echo "Daily log: $(ls -d "$home"/BR01* 2>/dev/null | head -n 1)"
}

# The demo's day as a branch runs it: both servers behind `erpsync-cli serve` (SQL Server's wire
# protocol on loopback ports), the settings naming them as SQL Servers ("127.0.0.1,PORT") and the
# program talking ODBC through FreeTDS. The servers' clock lives in the serve processes: they are
# started again ten minutes on for the passes, on the same ports.
run_demo_odbc() {
  local home=build/demo-odbc cli=build/cli/erpsync-cli
  local bport=0 cport=0 bpid="" cpid=""
  start_endpoints() {
    ERPSYNC_SERVER_CLOCK_OFFSET=$1 "$cli" serve --dir servers/branch --home "$home" --port "$bport" \
      >"$home/serve-branch.out" 2>"$home/serve-branch.log" &
    bpid=$!
    ERPSYNC_SERVER_CLOCK_OFFSET=$1 "$cli" serve --dir servers/central --home "$home" --port "$cport" \
      >"$home/serve-central.out" 2>"$home/serve-central.log" &
    cpid=$!
    for _ in $(seq 100); do
      grep -q Listening "$home/serve-branch.out" 2>/dev/null && grep -q Listening "$home/serve-central.out" 2>/dev/null &&
        break
      sleep 0.1
    done
    bport=$(sed -n 's/.* port \([0-9]*\)$/\1/p' "$home/serve-branch.out")
    cport=$(sed -n 's/.* port \([0-9]*\)$/\1/p' "$home/serve-central.out")
    [ -n "$bport" ] && [ -n "$cport" ] || { echo "the endpoints did not start" >&2; cat "$home"/serve-*.log >&2; return 1; }
  }
  stop_endpoints() {
    [ -n "${bpid:-}${cpid:-}" ] || return 0
    kill -TERM ${bpid:-} ${cpid:-} 2>/dev/null || true
    wait ${bpid:-} ${cpid:-} 2>/dev/null || true
    bpid="" cpid=""
  }
  trap stop_endpoints EXIT

  echo "== Testbed: embedded branch and central servers (rows per table)"
  "$cli" demo --home "$home"
  start_endpoints 0
  echo; echo "== Endpoints: branch on 127.0.0.1,$bport, head office on 127.0.0.1,$cport (TDS 7.4)"
  printf '%s' "127.0.0.1,$bport" >"$home/Resources/ServerName.ini"
  sed -i "s/^SYNCSERVER=[^\r]*/SYNCSERVER=127.0.0.1,$cport/" "$home/Resources/Appsettings.ini"
  # A linked server named by its network name finds its folder under that name.
  ln -sfn central "$home/servers/127.0.0.1,$cport"
  echo; echo "== Update Database"
  "$cli" update-database --home "$home" --yes
  echo; echo "== Connect"
  "$cli" connect --home "$home"
  echo; echo "== Day start: the branch's stock and ledger balances rebuilt from head office"
  "$cli" day-start --home "$home" --yes
  echo; echo "== ERP activity: vouchers at the branch, masters and board rates at head office"
  "$cli" testbed simulate --home "$home"
  local q="SELECT ID, TableName, tblUniqueID, Action, ParentID, VchTYpeID, tblUniqueRefID, ActionTime FROM tblActivity ORDER BY ID"
  echo; echo "== Branch change log (vouchers waiting to go up), read through ODBC"
  "$cli" sql --home "$home" --server "127.0.0.1,$bport" --database BR01 -e "$q"
  echo; echo "== Central change log (masters waiting to come down), read through ODBC"
  "$cli" sql --home "$home" --server "127.0.0.1,$cport" --database HO01 -e "$q"
  echo; echo "== Push lock"
  "$cli" lock-status --home "$home"
  echo; echo "== Auto-sync passes until nothing waits (servers restarted with their clock ten minutes on)"
  stop_endpoints
  start_endpoints 600
  "$cli" run --home "$home" --passes 10 --wait-ms 0 --until-quiet
  stop_endpoints
  start_endpoints 0
  echo; echo "== Branch and central counts side by side"
  "$cli" counts --home "$home"
  echo; echo "== The day's vouchers compared one by one (header, lines, quantity and amount sums)"
  "$cli" verify --home "$home"
  echo; echo "== Day end: every count equal, the branch's vouchers locked"
  "$cli" day-end --home "$home" --yes
  stop_endpoints
  trap - EXIT
  echo; echo "Daily log: $(ls -d "$home"/BR01* 2>/dev/null | head -n 1); endpoint logs: $home/serve-*.log"
}

# Seeded histories of the branch (ERP work, head office's changes, ticked types, midnight, the
# synchroniser's verbs with faults, the recovery), one shard of the test program per core; the
# figures and the kinds of violation found go to build/sweep-report.md, each shard's output to
# build/sweep-histories-N.log.
run_histories() {
  local n=$1 shards report="$PWD/build/sweep-report.md" pids=() status=0 start=$SECONDS
  shards=$(nproc)
  {
    echo
    echo "## Seeded histories: $n"
    echo
    echo "| Case | Histories | Failing | Violations | Synchroniser runs | Faults fired | Day ends closed | Seconds |"
    echo "|---|---|---|---|---|---|---|---|"
  } >>"$report"
  for i in $(seq 0 $((shards - 1))); do
    GTEST_TOTAL_SHARDS=$shards GTEST_SHARD_INDEX=$i ERPSYNC_HISTORIES="$n" ERPSYNC_HISTORY_REPORT="$report" \
      build/tests/test_history --gtest_filter='Seeded/Histories.*' >"build/sweep-histories-$i.log" 2>&1 &
    pids+=($!)
  done
  for p in "${pids[@]}"; do wait "$p" || status=1; done
  {
    echo
    echo "Wall time $((SECONDS - start)) s on $shards cores."
    echo
    echo "| Violations | Kind (numbers and names left out) | Example: seed |"
    echo "|---|---|---|"
    if [ -s "$report.details" ]; then
      awk '{ n = $1; line = $0; sub(/^[0-9]+ x /, "", line); seed = line; sub(/.*\(e\.g\. seed /, "", seed)
             sub(/\)$/, "", seed); sub(/ \(e\.g\. seed [0-9]+\)$/, "", line); gsub(/\|/, "\\|", line)
             count[line] += n; if (!(line in first)) first[line] = seed }
           END { for (k in count) printf "| %d | %s | %s |\n", count[k], k, first[k] }' "$report.details" |
        sort -t'|' -k2 -rn
    fi
    echo
    echo "Replay one: ERPSYNC_HISTORY_SEED=<seed> build/tests/test_history --gtest_filter='Seeded/*'"
  } >>"$report"
  return $status
}

# Cross-build for 64-bit Windows and run the core test programs under Wine, each program once.
run_windows() {
  local deps=build-windows/deps out=build-windows/build
  packaging/windows/build_deps.sh "$deps"
  cmake -S . -B "$out" -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DCMAKE_TOOLCHAIN_FILE=cmake/mingw-w64.cmake \
    -DERPSYNC_WINDOWS_DEPS="$PWD/$deps" -DERPSYNC_GUI=OFF -DERPSYNC_BENCH=OFF >/dev/null
  cmake --build "$out" -j "$(nproc)"
  # A Wine prefix made once before the tests start in parallel; no prompts for Mono or Gecko.
  export WINEDLLOVERRIDES="mscoree,mshtml=" WINEDEBUG=-all
  wineboot -i >/dev/null 2>&1 || true
  ctest --test-dir "$out" --output-on-failure -j "$(nproc)"
  (cd "$out" && cpack -G ZIP >/dev/null && ls "$PWD"/erpsync-*.zip)
}

run_package() {
  cmake -S . -B build-package -G Ninja -DCMAKE_BUILD_TYPE=RelWithDebInfo -DERPSYNC_TESTS=OFF -DERPSYNC_BENCH=OFF \
    >/dev/null
  cmake --build build-package -j "$(nproc)"
  (cd build-package && cpack -G DEB >/dev/null && ls "$PWD"/erpsync_*.deb)
}

# The .deb on this machine, then the headless demo from an empty folder: no source tree involved.
run_install_check() {
  local deb
  deb="$(ls "$PWD"/build-package/erpsync_*.deb | head -n 1)"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  $sudo apt-get install -y -qq "$deb" >/dev/null
  local dir
  dir="$(mktemp -d)"
  (
    cd "$dir"
    erpsync-cli testbed init --home .
    erpsync-cli update-database --yes --home .
    erpsync-cli testbed simulate --home .
    ERPSYNC_SERVER_CLOCK_OFFSET=600 erpsync-cli run --home . --passes 3 --wait-ms 0
    man -w erpsync-cli >/dev/null
  )
  rm -rf "$dir"
  echo "install check passed"
}

case "${1:-}" in
  demo)
    install_packages
    build
    run_demo
    ;;
  demo-odbc)
    install_packages
    build
    run_demo_odbc
    ;;
  test)
    install_packages
    build
    export QT_QPA_PLATFORM=offscreen
    ctest --test-dir build --output-on-failure -j "$(nproc)" --timeout 900
    ;;
  build)
    install_packages
    build
    ;;
  windows)
    PACKAGES+=("${WINDOWS_PACKAGES[@]}")
    install_packages
    run_windows
    ;;
  package)
    install_packages
    run_package
    ;;
  install-check)
    install_packages
    [ -n "$(ls build-package/erpsync_*.deb 2>/dev/null)" ] || run_package
    run_install_check
    ;;
  sweep)
    install_packages
    build
    rm -f build/sweep-report.md build/sweep-report.md.details build/sweep-histories-*.log
    status=0
    ERPSYNC_SWEEP_POINTS="${ERPSYNC_SWEEP_POINTS:-64}" ERPSYNC_SWEEP_REPORT="$PWD/build/sweep-report.md" \
      build/tests/test_faults --gtest_filter='Operations/Sweep.*' || status=1
    run_histories "${ERPSYNC_SWEEP_HISTORIES:-2000}" || status=1
    echo "Figures: build/sweep-report.md"
    exit $status
    ;;
  concurrency)
    # Branches entering and uploading into one head office at once (sizes: --branches N --vouchers N ...).
    install_packages
    build
    shift
    build/cli/erpsync-cli testbed concurrency --dir build/concurrency "$@"
    ;;
  soak)
    # The unattended runner for a long stretch under ERP activity (--minutes M ...); figures in build/soak.
    install_packages
    build
    shift
    tools/soak.sh --cli build/cli/erpsync-cli --dir build/soak "$@"
    ;;
  *)
    echo "usage: $0 demo|demo-odbc|test|build|windows|package|install-check|sweep|concurrency|soak" >&2
    exit 2
    ;;
esac
