# What the release tests share: where the second build lives, how it is configured, and
# the Python checks (Debian's python3, with python3-jsonschema and python3-yaml).
SECOND_SOURCE=release-test/source
SECOND_BUILD=release-test/build

# configure_second_build <source> <build> [cmake options...]: the windows preset's
# settings in another folder. The package target then builds only what it packs.
configure_second_build() {
  local source=$1 build=$2
  shift 2
  cmake -S "$source" -B "$build" -G "Unix Makefiles" \
    -DCMAKE_TOOLCHAIN_FILE="$source/cmake/mingw-w64-x86_64.cmake" \
    -DCMAKE_BUILD_TYPE=Release -DCMAKE_SKIP_INSTALL_ALL_DEPENDENCY=ON "$@" >/dev/null
}

python_checks() {
  local python=/usr/bin/python3
  [ -x "$python" ] || python=python3
  "$python" "$(dirname "${BASH_SOURCE[0]}")/check_release.py" "$@"
}
