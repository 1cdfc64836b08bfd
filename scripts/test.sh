#!/usr/bin/env bash
# Installs what the build needs (only what is missing), builds Fenlow and runs its tests.
# With "sanitize" as the first argument the build and the tests run under
# AddressSanitizer and UndefinedBehaviorSanitizer, in a build folder of their own.
set -euo pipefail
cd "$(dirname "$0")/.."
source scripts/packages.sh
fenlow_install_packages

build=build
options=(-DCMAKE_BUILD_TYPE=RelWithDebInfo)
if [ "${1:-}" = sanitize ]; then
  build=build-sanitize
  options=(-DCMAKE_BUILD_TYPE=Debug -DFENLOW_SANITIZE=ON)
  export ASAN_OPTIONS=detect_leaks=0
  export UBSAN_OPTIONS=print_stacktrace=1:halt_on_error=1
fi

cmake -S . -B "$build" "${options[@]}" >/dev/null
cmake --build "$build" -j"$(nproc)"
cd "$build"
QT_QPA_PLATFORM=offscreen ctest --output-on-failure
