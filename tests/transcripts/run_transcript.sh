#!/usr/bin/env bash
# Runs one console transcript: PROGRAM reads CASE.in in a fresh scratch directory, and its
# whole standard output must equal CASE.out byte for byte and its exit status CASE.status
# (0 when that file is absent). Optional companions of CASE.in:
#   CASE.args    the program's arguments, one per line (none when absent);
#   CASE.err     its whole standard error, byte for byte (not compared when absent);
#   CASE.files/  copied into the scratch directory first (books, for example);
#   CASE.books   lines "BOOK SCRIPT": the bookbuilder beside PROGRAM runs the commands of
#                books/SCRIPT.txt (lines starting with "#" left out) and the book.vbk it
#                writes becomes the file BOOK in the scratch directory;
#   CASE.setup   a bash script run in the scratch directory before the program;
#   CASE.check   a bash script run there afterwards (to inspect written files).
# In CASE.out and CASE.err, @VERSION@ stands for VERSION, the third argument.
#
#   run_transcript.sh PROGRAM CASE.in [VERSION]
set -u
program=$1
input=$2
here=$(cd "$(dirname "$0")" && pwd)
version=${3:-}
case_path=${input%.in}
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

if [ -d "$case_path.files" ]; then cp -R "$case_path.files/." "$scratch/"; fi
if [ -f "$case_path.books" ]; then
  while read -r book script; do
    [ -n "$book" ] || continue
    mkdir "$scratch/.bookbuilder"
    (cd "$scratch/.bookbuilder" && sed '/^#/d' "$here/books/$script.txt" | timeout 60 "$(dirname "$program")/bookbuilder" > /dev/null) &&
      mv "$scratch/.bookbuilder/book.vbk" "$scratch/$book" || { echo "bookbuilder could not write $book from $script"; exit 1; }
    rm -rf "$scratch/.bookbuilder"
  done < "$case_path.books"
fi
if [ -f "$case_path.setup" ]; then (cd "$scratch" && bash "$case_path.setup") || { echo "setup failed"; exit 1; }; fi

arguments=()
if [ -f "$case_path.args" ]; then mapfile -t arguments < "$case_path.args"; fi
(cd "$scratch" && timeout 300 "$program" "${arguments[@]}" < "$input" > "$scratch/.actual-output" 2> "$scratch/.actual-errors")
status=$?
expected_status=0
if [ -f "$case_path.status" ]; then expected_status=$(tr -d '[:space:]' < "$case_path.status"); fi

# The expected text of CASE.$1, with the version put in.
expected() { LC_ALL=C sed "s/@VERSION@/$version/g" "$case_path.$1"; }

failed=0
if ! cmp -s <(expected out) "$scratch/.actual-output"; then
  echo "output differs from $case_path.out:"
  diff <(expected out | od -c) <(od -c "$scratch/.actual-output") | head -n 40
  failed=1
fi
if [ -f "$case_path.err" ]; then
  if ! cmp -s <(expected err) "$scratch/.actual-errors"; then
    echo "standard error differs from $case_path.err:"
    diff <(expected err) "$scratch/.actual-errors" | head -n 20
    failed=1
  fi
else
  cat "$scratch/.actual-errors" >&2
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
if [ -f "$case_path.check" ]; then
  (cd "$scratch" && bash "$case_path.check") || { echo "check failed: $case_path.check"; failed=1; }
fi
exit $failed
