#!/usr/bin/env bash
# Runs one console transcript: PROGRAM reads CASE.in in a fresh scratch directory, and its
# whole standard output must equal CASE.out byte for byte and its exit status CASE.status
# (0 when that file is absent). Optional companions of CASE.in:
#   CASE.files/  copied into the scratch directory first (books, for example);
#   CASE.books   lines "BOOK SCRIPT": the bookbuilder beside PROGRAM runs the commands of
#                books/SCRIPT.txt (lines starting with "#" left out) and the book.vbk it
#                writes becomes the file BOOK in the scratch directory;
#   CASE.setup   a bash script run in the scratch directory before the program;
#   CASE.check   a bash script run there afterwards (to inspect written files).
set -u
program=$1
input=$2
here=$(cd "$(dirname "$0")" && pwd)
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

(cd "$scratch" && timeout 300 "$program" < "$input" > "$scratch/.actual-output")
status=$?
expected_status=0
if [ -f "$case_path.status" ]; then expected_status=$(tr -d '[:space:]' < "$case_path.status"); fi

failed=0
if ! cmp -s "$case_path.out" "$scratch/.actual-output"; then
  echo "output differs from $case_path.out:"
  diff <(od -c "$case_path.out") <(od -c "$scratch/.actual-output") | head -n 40
  failed=1
fi
if [ "$status" != "$expected_status" ]; then
  echo "exit status $status, expected $expected_status"
  failed=1
fi
if [ -f "$case_path.check" ]; then
  (cd "$scratch" && bash "$case_path.check") || { echo "check failed: $case_path.check"; failed=1; }
fi
exit $failed
