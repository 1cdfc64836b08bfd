#!/usr/bin/env bash
# Builds the libFuzzer targets with clang and runs each for SECONDS (default 30): first over
# its seed corpus in tests/fuzz/corpus (the regression cases), then on new inputs. A crash
# fails the run; its input is left in build-fuzz/crashes/ to be added to the corpus.
# The mutations follow FENLOW_FUZZ_SEED (1 unless set), so that a run can be repeated; set
# another seed, or a longer time, to search further.
set -euo pipefail
cd "$(dirname "$0")/.."
seconds="${1:-30}"
source scripts/packages.sh
FENLOW_PACKAGES+=(clang libclang-rt-14-dev)
fenlow_install_packages

cmake -S . -B build-fuzz -DFENLOW_FUZZ=ON -DCMAKE_BUILD_TYPE=RelWithDebInfo \
  -DCMAKE_CXX_COMPILER=clang++ -DCMAKE_C_COMPILER=clang >/dev/null
cmake --build build-fuzz -j"$(nproc)"
mkdir -p build-fuzz/crashes
status=0
for target in fuzz_profileread fuzz_profileroundtrip fuzz_wildcard fuzz_cp932; do
  scratch="build-fuzz/corpus/$target"
  mkdir -p "$scratch"
  echo "Fuzzing $target for $seconds s"
  if ! "build-fuzz/tests/fuzz/$target" -max_total_time="$seconds" -seed="${FENLOW_FUZZ_SEED:-1}" -print_final_stats=1 \
      -artifact_prefix="build-fuzz/crashes/$target-" "$scratch" "tests/fuzz/corpus/$target" \
      > "build-fuzz/$target.log" 2>&1; then
    echo "$target failed; its input is in build-fuzz/crashes/:"
    tail -40 "build-fuzz/$target.log"
    status=1
  else
    grep -E '^stat::number_of_executed_units' "build-fuzz/$target.log" || true
  fi
done
exit $status
