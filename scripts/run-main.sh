#!/usr/bin/env bash
# The main job: installs what the build needs, builds the release
# configuration and prints a QR code symbol of the text given (default
# "Tesserine") on the terminal. When an X display is available (DISPLAY is
# set and answers), it also builds the generator application and starts it
# under Wine; the script returns when its window is closed.
# Usage: scripts/run-main.sh [TEXT]
set -euo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."

display_available() {
  [ -n "${DISPLAY:-}" ] || return 1
  if command -v xdpyinfo >/dev/null 2>&1; then xdpyinfo >/dev/null 2>&1; else return 0; fi
}

if display_available; then
  bash scripts/install-deps.sh
else
  bash scripts/install-deps.sh --native
fi
cmake --preset release
cmake --build --preset release --target tesserine_cli
build/release/cli/tesserine "${1:-Tesserine}"

if display_available; then
  cmake --preset win32
  cmake --build --preset win32 --target tesserine_generator
  generator=$(find build/win32 -name TesserineGenerator.exe -path '*bin*' | head -n 1)
  dir=build/win32/generator
  mkdir -p "$dir"
  cp "$generator" "$dir/"
  export WINEPREFIX=$PWD/build/win32/generator-prefix WINEARCH=win32 WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  [ -d "$WINEPREFIX" ] || wineboot -i
  echo "Starting the generator under Wine on $DISPLAY (close its window to finish)"
  (cd "$dir" && wine TesserineGenerator.exe)
else
  echo "No display: the generator application is not started (set DISPLAY to start it under Wine)"
fi
