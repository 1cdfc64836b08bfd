#!/usr/bin/env bash
# Remakes the README's screenshots in docs/images/ from the real program under Xvfb: the main
# window after a pass, the folder settings dialog and the rule table editor, on a demo program
# folder of their own. Run it after changing a window.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
FENLOW_PACKAGES+=(xdotool x11-apps netpbm)
fenlow_install_packages
cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target fenlow fenlowctl >/dev/null

folder=$(mktemp -d)
home=$(mktemp -d)
display=:97
cleanup() {
  kill "${fenlow:-}" "${xvfb:-}" 2>/dev/null || true
  rm -rf "$folder" "$home"
}
trap cleanup EXIT
mkdir -p "$folder/search" "$folder/work"
cp build/src/app/fenlow build/src/app/fenlowctl resources/Fenguide.htm "$folder/"
sqlite3 "$folder/AttFile.mdb" < resources/demo/rules.sql
printf '[Center]\r\nserch=%s\r\nremove=%s\r\n' "$folder/search" "$folder/work" > "$folder/Fenlow.ini"
for name in sales_2026-12.csv order_0001.dat memo.txt; do echo "demo" > "$folder/search/$name"; done
"$folder/fenlowctl" pass >/dev/null 2>&1 || true
echo "demo" > "$folder/search/order_0002.dat"

# The main window as an operator would have sized it: wide enough for every control.
mkdir -p "$home/.config/Fenlow"
printf '[Settings]\nMainLeft=300\nMainTop=300\nMainWidth=7200\nMainHeight=6000\n' > "$home/.config/Fenlow/Fenlow.conf"

Xvfb "$display" -screen 0 1280x900x24 >/dev/null 2>&1 &
xvfb=$!
export DISPLAY=$display HOME=$home
sleep 1
"$folder/fenlow" >/dev/null 2>&1 &
fenlow=$!

window() { # the id of the window titled $1, once it is shown
  for _ in $(seq 50); do
    id=$(xdotool search --onlyvisible --name "^$1\$" 2>/dev/null | head -1 || true)
    [ -n "$id" ] && { echo "$id"; return; }
    sleep 0.2
  done
  echo "no window titled $1" >&2
  exit 1
}
shoot() { # window id, file
  sleep 0.7
  xwd -id "$1" -silent | xwdtopnm 2>/dev/null | pnmtopng > "docs/images/$2"
  echo "docs/images/$2"
}
click() { # window id, x, y inside it
  xdotool mousemove --window "$1" "$2" "$3" click 1
}

main=$(window Fenlow)
shoot "$main" main-window.png
click "$main" 420 130   # 環境設定
dialog=$(window Form1)
shoot "$dialog" folder-settings.png
xdotool key --window "$dialog" Escape
kill "$fenlow"
wait "$fenlow" 2>/dev/null || true
"$folder/fenlow" >/dev/null 2>&1 &
fenlow=$!
main=$(window Fenlow)
click "$main" 420 170   # テーブル一覧
editor=$(window FileList)
shoot "$editor" rule-editor.png
