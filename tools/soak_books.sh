#!/usr/bin/env bash
# Writes the soak's book folders with bookbuilder: one folder per line of LINES, holding a
# white book (wbook.vbk) that answers the line's positions with White to move and a black
# book (bbook.vbk) for those with Black to move, so that two engines play the whole line from
# their books before they search.
#
#   tools/soak_books.sh BOOKBUILDER OUTDIR [LINES]
#
# LINES defaults to books/soak/lines.txt: "name: move move ...", "#" comments; castling is the
# king's move and the rook's joined by "+". Every move is checked by movecheck when MOVECHECK
# is set in the environment (the soak checks every book move again as it is played).
set -euo pipefail
export LC_ALL=C

if [ $# -lt 2 ] || [ $# -gt 3 ]; then
  echo "usage: $0 BOOKBUILDER OUTDIR [LINES]" >&2
  exit 2
fi
bookbuilder=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
lines=${3:-$(cd "$(dirname "$0")/.." && pwd)/books/soak/lines.txt}
mkdir -p "$out"

count=0
while IFS= read -r entry; do
  case $entry in ''|'#'*) continue ;; esac
  name=${entry%%:*}
  read -r -a moves <<< "${entry#*:}"
  dir=$out/$name
  rm -rf "$dir"
  mkdir -p "$dir/white" "$dir/black"
  # The commands for one colour's book: write the position before each of its moves (a key)
  # and after it (the answer); the other side's moves are only played.
  for colour in white black; do
    {
      ply=0
      for move in "${moves[@]}"; do
        turn=white
        [ $((ply % 2)) = 1 ] && turn=black
        [ "$turn" = "$colour" ] && echo w
        tr '+' '\n' <<< "$move"
        [ "$turn" = "$colour" ] && echo w
        ply=$((ply + 1))
      done
    } | (cd "$dir/$colour" && "$bookbuilder" > /dev/null)
    mv "$dir/$colour/book.vbk" "$dir/${colour:0:1}book.vbk"
    rmdir "$dir/$colour"
  done
  if [ -n "${MOVECHECK:-}" ]; then
    verdicts=$(printf '%s\n' "${moves[@]%%+*}" | "$MOVECHECK" | tail -n +2 | grep -c '^bad' || true)
    [ "$verdicts" = 0 ] || { echo "$name: movecheck refuses a move of the line" >&2; exit 1; }
  fi
  count=$((count + 1))
done < "$lines"
echo "$count book folders in $out"
