# Shared by the scripts: where things are, which builds this host can run, and
# how Wine is run unattended.
#
# Two builds of the same sources: build/ (32-bit, what ships) and build64/
# (64-bit, a test vehicle for hosts that run 64-bit programs only). Each build
# folder has its own Wine prefix. NT_BUILD_DIR overrides the folder of the
# build in use; NT_ASSUME_64BIT_ONLY=1 makes this host behave as one that cannot
# run 32-bit programs.
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEDEBUG=-all WINEDLLOVERRIDES="mscoree,mshtml="

# True when the host runs 32-bit Linux programs (and so 32-bit Wine): a static
# 32-bit ELF that only exits with status 42 tells, before anything is installed.
host_runs_32bit() {
  if [ -z "${NT_HOST_32BIT:-}" ]; then
    NT_HOST_32BIT=0
    if [ "${NT_ASSUME_64BIT_ONLY:-0}" != 1 ]; then
      local probe rc=0
      probe=$(mktemp)
      printf '\x7f\x45\x4c\x46\x01\x01\x01\x00\x00\x00\x00\x00\x00\x00\x00\x00'`
        `'\x02\x00\x03\x00\x01\x00\x00\x00\x54\x80\x04\x08\x34\x00\x00\x00'`
        `'\x00\x00\x00\x00\x00\x00\x00\x00\x34\x00\x20\x00\x01\x00\x00\x00'`
        `'\x00\x00\x00\x00\x01\x00\x00\x00\x00\x00\x00\x00\x00\x80\x04\x08'`
        `'\x00\x80\x04\x08\x60\x00\x00\x00\x60\x00\x00\x00\x05\x00\x00\x00'`
        `'\x00\x10\x00\x00\xb8\x01\x00\x00\x00\xbb\x2a\x00\x00\x00\xcd\x80' >"$probe"
      chmod +x "$probe"
      "$probe" 2>/dev/null || rc=$?
      rm -f "$probe"
      [ "$rc" -eq 42 ] && NT_HOST_32BIT=1
    fi
    export NT_HOST_32BIT
  fi
  [ "$NT_HOST_32BIT" = 1 ]
}

# The builds whose programs this host can run, 32-bit first.
runnable_archs() {
  if host_runs_32bit; then echo "32 64"; else echo "64"; fi
}

# The build a demo or benchmark uses: the 32-bit one where it can run.
preferred_arch() {
  if host_runs_32bit; then echo 32; else echo 64; fi
}

# Selects a build: its folder, preset, Wine prefix and Wine loader.
use_arch() {
  arch=$1
  case "$arch" in
    32)
      preset=mingw
      build="${NT_BUILD_DIR:-$root/build}"
      export WINEARCH=win32 WINELOADER=/usr/lib/wine/wine
      ;;
    64)
      preset=mingw64
      build="${NT_BUILD_DIR:-$root/build64}"
      export WINEARCH=win64 WINELOADER=/usr/lib/wine/wine64
      ;;
    *)
      echo "unknown architecture '$arch' (32 or 64)" >&2
      return 2
      ;;
  esac
  export WINEPREFIX="$build/wineprefix"
}

# In an option's branch, before its value is read: an option given last,
# without its value, ends the script with its usage (kept in $usage).
require_value() {
  if [ "$2" -lt 2 ]; then
    echo "$(basename "$0"): $1 needs a value" >&2
    echo "$usage" >&2
    exit 2
  fi
}

# A Linux path as the selected build's Wine names it.
windows_path() { "$WINELOADER" winepath -w "$1" 2>/dev/null | tr -d '\r'; }

configure() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset "$preset" -S "$root" -B "$build" >/dev/null
  fi
}

build_programs() {
  configure
  cmake --build "$build" -j2
}

make_prefix() {
  "$root/cmake/wine-prefix" "$WINEPREFIX" "$arch"
}

configure_and_build() {
  build_programs
  make_prefix
}

# Starts the wineserver and Wine's own background processes detached from our
# output, so that nothing later waits on pipes they inherited.
start_wine() {
  timeout 10 wineserver -p </dev/null >/dev/null 2>&1 || true
  timeout 60 "$WINELOADER" cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
}

# Runs a command on a virtual display with a 24-bit screen (xvfb-run's default
# is 8 bits, which would turn the skin's colours into a palette). The search for
# a free display starts at a number of our own: two runs started at the same
# moment from 99 can both take the same one, and steal each other's clicks.
on_virtual_display() {
  xvfb-run -a -n $((100 + $$ % 800)) -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
}
