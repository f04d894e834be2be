# Sourced by run.sh, test.sh and package.sh: installs whatever is missing and
# configures a build folder, refusing one that belongs to someone else.
#   vz_configure SOURCE BUILD [install-deps.sh arguments...] -- [cmake arguments...]
vz_configure() {
  local source="$1" build="$2"
  shift 2
  local deps=()
  while [ $# -gt 0 ] && [ "$1" != "--" ]; do deps+=("$1"); shift; done
  [ $# -gt 0 ] && shift
  bash "$source/tools/install-deps.sh" "${deps[@]}"
  # An earlier run under sudo leaves a build folder that only root may write.
  if [ -e "$build" ] && [ -n "$(find "$build" ! -user "$(id -u)" -print -quit)" ]; then
    echo "$(basename "$0"): $build holds files of another user (an earlier run under sudo?)." >&2
    echo "Take them back with: sudo chown -R $(id -un): '$build'   or remove the folder." >&2
    exit 1
  fi
  cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
}
