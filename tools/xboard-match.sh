#!/usr/bin/env bash
# Full matches under a real interface: each named engine build plays Fairy-Max in xboard,
# headless under Xvfb, and the games xboard saved are read back for how they ended.
#
#   tools/xboard-match.sh [options] ENGINE...
#     ENGINE             path of an engine build (engine-a to engine-f)
#     --games N          games per build, colours alternating, the build White first (default 2)
#     --tc MINUTES       time per session of moves, as xboard's -tc (default 2; "0:30" is 30 s)
#     --mps N            moves per session (default 40)
#     --opponent CMD     the second engine (default fairymax)
#     --books DIR        folder whose wbook.vbk and bbook.vbk the builds play from (default:
#                        the repository's books/; "none" for no books)
#     --out DIR          where each build's games.pgn, xboard debug log and errors go
#                        (default: xboard-match.<date> in the current folder)
#
# Installs nothing: it needs Debian's xboard, xvfb (xvfb-run) and fairymax, and says so when
# one is missing. engine-c and engine-f print their game-over verdict without a newline and
# would glue it to the next game's first move line, so they are restarted for every game
# (-xreuse); the other builds are started once per match.
#
# Per build it reports xboard's final score, the games saved and finished (a result of 1-0,
# 0-1 or 1/2-1/2), the build's wins, draws and losses, its games lost by an illegal move, on
# time or by a crash (the program ended or its pipe broke, which xboard reports on its
# standard error and does not always save as a game), and how the games ended. Exits with 1
# when any of those three is not 0 or a game is missing or unfinished, with 2 on bad usage or
# when a tool is missing.
set -u

games=2
tc=2
mps=40
opponent=fairymax
here=$(cd "$(dirname "$0")/.." && pwd)
books=$here/books
out=""

usage() {
  sed -n '2,/^set -u/p' "$0" | sed '$d; s/^# \{0,1\}//' >&2
  exit 2
}

while [ $# -gt 0 ]; do
  case $1 in
    --games) games=$2; shift 2 ;;
    --tc) tc=$2; shift 2 ;;
    --mps) mps=$2; shift 2 ;;
    --opponent) opponent=$2; shift 2 ;;
    --books) books=$2; shift 2 ;;
    --out) out=$2; shift 2 ;;
    -h|--help) usage ;;
    --*) usage ;;
    *) break ;;
  esac
