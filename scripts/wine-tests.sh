#!/usr/bin/env bash
# Tesserine.dll under Wine, 32-bit and 64-bit, against the native library.
#
# Usage: scripts/wine-tests.sh
#
# Configures and builds what is missing (the win32 and win64 cross builds,
# the native release build's library and reference writer), checks the
# DLLs' export and import tables, then runs the Windows test program in a
# quiet prefix of each build (build/win32/wineprefix, build/win64/wineprefix)
# at 96 dpi, at 120 dpi and in code page 936, decodes the code page 936
# symbol with zbar and ZXing, and runs the Python ctypes example against the
# native library. Everything it writes goes under build/. Prints one line per
# check, then "N passed, M failed"; exits non-zero when any check failed.
set -uo pipefail
cd "$(dirname "${BASH_SOURCE[0]}")/.."
ROOT=$PWD
OUT=$ROOT/build/wine-tests
WINE_RUN="sh $ROOT/scripts/wine-run.sh"
EXPORTS="QRAppearance QRConfigure QRCopyToClipboard QRGetActualRC QRGetActualSize QRGetPatternData QRRender
QRSaveAsBMP QRSaveAsWMF QRSetBackColor QRSetBarColor QRSetDefault QRSetMessage QRSetSize"
SYSTEM_DLLS="GDI32.DLL KERNEL32.DLL MSVCRT.DLL USER32.DLL"

passed=0
failed=0
pass() { passed=$((passed + 1)); echo "PASS $*"; }
fail() { failed=$((failed + 1)); echo "FAIL $*"; }
check() {  # check NAME COMMAND...: passes when the command succeeds
  local name=$1
  shift
  if "$@" >>"$OUT/checks.log" 2>&1; then pass "$name"; else fail "$name (see $OUT/checks.log)"; fi
}
winpath() { printf 'Z:%s' "$(realpath -m "$1")" | tr / '\\'; }

rm -rf "$OUT"
mkdir -p "$OUT"
: >"$OUT/checks.log"
started=$SECONDS

# ---- builds -------------------------------------------------------------------

build_native() {
  if [ ! -f build/release/CMakeCache.txt ]; then
    cmake --preset release >/dev/null 2>&1 || cmake -S . -B build/release -G Ninja -DCMAKE_BUILD_TYPE=Release
  fi
  cmake --build build/release --target tesserine tesserine_wine_reference tesserine_cli -j2
}

build_cross() {
  local preset=$1
  [ -f "build/$preset/CMakeCache.txt" ] || cmake --preset "$preset" || return 1
  cmake --build --preset "$preset"
}

check "native build (library and reference writer)" build_native
native_ok=$?
declare -A built
for arch in win32 win64; do
  if build_cross "$arch" >"$OUT/build-$arch.log" 2>&1; then
    pass "$arch cross build"
    built[$arch]=1
  else
    fail "$arch cross build (see $OUT/build-$arch.log)"
    built[$arch]=0
  fi
done

# ---- export and import tables ---------------------------------------------------

objdump_for() { [ "$1" = win32 ] && echo i686-w64-mingw32-objdump || echo x86_64-w64-mingw32-objdump; }

exports_exactly_the_fourteen() {
  local names
  names=$("$(objdump_for "$1")" -p "build/$1/bin/Tesserine.dll" |
    sed -n '/\[Ordinal\/Name Pointer\] Table/,/^$/p' | awk 'NR > 1 && NF { print $NF }' | sort)
  echo "$1 exports: $names"
  [ "$names" = "$(tr ' ' '\n' <<<"$EXPORTS" | sed '/^$/d' | sort)" ]
}

imports_only_system_dlls() {
  local dlls dll
  dlls=$("$(objdump_for "$1")" -p "build/$1/bin/Tesserine.dll" | awk '/DLL Name:/ { print toupper($3) }' | sort -u)
  echo "$1 imports: $dlls"
  [ -n "$dlls" ] || return 1
  for dll in $dlls; do
    grep -qw "$dll" <<<"$SYSTEM_DLLS" || return 1
  done
}

