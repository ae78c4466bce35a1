#!/usr/bin/env bash
# Runs one fuzz target for SECONDS on a copy of its seed corpus, building the
# clang fuzz build in build-fuzz first when needed. New inputs stay in the
# copy (removed afterwards); a crashing input is kept in build-fuzz/artifacts.
# Usage: tools/fuzz.sh TARGET SECONDS [libFuzzer options...]
#        tools/fuzz.sh --list
set -euo pipefail
cd "$(dirname "$0")/.."
build=${KVARTA_FUZZ_BUILD:-build-fuzz}

if [[ ${1:-} == --list ]]; then
  ls fuzz/corpus
  exit 0
fi
target=${1:?usage: tools/fuzz.sh TARGET SECONDS [libFuzzer options...]}
seconds=${2:?usage: tools/fuzz.sh TARGET SECONDS [libFuzzer options...]}
shift 2
[[ -d fuzz/corpus/$target ]] || { echo "no such fuzz target: $target" >&2; exit 2; }

if [[ ! -f $build/build.ninja ]]; then
  launcher=()
  command -v ccache >/dev/null && launcher=(-DCMAKE_CXX_COMPILER_LAUNCHER=ccache)
  CC=clang CXX=clang++ cmake -S . -B "$build" -G Ninja -DKVARTA_FUZZ=ON "${launcher[@]}" >/dev/null
fi
cmake --build "$build" --target "fuzz_$target" >/dev/null

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cp -r "fuzz/corpus/$target/." "$work/"
mkdir -p "$build/artifacts"
export UBSAN_OPTIONS=${UBSAN_OPTIONS:-print_stacktrace=1}
"$build/fuzz/fuzz_$target" -max_total_time="$seconds" -timeout=10 -print_final_stats=1 \
  -artifact_prefix="$build/artifacts/$target-" "$@" "$work"
