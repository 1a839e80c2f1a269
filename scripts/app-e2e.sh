#!/usr/bin/env bash
# End-to-end test of the generator program: the real executable under Wine
# on a virtual X display, in a fresh Wine prefix, driven by mouse clicks and
# keys (xdotool) and a small helper program inside Wine
# (tests/app_e2e/e2e_helper.cpp). Its findings are checked on the files it
# writes (decoded by zbar and ZXing, bytes compared), on the addresses it
# hands to the browser and the files it hands to the shell (both captured),
# and on screenshots (tests/app_e2e/shot_check.py), which stay in the output
# folder with the logs.
#
# Usage: scripts/app-e2e.sh [WIN32_BUILD_DIR]
#   WIN32_BUILD_DIR: a build of the tree for i686 Windows (default build/win32,
#   the win32 preset's; configured with cmake/mingw-i686.cmake and built here
#   when needed).
# Output: $WIN32_BUILD_DIR/app-e2e/. Prints "N passed, M failed"; exits 1
# when a check failed, 2 when the test could not run.
set -uo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
build=$(mkdir -p "${1:-$root/build/win32}" && cd "${1:-$root/build/win32}" && pwd)
toolchain=$root/cmake/mingw-i686.cmake

# ---- Build, then run again on a virtual display ---------------------------------
if [ -z "${TESSERINE_APP_E2E_DISPLAY:-}" ]; then
  for tool in wine wineserver wineboot xvfb-run xdotool import zbarimg ZXingReader iconv localedef python3 \
    /usr/bin/convert; do
    command -v "$tool" >/dev/null || { echo "app-e2e: $tool is missing (scripts/install-deps.sh)" >&2; exit 2; }
  done
  if [ ! -f "$build/build.ninja" ]; then
    cmake -S "$root" -B "$build" -G Ninja -DCMAKE_TOOLCHAIN_FILE="$toolchain" -DCMAKE_BUILD_TYPE=Release >/dev/null ||
      { echo "app-e2e: cannot configure $build" >&2; exit 2; }
  fi
  cmake --build "$build" -j2 --target tesserine_generator app_e2e_helper app_generator_recording \
    app_generator_cdecl app_generator_noexport >/dev/null ||
    { echo "app-e2e: build failed (cmake --build $build)" >&2; exit 2; }
  export TESSERINE_APP_E2E_DISPLAY=1
  exec xvfb-run -a -s "-screen 0 1024x768x24 -nolisten tcp" "$0" "$build"
fi

out=$build/app-e2e
rm -rf "$out"
mkdir -p "$out/home"
export HOME=$out/home  # Wine links the prefix's Desktop and documents into $HOME
export WINEPREFIX=$out/prefix WINEARCH=win32 WINEDEBUG=-all
export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
unset LC_ALL LANG LANGUAGE LOCPATH
export LC_ALL=C.UTF-8

passed=0 failed=0
pass() { passed=$((passed + 1)); echo "ok   $1"; }
fail() { failed=$((failed + 1)); echo "FAIL $1${2:+: $2}"; }
# check NAME COMMAND...: passes when the command succeeds.
check() {
  local name=$1
  shift
  if "$@"; then pass "$name"; else fail "$name"; fi
}
finish() {
  wineserver -k 2>/dev/null
  echo "$passed passed, $failed failed"
  [ "$failed" -eq 0 ]
  exit $?
}

# generator, carried, helper_exe, recording_exe, recording_dll, cdecl_exe, noexport_exe
# shellcheck source=/dev/null
. "$build/app-e2e-programs.sh" || { echo "app-e2e: $build/app-e2e-programs.sh is missing" >&2; exit 2; }
resources=$root/app/resources
drive_c=$WINEPREFIX/drive_c