# The import library binds the names callers of tesserine.h reference
# (QRSetSize@8 on 32-bit, QRSetSize on 64-bit) to the undecorated exports.
import_library_binds_header_names() {
  local nm want
  nm=$([ "$1" = win32 ] && echo i686-w64-mingw32-nm || echo x86_64-w64-mingw32-nm)
  if [ "$1" = win32 ]; then
    want="_QRAppearance@16 _QRConfigure@12 _QRCopyToClipboard@0 _QRGetActualRC@8 _QRGetActualSize@16
_QRGetPatternData@16 _QRRender@12 _QRSaveAsBMP@4 _QRSaveAsWMF@4 _QRSetBackColor@12 _QRSetBarColor@12
_QRSetDefault@0 _QRSetMessage@4 _QRSetSize@8"
  else
    want=$EXPORTS
  fi
  [ "$("$nm" "build/$1/engine/Tesserine.lib" | awk '$2 == "T" { print $3 }' | sort)" = \
    "$(tr ' ' '\n' <<<"$want" | sed '/^$/d' | sort)" ]
}

installs_dll_header_def_and_import_library() {
  rm -rf "$OUT/install-$1"
  cmake --install "build/$1" --prefix "$OUT/install-$1" &&
    for f in bin/Tesserine.dll include/tesserine.h lib/Tesserine.lib lib/Tesserine.def; do
      [ -f "$OUT/install-$1/$f" ] || { echo "missing $f"; return 1; }
    done
}

for arch in win32 win64; do
  [ "${built[$arch]}" = 1 ] || continue
  check "$arch DLL exports exactly the fourteen names, undecorated" exports_exactly_the_fourteen "$arch"
  check "$arch DLL imports only system DLLs" imports_only_system_dlls "$arch"
  check "$arch import library binds the header's names" import_library_binds_header_names "$arch"
  check "$arch install: DLL, header, .def and import library" installs_dll_header_def_and_import_library "$arch"
done

# ---- reference files of the native library ------------------------------------

mkdir -p "$OUT/native"
if [ "$native_ok" = 0 ]; then
  check "native reference files" build/release/tests/wine/tesserine_wine_reference \
    build/release/engine/libtesserine.so "$OUT/native"
fi

# ---- Wine -----------------------------------------------------------------------

# One X server for the Wine runs (the tests need none, but it gives Wine its
# real display driver); stopped at the end with the Wine servers.
xvfb_pid=
if command -v Xvfb >/dev/null; then
  : >"$OUT/xdisplay"
  Xvfb -displayfd 3 -screen 0 1024x768x24 -nolisten tcp 3>"$OUT/xdisplay" >/dev/null 2>&1 &
  xvfb_pid=$!
  for _ in $(seq 50); do [ -s "$OUT/xdisplay" ] && break; sleep 0.1; done
  if [ -s "$OUT/xdisplay" ]; then export DISPLAY=":$(tr -d '[:space:]' <"$OUT/xdisplay")"; else unset DISPLAY; fi
else
  unset DISPLAY
fi

prefixes=()
cleanup() {
  local p
  for p in "${prefixes[@]}"; do WINEPREFIX=$p wineserver -k >/dev/null 2>&1; done
  [ -n "$xvfb_pid" ] && kill "$xvfb_pid" 2>/dev/null && wait "$xvfb_pid" 2>/dev/null
}
trap cleanup EXIT

wine_in() {  # wine_in ARCH COMMAND...: runs in the build's prefix
  local arch=$1
  shift
  timeout 300 $WINE_RUN "$ROOT/build/$arch/wineprefix" "$arch" "$@"
}

# Sets the display's resolution and restarts the prefix's server so that it
# takes effect; one persistent server serves the runs that follow.
set_dpi() {
  local arch=$1 dpi=$2
  wine_in "$arch" reg add 'HKCU\Control Panel\Desktop' /v LogPixels /t REG_DWORD /d "$dpi" /f >/dev/null 2>&1
  WINEPREFIX=$ROOT/build/$arch/wineprefix wineserver -k >/dev/null 2>&1
  WINEPREFIX=$ROOT/build/$arch/wineprefix wineserver -w >/dev/null 2>&1
  WINEPREFIX=$ROOT/build/$arch/wineprefix wineserver -p >/dev/null 2>&1
}

