#!/usr/bin/env bash
# Runs the README's commands in order, as a reader would type them, on a clean clone of the
# repository: every ```sh block, one after another in one shell started in the clone's top
# folder, with standard input at its end (so that the play commands end at once) and HOME in
# a scratch folder (so that ~/.local and the book folder are the run's own). /usr/games is on
# PATH, as on a Debian user's; as root, sudo runs the command itself. Stops at the first
# command that fails.
#
#   tools/readme-commands.sh [REPOSITORY]   (default: this repository's committed HEAD)
set -euo pipefail
repo=$(cd "${1:-$(dirname "$0")/..}" && pwd)
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
git clone -q "$repo" "$work/clone"
mkdir "$work/home"
cd "$work/clone"
awk '/^```sh$/ { inside = 1; next } /^```/ { inside = 0 } inside' README.md > "$work/commands.sh"
echo "The README's commands:"
sed 's/^/  /' "$work/commands.sh"

prelude='set -euo pipefail -x
PATH=$PATH:/usr/games
if [ "$(id -u)" = 0 ]; then sudo() { "$@"; }; fi'
HOME=$work/home bash -c "$prelude"$'\n'"source $work/commands.sh" < /dev/null
echo "readme-commands: all the README's commands ran"
