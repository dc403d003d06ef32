#!/usr/bin/env bash
# The engine, started beside the shipped books, plays every line of their PGN repertoires
# move for move: the user's moves of a line are typed, and each move of the engine's colour
# must come back as the engine's "move" line.
#   engine_plays_books.sh ENGINE PGN_GAMES BOOKS_DIR
#
# PGN_GAMES --replay turns each repertoire into lines of moves in coordinates, castling as
# the king's move. The engine starts as Black. A line of the black book is played so from
# the start. In a line of the white book the user plays White's first moves (the engine
# answering them from the black book) until "white2" hands White to the engine at a point
# from which it plays the rest of the line; the earliest such point counts (the start, or
# after 1.d4 d5 for the Queen's Gambit lines).
set -u
engine=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
pgn_games=$2
books=$(cd "$3" && pwd)
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
cp "$books/wbook.vbk" "$books/bbook.vbk" "$scratch/" || exit 1

# Prints the engine's move lines for the given input lines, run in a directory holding
# the books.
play() {
  (cd "$1" && printf '%s\n' "${@:2}" quit | timeout 300 "$engine" | grep '^move ')
}

# Plays one line with White handed to the engine before ply $2 (-1: the engine stays Black);
# succeeds when every move of the engine is the line's.
plays_line() {
  local -a moves=($1) input=() expected=()
  local handover=$2 ply engine_colour=black colour
  for ((ply = 0; ply < ${#moves[@]}; ply++)); do
    if [ "$ply" -eq "$handover" ]; then input+=(white2); engine_colour=white; fi
    if [ $((ply % 2)) -eq 0 ]; then colour=white; else colour=black; fi
    if [ $colour = $engine_colour ]; then expected+=("move ${moves[$ply]}"); else input+=("${moves[$ply]}"); fi
  done
  [ "$(play "$scratch" "${input[@]}")" = "$(printf '%s\n' "${expected[@]}")" ]
}

failed=0
lines=0
for colour in white black; do
  mapfile -t games < <("$pgn_games" --replay "$books/repertoire-$colour.pgn") || exit 1
  for line in "${games[@]}"; do
    lines=$((lines + 1))
    if [ $colour = black ]; then
      plays_line "$line" -1 && continue
    else
      played=0
      words=($line)
      for ((handover = 0; handover < ${#words[@]}; handover += 2)); do
        if plays_line "$line" $handover; then played=1; break; fi
      done
      [ $played -eq 1 ] && continue
    fi
    echo "the engine does not play the $colour line: $line"
    failed=1
  done
done
[ $lines -ge 40 ] || { echo "only $lines repertoire lines found"; failed=1; }

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
