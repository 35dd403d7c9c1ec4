#!/usr/bin/env bash
# Builds and runs every test: the debug build (the shipped transfer edition),
# the same tests under AddressSanitizer and UndefinedBehaviorSanitizer, the
# backup edition's build, then a short fuzzing run.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh

jobs=$(nproc)
for preset in debug asan backup-edition; do
  echo "== $preset build"
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j "$jobs"
  echo "== $preset tests"
  ctest --preset "$preset" -j "$jobs"
done

if [ -x scripts/fuzz.sh ]; then
  echo "== fuzzing (bounded)"
  scripts/fuzz.sh 30
fi
