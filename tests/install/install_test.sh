#!/usr/bin/env bash
# cmake --install into a temporary prefix: every file lands in its place, the desktop entry
# and the metainfo validate, the man pages format cleanly, and the installed program runs.
# Usage: install_test.sh BUILD_DIR
set -euo pipefail
build=$1
prefix=$(mktemp -d)
trap 'rm -rf "$prefix"' EXIT
failures=0
fail() {
  echo "FAIL: $*" >&2
  failures=$((failures + 1))
}

cmake --install "$build" --prefix "$prefix" >/dev/null

id=io.github.quillhaven.Quillhaven
for file in bin/quillhaven bin/quillhaven-render \
  share/applications/$id.desktop \
  share/icons/hicolor/scalable/apps/$id.svg \
  share/metainfo/$id.metainfo.xml \
  share/man/man1/quillhaven.1 share/man/man1/quillhaven-render.1; do
  [ -f "$prefix/$file" ] || fail "$file was not installed"
done
for program in quillhaven quillhaven-render; do
  [ -x "$prefix/bin/$program" ] || fail "bin/$program is not executable"
done

desktop-file-validate "$prefix/share/applications/$id.desktop" || fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/$id.metainfo.xml" >/dev/null ||
  fail "appstreamcli validate"
# The desktop entry and the metainfo name the icon and each other by the one id.
grep -qx "Icon=$id" "$prefix/share/applications/$id.desktop" || fail "desktop entry icon"
grep -q "<launchable type=\"desktop-id\">$id.desktop</launchable>" \
  "$prefix/share/metainfo/$id.metainfo.xml" || fail "metainfo launchable"
# The icon is well-formed SVG.
grep -q '<svg' "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || fail "icon is no SVG"
xmllint_ok=true
if command -v xmllint >/dev/null; then
  xmllint --noout "$prefix/share/icons/hicolor/scalable/apps/$id.svg" || xmllint_ok=false
fi
$xmllint_ok || fail "icon is not well-formed"

for page in quillhaven quillhaven-render; do
  warnings=$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -E UTF-8 -l -Tutf8 -Z \
    "$prefix/share/man/man1/$page.1" 2>&1 >/dev/null)
  [ -z "$warnings" ] || fail "man page $page.1: $warnings"
done

# The installed program answers from its new place.
version=$("$prefix/bin/quillhaven" --version) || fail "installed quillhaven --version"
[ "$version" = "quillhaven 0.1.0" ] || fail "version text: $version"
"$prefix/bin/quillhaven-render" --help >/dev/null || fail "installed quillhaven-render --help"

[ "$failures" -eq 0 ] && echo "install test passed"
exit "$failures"