wine_q() { wine "$@" 2>/dev/null | tr -d '\r'; }
helper() { wine_q 'C:\e2e\helper.exe' "$@"; }
unhex() { [ "$1" = - ] || python3 -c 'import sys; sys.stdout.buffer.write(bytes.fromhex(sys.argv[1]))' "$1"; }
hexof() { printf '%s' "$1" | od -An -v -tx1 | tr -d ' \n'; }
# wait_for SECONDS COMMAND...: polls until the command succeeds.
wait_for() {
  local deadline=$((SECONDS + $1))
  shift
  until "$@"; do
    [ $SECONDS -ge $deadline ] && return 1
    sleep 0.2
  done
}
same_bytes() { [ -f "$1" ] && [ -f "$2" ] && cmp -s "$1" "$2"; }
has_line() { [ -f "$1" ] && grep -qxF -- "$2" "$1"; }
line_count() { if [ -f "$1" ]; then grep -cxF -- "$2" "$1"; else echo 0; fi; }

# ---- A fresh prefix --------------------------------------------------------------
echo "app-e2e: making a Wine prefix in $WINEPREFIX"
wineboot -i >/dev/null 2>&1 && wineserver -w
wineserver -p
reg() { wine_q reg add "$@" /f >/dev/null; }
reg 'HKCU\Software\Wine\X11 Driver' /v Decorated /d N  # Wine draws the frame: the screenshot shows the whole window
printf '#!/bin/sh\nfor a in "$@"; do printf "%%s\\n" "$a" >> "%s"; done\n' "$out/browser.log" > "$out/browser.sh"
chmod +x "$out/browser.sh"
reg 'HKCU\Software\Wine\WineBrowser' /v Browsers /d "$out/browser.sh"
mkdir -p "$drive_c/e2e"
cp "$helper_exe" "$drive_c/e2e/helper.exe"
reg 'HKCR\.jpg' /ve /d TesserineE2EImage
reg 'HKCR\TesserineE2EImage\shell\open\command' /ve /d '"C:\e2e\helper.exe" record "C:\e2e\opened.log" "%1"'
browser_log=$out/browser.log
opened_log=$drive_c/e2e/opened.log

