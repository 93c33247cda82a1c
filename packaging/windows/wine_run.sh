#!/usr/bin/env bash
# Runs a Windows program of this build under Wine with the libraries' DLLs on its path.
# Usage: wine_run.sh DLL_DIR PROGRAM [ARGS...]
set -euo pipefail
dlls="$1"
shift
export WINEDEBUG="${WINEDEBUG:--all}"
# No prompts to install Mono or Gecko when Wine makes its prefix.
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"
export WINEPATH="$(winepath -w "$dlls" 2>/dev/null || echo "$dlls")"
exec wine "$@"
