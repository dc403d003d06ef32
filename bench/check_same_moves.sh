#!/usr/bin/env bash
# The capture search's value table must change nothing but the nodes visited: runs BENCH for
# each PROFILE:DEPTH once as the programs search and once with --every-node, and compares the
# outputs with the node counts left out.
#   check_same_moves.sh BENCH PROFILE:DEPTH...
set -u
if [ $# -lt 2 ]; then
  echo "usage: check_same_moves.sh BENCH PROFILE:DEPTH..." >&2
  exit 2
fi
bench=$1
shift
without_nodes() { sed -E 's/  nodes +[0-9]+//; /^Nodes searched:/d'; }
status=0
for run in "$@"; do
  profile=${run%%:*}
  depth=${run##*:}
  table=$("$bench" --profile "$profile" --depth "$depth" --no-times) || { echo "bench failed"; exit 1; }
  every=$("$bench" --every-node --profile "$profile" --depth "$depth" --no-times) || { echo "bench failed"; exit 1; }
  if [ "$(without_nodes <<<"$table")" != "$(without_nodes <<<"$every")" ]; then
    echo "$profile at depth $depth: the value table changed a move or a score"
    diff <(without_nodes <<<"$every") <(without_nodes <<<"$table") | head -n 40
    status=1
  else
    echo "$profile at depth $depth: same moves and scores ($(grep -c ' nodes ' <<<"$table") positions)"
  fi
done
exit $status
