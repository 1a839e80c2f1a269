#!/bin/sh
# Runs a Windows program under Wine in a quiet prefix of its own.
#   wine-run.sh PREFIX_DIR win32|win64 PROGRAM [ARGS...]
# The prefix is made on first use (WINEARCH from the second argument). No
# menu entries, no Mono or Gecko, no debug output.
set -e
prefix=$1 arch=$2
shift 2
case $arch in
  win32) loader=/usr/lib/wine/wine ;;
  win64) loader=/usr/lib/wine/wine64 ;;
  *) echo "wine-run.sh: arch must be win32 or win64" >&2; exit 2 ;;
esac
[ -x "$loader" ] || loader=wine
mkdir -p "$(dirname "$prefix")"
WINEPREFIX=$(cd "$(dirname "$prefix")" && pwd)/$(basename "$prefix")
WINEARCH=$arch
WINEDEBUG=${TESSERINE_WINEDEBUG:--all}
WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
export WINEPREFIX WINEARCH WINEDEBUG WINEDLLOVERRIDES
if [ ! -f "$WINEPREFIX/system.reg" ]; then
  # One boot at a time when several tests start together.
  (
    flock 9
    if [ ! -f "$WINEPREFIX/system.reg" ]; then
      WINELOADER=$loader "$loader" wineboot -i >/dev/null 2>&1 || true
      wineserver -w
    fi
  ) 9>"$WINEPREFIX.lock"
fi
exec "$loader" "$@"
