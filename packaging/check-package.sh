#!/usr/bin/env bash
# Checks the Debian package and its life on this machine: its files, owners, modes, size and
# computed dependencies (dpkg-deb), then installs it with apt, plays the installed engine-e
# through the quillmoor command from another folder (its first reply must be the installed
# black book's), runs the xboard test when xboard is there, and removes the package again,
# checking that none of its files is left.
#
#   packaging/check-package.sh PACKAGE.deb [--keep]
#
# Needs root (it installs the package). --keep leaves the package installed.
set -u
deb=$(realpath "$1")
keep=${2:-}
here=$(cd "$(dirname "$0")" && pwd)
failed=0
fail() { echo "FAIL: $*"; failed=1; }

# 1. The package's contents, as dpkg-deb lists them.
listing=$(dpkg-deb -c "$deb") || { echo "FAIL: dpkg-deb cannot read $deb"; exit 1; }
echo "$listing"
expected_files=(
  ./usr/games/quillmoor ./usr/games/engine-a ./usr/games/engine-b ./usr/games/engine-c
  ./usr/games/engine-d ./usr/games/engine-e ./usr/games/engine-f ./usr/games/movecheck
  ./usr/games/bookbuilder ./usr/games/bookmaker
  ./usr/share/games/quillmoor/books/wbook.vbk ./usr/share/games/quillmoor/books/bbook.vbk
  ./usr/share/man/man6/quillmoor.6.gz ./usr/share/man/man6/movecheck.6.gz
  ./usr/share/man/man6/bookbuilder.6.gz ./usr/share/man/man6/bookmaker.6.gz ./usr/share/man/man6/engine-a.6.gz
  ./usr/share/man/man6/engine-f.6.gz
  ./usr/share/games/plugins/xboard/quillmoor-engine-a.eng
  ./usr/share/games/plugins/xboard/quillmoor-engine-e.eng
  ./usr/share/games/plugins/logos/quillmoor.png
  ./usr/share/doc/quillmoor/copyright ./usr/share/doc/quillmoor/README.md
)
for file in "${expected_files[@]}"; do
  echo "$listing" | grep -q -E " $file( |$)" || fail "not in the package: $file"
done
# Programs executable by all, everything else readable, everything root's; no path outside /usr.
echo "$listing" | awk '$6 ~ /^\.\/usr\/games\/./ && $1 != "-rwxr-xr-x" { print "FAIL: mode " $1 " of " $6; bad = 1 }
                       $6 !~ /^\.\/usr\/games\// && $1 ~ /^-/ && $1 != "-rw-r--r--" { print "FAIL: mode " $1 " of " $6; bad = 1 }
                       $2 != "root/root" { print "FAIL: owner " $2 " of " $6; bad = 1 }
                       $6 !~ /^\.\/usr\// && $6 != "./" { print "FAIL: outside /usr: " $6; bad = 1 }
                       END { exit bad }' || failed=1
plugin=$(dpkg-deb --fsys-tarfile "$deb" | tar -xO ./usr/share/games/plugins/xboard/quillmoor-engine-e.eng)
[ "$plugin" = $'plugin spec 0.0\ncd /usr/share/games/quillmoor/books;/usr/games/quillmoor engine-e --xboard\nchess' ] ||
  fail "plugin file of engine-e: $plugin"

depends=$(dpkg-deb -f "$deb" Depends)
size_kb=$(dpkg-deb -f "$deb" Installed-Size)
echo "Version: $(dpkg-deb -f "$deb" Version); Depends: $depends; Installed-Size: $size_kb KB; file: $(stat -c %s "$deb") bytes"
for library in libc6 libstdc++6; do
  [[ $depends == *"$library ("* ]] || fail "no versioned dependency on $library: $depends"
done
[ "$size_kb" -lt 2048 ] || fail "installed size $size_kb KB (the programs are small; a large one holds data it need not)"

# 2. Installed with apt, which resolves the dependencies.
export DEBIAN_FRONTEND=noninteractive
apt-get install -y "$deb" > /tmp/quillmoor-apt-install.log 2>&1 || { cat /tmp/quillmoor-apt-install.log; echo "FAIL: apt-get install"; exit 1; }
installed_files=$(dpkg -L quillmoor)

# 3. The installed engine-e through the quillmoor command, from a folder of its own, for a
#    player with no book folder yet: 1.e4 is answered from the installed black book with 1...e5
#    (engine-e's search answers 1...e6).
player=$(mktemp -d)
out=$(cd "$player" && printf 'e2e4\nquit\n' | HOME=$player XDG_DATA_HOME= /usr/games/quillmoor --engine engine-e --no-times 2> "$player/.err")
[ "$out" = $'SonOfQuillmoor WinBoard 5.2.1\nNew game: you play White against engine-e. Type help for the commands.\nYou: 1. e4 (e2e4)\nengine-e: 1... e5 (e7e5)' ] || fail "installed engine-e through quillmoor: '$out' $(cat "$player/.err")"
cmp -s /usr/share/games/quillmoor/books/bbook.vbk "$player/.local/share/quillmoor/bbook.vbk" ||
  fail "the book folder was not filled from the installed books"
for program in engine-a movecheck bookbuilder quillmoor; do
  /usr/games/$program --version | grep -q "^$program (Quillmoor) $(dpkg-deb -f "$deb" Version)$" ||
    fail "$program --version"
done
rm -rf "$player"

# 4. xboard's engine list, when xboard is installed.
if command -v xvfb-run > /dev/null && [ -x /usr/games/xboard ] && [ -x /usr/games/fairymax ]; then
  "$here/xboard-test.sh" || failed=1
else
  echo "xboard test skipped: xboard, xvfb or fairymax missing"
fi

# 5. Removed again, with nothing of it left.
if [ "$keep" != --keep ]; then
  apt-get remove -y quillmoor > /tmp/quillmoor-apt-remove.log 2>&1 || fail "apt-get remove"
  while read -r path; do
    [ -f "$path" ] || [ -L "$path" ] || continue  # folders may be shared with other packages
    fail "left after removal: $path"
  done <<< "$installed_files"
  [ -d /usr/share/games/quillmoor ] && fail "left after removal: /usr/share/games/quillmoor"
fi

[ $failed = 0 ] && echo "package checks passed"
exit $failed
