#!/usr/bin/env bash
# Standard streams and the book file misused, end to end on the real programs.
#
#   standard_streams.sh stdout-full     BIN_DIR PROGRAM   standard output is /dev/full
#   standard_streams.sh stdout-closed   BIN_DIR PROGRAM   standard output closed
#   standard_streams.sh stdin-closed    BIN_DIR PROGRAM   standard input closed, books present
#   standard_streams.sh reader-gone     BIN_DIR PROGRAM   the reader of the output goes away
#   standard_streams.sh size-limit      BIN_DIR           bookbuilder under a file-size limit
#   standard_streams.sh full-disk       BIN_DIR SHIM      bookbuilder on a nearly full disk
#   standard_streams.sh bookmaker       BIN_DIR BOOK      bookmaker's listing unwritable
#
# PROGRAM is engine-a to engine-f, movecheck or bookbuilder; SHIM is the write wrapper
# full_disk_shim, loaded with LD_PRELOAD. A program whose output cannot be written says so in
# one line on standard error and exits with status 1; a closed standard input is an empty one,
# and no file the program opens takes the place of a closed stream.
set -u
mode=$1
bin=$(cd "$2" && pwd) || exit 1
arg=${3:-}
limit=${RUN_LIMIT:-60}  # seconds before a run counts as hung
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() { echo "FAILED: $*"; exit 1; }

# expect_status WANTED GOT WHAT
expect_status() { [ "$2" = "$1" ] || { cat stderr.txt 2> /dev/null; fail "$3: exit status $2, expected $1"; }; }

# expect_stderr TEXT: standard error holds exactly the line TEXT.
expect_stderr() {
  [ "$(cat stderr.txt)" = "$1" ] && [ "$(wc -l < stderr.txt)" = 1 ] ||
    { echo "standard error:"; cat stderr.txt; fail "expected the line '$1'"; }
}

# Lines of input that make every program write after its first screen: a move and the end.
commands() { if [ "$1" = bookbuilder ]; then printf 'd2d4\nw\n'; else printf 'e2e4\nquit\n'; fi; }

# The 64 characters of the start position and a record of them as bookbuilder writes it.
start='rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR'
record=$(printf '%s\r\n' "$start" | od -An -c)

# bookbuilder writes `count` records of the start position; the book must then hold exactly
# `whole` of them and nothing of the next, and the tool must have said why it stopped.
check_torn_write() {
  local status=$1 whole=$2
  expect_status 1 "$status" "bookbuilder"
  [ "$(tail -c 29 output.txt)" = $'\n\nError writing to the file.' ] ||
    { tail -c 200 output.txt; fail "no write error reported"; }
  [ "$(wc -c < book.vbk)" = $((whole * 66)) ] || fail "book.vbk has $(wc -c < book.vbk) bytes, expected $whole whole records"
  for ((i = 0; i < whole; ++i)); do
    [ "$(tail -c +$((i * 66 + 1)) book.vbk | head -c 66 | od -An -c)" = "$record" ] || fail "record $((i + 1)) is not whole"
  done
}

case $mode in
  bookmaker)
    # A listing or a book that never reached standard output is a failure (status 2, as for
    # every other write failure of bookmaker), never a clean book.
    for target in /dev/full closed; do
      if [ $target = closed ]; then
        reason="Bad file descriptor"
        timeout "$limit" "$bin/bookmaker" show "$arg" >&- 2> stderr.txt
      else
        reason="No space left on device"
        timeout "$limit" "$bin/bookmaker" show "$arg" > $target 2> stderr.txt
      fi
      status=$?
      expect_status 2 $status "bookmaker show to $target"
      expect_stderr "bookmaker: cannot write standard output: $reason"
    done
    ;;

  stdout-full)
    commands "$arg" > input.txt
    timeout "$limit" "$bin/$arg" < input.txt > /dev/full 2> stderr.txt
    status=$?
    expect_status 1 $status "$arg"
    expect_stderr "$arg: cannot write standard output: No space left on device"
    ;;

  stdout-closed)
    # Before anything was printed bookbuilder has opened its book: the screens must not land
    # in it.
    commands "$arg" > input.txt
    timeout "$limit" "$bin/$arg" < input.txt >&- 2> stderr.txt
    status=$?
    expect_status 1 $status "$arg"
    expect_stderr "$arg: cannot write standard output: Bad file descriptor"
    if [ "$arg" = bookbuilder ]; then
      [ -f book.vbk ] && [ ! -s book.vbk ] || fail "book.vbk holds $(wc -c < book.vbk) bytes"
    fi
    ;;

  stdin-closed)
    # Books that would be commands if they were read as standard input: the program must
    # print its banner only and end at once as at the end of its input.
    commands "$arg" > bbook.vbk
    cp bbook.vbk wbook.vbk
    timeout "$limit" "$bin/$arg" <&- > output.txt 2> stderr.txt
    status=$?
    expect_status 0 $status "$arg"
    [ "$(wc -l < output.txt)" = 1 ] && [ ! -s stderr.txt ] ||
      { cat output.txt stderr.txt; fail "$arg printed more than its banner"; }
    ;;

  reader-gone)
    # The reader has gone before the program's second output: SIGPIPE ends it, as always.
    { sleep 1; commands "$arg"; sleep 1; } | { timeout "$limit" "$bin/$arg"; echo $? > status.txt; } | true
    [ "$(cat status.txt)" = 141 ] || fail "$arg ended with status $(cat status.txt), not by SIGPIPE"
    ;;

  size-limit)
    # The limit (in units of 1024 bytes) falls inside the 16th record. It holds for every file
    # the tool writes, so its screens go through a pipe.
    yes w | head -n 20 > input.txt
    ( ulimit -f 1 && exec timeout "$limit" "$bin/bookbuilder" < input.txt ) | cat > output.txt
    check_torn_write "${PIPESTATUS[0]}" 15
    ;;

  full-disk)
    # Room for two records and 30 bytes of the third.
    yes w | head -n 5 > input.txt
    export ASAN_OPTIONS="${ASAN_OPTIONS:+$ASAN_OPTIONS:}verify_asan_link_order=0"
    QUILL_FULL_DISK_FILE=book.vbk QUILL_FULL_DISK_BYTES=$((2 * 66 + 30)) LD_PRELOAD=$arg \
      timeout "$limit" "$bin/bookbuilder" < input.txt > output.txt 2> stderr.txt
    check_torn_write $? 2
    ;;

  *)
    fail "unknown mode $mode" ;;
esac
echo "$mode ${arg}: passed"
