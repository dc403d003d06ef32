#!/usr/bin/env bash
# From the engine's own games to a book it plays: the committed self-play PGN is the output of
# pgn_games (its first games made again here), bookmaker turns it into the white book of the
# engine-a transcript "selfplay_book" with no warning, check finds the book clean, and the
# transcript's moves are those of the game it follows: engine-a, started beside the book,
# plays the book's answers, where without the book its search plays otherwise.
#   selfplay_book.sh BOOKMAKER PGN_GAMES ENGINE SOURCE_DIR
set -u
bookmaker=$1
pgn_games=$2
engine=$3
source=$4
pgn=$source/tests/bookmaker/data/selfplay-300.pgn
case=$source/tests/transcripts/engine-a/selfplay_book
game=23  # the game the transcript follows
plies=16
scratch=$(mktemp -d)
trap 'rm -rf "$scratch"' EXIT
failed=0

"$pgn_games" --games 3 > "$scratch/first.pgn"
if ! cmp -s "$scratch/first.pgn" <(head -c "$(stat -c %s "$scratch/first.pgn")" "$pgn"); then
  echo "pgn_games no longer makes the first games of $pgn"
  failed=1
fi

"$bookmaker" from-pgn --color white --plies $plies -o "$scratch/wbook.vbk" "$pgn" 2> "$scratch/log"
if [ "$(cat "$scratch/log")" != "bookmaker: 300 games read, 2004 entries for White" ]; then
  echo "from-pgn said:"; cat "$scratch/log"; failed=1
fi
cmp "$scratch/wbook.vbk" "$case.files/wbook.vbk" || { echo "the transcript's book is not from-pgn's output"; failed=1; }
"$bookmaker" check "$scratch/wbook.vbk" --color white > "$scratch/check" || { cat "$scratch/check"; failed=1; }

# The game's moves, White's as the engine's "move" lines and Black's as typed.
moves=($("$pgn_games" --replay "$pgn" | sed -n "${game}p"))
expected=$(for ((i = 0; i < plies - 1; i += 2)); do echo "move ${moves[$i]}"; done)
typed=$(for ((i = 1; i < plies - 1; i += 2)); do echo "${moves[$i]}"; done)
[ "$(grep '^move ' "$case.out")" = "$expected" ] || { echo "the transcript does not play game $game"; failed=1; }
[ "$(grep -v '^go$' "$case.in")" = "$typed" ] || { echo "the transcript does not type game $game"; failed=1; }

mkdir "$scratch/no-book"
without=$(cd "$scratch/no-book" && "$engine" < "$case.in" | grep '^move ' | head -n 1)
if [ "$without" = "move ${moves[0]}" ]; then
  echo "engine-a opens ${moves[0]} without the book too: the transcript proves nothing"
  failed=1
fi
exit $failed
