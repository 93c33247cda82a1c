#!/bin/bash
# Peak resident set of `erpsync-cli serve` (head office's server behind the wire protocol) while a
# branch uploads a week-offline backlog through it: a testbed branch with N vouchers waiting (default
# 10000), its settings pointing the central server at the endpoint, one `run` pass.
#   bench/serve_upload_memory.sh build/cli/erpsync-cli [vouchers] [port]
# Extra settings of the server process go in SERVE_ENV (e.g. SERVE_ENV=ERPSYNC_PARSE_CACHE_MB=1000000).
set -e
cli=$(realpath "$1"); vouchers=${2:-10000}; port=${3:-14339}
work=$(mktemp -d /tmp/erpsync-serve-memory.XXXXXX); home=$work/home
trap 'kill $server 2>/dev/null; rm -rf "$work"' EXIT
"$cli" testbed init --home "$home" > "$work/setup.log"
"$cli" update-database --yes --home "$home" >> "$work/setup.log"
"$cli" testbed erp --home "$home" --vouchers "$vouchers" >> "$work/setup.log"
sed -i "s|^SYNCSERVER=.*|SYNCSERVER=127.0.0.1,$port|" "$home/Resources/Appsettings.ini"
# Both clocks ten minutes on, so every voucher is old enough to go.
env ERPSYNC_SERVER_CLOCK_OFFSET=600 $SERVE_ENV "$cli" serve --dir servers/central --port "$port" --home "$home" \
  > "$work/serve.log" 2>&1 &
server=$!
sleep 1
start=$(date +%s.%N)
ERPSYNC_SERVER_CLOCK_OFFSET=600 "$cli" run --passes 1 --yes --home "$home" > "$work/run.log" 2>&1 || cat "$work/run.log"
end=$(date +%s.%N)
grep '^Pass 1' "$work/run.log"
echo "serve peak resident set: $(awk '/VmHWM/ {printf "%.0f MiB", $2/1024}' /proc/$server/status); upload $(echo "$end - $start" | bc) s"
