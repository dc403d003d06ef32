#!/usr/bin/env bash
# Bad inputs end to end: the real programs on hostile standard input and broken book files.
# Every run must end by itself (no hang), exit with status 0, print nothing beyond the banner,
# the move lines (movecheck: "ok"/"bad") the good lines call for, and lose none of the good
# lines hidden among the bad ones.
#
#   bad_inputs.sh stdin-binary BIN_DIR PROGRAM   binary garbage and NUL bytes between moves
#   bad_inputs.sh long-lines   BIN_DIR PROGRAM   10 MB lines (SCALE divides the size)
#   bad_inputs.sh noise-lines  BIN_DIR PROGRAM   100,000 lines of noise (SCALE divides the count)
#   bad_inputs.sh book         BIN_DIR KIND      a broken white book (KIND below) under engine-e
#   bad_inputs.sh bookbuilder-kill BIN_DIR       SIGKILL right after "w": the record is on disk
#
# PROGRAM is engine-a to engine-f or movecheck. The deterministic builds must print exactly
# what they print for the good lines alone; engine-c and engine-d, whose play varies from run
# to run, must print the banner and one move line per good move. SCALE (default 1) shrinks
# the large inputs for slow builds such as the sanitizer build.
set -u
mode=$1
bin=$(cd "$2" && pwd) || exit 1
arg=${3:-}
scale=${SCALE:-1}
limit=${RUN_LIMIT:-120}  # seconds before a run counts as hung
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
cd "$work" || exit 1

fail() { echo "FAILED: $*"; exit 1; }

# run PROGRAM INPUT OUTPUT: runs the program in the scratch folder on INPUT; fails the test
# when it hangs or exits with a status other than 0.
run() {
  local status
  timeout "$limit" "$bin/$1" < "$2" > "$3"
  status=$?
  [ $status = 124 ] && fail "$1 did not finish within $limit s"
  [ $status = 0 ] || fail "$1 exited with status $status"
}

# expect_same PROGRAM OUTPUT REFERENCE MOVES: OUTPUT must equal the program's REFERENCE output
# (its answer to the good lines alone), or for engine-c and engine-d be the banner followed
# by MOVES move lines; movecheck's outputs are compared as they are.
expect_same() {
  local program=$1 output=$2 reference=$3 moves=$4
  case $program in
    engine-c|engine-d)
      [ "$(head -n 1 "$output")" = "$(head -n 1 "$reference")" ] || fail "$program: banner changed"
      [ "$(tail -n +2 "$output" | grep -c -E '^move [a-h][1-8][a-h][1-8]$')" = "$moves" ] &&
        [ "$(wc -l < "$output")" = $((moves + 1)) ] &&
        [ "$(tail -c 1 "$output" | od -An -c | tr -d ' ')" = '\n' ] ||
        { echo "expected the banner and $moves move lines, got:"; head -c 2000 "$output"; fail "$program: wrong output"; }
      ;;
    *)
      cmp -s "$output" "$reference" ||
        { echo "expected:"; cat "$reference"; echo "got (first 2000 bytes):"; head -c 2000 "$output"; fail "$program: wrong output"; }
      ;;
  esac
}

# The good lines of a session: for the engines two moves of White, whose replies can never
# make them illegal; for movecheck a move of each side.
good_moves() {
  if [ "$1" = movecheck ]; then echo e2e4 e7e5; else echo e2e4 g1f3; fi
}

# Binary garbage: the program's own executable and a stretch of compressed (so random-looking)
# bytes, with every letter that could begin a move or a command word taken out, so that no
# line of it means anything. It keeps its NUL bytes, control characters, CR, Ctrl-Z and bytes
# above 127.
garbage() {
  { head -c $((1000000 / scale)) "$bin/$1"; seq 1 $((200000 / scale)) | gzip -n -1 -c; } | LC_ALL=C tr -d 'a-iA-HmnqvwZ'
  printf '\0e2e4\n\0\0\0\n\0quit\n\0ii\n \t\0 g1f3\n\r\n\032\n\377\376\n'
}

# A line of N characters C (a byte value in octal for tr), without its newline.
long_run() { head -c "$1" /dev/zero | tr '\0' "$2"; }

