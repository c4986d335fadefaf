#!/usr/bin/env bash
# Builds the Debian package from a build folder's programs, checks its files with the desktop-entry, AppStream and
# Debian policy checkers, unpacks it into a temporary folder, runs the unpacked claimcheck-report on a draft with no
# display, and starts the unpacked claimcheck under Xvfb until its input window "Check for claim support" is open,
# then closes it.
# Usage: package_test.sh BUILD_DIR VERSION
set -euo pipefail
build=$1
version=$2
tmp=$(mktemp -d)
trap 'rm -rf "$tmp"' EXIT
fail() {
  echo "FAIL: $*" >&2
  exit 1
}

echo "== cpack"
cpack -G DEB --config "$build/CPackConfig.cmake" -B "$tmp/out" >"$tmp/cpack.log" 2>&1 || {
  cat "$tmp/cpack.log" >&2
  fail "cpack could not build the package"
}
deb=$tmp/out/claimcheck_${version}_amd64.deb
[ -f "$deb" ] || fail "no package $deb; cpack made: $(ls "$tmp/out")"
echo "$(basename "$deb"): $(stat -c %s "$deb") bytes"

echo "== control"
dpkg-deb --field "$deb" Package Version Architecture Maintainer Depends Section
control=$(dpkg-deb --field "$deb")
for field in Maintainer Depends Description; do
  grep -q "^$field: ." <<<"$control" || fail "the control file has no $field"
done
depends=$(dpkg-deb --field "$deb" Depends)
for dep in libqt6webenginewidgets6 libqt6widgets6 libqt6core6 libicu libzip4 libstemmer0d fonts-liberation fonts-dejavu-core; do
  grep -q "$dep" <<<"$depends" || fail "Depends lacks $dep: $depends"
done

echo "== contents"
dpkg-deb --contents "$deb" | awk '{print $1, $6}'
dpkg-deb -x "$deb" "$tmp/root"
root=$tmp/root
expected=(
  usr/bin/claimcheck
  usr/bin/claimcheck-report
  usr/share/applications/org.claimcheck.claimcheck.desktop
  usr/share/metainfo/org.claimcheck.claimcheck.metainfo.xml
  usr/share/icons/hicolor/scalable/apps/claimcheck.svg
  usr/share/man/man1/claimcheck.1.gz
  usr/share/man/man1/claimcheck-report.1.gz
  usr/share/doc/claimcheck/copyright
  usr/share/doc/claimcheck/changelog.gz
)
for size in 16 22 24 32 48 64 128 256; do
  png=usr/share/icons/hicolor/${size}x${size}/apps/claimcheck.png
  expected+=("$png")
  [ -f "$root/$png" ] && file "$root/$png" | grep -q "PNG image data, $size x $size," ||
    fail "$png is not a $size x $size PNG: $(file "$root/$png" 2>&1)"
done
for path in "${expected[@]}"; do
  [ -f "$root/$path" ] || fail "the package lacks /$path"
done
for program in claimcheck claimcheck-report; do
  file "$root/usr/bin/$program" | grep -q "ELF 64-bit.*stripped" && ! file "$root/usr/bin/$program" | grep -q "not stripped" ||
    fail "$program is not a stripped binary: $(file "$root/usr/bin/$program")"
done
head -1 "$root/usr/share/doc/claimcheck/copyright" | grep -q "^Format: https://www.debian.org/doc/packaging-manuals/copyright-format/1.0/" ||
  fail "the copyright file is not in the machine-readable format"

echo "== desktop-file-validate"
desktop=$root/usr/share/applications/org.claimcheck.claimcheck.desktop
desktop-file-validate "$desktop" || fail "desktop-file-validate"
echo "== appstreamcli validate"
appstreamcli validate --no-net "$root/usr/share/metainfo/org.claimcheck.claimcheck.metainfo.xml" ||
  fail "appstreamcli validate"
grep -q "<release version=\"$version\"" "$root/usr/share/metainfo/org.claimcheck.claimcheck.metainfo.xml" ||
  fail "the metainfo has no release entry for $version"

