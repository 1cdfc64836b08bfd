#!/usr/bin/env bash
# Builds Fenlow and packs it into build/packages/: fenlow_VERSION_amd64.deb (installed under /usr)
# and fenlow-VERSION-linux-x86_64.tar.gz (a portable program folder).
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fenlow_install_packages

cmake -S . -B build -DCMAKE_BUILD_TYPE=RelWithDebInfo >/dev/null
cmake --build build -j"$(nproc)"
rm -rf build/packages
(cd build && cpack >/dev/null)
ls -1 build/packages/*.deb build/packages/*.tar.gz
