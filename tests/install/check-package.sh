#!/usr/bin/env bash
# Builds the Debian package of BUILD, where dpkg-deb exists, and checks
# that it holds the programs, their data, the desktop entry, the icons and
# the manual pages, and that its dependencies were computed.
# check-package.sh BUILD
set -euo pipefail
build="$(cd "$1" && pwd)"
if ! command -v dpkg-deb >/dev/null || ! command -v dpkg-shlibdeps >/dev/null; then
  echo "no dpkg-deb or dpkg-shlibdeps here: package not built"
  exit 0
fi
work="$(mktemp -d)"
trap 'rm -rf "$work"' EXIT
fail() { echo "FAIL: $*" >&2; exit 1; }

# gzip instead of xz: the test needs the contents, not the smallest file.
(cd "$build" && cpack -G DEB -B "$work" -D CPACK_DEBIAN_COMPRESSION_TYPE=gzip >"$work/cpack.log" 2>&1) \
  || { cat "$work/cpack.log"; fail "cpack"; }
deb="$(ls "$work"/tessaly_*.deb)"
contents="$(dpkg-deb --contents "$deb" | awk '{print $6}')"
for f in ./usr/bin/tessaly ./usr/bin/tessaly-cli ./usr/bin/tessaly-modemsim \
         ./usr/share/tessaly/help/index.html ./usr/share/tessaly/skins/default.qss \
         ./usr/share/applications/tessaly.desktop ./usr/share/metainfo/com.orvanta.Tessaly.metainfo.xml \
         ./usr/share/icons/hicolor/scalable/apps/tessaly.svg ./usr/share/icons/hicolor/48x48/apps/tessaly.png \
         ./usr/share/man/man1/tessaly.1.gz ./usr/share/man/man1/tessaly-cli.1.gz \
         ./usr/share/man/man1/tessaly-modemsim.1.gz ./usr/share/doc/tessaly/copyright \
         ./usr/share/doc/tessaly/changelog.gz; do
  grep -qxF "$f" <<<"$contents" || fail "$f is not in the package"
done
depends="$(dpkg-deb --field "$deb" Depends)"
for d in libqt6widgets6 libqt6core6 libc6 qt6-qpa-plugins; do
  grep -q "$d" <<<"$depends" || fail "Depends lacks $d: $depends"
done
echo "package ok: $(basename "$deb")"
