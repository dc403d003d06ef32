#!/usr/bin/env bash
# The shipped books are the generator's output: regenerating them from their scripts with
# BOOKBUILDER gives the committed wbook.vbk and bbook.vbk byte for byte.
#   books_reproducible.sh BOOKBUILDER BOOKS_DIR
set -u
bookbuilder=$1
books=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

bash "$books/generate.sh" "$bookbuilder" "$scratch" || { echo "generate.sh failed"; exit 1; }
failed=0
for book in wbook.vbk bbook.vbk; do
  if ! cmp "$books/$book" "$scratch/$book"; then
    echo "$book differs from what its scripts make: run books/generate.sh and commit the result"
    failed=1
  fi
done
exit $failed
