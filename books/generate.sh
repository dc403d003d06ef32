#!/usr/bin/env bash
# Builds the sample opening books from their command scripts with bookbuilder.
#
#   books/generate.sh BOOKBUILDER [OUTDIR]
#
# Every script in books/scripts/white/ (lines the engine plays as White) and
# books/scripts/black/ (lines it plays as Black) is a list of bookbuilder commands, one per
# line; lines starting with "#" are comments and are not fed to the tool. Each script is run
# through bookbuilder in a fresh directory, and the records it writes are gathered, in the
# scripts' name order, into OUTDIR/wbook.vbk and OUTDIR/bbook.vbk (OUTDIR defaults to the
# folder of this script). An entry whose key an earlier script already wrote is dropped, so
# lines may share their first moves; the same key with another answer is an error, since
# the engine would only ever play the first.
set -euo pipefail
export LC_ALL=C

if [ $# -lt 1 ] || [ $# -gt 2 ]; then
  echo "usage: $0 BOOKBUILDER [OUTDIR]" >&2
  exit 2
fi
books_dir=$(cd "$(dirname "$0")" && pwd)
bookbuilder=$(cd "$(dirname "$1")" && pwd)/$(basename "$1")
out_dir=${2:-$books_dir}
mkdir -p "$out_dir"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

# Writes the book of one colour: $1 is the scripts folder, $2 the book file.
build_book() {
  local scripts=$1 book=$2 script run size n=0
  : > "$work/all.vbk"
  for script in "$scripts"/*.txt; do
    n=$((n + 1))
    run=$work/$(basename "$book" .vbk)-$n
    mkdir "$run"
    if ! sed '/^#/d' "$script" | (cd "$run" && "$bookbuilder" > /dev/null); then
      echo "bookbuilder failed on $script" >&2
      return 1
    fi
    size=$(stat -c %s "$run/book.vbk")
    # Every entry is a key and its answer: two records of 66 bytes.
    if [ $((size % 132)) -ne 0 ] || [ "$size" -eq 0 ]; then
      echo "$script leaves a key without an answer ($size bytes)" >&2
      return 1
    fi
    cat "$run/book.vbk" >> "$work/all.vbk"
  done
  # Records are CR LF lines; awk keeps the CR in $0, so the output keeps it too.
  awk -v book="$book" '
    NR % 2 == 1 { key = $0; next }
    key in answer {
      if (answer[key] != $0) { printf "%s: two answers to the key\n%s\n", book, key > "/dev/stderr"; exit 1 }
      next
    }
    { answer[key] = $0; print key; print $0 }
  ' "$work/all.vbk" > "$work/book.vbk"
  mv "$work/book.vbk" "$book"
}

build_book "$books_dir/scripts/white" "$out_dir/wbook.vbk"
build_book "$books_dir/scripts/black" "$out_dir/bbook.vbk"
