# How this machine runs Windows programs, decided in this one place and sourced by every
# script that starts Wine (the test emulator wine-run.sh among them). It sets and exports:
#   WINEPREFIX, WINEDEBUG, WINEDLLOVERRIDES  the project's prefix and quiet settings
#   QV_WINE_32BIT      yes when 32-bit Windows programs run here, else no
#   QV_WINE_32BIT_WHY  why they do not, on one line
#   QV_WINE            the Wine loader to start every program with
# Debian's /usr/bin/wine always starts the 32-bit loader once wine32 is installed, and a
# kernel whose 32-bit emulation is off refuses that loader ("Exec format error"), so every
# Wine call would fail, for 64-bit programs too. Where 32-bit programs cannot run, every
# call goes to the 64-bit loader instead, with WINELOADER naming it for the programs Wine
# starts itself. QV_NO_32BIT=1 makes a machine that runs 32-bit programs behave as one that
# does not. The answer is found once and handed down through the environment.

qv_root=$(cd "$(dirname "${BASH_SOURCE[0]}")/.." && pwd)
export WINEPREFIX="${WINEPREFIX:-$qv_root/.wine}"
export WINEDEBUG="${WINEDEBUG:--all}"
export WINEDLLOVERRIDES="${WINEDLLOVERRIDES:-mscoree,mshtml=}"

QV_WINE32_LOADER=/usr/lib/wine/wine
QV_WINE64_LOADER=/usr/lib/wine/wine64
QV_NO_32BIT_KERNEL="this machine runs no 32-bit programs (kernel 32-bit emulation is off)"

# True when the kernel runs a 32-bit program: Wine's 32-bit loader where it is installed,
# else three instructions assembled for i386 (binutils comes with the compilers).
qv_kernel_runs_32bit() {
  if [ -x "$QV_WINE32_LOADER" ]; then
    "$QV_WINE32_LOADER" --version >/dev/null 2>&1
    return
  fi
  local dir rc=0
  dir=$(mktemp -d)
  printf '.globl _start\n_start:\n movl $1, %%eax\n xorl %%ebx, %%ebx\n int $0x80\n' >"$dir/exit.s"
  as --32 -o "$dir/exit.o" "$dir/exit.s" && ld -m elf_i386 -o "$dir/exit" "$dir/exit.o" &&
    "$dir/exit" 2>/dev/null || rc=1
  rm -rf "$dir"
  return $rc
}

if [ -z "${QV_WINE_32BIT:-}" ] || [ -z "${QV_WINE:-}" ]; then
  QV_WINE_32BIT=no
  if [ "${QV_NO_32BIT:-}" = 1 ]; then
    QV_WINE_32BIT_WHY="QV_NO_32BIT=1 makes this machine count as one that runs no 32-bit programs"
  elif ! qv_kernel_runs_32bit; then
    QV_WINE_32BIT_WHY=$QV_NO_32BIT_KERNEL
  elif [ ! -x "$QV_WINE32_LOADER" ]; then
    QV_WINE_32BIT_WHY="Wine's 32-bit part (wine32:i386) is not installed; scripts/setup.sh installs it"
  else
    QV_WINE_32BIT=yes
    QV_WINE_32BIT_WHY=""
  fi
  if [ "$QV_WINE_32BIT" = yes ]; then
    QV_WINE=wine
  else
    QV_WINE=$QV_WINE64_LOADER
    export WINELOADER=$QV_WINE64_LOADER
  fi
  export QV_WINE_32BIT QV_WINE_32BIT_WHY QV_WINE
fi
