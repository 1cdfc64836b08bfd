#!/usr/bin/env bash
# Fails when a C++ file differs from what the committed .clang-format makes of it.
set -euo pipefail
cd "$(dirname "$0")/.."
if ! command -v clang-format >/dev/null; then
  export DEBIAN_FRONTEND=noninteractive
  apt-get update -qq
  apt-get install -y -qq --no-install-recommends clang-format >/dev/null
fi
git ls-files -z '*.cpp' '*.h' | xargs -0 clang-format --dry-run --Werror
echo "Formatting: every C++ file matches .clang-format"
