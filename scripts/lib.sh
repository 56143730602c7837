# Shared by the scripts: installing what is missing and the Wine environment.
# Sourced, not run.

TOLVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

TOLVANE_PACKAGES=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev libcli11-dev nlohmann-json3-dev libxxhash-dev
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix mingw-w64-tools
  wine64 fonts-wine xvfb xauth
)

# Only scripts/fuzz needs these: clang, libFuzzer and the sanitizer runtimes.
TOLVANE_FUZZ_PACKAGES=(
  cmake ninja-build clang-14 libclang-rt-14-dev libclang-common-14-dev
)

# Installs the packages not yet installed (apt-get update first); quick when all are there.
ensure_packages() {
  local missing=()
  local package
  for package in "$@"; do
    dpkg-query -W -f='${Status}' "$package" 2>/dev/null | grep -q 'install ok installed' || missing+=("$package")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  echo "Installing: ${missing[*]}"
  local sudo=""
  [ "$(id -u)" -ne 0 ] && sudo="sudo"
  # sudo drops the caller's environment, so the frontend goes through env.
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get update -qq
  $sudo env DEBIAN_FRONTEND=noninteractive apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

# The server launcher that wine64 itself depends on (libwine): the bare
# "wineserver" command comes from the "wine" package, which a minimal install
# of wine64 does not bring.
WINESERVER=/usr/lib/wine/wineserver

# A Wine prefix of the project's own, created before the first program runs in it.
setup_wine() {
  export WINEPREFIX="${WINEPREFIX:-$TOLVANE_ROOT/build/wineprefix}"
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  export WINEARCH=win64
  if [ ! -f "$WINEPREFIX/system.reg" ]; then
    echo "Creating the Wine prefix $WINEPREFIX"
    mkdir -p "$WINEPREFIX"
    /usr/lib/wine/wine64 wineboot --init >/dev/null 2>&1 || true
    "$WINESERVER" -w
  fi
  use_virtual_desktop
}

# Every window opens inside one Wine desktop window: without a window manager
# Wine otherwise waits seconds for each top-level window it hides.
use_virtual_desktop() {
  grep -q '"Desktop"="Default"' "$WINEPREFIX/user.reg" 2>/dev/null && return 0
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer' /v Desktop /d Default /f >/dev/null 2>&1 || true
  /usr/lib/wine/wine64 reg add 'HKCU\Software\Wine\Explorer\Desktops' /v Default /d 1280x1000 /f >/dev/null 2>&1 || true
  "$WINESERVER" -k >/dev/null 2>&1 || true
}

# Starts one persistent Wine server with its services, outside any test: a
# service that a test program started would inherit the test's output pipe and
# keep ctest waiting for it to close. Windows tests need the display they will
# use already set: the desktop process started here draws every window.
start_wine() {
  setup_wine
  # Fails only when this prefix already has a server (an earlier run by hand
  # left it running); that one serves as well.
  "$WINESERVER" -p 2>/dev/null || true
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  "$WINESERVER" -k >/dev/null 2>&1 || true
}
