#!/usr/bin/env bash
# The armhf stage: its row in docs/platforms.md ("Targets") says what it builds,
# runs and leaves out, and why.
# packages: g++-arm-linux-gnueabihf libc6-dev-armhf-cross cmake ninja-build googletest python3 qemu-user
set -euo pipefail
source "$(dirname "$0")/../lib.sh"
cross_stage armhf arm-linux-gnueabihf

program=build-ci/armhf/pigreco
run_on() { qemu-arm -cpu "$1" -L /usr/arm-linux-gnueabihf "$program"; }

python3 tests/end_to_end.py "$program" --emulator "qemu-arm -cpu cortex-a7 -L /usr/arm-linux-gnueabihf"
echo "armhf: the end-to-end cases pass on a Cortex-A7 (Raspberry Pi 2)"

# 132 = 128 + SIGILL: the first ARMv7 instruction, in the C library's start-up.
status=0
echo 1 | run_on arm1176 >/dev/null 2>&1 || status=$?
if [ "$status" -ne 132 ]; then
  echo "armhf: FAILED: on an ARM1176 (Raspberry Pi 1, Zero) the program ended with status $status, not" \
       "an illegal instruction: the user pages say it does not run there"
  exit 1
fi
echo "armhf: on an ARM1176 (Raspberry Pi 1, Zero) the program dies of an illegal instruction, as the user pages say"
