#!/usr/bin/env bash
# Fetches and unpacks one Debian source package into a folder of ours, through apt with a private list
# of source archives made from the system's own Debian entries (the system's apt configuration is not
# touched). Usage: fetch_source.sh PACKAGE DEST_DIR
set -euo pipefail
pkg="$1"
dest="$2"
state="$dest/.apt"
mkdir -p "$state/lists/partial" "$state/parts" "$state/cache/archives/partial"

# The system's Debian entries, for sources: deb822 files get Types: deb-src, one-line files deb-src lines.
for f in /etc/apt/sources.list.d/*.sources; do
  [ -e "$f" ] || continue
  grep -qi 'debian' "$f" || continue
  sed -E 's/^Types:.*/Types: deb-src/' "$f" >"$state/parts/$(basename "$f")"
done
if [ -f /etc/apt/sources.list ]; then
  sed -n -E 's/^deb +/deb-src /p' /etc/apt/sources.list >"$state/parts/system.list"
fi

opts=(-o "Dir::Etc::SourceList=/dev/null" -o "Dir::Etc::SourceParts=$state/parts"
  -o "Dir::State::Lists=$state/lists" -o "Dir::Cache=$state/cache" -o "APT::Sandbox::User=root")
apt-get "${opts[@]}" -qq update
cd "$dest"
apt-get "${opts[@]}" -qq source "$pkg"
