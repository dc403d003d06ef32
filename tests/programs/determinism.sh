#!/usr/bin/env bash
# End-to-end checks that the deterministic builds really are, and that the noisy ones still
# play only legal moves. Every engine move is refereed by movecheck.
#
#   determinism.sh same  BIN_DIR ENGINE   the same input twice gives the same output
#   determinism.sh legal BIN_DIR ENGINE   three runs of the same input, every move legal
#   determinism.sh games BIN_DIR WHITE BLACK
#                                         two selfplay runs give the same games
#
# The input is a set of short games, one per segment: a first move typed for White and the
# engine's answer as Black, then "white2" so that it also plays one move as White; or "go"
# or "black2", where the engine opens as White. Replies then come from positions near the
# start, which keeps even engine-a's unbounded capture search quick.
set -u
mode=$1
bin=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

segments=("e2e4 white2" "go" "g1f3 white2" "d2d4 white2" "black2" "c2c4 white2" "b1c3 white2")
if [ "$mode" != games ] && [ "$3" = engine-a ]; then
  segments=("e2e4 white2" "go" "g1f3 white2")  # engine-a searches slowly: fewer replies
fi

# The engine's input: the segments as games separated by "new".
engine_input() {
  local first=1 s
  for s in "${segments[@]}"; do
    [ $first = 1 ] || echo new
    first=0
    tr ' ' '\n' <<< "$s"
  done
  echo quit
}

# Judges the move lines of one engine run ($1) with movecheck: each segment is replayed with
# the engine's moves in place, "vgo" standing for the engine opening as White.
referee() {
  local moves=() s i=0 first=1 expected answers
  mapfile -t moves < <(sed -n 's/^.*move \(....\)$/\1/p' "$1")
  : > judged.txt
  for s in "${segments[@]}"; do
    [ $first = 1 ] || echo new >> judged.txt
    first=0
    case $s in
      go|black2) printf '%s\n' vgo "${moves[i]:-none}" >> judged.txt; i=$((i + 1)) ;;
      *) printf '%s\n' "${s% *}" "${moves[i]:-none}" white2 "${moves[i + 1]:-none}" >> judged.txt; i=$((i + 2)) ;;
    esac
  done
  if [ "${#moves[@]}" -ne "$i" ]; then
    echo "expected $i move lines, got ${#moves[@]}:"; cat "$1"; return 1
  fi
  expected=$(grep -cv '^new$' judged.txt)
  answers=$("$bin/movecheck" < judged.txt | tail -n +2)
  if [ "$(grep -c '^ok$' <<< "$answers")" -ne "$expected" ] || [ "$(wc -l <<< "$answers")" -ne "$expected" ]; then
    echo "movecheck did not accept every move:"; paste <(grep -v '^new$' judged.txt) <(echo "$answers"); return 1
  fi
}

case $mode in
  same)
    engine_input > input.txt
    "$bin/$3" < input.txt > first.txt || exit 1
    "$bin/$3" < input.txt > second.txt || exit 1
    if ! cmp -s first.txt second.txt; then
      echo "$3 answered the same input differently:"; diff first.txt second.txt; exit 1
    fi
    referee first.txt || exit 1
    ;;
  legal)
    engine_input > input.txt
    for run in 1 2 3; do
      "$bin/$3" < input.txt > run$run.txt || exit 1
      referee run$run.txt || { echo "in run $run of $3"; exit 1; }
    done
    ;;
  games)
    for run in 1 2; do
      "$bin/selfplay" "$bin/$3" "$bin/$4" "$bin/movecheck" --games 2 --plies 20 --openings e2e4,d2d4 > run$run.txt \
        || { cat run$run.txt; exit 1; }
      grep 'moves:' run$run.txt > moves$run.txt
    done
    if ! cmp -s moves1.txt moves2.txt; then
      echo "$3 against $4 played different games:"; diff moves1.txt moves2.txt; exit 1
    fi
    [ "$(grep -o ' [a-h][1-8][a-h][1-8]' moves1.txt | wc -l)" -ge 30 ] || { echo "too few moves:"; cat run1.txt; exit 1; }
    ;;
  *)
    echo "unknown mode $mode"; exit 2 ;;
esac
echo "$mode $3 ${4:-}: passed"
