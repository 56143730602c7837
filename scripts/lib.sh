# Shared by the scripts: installing what is missing and the Wine environment.
# Sourced, not run.

TOLVANE_ROOT="$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)"

TOLVANE_PACKAGES=(
  cmake ninja-build g++ googletest libgtest-dev libgmock-dev libcli11-dev
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
  $sudo apt-get update -qq
  DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends "${missing[@]}" >/dev/null
}

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
    wineserver -w
  fi
}

# Starts one persistent Wine server with its services, outside any test: a
# service that a test program started would inherit the test's output pipe and
# keep ctest waiting for it to close.
start_wine() {
  setup_wine
  wineserver -p
  /usr/lib/wine/wine64 wineboot </dev/null >/dev/null 2>&1 || true
}

stop_wine() {
  wineserver -k >/dev/null 2>&1 || true
}
