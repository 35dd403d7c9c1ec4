#!/usr/bin/env bash
# Builds the programs, creates a sample computer and shows what the programs see there.
set -euo pipefail
cd "$(dirname "$0")/.."

scripts/install-deps.sh
cmake --preset release >/dev/null
cmake --build --preset release -j "$(nproc)"

machine=build/demo/alice
rm -rf "$machine"
build/release/bin/make-sample-machine "$machine"
build/release/bin/zarvoquilloprime --machine "$machine" --show-machine
