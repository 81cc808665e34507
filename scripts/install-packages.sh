#!/bin/bash
# Installs every Debian package the project needs (Debian 12, amd64). Idempotent: when everything is
# already installed it touches nothing, so a second run costs a dpkg query.
set -euo pipefail
. "$(dirname "$0")/common.sh"

# Packages from the main archive. wine32 is the i386 build; the rest are amd64. The printing tests run
# a private print scheduler (cupsd, lpadmin) that 32-bit Wine reaches through the i386 client library,
# and read the printed page with Ghostscript and Poppler.
PACKAGES=(
  gcc-mingw-w64-i686-posix g++-mingw-w64-i686-posix
  gcc-mingw-w64-x86-64-posix g++-mingw-w64-x86-64-posix
  mingw-w64-tools libz-mingw-w64-dev
  wine wine64 wine32:i386
  xvfb xauth xdotool x11-utils imagemagick
  python3 python3-aiosmtpd python3-xlib python3-pil
  cmake ninja-build pkg-config dpkg-dev
  g++ clang libclang-rt-14-dev
  googletest libbenchmark-dev
  zlib1g-dev libpng-dev libjpeg62-turbo-dev libxml2-dev libgif-dev giflib-tools libstb-dev
  cups-daemon cups-client libcups2:i386 ghostscript poppler-utils
)
# Only for redrawing the pictures and sounds (tools/art/make.sh): rsvg-convert, Pillow and the logo's font.
if [ "${1:-}" = art ]; then PACKAGES+=(librsvg2-bin python3-pil fonts-lato); fi
# qemu-user from backports: bookworm's own qemu 7.2 needs ~50 s per Wine start under emulation.
BACKPORTS=(qemu-user)

missing() {
  local p
  for p in "$@"; do
    dpkg-query -W -f='${Status}\n' "$p" 2>/dev/null | grep -q '^install ok installed$' || echo "$p"
  done
}

need=$(missing "${PACKAGES[@]}")
need_bp=$(missing "${BACKPORTS[@]}")
if [ -z "$need" ] && [ -z "$need_bp" ] && grep -rqs '^Types: deb-src' /etc/apt/sources.list.d/; then
  exit 0
fi

echo "installing packages:" $need $need_bp
dpkg --print-foreign-architectures | grep -qx i386 || as_root dpkg --add-architecture i386
as_root tee /etc/apt/sources.list.d/skyward-backports.sources >/dev/null <<'EOS'
Types: deb
URIs: http://deb.debian.org/debian
Suites: bookworm-backports
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOS
as_root tee /etc/apt/sources.list.d/skyward-debsrc.sources >/dev/null <<'EOS'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm bookworm-updates
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
EOS
as_root apt-get update -q
export DEBIAN_FRONTEND=noninteractive
[ -z "$need" ] || as_root apt-get install -y -q --no-install-recommends $need
[ -z "$need_bp" ] || as_root apt-get install -y -q --no-install-recommends -t bookworm-backports $need_bp
