#!/usr/bin/env bash
# The shipped books are bookmaker's output: making them again from their PGN repertoires
# gives the committed wbook.vbk and bbook.vbk byte for byte, and bookmaker check finds
# nothing wrong in either, read as a book of its colour.
#   books_reproducible.sh BOOKMAKER BOOKS_DIR
set -u
bookmaker=$1
books=$2
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT

bash "$books/make-books.sh" "$bookmaker" "$scratch" 2> "$scratch/log" || { cat "$scratch/log"; echo "make-books.sh failed"; exit 1; }
if grep -v ' games read, ' "$scratch/log"; then
  echo "bookmaker warned about the repertoires"
  exit 1
fi
failed=0
for pair in wbook.vbk:white bbook.vbk:black; do
  book=${pair%%:*}
  colour=${pair#*:}
  if ! cmp "$books/$book" "$scratch/$book"; then
    echo "$book differs from what its repertoire makes: run books/make-books.sh and commit the result"
    failed=1
  fi
  if ! "$bookmaker" check "$books/$book" --color "$colour"; then
    echo "bookmaker check reports $book"
    failed=1
  fi
done
exit $failed
