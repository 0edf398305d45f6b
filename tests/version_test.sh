#!/usr/bin/env bash
# The version cmake/Version.cmake gives a build, from histories made here: the
# project's version in a tree without git and at the release (the tag
# vVERSION, or without a tag the commit that set the version in project()),
# "VERSION+git.N.gSHA" N commits after it, and a Version.cpp rewritten only
# when the version changes.
#
#   tests/version_test.sh cmake/Version.cmake
set -euo pipefail

script="$(cd "$(dirname "${1:?cmake/Version.cmake}")" && pwd)/$(basename "$1")"
fail() { echo "version_test: $*" >&2; exit 1; }
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
src="$work/src" out="$work/out"
mkdir -p "$src" "$out"

version() {
  cmake -DSOURCE_DIR="$src" -DPROJECT_VERSION=2.3.0 -DOUTPUT_DIR="$out" -P "$script" ||
    fail "cmake -P failed"
  cat "$out/version.txt"
}
expect() { local got; got="$(version)"; [ "$got" = "$1" ] || fail "$2: \"$got\", not \"$1\""; }
commit() {
  echo "$1" >>"$src/$2"
  git -C "$src" add -A && git -C "$src" commit -q -m "$1"
}
sha() { git -C "$src" rev-parse --short=7 HEAD; }

echo 'project(Demo VERSION 2.2.0)' >"$src/CMakeLists.txt"
expect 2.3.0 "a tree without git"

git -C "$src" init -q
git -C "$src" config user.email test@example.org
git -C "$src" config user.name test
expect 2.3.0 "a repository without commits"
commit "first" notes.txt
commit "more" notes.txt
echo 'project(Demo VERSION 2.3.0)' >"$src/CMakeLists.txt"
commit "# the release" CMakeLists.txt
expect 2.3.0 "the commit that set the version"
grep -q '"2.3.0"' "$out/Version.cpp" || fail "Version.cpp does not define 2.3.0"

commit "a fix" notes.txt
commit "# a comment, not the version" CMakeLists.txt
expect "2.3.0+git.2.g$(sha)" "two commits after the release"
before="$(stat -c %Y.%y "$out/Version.cpp")"
sleep 1
version >/dev/null
[ "$(stat -c %Y.%y "$out/Version.cpp")" = "$before" ] || fail "Version.cpp rewritten with the same version"

# A tag of the release wins over the commit that set the number.
git -C "$src" tag v2.3.0 HEAD~1
expect "2.3.0+git.1.g$(sha)" "one commit after the tag"
git -C "$src" tag -d v2.3.0 >/dev/null

# Sources unpacked inside another repository are a tarball's.
mkdir "$src/unpacked"
(cd "$src/unpacked" && src="$src/unpacked" expect 2.3.0 "sources inside another repository")

# The package's changelog takes the version from the file the build wrote.
printf '%s\n' 'demo (@HORIZONMILL_VERSION@) unstable' >"$work/changelog.in"
cmake -DTEMPLATE="$work/changelog.in" -DVERSION_FILE="$out/version.txt" \
  -DOUTPUT="$work/changelog" -P "$script" || fail "the changelog was not written"
[ "$(head -1 "$work/changelog")" = "demo ($(cat "$out/version.txt")) unstable" ] ||
  fail "changelog: $(head -1 "$work/changelog")"
echo "version_test: the release, later commits, a tag, no git and the changelog"
