#!/usr/bin/env bash
# Makes the Debian package and runs lintian on it; exits non-zero when
# lintian reports an error. Not part of the test command: lintian is slow
# and its checks change between Debian releases.
#   scripts/lintian.sh [OUTPUT_FOLDER]
set -euo pipefail
root="$(cd "$(dirname "$0")/.." && pwd)"
if ! command -v lintian >/dev/null; then
  SUDO=""; [ "$(id -u)" -ne 0 ] && SUDO="sudo"
  $SUDO env DEBIAN_FRONTEND=noninteractive apt-get install -y -q --no-install-recommends lintian
fi
if [ -z "${DEBEMAIL:-}${EMAIL:-}" ]; then
  echo "lintian.sh: DEBEMAIL is not set, so the package's maintainer is you at this host;" >&2
  echo "lintian.sh: lintian refuses that address. Set DEBFULLNAME and DEBEMAIL to check a package you ship." >&2
fi
deb="$("$root/scripts/package.sh" "${1:-.}" | tail -n 1)"
lintian --fail-on error --info "$deb"
