# Sourced by the scripts: the Windows build, cross-compiled with mingw-w64.
# windows_build [FOLDER] configures and builds velmo.exe in FOLDER (default build-windows),
# building freeglut first when the folder does not hold it yet; extra arguments go to the
# configure step. Everything fetched or built for it stays inside that folder.

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

# freeglut as a static library for Windows, installed into $deps/freeglut once.
windows_build_freeglut() {
  local deps=$1
  local prefix=$deps/freeglut
  [ -f "$prefix/lib/libglut.a" ] && return 0
  local tarball
  tarball=$(windows_fetch_freeglut "$deps") || return 1
  rm -rf "$deps/freeglut-src" "$deps/freeglut-build"
  mkdir -p "$deps/freeglut-src"
  tar -xf "$tarball" -C "$deps/freeglut-src" --strip-components=1
  echo "windows: building freeglut ${WINDOWS_FREEGLUT_VERSION} for Windows"
  cmake -S "$deps/freeglut-src" -B "$deps/freeglut-build" \
    -DCMAKE_TOOLCHAIN_FILE="$(pwd)/$WINDOWS_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DCMAKE_INSTALL_PREFIX="$prefix" -DCMAKE_C_COMPILER_LAUNCHER="$(command -v ccache || true)" \
    -DFREEGLUT_BUILD_SHARED_LIBS=OFF -DFREEGLUT_BUILD_STATIC_LIBS=ON -DFREEGLUT_REPLACE_GLUT=ON \
    -DFREEGLUT_BUILD_DEMOS=OFF -DFREEGLUT_GLES=OFF >/dev/null
  cmake --build "$deps/freeglut-build" -j"$(nproc)" >/dev/null
  cmake --install "$deps/freeglut-build" >/dev/null
}

windows_build() {
  local build=${1:-build-windows}
  shift || true
  mkdir -p "$build/deps"
  windows_build_freeglut "$build/deps"
  cmake -S . -B "$build" -DCMAKE_TOOLCHAIN_FILE="$WINDOWS_TOOLCHAIN" -DCMAKE_BUILD_TYPE=Release \
    -DVELMO_FREEGLUT_DIR="$(pwd)/$build/deps/freeglut" "$@" >/dev/null
  cmake --build "$build" -j"$(nproc)"
}
