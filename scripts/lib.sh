# Shared by the scripts: where things are, and how Wine is run unattended.
# NT_BUILD_DIR picks another build folder (each has its own Wine prefix).
root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
build="${NT_BUILD_DIR:-$root/build}"
export WINEPREFIX="$build/wineprefix"
export WINEDEBUG=-all WINEARCH=win32 WINEDLLOVERRIDES="mscoree,mshtml="

configure_and_build() {
  if [ ! -f "$build/CMakeCache.txt" ]; then
    cmake --preset mingw -S "$root" -B "$build" >/dev/null
  fi
  cmake --build "$build" -j2
  "$root/cmake/wine-prefix" "$WINEPREFIX"
}

# Starts the wineserver and Wine's own background processes detached from our
# output, so that nothing later waits on pipes they inherited.
start_wine() {
  timeout 10 wineserver -p </dev/null >/dev/null 2>&1 || true
  timeout 60 wine cmd /c exit </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  timeout 20 wineserver -k >/dev/null 2>&1 || true
  timeout 20 wineserver -w >/dev/null 2>&1 || true
}

# Runs a command on a virtual display with a 24-bit screen (xvfb-run's default
# is 8 bits, which would turn the skin's colours into a palette).
on_virtual_display() {
  xvfb-run -a -s "-screen 0 1280x1024x24 -nolisten tcp" "$@"
}