done
[ $# -ge 1 ] || usage

# Debian puts xboard and fairymax in /usr/games, which is not on every PATH.
PATH=$PATH:/usr/games
missing=()
for tool in xboard xvfb-run "$opponent"; do
  command -v "$tool" > /dev/null || missing+=("$tool")
done
if [ ${#missing[@]} -gt 0 ]; then
  echo "xboard-match: not installed: ${missing[*]} (Debian: apt-get install xboard xvfb fairymax)" >&2
  exit 2
fi
out=${out:-xboard-match.$(date +%Y%m%d-%H%M%S)}
mkdir -p "$out" || exit 2
out=$(cd "$out" && pwd)

# A game of the session's time for each side, a generous margin for start-up and the
# engines' overrun, and then some: only a hung xboard meets this limit.
session_seconds=$(awk -v tc="$tc" 'BEGIN { n = split(tc, p, ":"); print (n == 2 ? p[1] * 60 + p[2] : tc * 60) }')
match_limit=$((games * (session_seconds * 2 * 6 + 300)))

# Reads a games.pgn ($1) for the build named $2 and prints one line per game:
#   RESULT OURS(white|black) ENDING
# where ENDING is the comment xboard wrote before the result (the reason the game ended).
read_games() {
  awk -v ours="$2" '
    function flush() {
      if (result == "") return
      ending = ""
      # The last {...} comment before the result token is the reason xboard gives.
      text = moves
      while (match(text, /\{[^}]*\}/)) { ending = substr(text, RSTART + 1, RLENGTH - 2); text = substr(text, RSTART + RLENGTH) }
      side = (white == ours) ? "white" : (black == ours) ? "black" : "neither"
      gsub(/[ \t]+/, " ", ending)
      print result "\t" side "\t" ending
      result = ""; moves = ""; white = ""; black = ""
    }
    /^\[Event / { flush() }
    /^\[White "/ { white = $0; sub(/^\[White "/, "", white); sub(/"\]$/, "", white) }
    /^\[Black "/ { black = $0; sub(/^\[Black "/, "", black); sub(/"\]$/, "", black) }
    /^\[Result "/ { result = $0; sub(/^\[Result "/, "", result); sub(/"\]$/, "", result) }
    !/^\[/ { moves = moves " " $0 }
    END { flush() }
  ' "$1"
}

printf '| build | games | xboard score (W-L-D) | saved | finished | won/drawn/lost | lost by illegal move | lost on time | lost by crash | endings |\n'
printf '|---|---:|---:|---:|---:|---:|---:|---:|---:|---|\n'
failed=0
for engine in "$@"; do
  if [ ! -x "$engine" ]; then
    echo "xboard-match: no program $engine" >&2
    failed=1
    continue
  fi
  engine=$(cd "$(dirname "$engine")" && pwd)/$(basename "$engine")
  name=$(basename "$engine")
  dir=$out/$name
  mkdir -p "$dir/engine-dir"
  rm -f "$dir/games.pgn" "$dir/debug.log"
  if [ "$books" != none ]; then
    for book in wbook.vbk bbook.vbk; do
      if [ -f "$books/$book" ]; then cp "$books/$book" "$dir/engine-dir/"; fi
    done
  fi
  reuse=()
  case $name in
    engine-c|engine-f) reuse=(-xreuse) ;;
  esac
  # -xponder keeps Fairy-Max from thinking on our engine's time: both share the machine.
  (cd "$dir" && timeout "$match_limit" xvfb-run -a xboard -noGUI \
      -fcp "$engine" -fd "$dir/engine-dir" -firstProtocolVersion 1 "${reuse[@]}" \
      -scp "$opponent" -mg "$games" -tc "$tc" -mps "$mps" -autoCallFlag true -xponder \
      -sgf "$dir/games.pgn" -xexit -saveSettingsOnExit false -soundProgram "" \
      -debug -nameOfDebugFile "$dir/debug.log" > "$dir/xboard.out" 2>&1)
  status=$?
  [ -f "$dir/games.pgn" ] || : > "$dir/games.pgn"
  read_games "$dir/games.pgn" "$name" > "$dir/games.txt"

  finished=0 won=0 drawn=0 lost=0 illegal=0 on_time=0 crash=0
  while IFS=$'\t' read -r result side ending; do
    case $result in 1-0|0-1|1/2-1/2) finished=$((finished + 1)) ;; esac
    mine=none
    case "$side/$result" in
      white/1-0|black/0-1) won=$((won + 1)) ;;
      */1/2-1/2) drawn=$((drawn + 1)) ;;
      white/0-1|black/1-0) lost=$((lost + 1)); mine=lost ;;
    esac
    # A game that ended without a result is counted against the build as a crash when
    # xboard stopped it (the program ended or xboard itself was cut off).
    case $ending in
      *"Forfeit due to illegal move"*|*"Forfeit due to invalid move"*|*"Illegal move"*)
        [ $mine = lost ] && illegal=$((illegal + 1)) ;;
      *"wins on time"*)
        [ $mine = lost ] && on_time=$((on_time + 1)) ;;
      *"xboard exit"*|*"exited unexpectedly"*|*"died"*)
        crash=$((crash + 1)) ;;
    esac
  done < "$dir/games.txt"
  # A game that xboard ends because our engine's pipe broke or the program ended is not
  # always saved; xboard says so on its standard error, once per game.
  engine_errors=$(grep -c -E "Error (writing to|reading from) first chess program|first chess program .*exited unexpectedly" "$dir/xboard.out")
  crash=$((crash + engine_errors))
  played=$(wc -l < "$dir/games.txt")
  score=$(sed -n 's/^xboard: Match .*: final score \([0-9]*-[0-9]*-[0-9]*\)$/\1/p' "$dir/xboard.out" | tail -n 1)
  endings=$(cut -f3 "$dir/games.txt" | sed 's/^$/(none)/' | sort | uniq -c | sed 's/^ *\([0-9]*\) \(.*\)/\2 ×\1/' | paste -sd ';' | sed 's/;/; /g')
  [ "$engine_errors" = 0 ] || endings="${endings:+$endings; }engine program failed ×$engine_errors"
  if [ -z "$score" ]; then endings="${endings:+$endings; }no final score from xboard"; fi
  if [ $status = 124 ]; then endings="${endings:+$endings; }xboard cut off after ${match_limit} s"; crash=$((crash + 1)); fi
  printf '| %s | %s | %s | %s | %s | %s | %s | %s | %s | %s |\n' "$name" "$games" "${score:-none}" "$played" "$finished" \
    "$won/$drawn/$lost" "$illegal" "$on_time" "$crash" "$endings"
  if [ -z "$score" ] || [ "$finished" != "$games" ] || [ $illegal != 0 ] || [ $on_time != 0 ] || [ $crash != 0 ]; then failed=1; fi
done
echo
echo "games, debug logs and xboard's messages in $out"
exit $failed
