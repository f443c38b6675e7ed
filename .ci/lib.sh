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

# Whether this machine's kernel runs 32-bit x86 programs: a static program of a
# few instructions that only exits, built with the native compiler (no 32-bit
# C library needed).
runs_i386_code() {
  local dir
  dir=$(mktemp -d)
  printf '%s\n' 'void _start(void) { __asm__ volatile("movl $1, %eax\n\txorl %ebx, %ebx\n\tint $0x80"); }' >"$dir/exit.c"
  local status=0
  { gcc -m32 -nostdlib -static -o "$dir/exit" "$dir/exit.c" && "$dir/exit"; } >/dev/null 2>&1 || status=1
  rm -rf "$dir"
  return $status
}
