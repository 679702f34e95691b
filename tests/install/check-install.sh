#!/usr/bin/env bash
# Installs BUILD into a temporary prefix and checks it as a user would get
# it: the files in their places, the desktop entry, the AppStream data and
# the manual pages valid, and the programs working with the source tree
# out of sight.  check-install.sh BUILD SOURCE VERSION
set -euo pipefail
build="$(cd "$1" && pwd)"
source="$(cd "$2" && pwd)"
version="$3"
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
prefix="$work/prefix"
fail() { echo "FAIL: $*" >&2; exit 1; }

for tool in desktop-file-validate appstreamcli man; do
  command -v "$tool" >/dev/null || fail "$tool is missing (scripts/setup.sh installs it)"
done
cmake --install "$build" --prefix "$prefix" >/dev/null

for f in bin/tessaly bin/tessaly-cli bin/tessaly-modemsim \
         share/tessaly/help/index.html share/tessaly/skins/default.qss \
         share/tessaly/languages/Swedish.lan share/tessaly/demo-contacts/tessaly-demo-01.vcf \
         share/applications/tessaly.desktop share/metainfo/com.orvanta.Tessaly.metainfo.xml \
         share/icons/hicolor/scalable/apps/tessaly.svg share/icons/hicolor/48x48/apps/tessaly.png \
         share/icons/hicolor/256x256/apps/tessaly.png share/bash-completion/completions/tessaly-cli \
         share/man/man1/tessaly.1.gz share/man/man1/tessaly-cli.1.gz share/man/man1/tessaly-modemsim.1.gz; do
  [ -e "$prefix/$f" ] || fail "$f is not installed"
done
# Debian's copyright file and change log are the package's, not upstream's.
[ ! -e "$prefix/share/doc" ] || fail "the install puts files into share/doc"

desktop-file-validate "$prefix/share/applications/tessaly.desktop" | grep -v ': hint: ' | grep . && fail "desktop-file-validate"
appstreamcli validate --no-net "$prefix/share/metainfo/com.orvanta.Tessaly.metainfo.xml" >/dev/null \
  || { appstreamcli validate --no-net "$prefix/share/metainfo/com.orvanta.Tessaly.metainfo.xml"; fail "appstreamcli validate"; }
# man says nothing on standard error unless groff warns.
for page in "$prefix"/share/man/man1/*.1.gz; do
  warnings="$(LC_ALL=C.UTF-8 MANWIDTH=80 man --warnings -l "$page" 2>&1 >/dev/null)"
  [ -z "$warnings" ] || fail "$(basename "$page"): $warnings"
done
bash -n "$prefix/share/bash-completion/completions/tessaly-cli" || fail "bash completion does not parse"

# The programs, run from the prefix with the source (and build) tree
# hidden under an empty folder where this system lets us mount one, and
# with no installed data elsewhere to fall back on.
run_hidden() {
  if unshare --mount --map-root-user true 2>/dev/null; then
    unshare --mount --map-root-user sh -c 'mount -t tmpfs none "$0" && cd / && exec "$@"' "$source" "$@"
  else
    (cd / && "$@")
  fi
}
export HOME="$work/home" XDG_CONFIG_HOME="$work/home/config" XDG_DATA_HOME="$work/home/data"
export XDG_DATA_DIRS="$work/nowhere" TESSALY_REGISTRY="$work/home/registry.ini" TESSALY_CONTACTS="$work/home/contacts"
mkdir -p "$HOME"
[ "$(run_hidden "$prefix/bin/tessaly-cli" --port 99 phonebook list --memory SM | wc -l)" -gt 0 ] \
  || fail "the installed tessaly-cli lists no simulated entries"
run_hidden "$prefix/bin/tessaly" --demo --screenshot "$work/installed.png" || fail "the installed tessaly --demo"
# Every program tells its version, the window without a display.
for program in tessaly tessaly-cli tessaly-modemsim; do
  [ "$(env -u DISPLAY -u WAYLAND_DISPLAY -u QT_QPA_PLATFORM "$prefix/bin/$program" --version)" = "$program $version" ] \
    || fail "$program --version"
done
# The same demo from the build folder, whose data are the source tree's:
# the installed one drew the same window only if it found the same help,
# skins and sample contacts.
(cd "$work" && "$build/app/tessaly" --demo --screenshot "$work/built.png") || fail "tessaly --demo from the build"
cmp -s "$work/installed.png" "$work/built.png" || fail "the installed demo looks different from the built one"
echo "install ok"
