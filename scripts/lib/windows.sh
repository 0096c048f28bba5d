# Sourced by the scripts: the Windows build, cross-compiled with mingw-w64.
. "$(dirname "${BASH_SOURCE[0]}")/build.sh"
#   windows_build FOLDER HOST   builds velmo.exe and the Windows test program in FOLDER; HOST is
#                               a Linux build folder of this tree whose data folder the Windows
#                               build takes (its assetgen is built and run here if needed)
#   windows_package FOLDER HOST  also makes FOLDER/velmo-<version>-win64.zip and prints its path
# freeglut, fetched as Debian's source package and built once for Windows, is kept outside the
# clone in the cache folder (scripts/lib/build.sh), under a name with its version and the cross
# compiler's, so a new clone or a new build folder reuses it and a new version builds afresh.

WINDOWS_TOOLCHAIN=cmake/mingw-w64-x86_64.cmake
WINDOWS_FREEGLUT_VERSION=3.4.0

# Debian's freeglut source package, fetched with apt through a private list of sources and a
# private package index, so the machine's own apt configuration is neither read for sources
# nor changed.
windows_fetch_freeglut() {
  local deps
  deps=$(cd "$1" && pwd)
  local apt=$deps/apt
  local tarball
  tarball=$(ls "$deps"/freeglut_${WINDOWS_FREEGLUT_VERSION}*.orig.tar.* 2>/dev/null | head -n1 || true)
  if [ -n "$tarball" ]; then
    echo "$tarball"
    return 0
  fi
  mkdir -p "$apt/lists/partial" "$apt/sources.list.d"
  cat >"$apt/sources.list.d/debian-src.sources" <<'SOURCES'
Types: deb-src
URIs: http://deb.debian.org/debian
Suites: bookworm
Components: main
Signed-By: /usr/share/keyrings/debian-archive-keyring.gpg
SOURCES
  : >"$apt/sources.list"
  local options=(-o "Dir::Etc::SourceList=$apt/sources.list"
                 -o "Dir::Etc::SourceParts=$apt/sources.list.d"
                 -o "Dir::State::Lists=$apt/lists"
                 -o "Dir::Cache=$apt/cache" -o "Debug::NoLocking=1")
  # apt's download user cannot write into a folder of root's; as root, download as root.
  [ "$(id -u)" -ne 0 ] || options+=(-o "APT::Sandbox::User=root")
  mkdir -p "$apt/cache/archives/partial"
  apt-get "${options[@]}" update -qq >&2
  (cd "$deps" && apt-get "${options[@]}" source --download-only -qq freeglut >&2)
  tarball=$(ls "$deps"/freeglut_${WINDOWS_FREEGLUT_VERSION}*.orig.tar.* 2>/dev/null | head -n1 || true)
  if [ -z "$tarball" ]; then
    echo "windows: Debian's freeglut ${WINDOWS_FREEGLUT_VERSION} source package did not arrive" >&2
    return 1
  fi
  echo "$tarball"
}

# The folder that holds freeglut's static Windows build, made once per freeglut and compiler
# version: prints its path.
windows_freeglut() {
  local compiler
  compiler=$(x86_64-w64-mingw32-g++-posix -dumpfullversion 2>/dev/null || x86_64-w64-mingw32-g++ -dumpversion)
  local prefix
  prefix=$(velmo_cache_dir)/windows/freeglut-${WINDOWS_FREEGLUT_VERSION}-mingw-${compiler}
  if [ ! -f "$prefix/lib/libglut.a" ]; then
    windows_build_freeglut "$prefix" >&2 || return 1
  fi
  echo "$prefix"
}

