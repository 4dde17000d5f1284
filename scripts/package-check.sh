#!/usr/bin/env bash
# Installs a release tree built as the Debian packages are built into a
# temporary prefix and checks what was installed, then makes the two .deb
# files (twbkf, the command line; tallowin-bkf, the desktop program) and runs
# the validators over them: desktop-file-validate, appstreamcli and lintian.
#
#   scripts/package-check.sh [BUILD_DIR]
set -euo pipefail
cd "$(dirname "$0")/.."

# BUILD_DIR: a tree that ./test.sh has already built with these settings;
# without it one is built here.
build=${1:-build-package}
if [[ $# -eq 0 ]]; then
  mapfile -t flags < <(scripts/package-flags.sh)
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DTALLOWIN_BUILD_TESTS=OFF "${flags[@]}" >/dev/null
  cmake --build "$build" -j"$(nproc)"
fi

stage=$(mktemp -d)
trap 'rm -rf "$stage"' EXIT
DESTDIR="$stage" cmake --install "$build" >/dev/null
root="$stage/usr"

echo "-- installed programs answer without a display"
env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/tallowin-bkf" --version | head -1
env -u DISPLAY -u WAYLAND_DISPLAY "$root/bin/tallowin-bkf" --help | grep -q '^Usage: tallowin-bkf'
"$root/bin/twbkf" --version | head -1
"$root/bin/twbkf" list samples/damaged.bkf --quiet | grep -q 'letter.txt'

echo "-- installed tree"
for file in share/applications/com.tallowin.bkf.desktop share/mime/packages/com.tallowin.bkf.xml \
            share/metainfo/com.tallowin.bkf.metainfo.xml share/icons/hicolor/scalable/apps/com.tallowin.bkf.svg \
            share/icons/hicolor/48x48/apps/com.tallowin.bkf.png share/man/man1/twbkf.1.gz \
            share/man/man1/tallowin-bkf.1.gz share/doc/tallowin-bkf/copyright \
            share/tallowin-bkf/manual/manual.html share/doc/twbkf/copyright share/doc/twbkf/README.md \
            share/bash-completion/completions/twbkf share/zsh/vendor-completions/_twbkf \
            share/fish/vendor_completions.d/twbkf.fish; do
  [[ -f "$root/$file" ]] || { echo "missing: $file" >&2; exit 1; }
done
if command -v chmcmd >/dev/null; then
  [[ -f "$root/share/tallowin-bkf/Tallowin for Bkf.chm" ]] || { echo "missing: the help file" >&2; exit 1; }
fi

echo "-- the MIME definitions parse and tell BKF files by their content"
xmllint --noout "$root/share/mime/packages/com.tallowin.bkf.xml"
mime="$stage/mime"
mkdir -p "$mime/packages"
cp "$root/share/mime/packages/com.tallowin.bkf.xml" "$mime/packages/"
XDG_DATA_DIRS="$stage" update-mime-database "$mime"
grep -q 'application/x-bkf' "$mime/magic"
grep -q 'application/x-tallowin-snapshot' "$mime/globs2"

echo "-- desktop-file-validate"
desktop-file-validate "$root/share/applications/com.tallowin.bkf.desktop"
echo "-- appstreamcli validate --no-net"
appstreamcli validate --no-net "$root/share/metainfo/com.tallowin.bkf.metainfo.xml"

echo "-- the Debian packages"
(cd "$build" && rm -f ./*.deb && cpack -G DEB >/dev/null)
cli_deb=$(ls "$build"/twbkf_*.deb)
gui_deb=$(ls "$build"/tallowin-bkf_*.deb)
for deb in "$cli_deb" "$gui_deb"; do
  dpkg-deb --info "$deb" | sed -n '/Package:/,$p'
done
# The command line brings no widgets, and the desktop program no second
# toolkit for its help.
if [[ $(dpkg-deb --field "$cli_deb" Depends) =~ widgets|gui ]]; then
  echo "twbkf depends on a widget toolkit: $(dpkg-deb --field "$cli_deb" Depends)" >&2
  exit 1
fi
cli_files=$(dpkg-deb --contents "$cli_deb")
grep -q '/usr/bin/twbkf$' <<<"$cli_files"
if grep -q '/usr/bin/tallowin-bkf$' <<<"$cli_files"; then
  echo "twbkf holds the desktop program" >&2
  exit 1
fi
[[ $(dpkg-deb --field "$gui_deb" Depends) == *"twbkf (= "* ]]
if [[ -n $(dpkg-deb --field "$gui_deb" Recommends) ]]; then
  echo "tallowin-bkf recommends: $(dpkg-deb --field "$gui_deb" Recommends)" >&2
  exit 1
fi
echo "-- lintian"
# Errors and warnings fail; informational tags are shown.
lintian --fail-on error,warning --tag-display-limit 0 --info "$cli_deb" "$gui_deb"
echo "Package checks passed: $cli_deb $gui_deb"
