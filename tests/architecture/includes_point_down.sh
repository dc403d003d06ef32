#!/usr/bin/env bash
# Every #include "folder/..." in src/ must point down the floors or stay in its own folder:
# console, then board, then book and engine, then notation and driver, then builds and
# bookmaker and frontend; bookbuilder uses only console, board and book. A folder without a rule here
# fails too, so that a new one gets its place.
#   includes_point_down.sh SRC_DIR        checks the tree
#   includes_point_down.sh --self-test    checks that an upward include is caught
set -u

# folder: the folders its files may include besides its own
allowed_for() {
  case "$1" in
    console) echo "" ;;
    board) echo "console" ;;
    book) echo "console board" ;;
    engine) echo "console board" ;;
    notation) echo "console board engine" ;;
    driver) echo "console board book engine" ;;
    builds) echo "console board book engine driver" ;;
    bookbuilder) echo "console board book" ;;
    bookmaker) echo "console board book engine notation driver" ;;
    frontend) echo "console board book engine notation driver builds" ;;
    *) return 1 ;;
  esac
}

check() {
  local src=$1 status=0
  for dir in "$src"/*/; do
    local folder allowed
    folder=$(basename "$dir")
    if ! allowed=$(allowed_for "$folder"); then
      echo "src/$folder: no rule for this folder in $(basename "$0")"
      status=1
      continue
    fi
    while IFS= read -r hit; do
      local file=${hit%%:*} target
      target=$(sed -E 's/^[^"]*"([^"]*)".*/\1/' <<<"${hit#*:}")
      case "$target" in
        ../*|*/../*) echo "${file#"$src"/}: $target climbs out of its folder"; status=1; continue ;;
        */*) ;;
        *) continue ;;  # a file of the same folder
      esac
      local to=${target%%/*}
      [ "$to" = "$folder" ] && continue
      if ! grep -qw -- "$to" <<<"$allowed"; then
        echo "${file#"$src"/}: includes $target, but $folder may include only: ${allowed:-its own folder}"
        status=1
      fi
    done < <(grep -rHE '^[[:space:]]*#[[:space:]]*include[[:space:]]*"' "$dir" --include='*.h' --include='*.cpp' || true)
  done
  return $status
}

if [ "${1:-}" = "--self-test" ]; then
  scratch=$(mktemp -d "${TMPDIR:-/tmp}/quill-includes-XXXXXX")
  trap 'rm -rf "$scratch"' EXIT
  mkdir -p "$scratch/board" "$scratch/engine"
  echo '#include "board/types.h"' > "$scratch/engine/ok.h"
  echo '#include "board/types.h"' > "$scratch/board/types.h"
  if ! check "$scratch" >/dev/null; then echo "self-test: a downward include was refused"; exit 1; fi
  echo '#include "engine/search.h"' > "$scratch/board/up.h"
  if check "$scratch" >/dev/null; then echo "self-test: board including engine was not caught"; exit 1; fi
  rm "$scratch/board/up.h"; mkdir "$scratch/newfolder"; touch "$scratch/newfolder/x.h"
  if check "$scratch" >/dev/null; then echo "self-test: a folder without a rule was not caught"; exit 1; fi
  echo "self-test passed"
  exit 0
fi

[ $# -eq 1 ] || { echo "usage: includes_point_down.sh SRC_DIR | --self-test" >&2; exit 2; }
check "$1" && echo "every include points down"