# freeglut as a static library for Windows, built in a scratch folder and moved into PREFIX whole,
# so a build cut short leaves nothing that looks finished.
windows_build_freeglut() {
  local prefix=$1
  local deps
  mkdir -p "$(dirname "$prefix")"
  deps=$(mktemp -d "$prefix.partial.XXXXXX")
  local tarball
  tarball=$(windows_fetch_freeglut "$deps") || { rm -rf "$deps"; return 1; }
  mkdir -p "$deps/freeglut-src"
  tar -xf "$tarball" -C "$deps/freeglut-src" --strip-components=1
  echo "windows: building freeglut ${WINDOWS_FREEGLUT_VERSION} for Windows into $prefix"
  cmake -S "$deps/freeglut-src" -B "$deps/freeglut-build" \
    -DCMAKE_TOOLCHAIN_FILE="$(pwd)/$WINDOWS_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$deps/freeglut" $(velmo_launcher) \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_REPLACE_GLUT=ON \
    -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF >/dev/null
  # freeglut's own compiler warnings are not ours to fix: they go to a log, shown on failure.
  local log=$deps/freeglut-build.log
  if ! { cmake --build "$deps/freeglut-build" -j"$(nproc)" && cmake --install "$deps/freeglut-build"; } \
      >"$log" 2>&1; then
    cat "$log" >&2
    rm -rf "$deps"
    return 1
  fi
  rm -rf "$prefix"
  mv "$deps/freeglut" "$prefix"
  rm -rf "$deps"
}

# The data tool runs natively; a host folder that is already configured keeps its settings.
windows_host_data() {
  local host=$1
  if [ ! -f "$host/CMakeCache.txt" ]; then
    cmake -S . -B "$host" -DCMAKE_BUILD_TYPE=Release -DVELMO_TESTS=OFF $(velmo_launcher) >/dev/null
  fi
  build_quietly "$host/data-build.log" "$host" assets
}

windows_build() {
  local build=$1 host=$2
  windows_host_data "$host"
  local freeglut
  freeglut=$(windows_freeglut)
  local toolchain=()  # given once: CMake keeps it in the folder and warns when given again
  [ -f "$build/CMakeCache.txt" ] || toolchain=(-DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN")
  cmake -S . -B "$build" "${toolchain[@]}" -DCMAKE_BUILD_TYPE=Release \
    -DVELMO_FREEGLUT_DIR="$freeglut" \
    -DVELMO_HOST_DATA_DIR="$(cd "$host" && pwd)/data" $(velmo_launcher) >/dev/null
  build_quietly "$build/build.log" "$build"
}

# Windows' own DLLs, the only ones velmo.exe may import: a player has nothing else.
WINDOWS_SYSTEM_DLLS="advapi32.dll gdi32.dll glu32.dll kernel32.dll msvcrt.dll opengl32.dll user32.dll winmm.dll"

windows_check_imports() {
  local exe=$1 dll
  for dll in $(x86_64-w64-mingw32-objdump -p "$exe" | sed -n 's/^\s*DLL Name: //p' | tr 'A-Z' 'a-z'); do
    case " $WINDOWS_SYSTEM_DLLS " in
      *" $dll "*) ;;
      *) echo "windows: $exe imports $dll, which is not a system DLL" >&2; return 1 ;;
    esac
  done
}

windows_package() {
  local build=$1 host=$2
  windows_build "$build" "$host"
  local version
  version=$(sed -n 's/^project(velmo VERSION \([0-9.]*\).*/\1/p' CMakeLists.txt)
  local stage=$build/zip
  rm -rf "$stage"
  mkdir -p "$stage/velmo"
  x86_64-w64-mingw32-strip -o "$stage/velmo/velmo.exe" "$build/velmo.exe"
  windows_check_imports "$stage/velmo/velmo.exe"
  cp -R "$host/data/." "$stage/velmo/"
  # Notepad on every Windows version recognises UTF-8 by its byte-order mark.
  { printf '\357\273\277'; sed 's/$/\r/' packaging/windows/README.txt; } >"$stage/velmo/README.txt"
  local zip
  zip=$(pwd)/$build/velmo-$version-win64.zip
  rm -f "$zip"
  (cd "$stage" && cmake -E tar cf "$zip" --format=zip velmo)
  echo "package: $zip"
}