# ---- Windows of the generator ------------------------------------------------------
# Each line of `helper windows`: hwnd pid left top width height client-x client-y client-w client-h
# visible style exstyle.
windows() { helper windows; }
# start_generator DIR EXE: starts it in the background; sets gen_pid (the
# Unix process) and gen (its window line) once its window shows.
start_generator() {
  local dir=$1 exe=$2 before
  before=$(windows | awk '{print $1}')
  (cd "$dir" && exec wine "$exe" >/dev/null 2>&1) &
  gen_pid=$!
  gen=""
  local deadline=$((SECONDS + 30))
  while [ -z "$gen" ] && [ $SECONDS -lt $deadline ]; do
    sleep 0.3
    gen=$(windows | grep visible | while read -r line; do
      case " $before " in *" ${line%% *} "*) ;; *) echo "$line" ;; esac
    done | head -1)
  done
  [ -n "$gen" ]
}
field() { echo "$gen" | awk -v n="$1" '{print $n}'; }
# click X Y: left button at client coordinates of the window in $gen.
click() { xdotool mousemove $(($(field 7) + $1)) $(($(field 8) + $2)) click 1; }
# Client coordinates of the middle of a control, from its place in the panel.
panel_y=8
click_control() {
  case $1 in
    图片框3) click $((96 + 64)) $((panel_y + 320 + 16)) ;;
    图片框4) click $((96 + 64)) $((panel_y + 400 + 20)) ;;
    图片框1) click $((120 + 40)) $((panel_y + 136 + 40)) ;;
    透明标签3) click $((256 + 24)) $((panel_y + 12)) ;;
    透明标签1) click $((152 + 48)) $((panel_y + 12)) ;;
    透明标签2) click $((272 + 16)) $((panel_y + 432 + 16)) ;;
    编辑框1) click $((0 + 150)) $((panel_y + 248 + 28)) ;;
    组合框_版本) click $((8 + 50)) $((panel_y + 10)) ;;
  esac
}
focus_window() {
  local wid
  wid=$(xdotool search --onlyvisible --pid "$gen_pid" 2>/dev/null | head -1)
  [ -n "$wid" ] || wid=$(xdotool search --onlyvisible --name '岚石二维码生成器' | head -1)
  xdotool windowfocus --sync "$wid"
}
# replace_text TEXT: types the ASCII text into the edit box over what is there.
replace_text() {
  focus_window
  click_control 编辑框1
  sleep 0.2
  xdotool key ctrl+Home ctrl+shift+End
  xdotool type --delay 15 "$1"
}
# paste_text TEXT: puts any text on the clipboard and pastes it into the edit box.
paste_text() {
  helper clipboard "$(hexof "$1")"
  focus_window
  click_control 编辑框1
  sleep 0.2
  xdotool key ctrl+Home ctrl+shift+End ctrl+v
}
# pick_version N: picks version N (list index N) with the arrow keys.
pick_version() {
  focus_window
  click_control 组合框_版本
  sleep 0.2
  local i
  for ((i = 0; i <= $1; i++)); do xdotool key Down; done
}
control_text() { helper controls "$(field 1)" | awk -v i="$1" '$1 == i {print $9}'; }
close_generator() {
  helper close "$(field 1)"
  local code=0
  wait "$gen_pid" || code=$?
  return $code
}
screenshot() { import -window root "$out/$1"; }
shot_check() {
  local result
  result=$(python3 "$root/tests/app_e2e/shot_check.py" window "$out/$1" "$(field 7)" "$(field 8)" "$resources" "$2")
  while read -r status name; do
    if [ "$status" = ok ]; then pass "$3: $name"; else fail "$3: ${name}"; fi
  done <<<"$result"
}
# check_symbol_file NAME FILE TEXT_BYTES_FILE MARGIN: a 32,062-byte 1-bit
# bitmap whose symbol starts MARGIN pixels in, decoding to the bytes.
check_symbol_file() {
  local name=$1 file=$2 expect=$3 margin=$4 info
  if [ ! -f "$file" ]; then fail "$name" "no $file"; return; fi
  info=$(python3 "$root/tests/app_e2e/shot_check.py" bmp "$file")
  check "$name: 32,062 bytes" [ "$(stat -c %s "$file")" -eq 32062 ]
  check "$name: 1 bit per pixel, 500 x 500, symbol at $margin" [ "$info" = "1 500 500 $margin" ]
  zbarimg -q --raw -Sbinary --nodbus "$file" > "$out/zbar.bin" 2>/dev/null
  ZXingReader -format QRCode -bytes "$file" > "$out/zxing.bin" 2>/dev/null
  check "$name: zbar reads the typed bytes" cmp -s "$out/zbar.bin" "$expect"
  check "$name: ZXing reads the typed bytes" cmp -s "$out/zxing.bin" "$expect"
}

prog_dir_win='C:\岚石 程序'
prog_dir=$drive_c/岚石\ 程序
mkdir -p "$prog_dir"
cp "$generator" "$prog_dir/TesserineGenerator.exe"
echo "stale module of an older version" > "$prog_dir/Tesserine.dll"
copy_name=已生成二维码.jpg
desktop_win=$(unhex "$(helper desktop)")
desktop=$(winepath -u "$desktop_win" 2>/dev/null)

# ---- Start-up, window, controls ---------------------------------------------------
echo "app-e2e: the generator (code page $(helper acp))"
if ! start_generator "$prog_dir" TesserineGenerator.exe; then
  fail "the generator's window shows"
  finish
fi
pass "the generator's window shows"
check "Tesserine.dll written byte for byte as carried, over an older file" same_bytes "$prog_dir/Tesserine.dll" "$carried"
read -r _ _ left top width height _ _ _ _ _ style exstyle <<<"$gen"
check "outer size 321 x 507" [ "$width" = 321 -a "$height" = 507 ]
# WS_CAPTION (border and dialog frame) and WS_SYSMENU; no WS_THICKFRAME, WS_MINIMIZEBOX, WS_MAXIMIZEBOX;
# WS_EX_CLIENTEDGE.
check "fixed frame with caption and close box only, sunken client edge" \
  [ $((0x$style & 0x00CF0000)) = $((0x00C80000)) -a $((0x$exstyle & 0x200)) = $((0x200)) ]
check "centred on the 1024 x 768 screen" [ "$left" = $(((1024 - 321) / 2)) -a "$top" = $(((768 - 507) / 2)) ]

