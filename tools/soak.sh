#!/usr/bin/env bash
# Soak: the unattended runner (erpsync-cli run, as a service) for thousands of passes while the ERP
# simulator keeps entering branch vouchers and changing head-office masters. Work comes in cycles: a
# busy stretch of entries, then an idle stretch with nothing to do, so the log growth of an idle pass
# can be measured. Every few seconds the runner's memory (VmRSS), open files (/proc/PID/fd), database
# handles (open files of the embedded servers' databases) and the daily log's size go into a CSV.
#
# usage: tools/soak.sh [--cli PATH] [--dir DIR] [--minutes M] [--wait-ms MS] [--sample-s S]
#                      [--busy-s S] [--idle-s S] [--feed-every-s S]
# Linux only (reads /proc). Prints a start / middle / end table and the idle log growth at the end.
set -euo pipefail

cli=build/cli/erpsync-cli
dir=build/soak
minutes=30
wait_ms=200
sample_s=10
busy_s=240
idle_s=60
feed_every_s=5
while [ $# -gt 0 ]; do
  case "$1" in
    --cli) cli=$2; shift 2 ;;
    --dir) dir=$2; shift 2 ;;
    --minutes) minutes=$2; shift 2 ;;
    --wait-ms) wait_ms=$2; shift 2 ;;
    --sample-s) sample_s=$2; shift 2 ;;
    --busy-s) busy_s=$2; shift 2 ;;
    --idle-s) idle_s=$2; shift 2 ;;
    --feed-every-s) feed_every_s=$2; shift 2 ;;
    *) echo "unknown option $1" >&2; exit 2 ;;
  esac
done
cli=$(realpath "$cli")
mkdir -p "$dir"
dir=$(realpath "$dir")
home=$dir/home
csv=$dir/soak.csv
phase_file=$dir/phase

"$cli" testbed init --home "$home" >/dev/null
"$cli" update-database --home "$home" --yes >/dev/null

# The runner sees the servers' clock ten minutes on, so a voucher is old enough as soon as it is saved.
ERPSYNC_SERVER_CLOCK_OFFSET=600 "$cli" run --home "$home" --yes --passes 0 --wait-ms "$wait_ms" \
  >"$dir/runner.out" 2>&1 &
runner=$!

# The ERP: a few vouchers and a master change every few seconds while busy, nothing while idle.
feed() {
  local seed=1 t0 now
  while true; do
    echo busy >"$phase_file"
    t0=$(date +%s)
    while now=$(date +%s); [ $((now - t0)) -lt "$busy_s" ]; do
      "$cli" testbed simulate --home "$home" --sales 2 --orders 1 --stock-journals 1 --job-cards 0 --notes 1 \
        --edits 1 --deletes 0 --masters 1 --board-rates 0 --seed "$seed" >>"$dir/feeder.out" 2>&1 || true
      seed=$((seed + 1))
      sleep "$feed_every_s"
    done
    echo idle >"$phase_file"
    sleep "$idle_s"
  done
}
feed &
feeder=$!

stop() {
  kill "$feeder" 2>/dev/null || true
  kill -TERM "$runner" 2>/dev/null || true
  wait "$runner" 2>/dev/null || true
}
trap stop EXIT

log_bytes() {
  local n=0
  for d in "$home"/*/; do
    case "$d" in */servers/ | */Resources/) continue ;; esac
    for f in "$d"*; do [ -f "$f" ] && n=$((n + $(stat -c %s "$f"))); done
  done
  echo "$n"
}

echo "seconds,phase,passes,uploaded,rss_kb,fds,db_handles,log_bytes" >"$csv"
start=$(date +%s)
end=$((start + minutes * 60))
while now=$(date +%s); [ "$now" -lt "$end" ] && kill -0 "$runner" 2>/dev/null; do
  rss=$(awk '/^VmRSS:/ {print $2}' "/proc/$runner/status")
  fds=$(find "/proc/$runner/fd" -mindepth 1 -maxdepth 1 2>/dev/null | wc -l)
  dbh=$(find "/proc/$runner/fd" -mindepth 1 -maxdepth 1 -lname "$home/servers/*" 2>/dev/null | wc -l)
  passes=$(grep -c '^Pass ' "$dir/runner.out" || true)
  uploaded=$(sed -n 's/.*vouchers uploaded \([0-9]*\).*/\1/p' "$dir/runner.out" | awk '{s += $1} END {print s + 0}')
  echo "$((now - start)),$(cat "$phase_file" 2>/dev/null || echo busy),$passes,$uploaded,$rss,$fds,$dbh,$(log_bytes)" >>"$csv"
  sleep "$sample_s"
done
stop
trap - EXIT
echo "runner exit: $(tail -n 1 "$dir/runner.out")"

# Start, middle and end of the curves, and the log bytes per pass over idle stretches (each pair of
# samples that are both idle and not the first sample of their stretch: the busy tail is written by then).
awk -F, 'NR > 1 { row[++n] = $0 }
  END {
    printf "%-8s %8s %8s %9s %9s %5s %10s %12s\n", "", "seconds", "passes", "uploaded", "rss_kb", "fds", "db_handles", "log_bytes"
    split("start middle end", name, " ")
    idx[1] = 1; idx[2] = int((n + 1) / 2); idx[3] = n
    for (k = 1; k <= 3; ++k) { split(row[idx[k]], f, ",")
      printf "%-8s %8s %8s %9s %9s %5s %10s %12s\n", name[k], f[1], f[3], f[4], f[5], f[6], f[7], f[8] }
  }' "$csv"
awk -F, 'NR > 1 {
    if ($2 == "idle" && prevPhase == "idle" && prevPrevPhase == "idle" && $3 > prevPasses) {
      bytes += $8 - prevBytes; passes += $3 - prevPasses
      if (first == "") first = ($8 - prevBytes) / ($3 - prevPasses)
      last = ($8 - prevBytes) / ($3 - prevPasses)
    }
    prevPrevPhase = prevPhase; prevPhase = $2; prevPasses = $3; prevBytes = $8
  }
  END {
    if (passes > 0) printf "idle passes measured %d, log bytes per idle pass: mean %.1f, first %.1f, last %.1f\n", passes, bytes / passes, first, last
    else print "no idle stretch measured"
  }' "$csv"
echo "CSV: $csv"
