#!/usr/bin/env bash
# Builds the libFuzzer targets and runs each of them for a bounded time on a copy of its seed
# corpus (the committed corpus is never changed).
#
#   fuzz/run.sh [SECONDS] [TARGET...]
#
# SECONDS (default 60) is each target's fuzzing time; TARGETs (default all) are names from the
# table below. Before fuzzing, each target replays the inputs in fuzz/regressions/ for its
# corpus (inputs that once showed a fault). Needs clang++-14 and libFuzzer (Debian: clang-14, libclang-rt-14-dev); without
# them it says so and exits 0. Fails (exit 1) when any target reports a crash, a leak, a
# timeout, a sanitizer finding or a failed check of its own; the failing inputs are kept in
# build/fuzz-artifacts/. Prints one summary line per target.
#
# With QUILL_FUZZ_WORKDIR set, the working corpora are kept in that folder and grow from one
# run to the next (longer campaigns); otherwise they live in a temporary folder. With
# QUILL_FUZZ_RUNS=N each target stops after N executions (or SECONDS, whichever comes first);
# with QUILL_FUZZ_SKIP_BUILD=1 the targets already built are used as they are, so that two
# runs with different targets can share one build (see FUZZING.md, campaigns).
set -euo pipefail

root=$(cd "$(dirname "$0")/.." && pwd)
seconds=${1:-60}
shift || true

cxx=clang++-14
fuzzer_runtime=$(ls /usr/lib/llvm-14/lib/clang/*/lib/linux/libclang_rt.fuzzer-x86_64.a 2>/dev/null | head -n1 || true)
if ! command -v "$cxx" >/dev/null 2>&1 || [ -z "$fuzzer_runtime" ]; then
  echo "fuzz: skipped, $cxx or libFuzzer (libclang-rt-14-dev) is not installed"
  exit 0
fi

# target  corpus  per-input timeout (s)  longest input (bytes)
# The engines' searches stop deepening after a few hundred nodes in these targets, so an
# input takes milliseconds; 60 s leaves a wide margin. The program inputs are kept to 2 KiB
# (hundreds of lines, or books and a game) so that a target runs hundreds of inputs a second.
targets_table="
program_loop_engine-a   engines            60  2048
program_loop_engine-b   engines            60  2048
program_loop_engine-c   engines            60  2048
program_loop_engine-d   engines            60  2048
program_loop_engine-e   engines            60  2048
program_loop_engine-f   engines            60  2048
program_loop_movecheck  movecheck          60  2048
search_position         search_position    60  512
book_lookup             book_lookup        60  32768
bookbuilder_loop        bookbuilder_loop   60  16384
"

build="$root/build/fuzz"
build_log=$(mktemp)
if [ -n "${QUILL_FUZZ_SKIP_BUILD:-}" ]; then
  : > "$build_log"
elif ! { CXX=$cxx cmake -S "$root" -B "$build" -DQUILL_FUZZ=ON -DQUILL_BUILD_TESTS=OFF \
         -DCMAKE_BUILD_TYPE=RelWithDebInfo &&
       cmake --build "$build" --target quill_fuzzers -j2; } >"$build_log" 2>&1; then
  tail -n 60 "$build_log"
  echo "fuzz: the fuzz targets did not build"
  rm -f "$build_log"
  exit 1
fi
rm -f "$build_log"

if [ -n "${QUILL_FUZZ_WORKDIR:-}" ]; then
  mkdir -p "$QUILL_FUZZ_WORKDIR"
  work=$(cd "$QUILL_FUZZ_WORKDIR" && pwd)
else
  work=$(mktemp -d)
  trap 'rm -rf "$work"' EXIT
fi
artifacts="$root/build/fuzz-artifacts"
mkdir -p "$artifacts"

selected=" $* "
failed=0
while read -r target corpus timeout max_len; do
  [ -n "$target" ] || continue
  if [ $# -gt 0 ] && [[ "$selected" != *" $target "* ]]; then continue; fi

  # Inputs that once showed a fault are replayed first, each on its own.
  if [ -d "$root/fuzz/regressions/$corpus" ]; then
    for input in "$root/fuzz/regressions/$corpus"/*; do
      if ! TMPDIR=/tmp ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" UBSAN_OPTIONS="halt_on_error=1" \
           "$build/bin/$target" "$input" > "$work/regression.log" 2>&1; then
        failed=1
        echo "fuzz $target: FAILED on the regression input fuzz/regressions/$corpus/$(basename "$input"):"
        grep -E '^(referee finding|  [a-z])' "$work/regression.log" | head -n 6
      fi
    done
  fi

  # A working copy of the seeds: the corpus grows during the run, the repository's does not.
  rm -rf "$work/$target/tmp" "$work/$target/artifacts"
  mkdir -p "$work/$target/corpus" "$work/$target/tmp" "$work/$target/artifacts"
  cp "$root/fuzz/corpus/$corpus"/* "$work/$target/corpus/"
  log="$work/$target/log"

  # Every path is absolute: the targets change directory while an input runs.
  status=0
  TMPDIR="$work/$target/tmp" \
  ASAN_OPTIONS="detect_leaks=1:abort_on_error=1" \
  UBSAN_OPTIONS="print_stacktrace=1:halt_on_error=1" \
    "$build/bin/$target" -max_total_time="$seconds" ${QUILL_FUZZ_RUNS:+-runs=$QUILL_FUZZ_RUNS} -timeout="$timeout" -rss_limit_mb=2048 \
      -max_len="$max_len" -print_final_stats=1 -artifact_prefix="$work/$target/artifacts/" \
      "$work/$target/corpus" >"$log" 2>&1 || status=$?

  executions=$(sed -n 's/^stat::number_of_executed_units: *//p' "$log" | tail -n1)
  elapsed=$(sed -n 's/^Done [0-9]* runs in \([0-9]*\) second.*/\1/p' "$log" | tail -n1)
  coverage=$(grep -o 'cov: [0-9]* ft: [0-9]*' "$log" | tail -n1 || true)
  units=$(find "$work/$target/corpus" -type f | wc -l)
  findings=$(find "$work/$target/artifacts" -type f | wc -l)
  # Belt and braces: a sanitizer or check report fails the run even if the exit status did not.
  if grep -qE '^==[0-9]+==ERROR|runtime error:|fuzz check failed|ERROR: libFuzzer' "$log"; then
    [ "$status" -ne 0 ] || status=1
  fi

  if [ "$status" -eq 0 ]; then
    echo "fuzz $target: ${executions:-?} executions in ${elapsed:-$seconds} s, ${coverage:-no coverage line}, corpus $units inputs: ok"
  else
    failed=1
    echo "fuzz $target: FAILED (status $status) after ${executions:-?} executions, $findings input(s) kept in $artifacts/"
    for file in "$work/$target/artifacts"/*; do
      [ -e "$file" ] && cp "$file" "$artifacts/$target-$(basename "$file")"
    done
    grep -E 'ERROR|runtime error|fuzz check failed|SUMMARY|#[0-9]+ 0x' "$log" | head -n 40 || tail -n 40 "$log"
  fi
done <<<"$targets_table"

exit $failed