# gtest_phase LABEL ARCH FILTER [VAR=VALUE...]: runs the test program with the
# filter and the environment, and counts each test case as a check (a
# skipped one fails: every phase sets up what its tests need).
gtest_phase() {
  local label=$1 arch=$2 filter=$3
  shift 3
  local xml=$OUT/$label.xml log=$OUT/$label.log
  env "$@" TESSERINE_WINE_OUT="$(winpath "$OUT/$label")" TESSERINE_NATIVE_DIR="$(winpath "$OUT/native")" \
    timeout 300 $WINE_RUN "$ROOT/build/$arch/wineprefix" "$arch" "$ROOT/build/$arch/bin/wine_tests.exe" \
    --gtest_filter="$filter" --gtest_output="xml:$(winpath "$xml")" >"$log" 2>&1
  local code=$?
  if [ ! -s "$xml" ]; then
    fail "$label: test program ended with $code before reporting (see $log)"
    return
  fi
  local attr tests failures errors skipped ok
  attr() { grep -o "<testsuites [^>]*" "$xml" | grep -o " $1=\"[0-9]*\"" | grep -o '[0-9]*'; }
  tests=$(attr tests) failures=$(attr failures) errors=$(attr errors)
  skipped=$(grep -c 'result="skipped"' "$xml")
  ok=$((tests - failures - errors - skipped))
  passed=$((passed + ok))
  echo "PASS $label: $ok tests"
  local name named=0
  while read -r name; do
    fail "$label: $name (see $log)"
    named=$((named + 1))
  done < <(tr -d '\r' <"$log" | grep -E '^\[ +(FAILED|SKIPPED) +\] [A-Za-z0-9_]+\.[A-Za-z0-9_/]+( |$)' |
           sed -E 's/^\[ *[A-Z]+ *\] ([^ ]+).*/\1/' | sort -u)
  local counted=$((failures + errors + skipped))
  if [ "$named" -lt "$counted" ]; then fail "$label: $((counted - named)) more tests failed (see $log)"; fi
  if [ "$code" != 0 ] && [ "$counted" = 0 ]; then fail "$label: test program exit code $code"; fi
}

decodes_to_bytes() {  # decodes_to_bytes DECODER BMP BYTES
  local got=$OUT/decoded.$$
  case $1 in
    zbar) zbarimg -q --raw --nodbus -Sbinary "$2" >"$got" ;;
    zxing) ZXingReader -bytes "$2" >"$got" ;;
  esac
  # zbar may end its output with a newline the symbol does not hold.
  if [ "$1" = zbar ] && [ "$(tail -c1 "$got" | od -An -tx1 | tr -d ' ')" = 0a ] &&
     [ "$(tail -c1 "$3" | od -An -tx1 | tr -d ' ')" != 0a ]; then
    truncate -s -1 "$got"
  fi
  cmp "$got" "$3"
}

import_library_caller_runs() {
  local got
  got=$(cd "$OUT" && wine_in "$1" "$ROOT/build/$1/bin/import_library_caller.exe" | tr -d '\r')
  echo "$1 import_library_caller: $got"
  [ "$got" = "25 25 -1" ]
}

# The command-line tool built for Windows prints what the native one prints
# and ends with the same exit status.
cli_matches_native() {  # cli_matches_native ARCH ARGS...
  local arch=$1 native windows
  shift
  [ -x build/release/cli/tesserine ] && [ -f "build/$arch/bin/tesserine.exe" ] || return 1
  (cd "$OUT" && "$ROOT/build/release/cli/tesserine" "$@") >"$OUT/cli-native.out"
  native=$?
  (cd "$OUT" && wine_in "$arch" "$ROOT/build/$arch/bin/tesserine.exe" "$@") >"$OUT/cli-$arch.out"
  windows=$?
  echo "$arch tesserine.exe $*: exit $windows, native $native"
  [ "$native" = "$windows" ] && cmp "$OUT/cli-native.out" "$OUT/cli-$arch.out"
}
# The same for a picture file it writes (-o NAME.EXT).
cli_file_matches_native() {  # cli_file_matches_native ARCH EXT ARGS...
  local arch=$1 ext=$2 native windows
  shift 2
  [ -x build/release/cli/tesserine ] && [ -f "build/$arch/bin/tesserine.exe" ] || return 1
  rm -f "$OUT/cli-native.$ext" "$OUT/cli-$arch.$ext"
  (cd "$OUT" && "$ROOT/build/release/cli/tesserine" -o "cli-native.$ext" "$@")
  native=$?
  (cd "$OUT" && wine_in "$arch" "$ROOT/build/$arch/bin/tesserine.exe" -o "cli-$arch.$ext" "$@")
  windows=$?
  echo "$arch tesserine.exe -o cli-$arch.$ext $*: exit $windows, native $native"
  [ "$native" = 0 ] && [ "$windows" = 0 ] && cmp "$OUT/cli-native.$ext" "$OUT/cli-$arch.$ext"
}
printf '\xd6\xd0\xce\xc4 GBK \xff\x01 bytes' >"$OUT/cli-input.bin"
printf 'ab\000cd' >"$OUT/cli-with-nul.bin"

