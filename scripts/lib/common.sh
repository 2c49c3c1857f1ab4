# Shared by scripts/test and scripts/demo: the Debian packages the project
# needs, installed when missing, and the build.

PACKAGES=(
  cmake ninja-build g++ pkg-config
  libgtest-dev
  qt6-base-dev libgl-dev libfontconfig-dev
  libsqlite3-dev
  libssl-dev openssl
  libxml2-dev
  fonts-nanum fonts-dejavu-core
  # The fuzz targets: clang with libFuzzer and AddressSanitizer
  clang-14 libclang-rt-14-dev
  # Windows builds (MinGW-w64, and OpenSSL built from Debian's source
  # package by scripts/lib/openssl_windows.sh) and their runs under Wine
  g++-mingw-w64-x86-64-posix g++-mingw-w64-i686-posix
  binutils-mingw-w64-x86-64 binutils-mingw-w64-i686
  dpkg-dev perl make
  wine wine64 xvfb locales
)

ensure_packages() {
  local missing=()
  local p
  for p in "${PACKAGES[@]}"; do
    dpkg-query -W -f='${Status}' "$p" 2>/dev/null | grep -q "install ok installed" || missing+=("$p")
  done
  [ ${#missing[@]} -eq 0 ] && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Installing missing Debian packages: ${missing[*]}"
    DEBIAN_FRONTEND=noninteractive apt-get update -qq
    DEBIAN_FRONTEND=noninteractive apt-get install -y -qq "${missing[@]}" >/dev/null
  else
    echo "Missing Debian packages. Install them with:"
    echo "  sudo apt-get install -y ${missing[*]}"
    exit 1
  fi
}

# Wine runs the Windows programs with the ANSI code page of a Korean
# Windows (949), which it takes from the locale ko_KR.UTF-8.
ensure_korean_locale() {
  locale -a 2>/dev/null | grep -qi '^ko_KR\.utf-\?8$' && return 0
  if [ "$(id -u)" -eq 0 ]; then
    echo "Generating the ko_KR.UTF-8 locale"
    sed -i 's/^# *\(ko_KR.UTF-8 UTF-8\)/\1/' /etc/locale.gen
    grep -q '^ko_KR.UTF-8 UTF-8' /etc/locale.gen || echo 'ko_KR.UTF-8 UTF-8' >> /etc/locale.gen
    locale-gen >/dev/null
  else
    echo "The ko_KR.UTF-8 locale is missing. Generate it with:"
    echo "  sudo sed -i 's/^# *ko_KR.UTF-8/ko_KR.UTF-8/' /etc/locale.gen && sudo locale-gen"
    exit 1
  fi
}

# The Windows executables and the shipped folders (build-windows/).
build_windows() {
  cmake --workflow --preset windows
}

# Configures and builds one preset (default, asan or tsan).
build_preset() {
  local preset=$1
  cmake --preset "$preset" >/dev/null
  cmake --build --preset "$preset" -j2
}
