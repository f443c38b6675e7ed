# Shared by the stage scripts: configure, build and test one build folder.
#   build_and_test NAME [cmake options...] [-- ctest options...]
build_and_test() {
  local name=$1
  shift
  local cmake_args=() ctest_args=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do cmake_args+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  ctest_args=("$@")
  local dir="build-ci/$name"
  cmake -S . -B "$dir" -G Ninja -DPIGRECO_WERROR=ON "${cmake_args[@]}"
  cmake --build "$dir" -j "$(nproc)"
  ctest --test-dir "$dir" --output-on-failure -j "$(nproc)" "${ctest_args[@]}"
}