# Index parent class left top width height visible caption (Control order).
expected_controls=$(cat <<EOF
0 -1 TesserinePictureBox 0 8 320 480 1 -
1 0 TesserineTransparentLabel 256 0 48 24 1 $(hexof 官方网站)
2 0 TesserineTransparentLabel 272 432 32 32 1 -
3 0 TesserineTransparentLabel 152 0 96 24 1 $(hexof 二维码扫描器下载)
4 0 TesserinePictureBox 96 400 128 40 1 -
5 0 TesserinePictureBox 96 320 128 32 1 -
6 0 ComboBox 8 0 136 20 1 $(hexof 自动)
7 0 Edit 0 248 312 56 1 $(hexof https://www.tesserine.example)
8 0 TesserinePictureBox 120 136 80 80 1 -
9 -1 Button 408 72 296 120 1 $(hexof 版本选择)
10 -1 Button 528 112 184 72 1 $(hexof 纠错级别)
11 10 ComboBox 24 32 140 20 1 $(hexof 'L(5%)')
EOF
)
actual_controls=$(helper controls "$(field 1)")
if [ "$actual_controls" = "$expected_controls" ]; then
  pass "every control at its place and size, with its initial text"
else
  fail "every control at its place and size, with its initial text" \
    "$(diff <(echo "$expected_controls") <(echo "$actual_controls") | tr '\n' ' ')"
fi

fonts=$(helper fonts)
while read -r kind face charset missing; do
  check "$kind font: a Chinese face ($(unhex "$face")) with every caption's characters" \
    [ "$charset" = 134 -a "$missing" = 0 -a "$face" != - ]
done <<<"$fonts"

sleep 0.5
screenshot window-start.png
shot_check window-start.png "$resources/placeholder.bmp" "start"
result=$(python3 "$root/tests/app_e2e/shot_check.py" icon "$out/window-start.png" "$left" "$top" \
  "$resources/generator.ico")
if [ "${result%% *}" = ok ]; then pass "${result#ok }"; else fail "${result#FAIL }"; fi

# ---- Save before any generate: the placeholder to both places ------------------------
click_control 图片框4
dialog=$(helper dialog 10000 ok)
check "save asks for a folder, titled 欲保存的文件夹" grep -qF 欲保存的文件夹 <<<"$(unhex "${dialog#* }")"
wait_for 10 has_line "$browser_log" "https://partner.tesserine.example/?2wmsc"
check "save before generating: the placeholder next to the program" \
  same_bytes "$prog_dir/$copy_name" "$resources/placeholder.bmp"
check "save before generating: the placeholder in the chosen folder" \
  same_bytes "$desktop/$copy_name" "$resources/placeholder.bmp"
check "save opens the after-save address" has_line "$browser_log" "https://partner.tesserine.example/?2wmsc"

# ---- Type, pick a version, generate ----------------------------------------------------
text="Tesserine E2E: ASCII 0123"
printf '%s' "$text" > "$out/typed.bin"
replace_text "$text"
pick_version 3
check "the version list shows item 3" [ "$(unhex "$(control_text 6)")" = "规格_3   29×29" ]
click_control 图片框3
wait_for 15 test -f "$prog_dir/$copy_name" -a -f "$prog_dir/a.bmp" &&
  wait_for 10 has_line "$browser_log" "https://www.tesserine.example/?2wmsc"
check "generate: a.bmp and $copy_name are identical" same_bytes "$prog_dir/a.bmp" "$prog_dir/$copy_name"
check_symbol_file "generate, version 3" "$prog_dir/a.bmp" "$out/typed.bin" 134
check "generate opens the home page" has_line "$browser_log" "https://www.tesserine.example/?2wmsc"
sleep 0.5
screenshot window-generated.png
shot_check window-generated.png "$prog_dir/a.bmp" "after generating"

# ---- Save into the chosen folder, then cancel -------------------------------------------
rm -f "$desktop/$copy_name" "$prog_dir/$copy_name"
click_control 图片框4
helper dialog 10000 ok >/dev/null
wait_for 10 test "$(line_count "$browser_log" "https://partner.tesserine.example/?2wmsc")" -ge 2
check "save after generating: the symbol in the chosen folder" same_bytes "$desktop/$copy_name" "$prog_dir/a.bmp"
check "save after generating: the symbol next to the program" same_bytes "$prog_dir/$copy_name" "$prog_dir/a.bmp"

rm -f "$prog_dir/$copy_name"
click_control 图片框4
helper dialog 10000 cancel >/dev/null
wait_for 10 test "$(line_count "$browser_log" "https://partner.tesserine.example/?2wmsc")" -ge 3
check "cancelled save: the copy next to the program still written" same_bytes "$prog_dir/$copy_name" "$prog_dir/a.bmp"
check "cancelled save: no copy at the drive's root" test ! -e "$drive_c/$copy_name"
check "cancelled save: the after-save address still opened" \
  test "$(line_count "$browser_log" "https://partner.tesserine.example/?2wmsc")" -ge 3

# ---- The symbol opens in the shell; the links ------------------------------------------
click_control 图片框1
expected_open=$(hexof "$prog_dir_win\\$copy_name")
wait_for 10 has_line "$opened_log" "$expected_open"
check "clicking the symbol asks the shell to open $prog_dir_win\\$copy_name" has_line "$opened_log" "$expected_open"
for link in "透明标签3 https://site.tesserine.example/?2wmsc" \
  "透明标签1 https://downloads.tesserine.example/scanner.apk" \
  "透明标签2 https://www.tesserine.example/?2wmsc"; do
  before=$(line_count "$browser_log" "${link#* }")
  click_control "${link%% *}"
  wait_for 10 test "$(line_count "$browser_log" "${link#* }")" -gt "$before"
  check "${link%% *} opens ${link#* }" test "$(line_count "$browser_log" "${link#* }")" -gt "$before"
done

# ---- A second copy while the first has the engine loaded --------------------------------
first=$gen first_pid=$gen_pid
module_before=$(stat -c '%i %s %Y.%y' "$prog_dir/Tesserine.dll")
if start_generator "$prog_dir" TesserineGenerator.exe; then
  pass "a second copy starts"
  check "the second copy leaves the loaded module file untouched" \
    test "$(stat -c '%i %s %Y.%y' "$prog_dir/Tesserine.dll")" = "$module_before"
  check "the module file still holds the carried bytes" same_bytes "$prog_dir/Tesserine.dll" "$carried"
  rm -f "$prog_dir/a.bmp"
  click_control 图片框3  # the second window lies on top of the first
  wait_for 15 test -f "$prog_dir/a.bmp"
  printf '%s' "https://www.tesserine.example" > "$out/initial.bin"
  check_symbol_file "the second copy generates" "$prog_dir/a.bmp" "$out/initial.bin" 150
  check "the second copy ends with exit code 0" close_generator
else
  fail "a second copy starts"
fi
gen=$first gen_pid=$first_pid
rm -f "$prog_dir/a.bmp"
click_control 图片框3
wait_for 15 test -f "$prog_dir/a.bmp"
check_symbol_file "the first copy still generates" "$prog_dir/a.bmp" "$out/typed.bin" 134
check "the generator ends with exit code 0 when closed" close_generator

# ---- What crosses the engine calls (a recording stand-in engine) ------------------------
rec_dir=$drive_c/recording
mkdir -p "$rec_dir"
cp "$recording_exe" "$rec_dir/generator-recording.exe"
if start_generator "$rec_dir" generator-recording.exe; then
  replace_text "Rec 12"
  pick_version 2
  click_control 图片框3
  wait_for 10 test -f "$rec_dir/$copy_name"
  expected_calls=$(cat <<EOF
QRSetMessage $(hexof "Rec 12")
QRSetBackColor 255 255 255
QRSetBarColor 0 0 0
QRConfigure 2 -1 5
QRAppearance 0.20000000000000001 1 0
QRSetSize 500 500
QRSaveAsBMP $(hexof 'C:\recording\a.bmp')
EOF
)
  actual_calls=$(cat "$rec_dir/engine-calls.log" 2>/dev/null)
  if [ "$actual_calls" = "$expected_calls" ]; then
    pass "engine calls arrive in order with their arguments (a double, integers, ANSI texts)"
  else
    fail "engine calls arrive in order with their arguments" "$(echo "$actual_calls" | tr '\n' '|')"
  fi
  close_generator >/dev/null
else
  fail "the recording generator starts"
fi

# ---- Fatal engine faults ---------------------------------------------------------------
# fatal_case NAME DIR EXE WORDS...: generating ends the program with exit
# code -1 after a message naming each of WORDS.
fatal_case() {
  local name=$1 dir=$2 exe=$3 message code=0
  shift 3
  if ! start_generator "$dir" "$exe"; then
    fail "$name: the program starts"
    return
  fi
  click_control 图片框3
  message=$(unhex "$(helper messagebox 10000)")
  wait "$gen_pid" || code=$?
  local word ok=1
  for word in "$@"; do grep -qF -- "$word" <<<"$message" || ok=0; done
  if [ $ok = 1 ]; then pass "$name: fatal message names $*"; else fail "$name: fatal message names $*" "$message"; fi
  check "$name: exit code -1" [ "$code" = 255 ]
}
mkdir -p "$drive_c/fatal/cdecl" "$drive_c/fatal/noexport" "$drive_c/fatal/nomodule/Tesserine.dll"
cp "$cdecl_exe" "$drive_c/fatal/cdecl/generator-cdecl.exe"
cp "$noexport_exe" "$drive_c/fatal/noexport/generator-noexport.exe"
cp "$recording_exe" "$drive_c/fatal/nomodule/generator-recording.exe"
fatal_case "a module that leaves its arguments on the stack" "$drive_c/fatal/cdecl" generator-cdecl.exe \
  Tesserine.dll QRSetSize
fatal_case "a module without QRAppearance" "$drive_c/fatal/noexport" generator-noexport.exe Tesserine.dll QRAppearance
# The program directory cannot take the module (a folder has its name); a
# module of that name in the system folder must not be used instead.
cp "$recording_dll" "$drive_c/windows/system32/Tesserine.dll"
fatal_case "no module in the program directory" "$drive_c/fatal/nomodule" generator-recording.exe \
  'C:\fatal\nomodule\Tesserine.dll' QRSetMessage
check "no module in the program directory: none loaded from the system folder" \
  test ! -e "$drive_c/windows/system32/engine-calls.log"
rm -f "$drive_c/windows/system32/Tesserine.dll"

# ---- Chinese text under code page 936 ------------------------------------------------
wineserver -k 2>/dev/null
sleep 0.5
mkdir -p "$out/locale"
if localedef -i zh_CN -f UTF-8 "$out/locale/zh_CN.UTF-8" 2>/dev/null; then
  export LOCPATH=$out/locale
  { export LC_ALL=zh_CN.UTF-8; } 2>/dev/null  # for Wine; this shell keeps its own
  wineserver -p
  check "code page 936 in effect" [ "$(helper acp)" = 936 ]
  text="岚石二维码：中文测试 ABC 123"
  printf '%s' "$text" | iconv -f UTF-8 -t GBK > "$out/typed-gbk.bin"
  rm -f "$prog_dir/a.bmp" "$prog_dir/$copy_name"
  if start_generator "$prog_dir" TesserineGenerator.exe; then
    paste_text "$text"
    click_control 图片框3
    wait_for 15 test -f "$prog_dir/$copy_name"
    check "code page 936: a.bmp and $copy_name are identical" same_bytes "$prog_dir/a.bmp" "$prog_dir/$copy_name"
    check_symbol_file "code page 936: Chinese text as GBK bytes" "$prog_dir/a.bmp" "$out/typed-gbk.bin" 150
    sleep 0.5
    screenshot window-cp936.png
    shot_check window-cp936.png "$prog_dir/a.bmp" "code page 936"
    check "code page 936: ends with exit code 0" close_generator
  else
    fail "code page 936: the generator starts"
  fi
else
  fail "code page 936: making the zh_CN.UTF-8 locale"
fi

finish
