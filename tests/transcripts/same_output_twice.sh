#!/usr/bin/env bash
# Runs PROGRAM twice on the same INPUT, each time in a fresh scratch directory holding the
# files of INPUT's companion folder (INPUT without .in, plus .files/), and requires both runs
# to exit with 0, to announce at least one move, and to print byte-for-byte the same output.
# The engines without a random evaluation must play the same game every time.
set -u
program=$1
input=$2
files=${input%.in}.files
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

for run in 1 2; do
  mkdir "$work/$run"
  if [ -d "$files" ]; then cp -R "$files/." "$work/$run/"; fi
  (cd "$work/$run" && timeout 300 "$program" < "$input" > "$work/output.$run")
  status=$?
  if [ "$status" != 0 ]; then
    echo "run $run: exit status $status"
    exit 1
  fi
done

if ! grep -q '^move ' "$work/output.1"; then
  echo "no move was announced"
  exit 1
fi
if ! cmp -s "$work/output.1" "$work/output.2"; then
  echo "the two runs differ:"
  diff "$work/output.1" "$work/output.2" | head -n 40
  exit 1
fi
echo "same output twice: $(grep -c '^move ' "$work/output.1") move lines"
