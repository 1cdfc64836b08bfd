#!/usr/bin/env bash
# Installs what is missing, builds Fenlow and starts it on a demo set-up in build/demo:
# the program, its manual, demo rules whose program writes to trace.log, a configuration
# naming build/demo/search and build/demo/work, and a few files in the search folder
# (put back at each run when they are not there).
# A configuration or rule database already there is never replaced.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fenlow_install_packages

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)" --target fenlow fenlowctl

demo="$(pwd)/build/demo"
mkdir -p "$demo/search" "$demo/work" "$demo/programs"
install -m 755 build/src/app/fenlow build/src/app/fenlowctl "$demo/"
install -m 644 resources/Fenguide.htm "$demo/Fenguide.htm"
for program in resources/demo/programs/*; do
  [ -e "$demo/programs/$(basename "$program")" ] || install -m 755 "$program" "$demo/programs/"
done
if [ ! -e "$demo/AttFile.mdb" ]; then
  sqlite3 "$demo/AttFile.mdb" < resources/demo/rules.sql
fi
if [ ! -e "$demo/Fenlow.ini" ]; then
  printf '[Center]\r\nserch=%s\r\nremove=%s\r\n' "$demo/search" "$demo/work" > "$demo/Fenlow.ini"
fi
for name in sales_2026-12.csv order_0001.dat order_0002.dat memo.txt photo.jpg; do
  [ -e "$demo/search/$name" ] || echo "demo file $name" > "$demo/search/$name"
done

echo "Demo program folder: $demo (programs started by the rules write to $demo/trace.log)"
cd "$demo"
if [ -z "${DISPLAY:-}${WAYLAND_DISPLAY:-}" ]; then
  echo "No display found: running under xvfb-run, invisibly."
  exec xvfb-run -a ./fenlow
fi
exec ./fenlow
