#!/usr/bin/env bash
# Builds OpenSSL's libraries for Windows with the MinGW-w64 cross compilers,
# from Debian's source package of openssl, into a cache shared by every build
# folder:
#
#   scripts/lib/openssl_windows.sh x64|x86
#
# The install prefix
#   ${VELTRANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/veltrane}/openssl/<debian-version>-<target>/
# holds include/, lib/libcrypto.a and lib/libssl.a (with the DLLs' import
# libraries beside them) and bin/ with the two DLLs; its file `stamp` is
# written last, so a prefix with a stamp is complete. The prefix is the last
# line printed on stdout; build output goes to openssl/build-<target>.log.
#
# The source package is downloaded once and kept in openssl/source/: its
# version names every prefix, so later calls never ask apt again. Remove the
# openssl/ folder to move to a newer Debian release of the package.
# Calls for both targets may run at the same time: they take turns on
# openssl/lock.
set -euo pipefail

target=${1:-}
case "$target" in
  x64) ossl_target=mingw64 triplet=x86_64-w64-mingw32 dll_suffix=-x64 ;;
  x86) ossl_target=mingw triplet=i686-w64-mingw32 dll_suffix= ;;
  *) echo "usage: $0 x64|x86" >&2; exit 2 ;;
esac

cache=${VELTRANE_CACHE:-${XDG_CACHE_HOME:-$HOME/.cache}/veltrane}
root=$cache/openssl
srcdir=$root/source
log=$root/build-$target.log
crypto_dll=libcrypto-3$dll_suffix.dll
ssl_dll=libssl-3$dll_suffix.dll

# Only the libraries, in C: no assembler modules, tests or engines, which
# the product does not need and which only lengthen the build.
options=(no-asm no-tests no-engine shared)
# The folders compiled into libcrypto (openssl.cnf, provider modules) would
# name this cache; on Windows such a path means a folder on the current
# drive that any user could create. They name OpenSSL's own Windows default
# instead, which only administrators can write. Configure takes any path
# not starting with "/" as relative to the prefix, so they are set on
# make's command line.
windows_dir='C:/Program Files/Common Files/SSL'
dir_vars=(OPENSSLDIR="$windows_dir" ENGINESDIR="$windows_dir/engines-3"
  MODULESDIR="$windows_dir/ossl-modules")

# The version of the source package kept in the cache, empty when none is.
cached_version() {
  local dsc
  for dsc in "$srcdir"/openssl_*.dsc; do
    [ -f "$dsc" ] || continue
    sed -n 's/^Version: *//p' "$dsc"
    return 0
  done
}

prefix_of() { echo "$root/$1-$target"; }

# Complete already: nothing to fetch or build.
version=$(cached_version || true)
if [ -n "$version" ] && [ -f "$(prefix_of "$version")/stamp" ]; then
  prefix_of "$version"
  exit 0
fi

mkdir -p "$root"
exec 9>"$root/lock"
flock 9

# Messages go to the caller's stderr (fd 8) even from a step whose output
# is sent to the log.
exec 8>&2
: >"$log"
fail() {
  {
    echo "openssl_windows.sh ($target): $*"
    if [ -s "$log" ]; then
      echo "--- last lines of $log ---"
      tail -n 40 "$log"
    fi
  } >&8
  exit 1
}
trap 'fail "failed at line $LINENO"' ERR

# Runs one build step with its output in the log.
step() {
  local what=$1
  shift
  echo "== $what" >>"$log"
  "$@" >>"$log" 2>&1 </dev/null || fail "$what failed"
}

# Whether apt knows of any source entry at all, in either format.
has_deb_src() {
  local f
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] && grep -Eq '^[[:space:]]*deb-src[[:space:]]' "$f" && return 0
  done
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] && grep -Eiq '^Types:.*\bdeb-src\b' "$f" && return 0
  done
  return 1
}

