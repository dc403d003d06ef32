#!/usr/bin/env bash
# The engine, started beside the shipped books, plays every scripted line of them move for
# move: the user's moves of a line are typed, and each move of the engine's colour must come
# back as the engine's "move" line.
#   engine_plays_books.sh ENGINE BOOKS_DIR
#
# A line is read from its script (comments left out, the first word of each line): square
# pairs are moves, White's first; a king's e1g1, e1c1, e8g8 or e8c8 followed by the rook's
# pair is one castling move, announced as the king's. The engine starts as Black; when the
# first "w" finds White to move the line belongs to the white book, and "white2" hands White
# to the engine there (lines that begin after some moves rely on the black book for the
# engine's own moves before that point).
set -u
engine=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
books=$(cd "$2" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$books/wbook.vbk" "$books/bbook.vbk" "$scratch/" || exit 1

# Prints the engine's move lines for the given input lines, run in a directory holding
# the books.
play() {
  (cd "$1" && printf '%s\n' "${@:2}" quit | timeout 300 "$engine" | grep '^move ')
}

failed=0
lines=0
for script in "$books"/scripts/white/*.txt "$books"/scripts/black/*.txt; do
  mapfile -t words < <(sed '/^#/d' "$script" | awk 'NF { print $1 }')
  input=()
  expected=()
  side=white
  engine_side=black
  started=0
  i=0
  while [ $i -lt ${#words[@]} ]; do
    word=${words[$i]}
    i=$((i + 1))
    if [ "$word" = w ]; then
      if [ $started -eq 0 ] && [ $side = white ]; then
        input+=(white2)
        engine_side=white
      fi
      started=1
      continue
    fi
    case "$word:${words[$i]:-}" in
      e1g1:h1f1 | e1c1:a1d1 | e8g8:h8f8 | e8c8:a8d8) i=$((i + 1)) ;;
    esac
    if [ $side = "$engine_side" ]; then expected+=("move $word"); else input+=("$word"); fi
    if [ $side = white ]; then side=black; else side=white; fi
  done

  actual=$(play "$scratch" "${input[@]}")
  want=$(printf '%s\n' "${expected[@]}")
  lines=$((lines + 1))
  if [ "$actual" != "$want" ]; then
    echo "$(basename "$script"): typed: ${input[*]}"
    diff <(echo "$want") <(echo "$actual") | sed 's/^/  /'
    failed=1
  fi
done
[ $lines -gt 0 ] || { echo "no scripted lines found"; failed=1; }

# The books are what makes these moves: without them the engine's search opens with
# another first move as White and meets e2e4 with another reply as Black.
mkdir "$scratch/no-books"
for probe in "white2:move e2e4" "e2e4:move e7e5"; do
  input=${probe%%:*}
  book_move=${probe#*:}
  with=$(play "$scratch" "$input")
  without=$(play "$scratch/no-books" "$input")
  if [ "$with" != "$book_move" ] || [ "$without" = "$with" ]; then
    echo "after '$input': '$with' with the books, '$without' without"
    failed=1
  fi
done
exit $failed
