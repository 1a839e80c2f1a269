#!/usr/bin/env bash
# Draws the generator's pictures into app/resources (the results are kept in
# the repository; the build does not redraw them):
#   panel-background.jpg   320 x 480, the phone-style screen behind the controls
#   window-background.jpg  320 x 480, the same with "开始扫描" on the upper button
#   generate-button.jpg    124 x 38, "生成二维码"
#   save-button.jpg        124 x 37, "保存二维码"
#   placeholder.bmp        500 x 500 1-bit BMP of 32,062 bytes: a version 1 symbol
#                          made by this engine with the application's settings
#   generator.ico          32 x 32, that symbol's pattern
#
# Usage: app/resources/make-artwork.sh [NATIVE_BUILD_DIR]   (default: build/release)
# Needs ImageMagick (/usr/bin/convert), fonts-wqy-microhei and a native build
# of the tree (the target tesserine_make_placeholder is built if missing).
set -euo pipefail

here=$(cd "$(dirname "$0")" && pwd)
root=$(cd "$here/../.." && pwd)
build=${1:-$root/build/release}
convert=/usr/bin/convert  # ImageMagick's, not any other tool of that name on PATH
font=/usr/share/fonts/truetype/wqy/wqy-microhei.ttc
[ -x "$convert" ] || { echo "ImageMagick's $convert is missing" >&2; exit 1; }
[ -f "$font" ] || { echo "$font is missing (fonts-wqy-microhei)" >&2; exit 1; }

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# ---- Colours and places -------------------------------------------------------
screen='#1a5fb4'     # the screen's blue
bar='#0d3b78'        # the strip of links along the top
frame='#ffffff'      # the emblem's frame
generate_top='#ffb347' generate_bottom='#f06d00'
save_top='#7ed957' save_bottom='#2e9b1b'
# Button images on the screen (left,top right,bottom, inclusive); the click
# areas 图片框3 (96,320 128x32) and 图片框4 (96,400 128x40) lie over them.
upper_button='95,315 225,358'
lower_button='95,398 225,442'
info_centre='288,448'  # the information icon; 透明标签2 (272,432 32x32) covers it

# button W H TOP BOTTOM CAPTION OUT: a rounded button on the screen's blue.
button() {
  local w=$1 h=$2 top=$3 bottom=$4 caption=$5 out=$6
  "$convert" -size "${w}x${h}" "gradient:${top}-${bottom}" \
    \( -size "${w}x${h}" xc:black -fill white -draw "roundrectangle 0,0 $((w - 1)),$((h - 1)) 9,9" \) \
    -alpha off -compose CopyOpacity -composite \
    -fill none -stroke '#ffffff80' -strokewidth 1 -draw "roundrectangle 1,1 $((w - 2)),$((h - 2)) 8,8" \
    -background "$screen" -compose Over -flatten \
    -font "$font" -pointsize 17 -fill white -stroke none -gravity center \
    -annotate +0+0 "$caption" \
    "$out"
}

