# Sourced by the scripts: configuring and building velmo's build folders the same way everywhere.
#   velmo_cache_dir             where builds keep what outlives a clone (freeglut for Windows,
#                               Wine's prefix): VELMO_CACHE_DIR, else ~/.cache/velmo
#   velmo_launcher              the CMake arguments that put ccache before the compilers, when the
#                               machine has it (its cache lives outside the clone, in ccache's own
#                               folder: CCACHE_DIR, else ~/.cache/ccache)
#   configure_release FOLDER [CMAKE ARGUMENT...]  the release build: Debian's build flags,
#                               installed under /usr, with the installation, the icons and the
#                               package (VELMO_PACKAGING)
#   configure_sanitized FOLDER  the build with the address and undefined-behaviour sanitizers
#   build_quietly LOG FOLDER [TARGET...]  builds, printing one progress line instead of the
#                               compiler's output, which goes to LOG (shown when the build fails)

velmo_cache_dir() {
  local dir=${VELMO_CACHE_DIR:-${XDG_CACHE_HOME:-$HOME/.cache}/velmo}
  mkdir -p "$dir"
  (cd "$dir" && pwd)
}

velmo_launcher() {
  if command -v ccache >/dev/null; then
    echo -DCMAKE_C_COMPILER_LAUNCHER=ccache -DCMAKE_CXX_COMPILER_LAUNCHER=ccache
  fi
}
# Paths inside the clone are hashed relative to it, so a fresh clone elsewhere hits the cache.
export CCACHE_BASEDIR=${CCACHE_BASEDIR:-$(pwd)}

# Debian's flags (hardening included), as the package's own build uses them.
configure_release() {
  local build=$1
  shift
  local -x DEB_BUILD_MAINT_OPTIONS=hardening=+all
  local cppflags
  cppflags=$(dpkg-buildflags --get CPPFLAGS)
  cmake -S . -B "$build" -DCMAKE_BUILD_TYPE=Release -DVELMO_PACKAGING=ON -DCMAKE_INSTALL_PREFIX=/usr \
    $(velmo_launcher) \
    "-DCMAKE_C_FLAGS=$cppflags $(dpkg-buildflags --get CFLAGS)" \
    "-DCMAKE_CXX_FLAGS=$cppflags $(dpkg-buildflags --get CXXFLAGS)" \
    "-DCMAKE_EXE_LINKER_FLAGS=$(dpkg-buildflags --get LDFLAGS)" "$@" >/dev/null
}

configure_sanitized() {
  cmake -S . -B "$1" -DCMAKE_BUILD_TYPE=RelWithDebInfo -DVELMO_SANITIZE=ON $(velmo_launcher) >/dev/null
}

build_quietly() {
  local log=$1 build=$2
  shift 2
  local targets=()
  local target
  for target in "$@"; do targets+=(--target "$target"); done
  local start=$SECONDS
  : >"$log"
  cmake --build "$build" -j"$(nproc)" "${targets[@]}" >>"$log" 2>&1 &
  local builder=$!
  # The make's own percentage, the last one it printed, on one line.
  while kill -0 "$builder" 2>/dev/null; do
    local done_part
    done_part=$(grep -o '^\[ *[0-9]*%\]' "$log" | tail -n1 | tr -d '[] ' || true)
    [ ! -t 1 ] || printf '\rbuild: %s %s (%d s; everything in %s)' "$build" "${done_part:-0%}" \
      $((SECONDS - start)) "$log"
    sleep 1
  done
  local status=0
  wait "$builder" || status=$?
  [ ! -t 1 ] || printf '\r\033[K'
  if [ "$status" -ne 0 ]; then
    tail -n 60 "$log" >&2
    echo "build: $build failed; the whole output is in $log" >&2
    return "$status"
  fi
  echo "build: $build built in $((SECONDS - start)) s (the compiler's output is in $log)"
}
