#!/usr/bin/env bash
# Soak run: refereed games between every ordered pair of engine builds, each build in both
# colours, by tools/selfplay with movecheck and the independent referee of the tests judging
# every move. Prints one table row per pair (Markdown, ready for SOAK.md), the totals, the
# slowest reply of each build and of the whole run, and exits with 1 when any game had an
# illegal move, a missing move, a reply over the time or a move the two referees judged
# differently.
#
#   tools/soak.sh [options] BIN_DIR
#     BIN_DIR             folder with selfplay, movecheck and the engine builds
#     --engines "A B .."  the builds to pair (default: engine-a to engine-f)
#     --games N           games per ordered pair (default 8)
#     --games-with E=N    N games for every pair that includes build E (repeatable); meant
#                         for engine-a, whose unbounded capture search makes its games slow
#     --plies N           ply limit of a game (default 200)
#     --timeout S         seconds one reply may take (default 600)
#     --no-self           leave out the pairs of a build with itself
#     --only E            play only the pairs that include build E
#     --log DIR           keep each pair's selfplay report in DIR (default: a scratch folder)
#     --selfplay PATH     the selfplay program (default: BIN_DIR/selfplay)
#     --books DIR         play from the books of DIR's folders, one folder per game in turn
#                         (made by tools/soak_books.sh), starting at a different folder for
#                         every pair; the games then open from the books
#
# Without --books each pair draws its openings, White's first move, from the twenty legal
# first moves, starting at a different place for every pair, so that two deterministic builds
# play different games.
set -u

engines="engine-a engine-b engine-c engine-d engine-e engine-f"
games=8
plies=200
timeout=600
self=1
only=""
log=""
selfplay=""
books=""
declare -A games_with=()
declare -A build_slowest=()

usage() {
  sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case $1 in
    --engines) engines=$2; shift 2 ;;
    --games) games=$2; shift 2 ;;
    --games-with) games_with[${2%%=*}]=${2#*=}; shift 2 ;;
    --plies) plies=$2; shift 2 ;;
    --timeout) timeout=$2; shift 2 ;;
    --no-self) self=0; shift ;;
    --only) only=$2; shift 2 ;;
    --log) log=$2; shift 2 ;;
    --selfplay) selfplay=$2; shift 2 ;;
    --books) books=$2; shift 2 ;;
    -h|--help) usage ;;
    --*) usage ;;
    *) break ;;
  esac
done
[ $# -eq 1 ] || usage
bin=$1
selfplay=${selfplay:-$bin/selfplay}
for program in "$selfplay" "$bin/movecheck" $(printf "$bin/%s " $engines); do
  [ -x "$program" ] || { echo "soak: no program $program" >&2; exit 2; }
done
if [ -z "$log" ]; then
  log=$(mktemp -d)
else
  mkdir -p "$log" || exit 2
fi

first_moves=(e2e4 d2d4 c2c4 g1f3 b1c3 e2e3 d2d3 c2c3 f2f4 g2g3 b2b3 a2a3 h2h3 b2b4 f2f3 g2g4 a2a4 h2h4 g1h3 b1a3)

# The openings of pair number $1: all twenty first moves, rotated by seven places per pair.
openings_for() {
  local start=$(( ($1 * 7) % ${#first_moves[@]} )) list=() i
  for ((i = 0; i < ${#first_moves[@]}; ++i)); do
    list+=("${first_moves[(start + i) % ${#first_moves[@]}]}")
  done
  local IFS=,
  echo "${list[*]}"
}

# Games for the pair $1 $2: the smallest --games-with count of either build, else --games.
games_for() {
  local n=$games e
  for e in "$1" "$2"; do
    if [ -n "${games_with[$e]:-}" ] && [ "${games_with[$e]}" -lt "$n" ]; then n=${games_with[$e]}; fi
  done
  echo "$n"
}

echo "| White | Black | games | 1-O | O-1 | DRAW | unfinished | plies | illegal | missing | no move in time | referees disagree | slowest reply (s) |"
echo "|---|---|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|---:|"

total_games=0 total_plies=0 total_white=0 total_black=0 total_draw=0 total_unfinished=0
total_illegal=0 total_missing=0 total_slow=0 total_disagree=0 slowest=0 slowest_where="" failed=0 pair=0
started=$SECONDS
for white in $engines; do
  for black in $engines; do
    if [ "$white" = "$black" ] && [ $self = 0 ]; then continue; fi
    if [ -n "$only" ] && [ "$white" != "$only" ] && [ "$black" != "$only" ]; then pair=$((pair + 1)); continue; fi
    n=$(games_for "$white" "$black")
    report="$log/$white-vs-$black.txt"
    if [ -n "$books" ]; then
      opening_args=(--books "$books" --book-offset $((pair * 7)))
    else
      opening_args=(--openings "$(openings_for $pair)")
    fi
    "$selfplay" "$bin/$white" "$bin/$black" "$bin/movecheck" --games "$n" --plies "$plies" \
      --timeout "$timeout" "${opening_args[@]}" > "$report" 2>&1
    pair=$((pair + 1))
    summary=$(grep '^summary: ' "$report")
    if [ -z "$summary" ]; then
      echo "soak: selfplay gave no summary for $white against $black; see $report" >&2
      failed=1
      continue
    fi
    # summary: N games, P plies; 1-O a, O-1 b, DRAW c, unfinished d; illegal moves i,
    # missing moves m, no move in time t, referees disagree r; slowest reply s s; slowest
    # White reply sw s, slowest Black reply sb s -- the numbers in that order once the result
    # names, which hold digits themselves, are taken out.
    read -r g p w b d u i m t r s sw sb < <(sed 's/1-O//; s/O-1//' <<< "$summary" | grep -oE '[0-9]+(\.[0-9]+)?' | tr '\n' ' ')
    echo "| $white | $black | $g | $w | $b | $d | $u | $p | $i | $m | $t | $r | $s |"
    for side in "$white:$sw" "$black:$sb"; do
      if awk -v a="${side#*:}" -v b="${build_slowest[${side%%:*}]:-0}" 'BEGIN { exit !(a > b) }'; then
        build_slowest[${side%%:*}]=${side#*:}
      fi
    done
    total_games=$((total_games + g)) total_plies=$((total_plies + p))
    total_white=$((total_white + w)) total_black=$((total_black + b)) total_draw=$((total_draw + d))
    total_unfinished=$((total_unfinished + u)) total_illegal=$((total_illegal + i))
    total_missing=$((total_missing + m)) total_slow=$((total_slow + t)) total_disagree=$((total_disagree + r))
    if awk -v a="$s" -v b="$slowest" 'BEGIN { exit !(a > b) }'; then
      slowest=$s
      slowest_where="$white against $black: $(grep '^slowest reply: ' "$report" | sed 's/^slowest reply: //')"
    fi
    if [ "$i" != 0 ] || [ "$m" != 0 ] || [ "$t" != 0 ] || [ "$r" != 0 ]; then
      failed=1
      grep -A2 -E 'illegal move|missing move|no move in time|referees disagree|not started' "$report" |
        grep -E '^game|^  position' >&2
    fi
  done
done
echo "| all | all | $total_games | $total_white | $total_black | $total_draw | $total_unfinished | $total_plies | $total_illegal | $total_missing | $total_slow | $total_disagree | $slowest |"
echo
echo "slowest reply of each build (s):"
for e in $engines; do
  [ -n "${build_slowest[$e]:-}" ] && echo "  $e ${build_slowest[$e]}"
done
echo "slowest reply: $slowest_where"
echo "time: $((SECONDS - started)) s; reports in $log"
exit $failed
