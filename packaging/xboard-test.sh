#!/usr/bin/env bash
# A game in xboard 4.9, headless under Xvfb, between the installed package's engine-list entry
# for engine-e and Fairy-Max. xboard first registers the installed plugin files in a private
# settings file (as it does for a user at start-up); the entry it wrote for engine-e is then
# loaded the way xboard loads a list entry, as "-fcp ENTRY". From xboard's debug log it checks
# that the engine was started in the installed books folder, that xboard sent "new" without
# waiting for protocol-2 features, that the engine's first move was the book's, and from the
# saved game that it finished with no illegal move.
#
#   packaging/xboard-test.sh [OUT_DIR]
#
# Needs the quillmoor package installed, and xboard, xvfb (xvfb-run) and fairymax.
set -u
PATH=$PATH:/usr/games  # Debian's place for xboard and fairymax, not on root's PATH
out=${1:-$(mktemp -d)}
mkdir -p "$out"
out=$(cd "$out" && pwd)
books=/usr/share/games/quillmoor/books
settings=$out/xboardrc
failed=0
fail() { echo "FAIL: $*"; failed=1; }

for tool in xboard xvfb-run fairymax quillmoor; do
  command -v $tool > /dev/null || { echo "xboard-test: $tool is not installed"; exit 2; }
done

# 1. xboard at start-up adds the engines of the plugin folders to its engine list; it saves
#    the list when it is closed.
rm -f "$settings"
xvfb-run -a xboard -settingsFile "$settings" -saveSettingsFile "$settings" -soundProgram "" \
  > "$out/register.out" 2>&1 &
runner=$!
xboard_pid=""
for _ in $(seq 50); do
  sleep 0.2
  xboard_pid=$(pgrep -P "$runner" -x xboard) && break
done
[ -n "$xboard_pid" ] || { echo "FAIL: xboard did not start"; cat "$out/register.out"; exit 1; }
sleep 3
kill -TERM "$xboard_pid"
wait "$runner"
entry=$(grep -F -- 'quillmoor engine-e --xboard' "$settings")
[ -n "$entry" ] || { echo "FAIL: no engine-list entry for engine-e in $settings"; exit 1; }
echo "engine-list entry: $entry"

# 2. One game with that entry as the first engine: xboard prefixes the line with -fcp and
#    reads it as options, as the shell does here.
eval "entry_options=($entry)"
rm -f "$out/games.pgn" "$out/debug.log"
timeout 300 xvfb-run -a xboard -noGUI -settingsFile "$settings" -saveSettingsOnExit false \
  -fcp "${entry_options[@]}" -scp fairymax -mg 1 -tc 0:20 -mps 40 -autoCallFlag true -xponder \
  -sgf "$out/games.pgn" -xexit -soundProgram "" -debug -nameOfDebugFile "$out/debug.log" \
  > "$out/xboard.out" 2>&1
status=$?
[ $status = 0 ] || fail "xboard ended with status $status"

log=$out/debug.log
start_line=$(grep -m1 'StartChildProcess' "$log")
[ "$start_line" = "StartChildProcess (dir=\"$books\") /usr/games/quillmoor engine-e --xboard" ] ||
  fail "engine not started in the books folder: $start_line"
# Milliseconds from xboard's greeting to the first "new": without the engine's answer xboard
# waits up to 10 s for features.
greeting_ms=$(sed -n 's/^\([0-9]*\) >first : xboard$/\1/p' "$log" | head -n1)
new_ms=$(sed -n 's/^\([0-9]*\) >first : new$/\1/p' "$log" | head -n1)
if [ -z "$greeting_ms" ] || [ -z "$new_ms" ]; then
  fail "no greeting or no new in the debug log"
else
  wait_ms=$((new_ms - greeting_ms))
  echo "from xboard's greeting to the first new: $wait_ms ms"
  [ $wait_ms -lt 2000 ] || fail "xboard waited $wait_ms ms for features"
fi
first_move=$(sed -n 's/^[0-9]* <first : move \(.*\)$/\1/p' "$log" | head -n1)
# engine-e opens with g1f3 by search; the installed white book opens 1.e4.
[ "$first_move" = e2e4 ] || fail "engine-e's first move $first_move is not the book's e2e4"

result=$(sed -n 's/^\[Result "\(.*\)"\]$/\1/p' "$out/games.pgn")
case $result in 1-0|0-1|1/2-1/2) ;; *) fail "the game did not finish: result '$result'" ;; esac
if grep -q -i -E 'illegal|forfeit' "$out/games.pgn" "$log"; then
  fail "illegal move: $(grep -i -E 'illegal|forfeit' "$out/games.pgn" "$log" | head -n3)"
fi
echo "result $result, $(grep -c '<first : move' "$log") moves by engine-e; logs in $out"
exit $failed
