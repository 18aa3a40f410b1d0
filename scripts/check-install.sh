#!/usr/bin/env bash
# check-install.sh [BUILD_DIR]: checks Kelvane as users get it.
#  1. Installs the build into a temporary prefix and, with the build tree moved
#     out of the way, runs the installed kelvane and stavik-test from there.
#  2. Validates the installed desktop entry, AppStream metadata and file type.
#  3. Builds the Debian package, checks that it holds exactly the installed
#     files, and runs lintian on it (errors fail the check).
# Needs a built BUILD_DIR (default build); leaves it where it was.
set -euo pipefail
top=$(cd "$(dirname "$0")/.." && pwd)
build="$top/${1:-build}"
away="$build.moved-away-by-check-install"

# A run that was killed while the build tree was away leaves it there: bring it back.
if [ -d "$away" ] && [ ! -e "$build" ]; then
  mv "$away" "$build"
fi
[ -d "$build" ] || { echo "check-install: no build tree at $build" >&2; exit 1; }

work=$(mktemp -d)
prefix="$work/prefix"
cleanup() {
  if [ -d "$away" ] && [ ! -e "$build" ]; then
    mv "$away" "$build"
  fi
  rm -rf "$work"
}
trap cleanup EXIT
umask 022
fail() { echo "check-install: $*" >&2; exit 1; }

echo "== install into a temporary prefix"
cmake --install "$build" --prefix "$prefix" --strip > "$work/install.log"
# No binary may name the source or build tree: the installed program finds its
# companions from its own folder.
if grep -rlF -- "$top" "$prefix"; then
  fail "the installed files above name the source or build folder $top"
fi
[ -f "$prefix/share/kelvane/Kelvane Version 2.HLP" ] || fail "help file not in share/kelvane"

echo "== run the installed programs with the build tree moved away"
mv "$build" "$away"
export HOME="$work/home" XDG_DATA_HOME="$work/home/data" XDG_CONFIG_HOME="$work/home/config"
export STAVIK_REGISTRY="$work/home/components.reg"
mkdir -p "$HOME"
version=$("$prefix/bin/kelvane" --version)
[ "$version" = "Kelvane 2.06" ] || fail "kelvane --version printed \"$version\""
# Not registered yet: stavik-test takes the module that came with it.
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$prefix/bin/stavik-test" --props > "$work/props.txt" 2> "$work/props.err" \
  || { cat "$work/props.err" >&2; fail "the installed stavik-test --props failed"; }
cat "$work/props.err" "$work/props.txt"
grep -qF "from $prefix/lib/kelvane/libstavik32.so.2 (beside the program)" "$work/props.err" \
  || fail "stavik-test did not load the installed module from lib/kelvane"
grep -q "Port" "$work/props.txt" || fail "stavik-test --props printed no properties"
shown=$(QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy timeout 60 "$prefix/bin/kelvane" --exit-when-shown)
echo "$shown"
grep -q "main window shown" <<< "$shown" || fail "the installed kelvane did not show its window"
# The program's first start registered its module for the user.
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$prefix/bin/stavik-test" --props > /dev/null 2> "$work/props.err"
grep -qF "from $prefix/lib/kelvane/libstavik32.so.2 (registry)" "$work/props.err" \
  || { cat "$work/props.err" >&2; fail "the first start did not register the installed module"; }
# The installed tool registers it too.
"$prefix/bin/stavik-register" "$prefix/lib/kelvane/libstavik32.so.2"
QT_QPA_PLATFORM=offscreen SDL_AUDIODRIVER=dummy "$prefix/bin/stavik-test" --props > /dev/null 2> "$work/props.err"
grep -qF "from $prefix/lib/kelvane/libstavik32.so.2 (registry)" "$work/props.err" \
  || { cat "$work/props.err" >&2; fail "the registered module was not found through the registry"; }
mv "$away" "$build"

echo "== validate the desktop entry, AppStream metadata and file type"
desktop-file-validate "$prefix/share/applications/kelvane.desktop"
appstreamcli validate --no-net "$prefix/share/metainfo/org.kelvane.kelvane.metainfo.xml"
cp -r "$prefix/share/mime" "$work/mime"
update-mime-database "$work/mime" > "$work/mime.log" 2>&1 || { cat "$work/mime.log" >&2; fail "update-mime-database failed"; }
grep -q "application/x-kelvane-dance:\*\.dnc" "$work/mime/globs2" || fail "*.dnc is not mapped to its file type"

echo "== build the Debian package"
(cd "$build" && cpack -G DEB -B "$work/package" > "$work/cpack.log") || { cat "$work/cpack.log" >&2; fail "cpack failed"; }
deb=$(ls "$work"/package/kelvane_*.deb)
dpkg-deb --field "$deb" Package Version Depends
# Every installed file and link is in the package, and nothing else.
dpkg-deb --contents "$deb" | grep -v '^d' | sed -E 's/^(\S+\s+){5}//; s/ -> .*$//; s|^\./usr/||' | sort > "$work/in-package.txt"
(cd "$prefix" && find . -type f -o -type l) | sed 's|^\./||' | sort > "$work/installed.txt"
diff -u "$work/installed.txt" "$work/in-package.txt" || fail "the package differs from the install (- installed, + package)"
echo "$(wc -l < "$work/in-package.txt") files in $(basename "$deb")"

echo "== lintian"
lintian --fail-on error "$deb"
echo "check-install: ok"
