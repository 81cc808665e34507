#!/bin/bash
# Prepares Wine for one Windows target: 32-bit execution, a headless prefix in the build tree and one
# persistent wineserver (a Wine process then starts in ~0.3 s instead of ~3 s).
# usage: setup-wine.sh win32|win64 [--no-server]     (--no-server: the prefix only)
set -euo pipefail
. "$(dirname "$0")/common.sh"
TARGET=${1:-win32}
export WINEPREFIX=$(wine_prefix_of "$TARGET")

# 1. Some kernels are built without IA-32 emulation: 32-bit Wine then needs qemu-i386 through binfmt_misc.
#    A normal desktop runs 32-bit programs natively and needs nothing. The registration is lost at reboot.
if [ "$TARGET" = win32 ] && ! /usr/lib/wine/wine --version >/dev/null 2>&1; then
  log "this kernel cannot run 32-bit programs: registering qemu-i386 with binfmt_misc"
  mountpoint -q /proc/sys/fs/binfmt_misc || as_root mount -t binfmt_misc binfmt_misc /proc/sys/fs/binfmt_misc
  [ -e /proc/sys/fs/binfmt_misc/qemu-i386 ] && echo -1 | as_root tee /proc/sys/fs/binfmt_misc/qemu-i386 >/dev/null
  echo ':qemu-i386:M::\x7fELF\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00\x02\x00\x03\x00:\xff\xff\xff\xff\xff\xfe\xfe\x00\xff\xff\xff\xff\xff\xff\xff\xff\xfe\xff\xff\xff:/usr/bin/qemu-i386:OCF' \
    | as_root tee /proc/sys/fs/binfmt_misc/register >/dev/null
  /usr/lib/wine/wine --version >/dev/null
fi

# 2. The prefix, created once. Headless: no crash dialog (it would wait forever under Xvfb), no debugger,
#    no audio driver.
if [ ! -f "$WINEPREFIX/.skyward-ready" ]; then
  log "creating the Wine prefix $WINEPREFIX"
  rm -rf "$WINEPREFIX"
  mkdir -p "$(dirname "$WINEPREFIX")"
  [ "$TARGET" = win32 ] && export WINEARCH=win32 || export WINEARCH=win64
  # No Mono or Gecko installers: the program needs neither, and they would ask to download.
  WINEDLLOVERRIDES="mscoree,mshtml=" wineboot -i >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\WineDbg' /v ShowCrashDialog /t REG_DWORD /d 0 /f >/dev/null 2>&1
  wine reg add 'HKLM\Software\Microsoft\Windows NT\CurrentVersion\AeDebug' /v Debugger /t REG_SZ /d '' /f >/dev/null 2>&1
  wine reg add 'HKCU\Software\Wine\Drivers' /v Audio /t REG_SZ /d '' /f >/dev/null 2>&1
  wineserver -w
  touch "$WINEPREFIX/.skyward-ready"
fi

# 3. One persistent wineserver, primed by one Wine process. Started here, outside any CTest pipe.
if [ "${2:-}" = --no-server ]; then exit 0; fi
wineserver -k 2>/dev/null || true
wineserver -p
wine cmd /c exit </dev/null >/dev/null 2>&1
