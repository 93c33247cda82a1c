#!/usr/bin/env bash
# Runs one libFuzzer target until it has used a given amount of CPU time (not wall time), so a
# fuzzer run niced on a shared machine still gets its full share. Stops it with SIGINT, which makes
# libFuzzer print its final statistics, and appends a summary line to the report file.
#   tools/fuzz_for_cpu.sh FUZZER CPU_SECONDS REPORT [libFuzzer arguments and corpus dirs...]
set -u
fuzzer=$1; cpu_target=$2; report=$3; shift 3
tick=$(getconf CLK_TCK)
start=$(date +%s)
"$fuzzer" "$@" &
pid=$!
cpu=0
while kill -0 "$pid" 2>/dev/null; do
  sleep 20
  # utime + stime of the fuzzer (fields 14 and 15 of /proc/PID/stat), in clock ticks
  if stat=$(cat "/proc/$pid/stat" 2>/dev/null); then
    rest=${stat##*) }
    read -r -a f <<<"$rest"
    cpu=$(( (f[11] + f[12]) / tick ))
    if (( cpu >= cpu_target )); then kill -INT "$pid"; break; fi
  fi
done
wait "$pid"; rc=$?
echo "$(basename "$fuzzer") cpu_s=$cpu wall_s=$(( $(date +%s) - start )) exit=$rc" >> "$report"
