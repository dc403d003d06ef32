#!/usr/bin/env bash
# An xboard interface speaking protocol 1 sends SIGINT to its engine; the engine must go on.
# Starts PROGRAM reading from a pipe, waits for its banner (printed and flushed before any
# input is read, and after the program has set up its signal handling), sends SIGINT while
# the program waits for its first line, then plays a line and "quit": the program must
# answer it and exit with 0.
set -u
program=$1
work=$(mktemp -d)
pid=
cleanup() {
  exec 3>&- 2>/dev/null
  if [ -n "$pid" ]; then kill "$pid" 2>/dev/null; fi
  rm -rf "$work"
}
trap cleanup EXIT
# Writing to a pipe whose reader has died must not end this script.
trap '' PIPE

mkfifo "$work/in"
# The program starts with the default action for SIGINT, as under an interface. Without
# resetting it, a background job of a script, or a test runner started with SIGINT ignored,
# would hand the program an ignored SIGINT, and a program that forgot it would pass.
(cd "$work" && exec env --default-signal=INT "$program" < in > out) &
pid=$!
exec 3> "$work/in"

for _ in $(seq 1 600); do
  if [ -s "$work/out" ]; then break; fi
  sleep 0.1
done
if [ ! -s "$work/out" ]; then
  echo "no banner before any input"
  exit 1
fi

kill -INT "$pid"
printf 'ii\nquit\n' >&3
exec 3>&-
wait "$pid"
status=$?
pid=
if [ "$status" != 0 ]; then
  echo "exit status $status after SIGINT, expected 0"
  exit 1
fi
if ! grep -q 'View For White' "$work/out"; then
  echo "the line after SIGINT was not answered:"
  cat "$work/out"
  exit 1
fi
echo "SIGINT ignored"
