#!/usr/bin/env bash
# The quillmoor command end to end, started from a folder of its own: the book folder made
# and filled on first use, the player's books kept afterwards, xboard's start in the folder
# xboard gives, and the failures it reports.
#
#   launcher.sh BIN_DIR   (the folder of quillmoor and the builds, with the sample books at
#                          their place relative to it, as installed or in the build tree)
set -u
bin=$(cd "$1" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir "$work/elsewhere"
cd "$work/elsewhere" || exit 1

failed=0
fail() { echo "FAIL: $*"; failed=1; }

# A black book whose one entry answers 1.e4 with 1...c5, where the sample books and the search
# of engine-e both answer 1...e5 and 1...e6.
start="rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR"
after_e4="${start:0:36}P${start:37:15} ${start:53}"
after_c5="${after_e4:0:10} ${after_e4:11:15}p${after_e4:27}"
printf '%s\r\n%s\r\n' "$after_e4" "$after_c5" > "$work/c5-book.vbk"

banner="SonOfQuillmoor WinBoard 5.2.1"

# First use: the folder is made with the sample books, and the first reply is the book's.
data=$work/data
# The console game's lines around a first move e2e4 and the engine's answer.
game_lines() { printf '%s\n%s\n%s\n%s' "$banner" \
  "New game: you play White against engine-e. Type help for the commands." \
  "You: 1. e4 (e2e4)" "engine-e: 1... $1"; }
out=$(printf 'e2e4\nquit\n' | XDG_DATA_HOME=$data "$bin/quillmoor" --engine engine-e --no-times 2> "$work/err")
status=$?
[ $status = 0 ] || fail "first use: exit status $status"
[ "$out" = "$(game_lines "e5 (e7e5)")" ] || fail "first use: output '$out'"
grep -q "made your book folder $data/quillmoor" "$work/err" || fail "first use: no word of the new folder: $(cat "$work/err")"
for book in wbook.vbk bbook.vbk; do
  [ -f "$data/quillmoor/$book" ] || fail "first use: $book not copied"
done
[ "$(ls -A . | wc -l)" = 0 ] || fail "first use: files left in the working directory: $(ls -A .)"

# Later: the player's own black book answers, and nothing in the folder changes.
cp "$work/c5-book.vbk" "$data/quillmoor/bbook.vbk"
rm "$data/quillmoor/wbook.vbk"
out=$(printf 'e2e4\nquit\n' | XDG_DATA_HOME=$data "$bin/quillmoor" --engine engine-e --no-times 2> "$work/err")
[ "$out" = "$(game_lines "c5 (c7c5)")" ] || fail "own book: output '$out'"
[ -s "$work/err" ] && fail "own book: messages: $(cat "$work/err")"
cmp -s "$work/c5-book.vbk" "$data/quillmoor/bbook.vbk" || fail "own book: bbook.vbk changed"
[ -e "$data/quillmoor/wbook.vbk" ] && fail "own book: the deleted wbook.vbk came back"

# For xboard: the greeting first, then the build in the working directory, with its books;
# no book folder is made.
mkdir "$work/xboard-dir"
cp "$work/c5-book.vbk" "$work/xboard-dir/bbook.vbk"
out=$(cd "$work/xboard-dir" && printf 'e2e4\nquit\n' | XDG_DATA_HOME=$work/unused "$bin/quillmoor" engine-e --xboard)
expected="feature myname=\"Quillmoor engine-e\" done=1"$'\n'"$banner"$'\n'"move c7c5"
[ "$out" = "$expected" ] || fail "xboard: output '$out'"
[ -e "$work/unused" ] && fail "xboard: a book folder was made"

# A book folder that cannot be made: status 1, a message, and no build started.
out=$(printf 'quit\n' | XDG_DATA_HOME=/proc/quillmoor-test "$bin/quillmoor" 2> "$work/err")
status=$?
[ $status = 1 ] || fail "no folder: exit status $status"
[ -z "$out" ] || fail "no folder: output '$out'"
grep -q "cannot make /proc/quillmoor-test/quillmoor" "$work/err" || fail "no folder: message '$(cat "$work/err")'"

# quillmoor without its builds beside it: status 1 and a message naming the missing build.
mkdir "$work/alone"
cp "$bin/quillmoor" "$work/alone/"
out=$(printf 'quit\n' | XDG_DATA_HOME=$work/alone-data "$work/alone/quillmoor" --engine engine-b 2> "$work/err")
status=$?
[ $status = 1 ] || fail "no build: exit status $status"
grep -q "cannot start $work/alone/engine-b" "$work/err" || fail "no build: message '$(cat "$work/err")'"

exit $failed