# Adds, in a file of its own, a deb-src entry for every enabled deb entry.
add_deb_src() {
  local out=/etc/apt/sources.list.d/veltrane-deb-src
  local f
  for f in /etc/apt/sources.list.d/*.sources; do
    [ -f "$f" ] || continue
    # deb822: paragraphs split by blank lines; continuation lines (starting
    # with a blank) belong to the field before them and are copied as they are.
    awk '
      function flush(   i) {
        if (n && deb && !disabled) {
          if (printed++) print ""
          for (i = 1; i <= n; i++) print lines[i]
        }
        n = 0; deb = 0; disabled = 0
      }
      /^[[:space:]]*$/ { flush(); next }
      /^#/ { next }
      tolower($1) == "types:" {
        for (i = 2; i <= NF; i++) if ($i == "deb") deb = 1
        lines[++n] = "Types: deb-src"; next
      }
      tolower($1) == "enabled:" && tolower($2) == "no" { disabled = 1 }
      { lines[++n] = $0 }
      END { flush() }
    ' "$f"
  done >"$out.sources"
  [ -s "$out.sources" ] || rm -f "$out.sources"
  for f in /etc/apt/sources.list /etc/apt/sources.list.d/*.list; do
    [ -f "$f" ] || continue
    sed -n 's/^[[:space:]]*deb[[:space:]]/deb-src /p' "$f"
  done >"$out.list"
  [ -s "$out.list" ] || rm -f "$out.list"
  [ -e "$out.sources" ] || [ -e "$out.list" ] || fail "no deb entry in /etc/apt to derive a deb-src entry from"
}

apt_source_known() { [ -n "$(apt-cache showsrc openssl 2>/dev/null)" ]; }

fetch_source() {
  if ! apt_source_known; then
    [ "$(id -u)" -eq 0 ] || fail "apt has no source entry for openssl; as root, run this script once (it adds a deb-src entry), or add one and run apt-get update"
    if ! has_deb_src; then
      echo "adding a deb-src entry" >>"$log"
      add_deb_src
    fi
    DEBIAN_FRONTEND=noninteractive apt-get update -o DPkg::Lock::Timeout=300 >>"$log" 2>&1 ||
      fail "apt-get update failed"
    apt_source_known || fail "apt still has no source of openssl after apt-get update"
  fi
  local tmp=$root/source.partial codename
  # shellcheck disable=SC1091
  codename=$(. /etc/os-release && echo "${VERSION_CODENAME:-bookworm}")
  rm -rf "$tmp" && mkdir -p "$tmp"
  # The newest version first (the security suite's); when its files cannot
  # be had, the release's own.
  if ! (cd "$tmp" && apt-get source --download-only openssl) >>"$log" 2>&1; then
    echo "falling back to openssl from $codename" >>"$log"
    rm -rf "$tmp" && mkdir -p "$tmp"
    (cd "$tmp" && apt-get source --download-only "openssl/$codename") >>"$log" 2>&1 ||
      fail "apt-get source openssl failed"
  fi
  rm -rf "$srcdir"
  mv "$tmp" "$srcdir"
}

version=$(cached_version || true)
if [ -z "$version" ]; then
  fetch_source
  version=$(cached_version || true)
  [ -n "$version" ] || fail "no openssl .dsc in $srcdir"
fi
prefix=$(prefix_of "$version")

# Another call may have finished this target while this one waited.
if [ -f "$prefix/stamp" ]; then
  echo "$prefix"
  exit 0
fi

work=$root/build-$version-$target
rm -rf "$work" "$prefix"
mkdir -p "$work"
echo "== OpenSSL $version for $target ($ossl_target, $triplet), started $(date -u +%H:%M:%S)" >>"$log"
step "unpacking the source package" dpkg-source -x "$srcdir"/openssl_*.dsc "$work/src"

# Only this script's own settings reach OpenSSL's build: a caller's flags
# (meant for the host compiler) or make job server would not fit.
build_env=(env -u CC -u CXX -u CFLAGS -u CXXFLAGS -u CPPFLAGS -u LDFLAGS -u LDLIBS
  -u AR -u RANLIB -u RC -u WINDRES -u MAKEFLAGS -u MFLAGS -u MAKELEVEL)
cd "$work/src"
step "configuring" "${build_env[@]}" ./Configure "$ossl_target" \
  --cross-compile-prefix="$triplet-" CC=gcc-posix \
  --prefix="$prefix" --libdir=lib "${options[@]}"
# Configure compiles every source of libcrypto and libssl twice, once for
# the static libraries and once for the DLLs, with the same rule (the same
# flags and defines) each time; the DLLs add only dllmain, their version
# resources and three sources of libssl's own. So the static libraries are
# archived from the DLLs' objects: a third less to compile. Should a later
# release compile the two differently, each keeps its own objects.
same_rules_for_both() {
  awk '
    function flush() {
      if (name != "") { if (shared) dll[name] = text; else lib[name] = text }
      name = ""
    }
    /^[^ \t]/ { flush() }
    /^[^ \t][^:]*lib(crypto|ssl)-(sh)?lib-[^:]*\.obj:/ {
      shared = $0 ~ /^[^:]*-shlib-/
      text = $0
      gsub(/-shlib-|-lib-/, "-*-", text)
      name = substr(text, 1, index(text, ":") - 1)
      next
    }
    name != "" { line = $0; gsub(/-shlib-|-lib-/, "-*-", line); text = text "\n" line }
    END {
      flush()
      for (n in lib) { count++; if (!(n in dll) || dll[n] != lib[n]) exit 1 }
      exit count == 0
    }
  ' Makefile
}
share_objects() {
  if ! same_rules_for_both; then
    echo "the static libraries' objects are not compiled as the DLLs' are: kept apart"
    return 0
  fi
  awk '
    /^lib(crypto|ssl)\.a:/ { inside = 1 }
    inside && /^[^ \t]/ && !/^lib(crypto|ssl)\.a:/ { inside = 0 }
    inside { gsub(/libcrypto-lib-/, "libcrypto-shlib-"); gsub(/libssl-lib-/, "libssl-shlib-") }
    { print }
  ' Makefile >Makefile.shared
  grep -q 'libcrypto-shlib-' <(sed -n '/^libcrypto\.a:/,/RANLIB/p' Makefile.shared) || return 1
  mv Makefile.shared Makefile
}
step "archiving the static libraries from the DLLs' objects" share_objects
step "building" "${build_env[@]}" make -j2 build_libs "${dir_vars[@]}"
step "installing" "${build_env[@]}" make install_dev "${dir_vars[@]}"
cd "$root"

for f in include/openssl/conf.h lib/libcrypto.a lib/libssl.a \
         lib/libcrypto.dll.a lib/libssl.dll.a "bin/$crypto_dll" "bin/$ssl_dll"; do
  [ -f "$prefix/$f" ] || fail "missing $prefix/$f after the install"
done

rm -rf "$work"
{
  echo "openssl $version"
  echo "target $target ($ossl_target, $triplet)"
  echo "options ${options[*]}"
  echo "built $(date -u +%Y-%m-%dT%H:%M:%SZ)"
} >"$prefix/stamp.partial"
mv "$prefix/stamp.partial" "$prefix/stamp"
echo "$prefix"
