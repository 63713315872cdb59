#!/bin/sh
# The main window of the setup program under Wine: a copy of the setup program that carries
# only the main window of the Zarvotill script and an engine that waits for its host
# (RunAutomatic False, so the window stays open and keeps its size) shows it; a
# screenshot of the display is checked by its pixels for the blue-to-black gradient and the
# raised product name; closing the window ends the program cleanly.
# Usage: main_window.sh SETUP.EXE KESTRUNE-SCRIPT.EXE UIDRIVER.EXE SCRIPT.KFM OUTDIR
set -eu
real_setup=$1 scripter=$2 driver=$3 script=$4 outdir=$5
if [ -z "${DISPLAY:-}" ]; then echo "no DISPLAY: skipped"; exit 77; fi
mkdir -p "$outdir"
shot="$outdir/main_window.png" client="$outdir/main_window_client.png"
rm -f "$shot" "$client"

# The form's own lines and its BackDrop block, without the script's components, and an
# engine that starts no run.
{
  awk '/^  object / { keep = ($0 ~ /^  object BackDrop:/) } keep || /^end$/ || !started { print }
       /^  object / { started = 1 } /^  end$/ { keep = 1 }' "$script" | sed '$d'
  printf '  object Install: TInstall\n    AutoMaximizeWindow = False\n    RunAutomatic = False\n'
  printf '    UseLoadingProgram = False\n  end\nend\n'
} >"$outdir/main_window.kfm"
setup="$outdir/main_window_setup.exe"
# Every Wine call keeps its standard streams off ctest's pipe: the first one in a new
# session starts Wine's services, which keep the streams they were given.
wine "$scripter" make-setup "$(winepath -w "$outdir/main_window.kfm" 2>/dev/null)" -o "$(winepath -w "$setup" 2>/dev/null)" \
  --setup "$(winepath -w "$real_setup" 2>/dev/null)" </dev/null >"$outdir/make-setup.log" 2>&1 || {
  echo "FAIL: make-setup"; cat "$outdir/make-setup.log"; exit 1; }

log="$outdir/uidriver.log"
: >"$log"
. "$(dirname "$0")/ui_steps.sh"
# Wine's helpers inherit the standard streams; keep them off ctest's pipe.
wine "$setup" >"$outdir/setup.log" 2>&1 </dev/null &
pid=$!

drive wait '*Zarvotill*' 30000 >/dev/null || fail "main window did not appear"
sleep 1  # let it paint
set -- $(drive client '*Zarvotill*')
[ $# -eq 4 ] || fail "main window went away"
left=$1 top=$2 width=$3 height=$4
echo "client area: $left $top ${width}x$height"
import -window root "$shot"
convert "$shot" -crop "${width}x${height}+${left}+${top}" +repage "$client"

pixel() { convert "$client" -format "%[fx:round(255*p{$1,$2}.r)] %[fx:round(255*p{$1,$2}.g)] %[fx:round(255*p{$1,$2}.b)]" info:; }
expect_pixel() {
  got=$(pixel "$1" "$2")
  [ "$got" = "$3" ] || fail "pixel ($1,$2) is $got, expected $3"
}
# Gradient from pure blue at the top to black at the bottom in 256 bands: band i covers
# the rows MulDiv(i, height, 256) up to MulDiv(i + 1, height, 256) and has the blue
# 255 - i (MulDiv rounds halves up).
band_blue() {
  awk -v y="$1" -v h="$height" 'function md(a, b, c) { return int((a * b + int(c / 2)) / c) }
    BEGIN { for (i = 0; i < 256; i++) if (y >= md(i, h, 256) && y < md(i + 1, h, 256)) { print 255 - i; exit } }'
}
for y in 0 1 3 $((height / 3)) $((height / 2)) $((height - 2)) $((height - 1)); do
  for x in 2 $((width - 3)); do
    expect_pixel "$x" "$y" "0 0 $(band_blue "$y")"
  done
done
# The product name in the top 65 pixels, left-aligned and centred vertically: black
# letters with a white upper-left highlight and a grey lower-right shade over the gradient.
convert "$client" -crop "${width}x65+0+0" +repage -depth 8 txt:- | awk '
  NR > 1 {
    split($1, xy, /[,:]/); x = xy[1]; y = xy[2]
    gsub(/[()]/, "", $2); split($2, c, ","); r = c[1]; g = c[2]; b = c[3]
    if (r > 200 && g > 200 && b > 200) white++
    else if (r < 40 && g < 40 && b < 40) { dark++; sum += y; if (x < minx || minx == "") minx = x; if (x > maxx) maxx = x }
    else if (r > 90 && r < 170 && g > 90 && g < 170 && (r - g < 20 && g - r < 20)) grey++
  }
  END {
    printf "label band: white %d, grey %d, dark %d, dark x %d..%d\n", white, grey, dark, minx, maxx
    if (white < 20 || grey < 20 || dark < 100) { print "FAIL: no raised caption"; exit 1 }
    mid = sum / dark
    if (minx > 3 || mid < 24 || mid > 40) { print "FAIL: caption not at the left, centred in the band"; exit 1 }
  }' || fail "product label"

drive close '*Zarvotill*' || fail "cannot close the main window"
i=0
while kill -0 "$pid" 2>/dev/null; do
  i=$((i + 1))
  [ $i -lt 100 ] || fail "setup did not end after its main window was closed"
  sleep 0.1
done
wait "$pid" || fail "setup ended with an error"
echo "screenshot: $shot"