# slot "L,T R,B" -> geometry WxH+L+T
slot() {
  local a=${1% *} b=${1#* }
  local l=${a%,*} t=${a#*,} r=${b%,*} bt=${b#*,}
  echo "$((r - l + 1))x$((bt - t + 1))+${l}+${t}"
}

# screen_picture UPPER_CAPTION UPPER_TOP UPPER_BOTTOM LOWER_CAPTION LOWER_TOP LOWER_BOTTOM OUT:
# the 320 x 480 background with its two button images.
screen_picture() {
  local upper_caption=$1 upper_top=$2 upper_bottom=$3 lower_caption=$4 lower_top=$5 lower_bottom=$6 out=$7
  local ug lg
  ug=$(slot "$upper_button")
  lg=$(slot "$lower_button")
  button "${ug%%x*}" "$(echo "$ug" | sed 's/^[0-9]*x\([0-9]*\)+.*/\1/')" "$upper_top" "$upper_bottom" \
    "$upper_caption" "$work/upper.png"
  button "${lg%%x*}" "$(echo "$lg" | sed 's/^[0-9]*x\([0-9]*\)+.*/\1/')" "$lower_top" "$lower_bottom" \
    "$lower_caption" "$work/lower.png"
  local ix=${info_centre%,*} iy=${info_centre#*,}
  "$convert" -size 320x480 "xc:$screen" \
    -fill "$bar" -draw "rectangle 0,0 319,23" \
    -fill '#ffffff18' -draw "rectangle 0,24 319,27" \
    -font "$font" -fill white -pointsize 30 -gravity north -annotate +0+52 "二维码扫描" -gravity northwest \
    -fill "$frame" -stroke none -draw "roundrectangle 104,120 215,231 10,10" \
    -fill "$screen" -draw "rectangle 112,128 207,223" \
    -fill white -draw "rectangle 116,132 203,219" \
    -fill none -stroke '#9cc9ff' -strokewidth 3 \
    -draw "polyline 98,134 98,114 118,114" -draw "polyline 201,114 221,114 221,134" \
    -draw "polyline 98,217 98,237 118,237" -draw "polyline 201,237 221,237 221,217" \
    -stroke none -fill white -pointsize 12 -gravity north -annotate +0+232 "QR CODE" -gravity northwest \
    "$work/upper.png" -geometry "$ug" -composite \
    "$work/lower.png" -geometry "$lg" -composite \
    -fill white -draw "circle $ix,$iy $((ix + 11)),$iy" \
    -fill "$screen" -draw "circle $ix,$((iy - 6)) $((ix + 2)),$((iy - 6))" \
    -draw "roundrectangle $((ix - 2)),$((iy - 2)) $((ix + 2)),$((iy + 7)) 1,1" \
    -quality 92 "$out"
}

# ---- The placeholder symbol and the icon ------------------------------------
tool=$build/app/tesserine_make_placeholder
if [ ! -x "$tool" ]; then
  [ -f "$build/CMakeCache.txt" ] || cmake -S "$root" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release >/dev/null
  cmake --build "$build" -j2 --target tesserine_make_placeholder >/dev/null
fi
"$tool" "$here/placeholder.bmp"
size=$(stat -c %s "$here/placeholder.bmp")
[ "$size" -eq 32062 ] || { echo "placeholder.bmp has $size bytes, not 32062" >&2; exit 1; }

# The version 1 symbol sits at 166..333 in 8-pixel modules: one pixel per
# module, centred in 32 x 32 with a light margin.
"$convert" "$here/placeholder.bmp" -crop 168x168+166+166 +repage -sample 21x21 \
  -background white -gravity center -extent 32x32 -type TrueColor "$work/icon.png"
# A 16 x 16 companion for captions and task lists, drawn module by module
# (a symbol's pattern does not survive halving): finder patterns of 5 and a
# little data.
small=(
  "................" ".#####.#.######." ".#...#..###...#." ".#.#.#.#..#.#.#."
  ".#...#..#.#...#." ".#####.#.######." "........#......." ".#.##.##..#.##.."
  "..#.#...##.#..#." ".......#.##.#..." ".#####..#.#.##.." ".#...#.##..#.#.."
  ".#.#.#...###..#." ".#...#.#.#.#.#.." ".#####..###..##." "................"
)
{
  echo "P1 16 16"
  for row in "${small[@]}"; do echo "$row" | sed 's/#/1 /g; s/\./0 /g'; done
} > "$work/icon16.pbm"
"$convert" "$work/icon16.pbm" -type TrueColor "$work/icon16.png"
"$convert" "$work/icon.png" "$work/icon16.png" "$here/generator.ico"

# ---- Buttons and screens ------------------------------------------------------
button 124 38 "$generate_top" "$generate_bottom" "生成二维码" "$work/generate.png"
"$convert" "$work/generate.png" -quality 92 "$here/generate-button.jpg"
button 124 37 "$save_top" "$save_bottom" "保存二维码" "$work/save.png"
"$convert" "$work/save.png" -quality 92 "$here/save-button.jpg"

screen_picture "生成二维码" "$generate_top" "$generate_bottom" "保存二维码" "$save_top" "$save_bottom" \
  "$here/panel-background.jpg"
screen_picture "开始扫描" '#56b4ff' '#1f6fd6' "生成二维码" "$generate_top" "$generate_bottom" \
  "$here/window-background.jpg"

for f in panel-background.jpg window-background.jpg generate-button.jpg save-button.jpg generator.ico; do
  echo "$f: $("$convert" "$here/$f" -format '%wx%h ' info:)"
done
echo "placeholder.bmp: $size bytes"
