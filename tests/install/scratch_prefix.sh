# A scratch Wine prefix of its own for a test of the release packages, never the build's:
# sourced by the install tests and the signing test.
#   scratch_prefix <folder>   empties the folder and points Wine into it; the prefix is
#                             removed again when the script ends
#   make_scratch_prefix       makes the prefix and keeps a Wine server running for it
scratch_prefix() {
  scratch=$1
  export WINEPREFIX="$scratch/prefix" WINEDEBUG=-all
  # No Mono or Gecko prompts, and no menu entries or icons written for the Linux desktop.
  export WINEDLLOVERRIDES="mscoree,mshtml=;winemenubuilder.exe=d"
  export XDG_DATA_HOME="$scratch/xdg-data" XDG_CONFIG_HOME="$scratch/xdg-config"
  [ -d "$WINEPREFIX" ] && finish_scratch_prefix
  rm -rf "$scratch"
  mkdir -p "$XDG_DATA_HOME" "$XDG_CONFIG_HOME"
  trap finish_scratch_prefix EXIT
}

finish_scratch_prefix() {
  wineserver -k 2>/dev/null || true
  rm -rf "$WINEPREFIX"
}

make_scratch_prefix() {
  echo "== a fresh Wine prefix in $WINEPREFIX"
  # A copy of the prepared prefix where the caller names one (QV_PREFIX_TEMPLATE), which
  # takes a second instead of a fresh one's fifteen.
  "$(dirname "${BASH_SOURCE[0]}")/../../scripts/wine-prefix.sh" ${QV_PREFIX_TEMPLATE:+--copy-of "$QV_PREFIX_TEMPLATE"}
  wineserver -p 2>/dev/null || true
}