echo "== lintian"
# No error or warning is accepted; the informational tags are shown.
lintian --fail-on error,warning --display-info "$deb" 2>&1 | grep -v '^running with root privileges' ||
  [ "${PIPESTATUS[0]}" -eq 0 ] || fail "lintian"

echo "== claimcheck-report, with no display"
# It links no GUI library, so it runs where there is no display at all.
needed=$(objdump -p "$root/usr/bin/claimcheck-report" | awk '/NEEDED/ {print $2}')
echo "$needed" | tr '\n' ' '; echo
grep -q libzip <<<"$needed" || fail "claimcheck-report does not link libzip"
grep -q libstemmer <<<"$needed" || fail "claimcheck-report does not link libstemmer"
! grep -Eq 'libQt6(Gui|Widgets|WebEngine)' <<<"$needed" || fail "claimcheck-report links a GUI library"
report=$root/usr/bin/claimcheck-report
[ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$report" --version)" = "claimcheck-report $version" ] ||
  fail "claimcheck-report --version"
printf 'The wheel turns on an axle.\nClaims:\n1. A wheel and an axle.\n2. The wheel of claim 1, made of a gizmo.\n' \
  >"$tmp/draft.txt"
status=0
env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$report" --format html -o "$tmp/report.html" "$tmp/draft.txt" ||
  status=$?
[ "$status" -eq 1 ] || fail "claimcheck-report on a draft with unsupported words: status $status, not 1"
grep -q '<mark>gizmo</mark>' "$tmp/report.html" || fail "the html report does not mark the unsupported word"
status=0
"$report" "$tmp/draft.txt" "$tmp/nothere.txt" 2>"$tmp/error.txt" || status=$?
[ "$status" -eq 2 ] && grep -q "nothere.txt: no such file" "$tmp/error.txt" ||
  fail "claimcheck-report on a missing file: status $status, $(cat "$tmp/error.txt")"
echo "draft checked: status 1, $(wc -c <"$tmp/report.html") bytes of html; a missing file: status 2"

echo "== start the unpacked program under Xvfb"
# The unpacked program, started as the menu entry starts it; the process under xvfb-run is our own.
exec_line=$(sed -n 's/^Exec=//p' "$desktop")
wm_class=$(sed -n 's/^StartupWMClass=//p' "$desktop")
here=$(cd "$(dirname "$0")" && pwd)
export QT_QPA_PLATFORM=xcb
export QTWEBENGINE_CHROMIUM_FLAGS="--disable-gpu"
cat >"$tmp/session.sh" <<SESSION
#!/usr/bin/env bash
set -u
PATH="$root/usr/bin:\$PATH" $exec_line &
app=\$!
window=
for _ in \$(seq 1 600); do
  window=\$(xdotool search --name '^Check for claim support\$' 2>/dev/null | head -1)
  [ -n "\$window" ] && xwininfo -id "\$window" | grep -q 'Map State: IsViewable' && break
  window=
  kill -0 \$app 2>/dev/null || { echo "the program ended before its window opened" >&2; exit 1; }
  sleep 0.1
done
[ -n "\$window" ] || { echo "no window \"Check for claim support\" within 60 s" >&2; kill \$app; exit 1; }
echo "window \$window: \$(xdotool getwindowname "\$window"), \$(xprop -id "\$window" WM_CLASS)"
xprop -id "\$window" WM_CLASS | grep -q "\"$wm_class\"\$" || { echo "WM_CLASS is not $wm_class" >&2; kill \$app; exit 1; }
# Closed as by the window's close button: the program ends by itself, with status 0.
"$here/close_window.py" "\$window" || { kill \$app; exit 1; }
for _ in \$(seq 1 300); do
  kill -0 \$app 2>/dev/null || break
  sleep 0.1
done
if kill -0 \$app 2>/dev/null; then
  echo "the program did not end within 30 s of its window being closed" >&2
  kill \$app
  exit 1
fi
wait \$app
status=\$?
echo "closed; the program ended with status \$status"
exit \$status
SESSION
chmod +x "$tmp/session.sh"
xvfb-run -a -s "-screen 0 1280x1024x24" "$tmp/session.sh" || fail "the program's window did not open"
echo "PASS"
