#!/usr/bin/env bash
# quillmoor's child programs failing: an engine that answers nothing (the reply times out, the
# engine is stopped and reaped, and new starts it again), and an engine killed in mid-game
# (the next move reports it, new recovers). quillmoor is copied into a folder of its own whose
# "engine-a" is a script, beside the real movecheck.
#
#   children.sh BIN_DIR
set -u
bin=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/bin" "$work/play"
cp "$bin/quillmoor" "$work/bin/"
ln -s "$bin/movecheck" "$work/bin/movecheck"

failed=0
fail() { echo "FAIL: $*"; failed=1; }
# Fails unless the output holds the line.
expect_line() { grep -qxF -- "$2" <<< "$1" || fail "$3: no line '$2' in:"$'\n'"$1"; }
# Fails when the process of the pid file still exists (running or unreaped).
expect_gone() { local pid; pid=$(cat "$1"); [ -e "/proc/$pid" ] && fail "$2: process $pid still there ($(cat /proc/$pid/stat 2>/dev/null))"; }

# An engine with a banner that then never answers, keeping its pid.
cat > "$work/bin/engine-a" <<'SCRIPT'
#!/bin/sh
echo $$ >> silent.pids
echo "Silent engine"
exec sleep 300
SCRIPT
chmod +x "$work/bin/engine-a"
# While quillmoor still runs, the engine stopped after the timeout must be gone, not a zombie.
out=$({ echo e4; sleep 3
        [ -e "/proc/$(head -n 1 "$work/play/silent.pids")" ] && echo present > "$work/unreaped"
        echo e4; echo new; echo e4; } | "$work/bin/quillmoor" --folder "$work/play" --no-times --timeout 1)
status=$?
[ $status = 0 ] || fail "silent: exit status $status"
expect_line "$out" "You: 1. e4 (e2e4)" "silent"
expect_line "$out" "The engine engine-a sent nothing within 1 s; type new to restart it." "silent"
expect_line "$out" "No game in play: type new to start one." "silent"
[ "$(grep -c '^Silent engine$' <<< "$out")" = 2 ] || fail "silent: new did not start the engine again: $out"
[ -e "$work/unreaped" ] && fail "silent: the stopped engine was not reaped while quillmoor ran"
[ "$(wc -l < "$work/play/silent.pids")" = 2 ] || fail "silent: engine started $(wc -l < "$work/play/silent.pids") times"
while read -r pid; do
  [ -e "/proc/$pid" ] && fail "silent: engine $pid left behind"
done < "$work/play/silent.pids"

# The real engine behind a script that leaves its pid; killed after the first reply.
cat > "$work/bin/engine-a" <<SCRIPT
#!/bin/sh
echo \$\$ > engine.pid
exec "$bin/engine-a"
SCRIPT
out=$({ echo e4; sleep 1; kill -9 "$(cat "$work/play/engine.pid")"; sleep 0.5; echo d4; echo new; echo e4; echo quit; } |
      "$work/bin/quillmoor" --folder "$work/play" --no-times --timeout 5)
status=$?
[ $status = 0 ] || fail "killed: exit status $status"
expect_line "$out" "You: 2. d4 (d2d4)" "killed"
expect_line "$out" "The engine engine-a has exited; type new to restart it." "killed"
[ "$(grep -c '^engine-a: 1\.\.\. ' <<< "$out")" = 2 ] || fail "killed: no reply after new: $out"
expect_gone "$work/play/engine.pid" "killed"

# Ctrl-C asks before quitting: "n" goes on with the game, "y" ends it with status 0.
rm -f "$work/bin/engine-a"
ln -s "$bin/engine-a" "$work/bin/engine-a"
{ sleep 1; echo n; echo e4; sleep 1.5; echo y; sleep 1; echo d4; } |
  "$work/bin/quillmoor" --folder "$work/play" --no-times > "$work/interrupted" &
front=$!
sleep 0.5; kill -INT $front; sleep 1.5; kill -INT $front
wait $front
status=$?
out=$(cat "$work/interrupted")
[ $status = 0 ] || fail "interrupt: exit status $status"
[ "$(grep -c 'Quit the game? (y/n)' <<< "$out")" = 2 ] || fail "interrupt: not asked twice: $out"
grep -q "You: 1. e4 (e2e4)" <<< "$out" || fail "interrupt: the game did not go on after n: $out"
grep -q "d2d4" <<< "$out" && fail "interrupt: a move after y was played: $out"

exit $failed