make_zh_locale() {
  [ -d "$OUT/locale/zh_CN.UTF-8" ] || { mkdir -p "$OUT/locale" && localedef -i zh_CN -f UTF-8 "$OUT/locale/zh_CN.UTF-8"; }
}
check "zh_CN.UTF-8 locale for code page 936" make_zh_locale
zh_env=(LOCPATH="$OUT/locale" LC_ALL=zh_CN.UTF-8)

for arch in win32 win64; do
  [ "${built[$arch]}" = 1 ] || continue
  prefixes+=("$ROOT/build/$arch/wineprefix")
  bits=${arch#win}
  set_dpi "$arch" 96
  gtest_phase "wine$bits-96dpi" "$arch" '-CodePage936.*' TESSERINE_EXPECT_DPI=96
  check "$arch C program linked with the import library" import_library_caller_runs "$arch"
  check "$arch command-line tool: pattern output as native" cli_matches_native "$arch" -t pattern -l Q "Wine CLI 42"
  check "$arch command-line tool: half-block output as native" cli_matches_native "$arch" -t utf8 -v 3 "Wine CLI"
  check "$arch command-line tool: bytes read from a file as native" \
    cli_matches_native "$arch" -t pattern -r cli-input.bin
  check "$arch command-line tool: a text with a NUL refused as native" \
    cli_matches_native "$arch" -t pattern -r cli-with-nul.bin
  check "$arch command-line tool: BMP file as native" \
    cli_file_matches_native "$arch" bmp --border dashed --orientation 2 "CLI BMP"
  check "$arch command-line tool: 4-bit BMP file as native" \
    cli_file_matches_native "$arch" bmp --fg 8000C0 --bg F0F0A0 -l H "CLI BMP 4"
  check "$arch command-line tool: WMF file as native" \
    cli_file_matches_native "$arch" wmf --border solid --size 300x280 "CLI WMF"
  check "$arch command-line tool: clipboard EMF as native" \
    cli_file_matches_native "$arch" emf --border dashed "CLI EMF"
  gtest_phase "wine$bits-cp936" "$arch" 'CodePage936.*' "${zh_env[@]}"
  for decoder in zbar zxing; do
    check "$arch code page 936 symbol decodes ($decoder) to the GBK bytes" \
      decodes_to_bytes "$decoder" "$OUT/wine$bits-cp936/gbk.bmp" "$OUT/wine$bits-cp936/gbk.bytes"
  done
  if [ "$arch" = win32 ]; then
    set_dpi "$arch" 120
    gtest_phase "wine$bits-120dpi" "$arch" '-NativeIdentity.*:CodePage936.*' TESSERINE_EXPECT_DPI=120
    set_dpi "$arch" 96
  fi
done

# ---- Python ctypes example against the native library ---------------------------

if [ "$native_ok" = 0 ]; then
  python3 tests/wine/test_ctypes_example.py build/release/engine/libtesserine.so -v >"$OUT/ctypes.log" 2>&1
  while read -r line; do
    case $line in
      *" ... ok") pass "ctypes: ${line%% *}" ;;
      *" ... FAIL" | *" ... ERROR" | *" ... skipped"*) fail "ctypes: ${line%% *} (see $OUT/ctypes.log)" ;;
    esac
  done <"$OUT/ctypes.log"
  grep -q '^OK' "$OUT/ctypes.log" || fail "ctypes example tests (see $OUT/ctypes.log)"
fi

echo "Wine tests took $((SECONDS - started)) s"
echo "$passed passed, $failed failed"
[ "$failed" = 0 ]
