#!/usr/bin/env bash
# Writes the soak's book folders with bookbuilder: one folder per line of LINES, holding a
# white book (wbook.vbk) that answers the line's positions with White to move and a black
# book (bbook.vbk) for those with Black to move, so that two engines play the whole line from
# their books before they search.
#
#   tools/soak_books.sh BOOKBUILDER OUTDIR [LINES [PREFIXES]]
#
# LINES defaults to books/soak/lines.txt: "name: move move ...", "#" comments; castling is the
# king's move and the rook's joined by "+". PREFIXES defaults to books/soak/prefixes.txt: one
# pair of opening moves a line; every line is also written after each prefix, as the folder
# NAME.K (K the prefix's number), when movecheck accepts every move of the variant; the
# refused variants are left out. Every move of a line itself is checked by movecheck when
# MOVECHECK is set in the environment (the soak checks every book move again as it is
# played); the variants are always checked, by MOVECHECK or else by the movecheck beside
# BOOKBUILDER, and are not written when neither is there.
set -euo pipefail
export LC_ALL=C

if [ $# -lt 2 ] || [ $# -gt 4 ]; then
  echo "usage: $0 BOOKBUILDER OUTDIR [LINES [PREFIXES]]" >&2
  exit 2
fi
bookbuilder=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out=$2
root=$(cd "$(dirname "$0")/.." && pwd)
lines=${3:-$root/books/soak/lines.txt}
prefixes=${4:-$root/books/soak/prefixes.txt}
checker=${MOVECHECK:-$(dirname "$bookbuilder")/movecheck}
[ -x "$checker" ] || checker=""
mkdir -p "$out"

# True when movecheck accepts every move of the arguments, played from the start.
legal_line() {
  local refused
  refused=$(printf '%s\n' "${@%%+*}" | "$checker" | tail -n +2 | grep -c '^bad' || true)
  [ "$refused" = 0 ]
}

# Writes folder OUTDIR/NAME with the white and black books of the moves that follow NAME.
write_folder() {
  local name=$1 dir=$out/$1 colour turn ply move
  shift
  rm -rf "$dir"
  mkdir -p "$dir/white" "$dir/black"
  # The commands for one colour's book: write the position before each of its moves (a key)
  # and after it (the answer); the other side's moves are only played.
  for colour in white black; do
    {
      ply=0
      for move in "$@"; do
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
}

openings=()
if [ -f "$prefixes" ]; then
  while IFS= read -r entry; do
    case $entry in ''|'#'*) continue ;; esac
    openings+=("$entry")
  done < "$prefixes"
fi

count=0
left_out=0
while IFS= read -r entry; do
  case $entry in ''|'#'*) continue ;; esac
  name=${entry%%:*}
  read -r -a moves <<< "${entry#*:}"
  if [ -n "${MOVECHECK:-}" ] && ! legal_line "${moves[@]}"; then
    echo "$name: movecheck refuses a move of the line" >&2
    exit 1
  fi
  write_folder "$name" "${moves[@]}"
  count=$((count + 1))
  [ -n "$checker" ] || continue
  for k in "${!openings[@]}"; do
    read -r -a opening <<< "${openings[$k]}"
    if legal_line "${opening[@]}" "${moves[@]}"; then
      write_folder "$name.$((k + 1))" "${opening[@]}" "${moves[@]}"
      count=$((count + 1))
    else
      left_out=$((left_out + 1))
    fi
  done
done < "$lines"
echo "$count book folders in $out ($left_out variants left out)"