# Noise lines: words an interface sends, malformed and impossible moves, blank and empty
# lines, in a fixed cycle. Prints the lines; the count of lines movecheck answers (those
# with a word) goes to the file named by $2.
noise() {
  awk -v n="$1" -v counted="$2" 'BEGIN {
    k = split("xboard|protover 2|accepted done|level 40 2 0|time 12000|otim 11950|hard|easy|post|" \
              "nopost|random|computer|force|white|black|result 1-0 {White mates}|?|.|e2e5|E2E5|" \
              "e1e3|a1h8|h9h9|i2i4|e2|e2e|z9z9|draw|rating 1800 1700|name Fairy-Max|ping 1|undo|" \
              "remove|edit|#|c|hint|sd 5|st 10|goo|quitx|newgame|menu2|white3||   |\t|\r| \r\t ", w, "|")
    words = 0
    for (i = 0; i < n; ++i) {
      line = w[i % k + 1]
      print line
      if (line !~ /^[ \t\r]*$/) ++words
    }
    print words > counted
  }'
}

case $mode in
  stdin-binary)
    read -r first second <<< "$(good_moves "$arg")"
    printf '%s\n%s\n' "$first" "$second" > good.txt
    { garbage "$arg"; printf '\n%s\n' "$first"; garbage "$arg"; printf '\n%s\n' "$second"; garbage "$arg"; } > input.txt
    run "$arg" good.txt reference.txt
    run "$arg" input.txt output.txt
    if [ "$arg" = movecheck ]; then
      # Every garbage line with a word is answered "bad", the blank ones not at all; the two
      # moves "ok". Nothing else may appear.
      [ "$(head -n 1 output.txt)" = "$(head -n 1 reference.txt)" ] || fail "movecheck: banner changed"
      [ "$(tail -n +2 output.txt | grep -v -c -x 'bad')" = 2 ] && [ "$(tail -n +2 output.txt | grep -x -v -e bad -e ok | wc -l)" = 0 ] ||
        { head -c 2000 output.txt; fail "movecheck: unexpected answers"; }
      [ "$(tail -n +2 output.txt | grep -c -x bad)" -le "$(wc -l < input.txt)" ] || fail "movecheck: more answers than lines"
    else
      expect_same "$arg" output.txt reference.txt 2
    fi
    ;;

  long-lines)
    read -r first second <<< "$(good_moves "$arg")"
    size=$((10000000 / scale))
    printf '%s\n%s\n' "$first" "$second" > good.txt
    {
      printf '%s' "$first"; long_run "$size" x; printf '\n'        # the move, then 10 MB of one word
      long_run "$size" ' '; printf '%s\n' "$second"                  # blanks past the 799 kept: no word
      printf '%s\n' "$second"
      long_run "$size" '\000'; printf '\n'                           # a line of NUL bytes
      long_run "$size" z                                             # the last line, without its newline
    } > input.txt
    run "$arg" good.txt reference.txt
    run "$arg" input.txt output.txt
    if [ "$arg" = movecheck ]; then
      # The 10 MB word after the last move is judged like any other word.
      printf 'bad\n' >> reference.txt
    fi
    expect_same "$arg" output.txt reference.txt 2
    ;;

  noise-lines)
    read -r first second <<< "$(good_moves "$arg")"
    count=$((100000 / scale))
    printf '%s\n%s\n' "$first" "$second" > good.txt
    { noise $((count / 2)) words1.txt; echo "$first"; noise $((count / 2)) words2.txt; echo "$second"; } > input.txt
    run "$arg" good.txt reference.txt
    run "$arg" input.txt output.txt
    if [ "$arg" = movecheck ]; then
      { head -n 1 reference.txt; yes bad | head -n "$(cat words1.txt)"; echo ok; yes bad | head -n "$(cat words2.txt)"; echo ok; } > reference.txt.new
      mv reference.txt.new reference.txt
    fi
    expect_same "$arg" output.txt reference.txt 2
    ;;

  book)
    # engine-e opens with g1f3 when it searches; every book here answers the start position
    # with a2a3 instead, so a hit and a miss print different lines.
    start='rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR'
    a3=${start:0:40}P${start:41:7}' '${start:49}  # a2 (character 48) to a3 (character 40)
    [ ${#a3} = 64 ] || fail "test error: answer text has ${#a3} characters"
    filler='rnbqkbnrpppppppp................................PPPPPPPPRNBQKBNR'
    printf 'go\nquit\n' > input.txt
    run engine-e input.txt searched.txt
    banner=$(head -n 1 searched.txt)
    [ "$(tail -n +2 searched.txt)" = 'move g1f3' ] || fail "engine-e no longer opens with g1f3; pick another book answer"
    printf '%s\nmove a2a3\n' "$banner" > book_move.txt
    expected=searched.txt
    case $arg in
      directory) mkdir wbook.vbk ;;
      empty) : > wbook.vbk ;;
      truncated-answer)  # the only entry's answer cut short: its key never hits
        printf '%s\r\n%s' "$start" "${a3:0:30}" > wbook.vbk ;;
      truncated-later-key)  # a whole entry, then a key cut short: the entry still hits
        printf '%s\r\n%s\r\n%s' "$start" "$a3" "${filler:0:20}" > wbook.vbk; expected=book_move.txt ;;
      odd-length)  # a whole entry and one stray byte: 133 bytes
        printf '%s\n%s\nr' "$start" "$a3" > wbook.vbk; expected=book_move.txt ;;
      odd-records)  # three records: the last key, the start position, has no answer
        printf '%s\r\n%s\r\n%s\r\n' "$filler" "$a3" "$start" > wbook.vbk ;;
      cr-only)  # CR alone ends a record: CR is dropped, the records run together, no whole answer
        printf '%s\r%s\r' "$start" "$a3" > wbook.vbk ;;
      ctrl-z-first)  # byte 26 ends the file before anything
        printf '\032%s\r\n%s\r\n' "$start" "$a3" > wbook.vbk ;;
      many-records-hit)  # 99,998 records that never match, then the entry
        yes "$filler"$'\r' | head -n 99998 > wbook.vbk
        printf '%s\r\n%s\r\n' "$start" "$a3" >> wbook.vbk; expected=book_move.txt ;;
      many-records-miss)
        yes "$filler"$'\r' | head -n 100000 > wbook.vbk ;;
      *) fail "unknown book kind $arg" ;;
    esac
    run engine-e input.txt output.txt
    cmp -s output.txt "$expected" || { echo "expected:"; cat "$expected"; echo "got:"; head -c 2000 output.txt; fail "book $arg"; }
    # The engine never writes its books.
    case $arg in
      directory) [ -d wbook.vbk ] || fail "the directory was changed" ;;
      many-records-*) [ "$(wc -c < wbook.vbk)" = $((100000 * 66)) ] || fail "the book was changed" ;;
    esac
    ;;

  bookbuilder-kill)
    # The tool reads from a FIFO that stays open, so it is waiting for its next line when it
    # is killed; the board after "w", with its new label, is printed once the record is out.
    mkfifo commands
    "$bin/bookbuilder" < commands > output.txt &
    pid=$!
    exec 3> commands
    printf 'd2d4\nw\n' >&3
    for ((i = 0; i < limit * 10; ++i)); do
      grep -q 'Position Responce!' output.txt && break
      kill -0 "$pid" 2> /dev/null || break
      sleep 0.1
    done
    kill -KILL "$pid" 2> /dev/null
    { wait "$pid"; } 2> /dev/null
    status=$?
    exec 3>&-
    grep -q 'Position Responce!' output.txt || fail "bookbuilder never showed the board after w"
    [ $status = 137 ] || fail "bookbuilder ended with status $status before it was killed"
    start='rnbqkbnrpppppppp                                PPPPPPPPRNBQKBNR'
    printf '%s\r\n' "${start:0:35}P${start:36:15} ${start:52}" > expected.vbk  # d2 (51) to d4 (35)
    cmp -s book.vbk expected.vbk || { od -c book.vbk | head; fail "book.vbk does not hold the record"; }
    ;;

  *)
    fail "unknown mode $mode" ;;
esac
echo "$mode ${arg}: passed"
