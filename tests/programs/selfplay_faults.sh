#!/usr/bin/env bash
# The selfplay tool must notice what it is there to notice: an illegal move, an engine that
# ends without moving, and the end of a game, whatever an engine prints before its move line.
#   selfplay_faults.sh SELFPLAY MOVECHECK
set -u
selfplay=$1
movecheck=$2
engine="$(cd "$(dirname "$0")" && pwd)/scripted_engine.sh"
failed=0

# expect STATUS PATTERN: runs selfplay on the scripted engines with the current SCRIPTED_*
# settings and checks its exit status and that its report matches PATTERN.
expect() {
  local report status
  report=$("$selfplay" "$engine" "$engine" "$movecheck" --games 1 --plies "${PLIES:-20}" --timeout "${TIMEOUT:-30}")
  status=$?
  if [ "$status" != "$1" ] || ! grep -q -- "$2" <<< "$report"; then
    echo "expected status $1 and '$2', got status $status:"; echo "$report"; failed=1
  fi
}

SCRIPTED_WHITE="e2e4 e2e5" SCRIPTED_BLACK="e7e5" expect 1 'illegal move (White played e2e5 at ply 3)'
SCRIPTED_WHITE="e2e4" SCRIPTED_BLACK="e2e4" expect 1 'illegal move (Black played e2e4 at ply 2)'
# The position of a fault, for the report: after 1.e4 e5 White to move.
SCRIPTED_WHITE="e2e4 e2e5" SCRIPTED_BLACK="e7e5" expect 1 'position: rnbqkbnr/pppp1ppp/8/4p3/4P3/8/PPPP1PPP/RNBQKBNR w KQkq e6$'
SCRIPTED_WHITE="e2e4" SCRIPTED_BLACK="exit" expect 1 'missing move (Black ended without a move at ply 2)'
TIMEOUT=1 SCRIPTED_WHITE="e2e4" SCRIPTED_BLACK="hang" expect 1 'no move in time (Black gave no move within the time at ply 2)'
TIMEOUT=1 SCRIPTED_WHITE="e2e4" SCRIPTED_BLACK="hang" expect 1 'slowest reply: 1\.[0-9]* s, game 1, ply 2, scripted_engine.sh as Black, after: e2e4$'
SCRIPTED_WHITE="f2f3 g2g4" SCRIPTED_BLACK="e7e5 O-1.|d8h4" expect 0 '4 plies, O-1'
SCRIPTED_WHITE="f2f3 g2g4" SCRIPTED_BLACK="e7e5 O-1.|d8h4" expect 0 'moves: f2f3 e7e5 g2g4 d8h4$'
SCRIPTED_WHITE="e2e3 d1h5 h5a5 h2h4 a5c7 c7d7 d7b7 b7b8 b8c8 c8e6" \
SCRIPTED_BLACK="a7a5 a8a6 h7h5 a6h6 f7f6 e8f7 d8d3 d3h7 f7g6" expect 0 '19 plies, DRAW'
PLIES=8 SCRIPTED_WHITE="g1f3 f3g1 g1f3 f3g1" SCRIPTED_BLACK="g8f6 f6g8 g8f6 f6g8" expect 0 'summary: 1 games, 8 plies; 1-O 0, O-1 0, DRAW 0, unfinished 1; illegal moves 0, missing moves 0, no move in time 0'
exit $failed
