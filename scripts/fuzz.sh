#!/usr/bin/env bash
# Builds the fuzz targets (the fuzz preset: clang, libFuzzer, AddressSanitizer
# and UndefinedBehaviorSanitizer) and runs each one for SECONDS seconds.
#
#   scripts/fuzz.sh [SECONDS]     (default 30)
#
# The targets are those fuzz/CMakeLists.txt declares with zq_fuzz(...).
# Corpora, logs and crash inputs go to build/fuzz/runs/<target>/, nothing into
# the source tree; the corpora are kept, so later runs go on from where earlier
# ones stopped. Exits non-zero when a target crashes, leaks, hangs, trips a
# sanitizer or fails to build; the tail of its log is printed then.
set -euo pipefail
cd "$(dirname "$0")/.."

seconds=${1:-30}
case "$seconds" in
  '' | *[!0-9]*) echo "usage: $0 [SECONDS]" >&2; exit 2 ;;
esac

build=build/fuzz
mapfile -t targets < <(sed -n 's/^zq_fuzz(\([A-Za-z0-9_]*\).*/\1/p' fuzz/CMakeLists.txt)
if [ ${#targets[@]} -eq 0 ]; then
  echo "no fuzz targets found in fuzz/CMakeLists.txt" >&2
  exit 1
fi

echo "building ${targets[*]}"
cmake --preset fuzz >/dev/null
if ! cmake --build "$build" --target "${targets[@]}" -j 2 >"$build/fuzz-build.log" 2>&1; then
  tail -n 40 "$build/fuzz-build.log"
  echo "fuzz build failed (full log: $build/fuzz-build.log)" >&2
  exit 1
fi

# Undefined behaviour stops the run like a crash does.
export UBSAN_OPTIONS=halt_on_error=1:print_stacktrace=1

failed=0
for name in "${targets[@]}"; do
  run="$build/runs/$name"
  mkdir -p "$run/corpus"
  log="$run/last.log"
  # -timeout: one input running longer than this counts as a hang.
  if "$build/fuzz/$name" "$run/corpus" \
      -max_total_time="$seconds" -timeout=20 -print_final_stats=0 \
      -artifact_prefix="$run/" >"$log" 2>&1; then
    runs=$(grep -o 'Done [0-9]* runs' "$log" | tail -n 1 || true)
    echo "$name: ${runs:-done}, no failure"
  else
    failed=1
    tail -n 60 "$log"
    echo "$name: FAILED (log: $log; failing input in $run/)" >&2
  fi
done
exit $failed
