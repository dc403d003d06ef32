#!/usr/bin/env bash
# Makes the sample opening books from their PGN repertoires with bookmaker.
#
#   books/make-books.sh BOOKMAKER [OUTDIR]
#
# repertoire-white.pgn holds the lines the engine plays as White, repertoire-black.pgn those
# it plays as Black; each becomes OUTDIR/wbook.vbk and OUTDIR/bbook.vbk (OUTDIR defaults to
# the folder of this script). Every position of the book's colour within the first 40 plies
# of a line is a key, answered by the move played there in most lines.
set -euo pipefail
if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BOOKMAKER [OUTDIR]" >&2
  exit 2
fi
books_dir=$(cd "$(dirname "$0")" && pwd)
out_dir=${2:-$books_dir}
mkdir -p "$out_dir"
"$1" from-pgn --color white --plies 40 -o "$out_dir/wbook.vbk" "$books_dir/repertoire-white.pgn"
"$1" from-pgn --color black --plies 40 -o "$out_dir/bbook.vbk" "$books_dir/repertoire-black.pgn"
