#!/usr/bin/env bash
# Whether the 32-bit program's Windows tests can run here, and what they need.
#   scripts/wine32.sh setup   install wine32 where 32-bit programs run; print why not otherwise
#   scripts/wine32.sh ready   exit 0 when the 32-bit leg can run, else print why not and exit 1
# wine32 is only installed where the kernel runs 32-bit programs: installed elsewhere, it makes
# the wine command pick a loader that cannot start, and every Wine run fails.
set -uo pipefail
action=${1:?setup or ready}

# Builds and runs a 32-bit ELF that only exits, with the binutils g++ brings.
kernel_runs_32bit() {
  local dir
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
  local ok=1
  if as --32 -o "$dir/exit.o" "$dir/exit.s" 2>/dev/null &&
    ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" 2>/dev/null &&
    "$dir/exit" 2>/dev/null; then
    ok=0
  fi
  rm -rf "$dir"
  return $ok
}

wine32_installed() {
  dpkg-query -W -f='${Status}' wine32:i386 2>/dev/null | grep -q 'install ok installed'
}

skip() { echo "32-bit leg skipped: $*"; }

case "$action" in
  ready)
    if ! kernel_runs_32bit; then
      skip "this machine's kernel does not run 32-bit programs"
      exit 1
    fi
    if ! wine32_installed; then
      skip "wine32 (i386) could not be installed from the package archive"
      exit 1
    fi
    ;;
  setup)
    kernel_runs_32bit || exit 0 # 'ready' says so once, where the tests are run
    wine32_installed && exit 0
    sudo=""
    [ "$(id -u)" -eq 0 ] || sudo=sudo
    echo "Installing wine32 (i386) for the 32-bit program's tests"
    if ! { $sudo dpkg --add-architecture i386 && $sudo apt-get update -qq &&
      DEBIAN_FRONTEND=noninteractive $sudo apt-get install -y -qq --no-install-recommends \
        wine32:i386 >/dev/null; }; then
      # A half-installed wine32 is worse than none: take it away again.
      $sudo apt-get remove -y -qq wine32:i386 >/dev/null 2>&1 || true
    fi
    ;;
  *)
    echo "unknown action $action" >&2
    exit 2
    ;;
esac
exit 0
