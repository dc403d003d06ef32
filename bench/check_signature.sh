#!/usr/bin/env bash
# Behaviour signature of the search: runs BENCH with times left out for each PROFILE:DEPTH
# given and compares the whole output with the committed EXPECTED file, byte for byte.
#   check_signature.sh BENCH EXPECTED [--BENCH-OPTION...] PROFILE:DEPTH...
# Options such as --every-node are handed to every run of BENCH.
# With --update as the first argument it rewrites EXPECTED instead (after a deliberate change
# of behaviour; say why in the commit).
set -u
update=0
if [ "${1:-}" = "--update" ]; then update=1; shift; fi
if [ $# -lt 3 ]; then
  echo "usage: check_signature.sh [--update] BENCH EXPECTED [--BENCH-OPTION...] PROFILE:DEPTH..." >&2
  exit 2
fi
bench=$1
expected=$2
shift 2
options=()
while [ $# -gt 0 ] && [ "${1#--}" != "$1" ]; do options+=("$1"); shift; done

actual=$(mktemp)
trap 'rm -f "$actual"' EXIT
for run in "$@"; do
  profile=${run%%:*}
  depth=${run##*:}
  if ! "$bench" "${options[@]}" --profile "$profile" --depth "$depth" --no-times >> "$actual"; then
    echo "bench failed for $profile at depth $depth"
    exit 1
  fi
done

if [ $update = 1 ]; then
  cp "$actual" "$expected"
  echo "wrote $expected"
  exit 0
fi
if ! cmp -s "$expected" "$actual"; then
  echo "the search's behaviour changed: output differs from $expected"
  diff "$expected" "$actual" | head -n 60
  exit 1
fi
echo "signature matches $expected"
