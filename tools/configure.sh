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
  # Files of two owners in one build folder break the next build of one of
  # them: an earlier run under sudo leaves files only root may write, and a
  # run under sudo would leave such files in a user's folder.
  if [ -e "$build" ] && [ -n "$(find "$build" ! -user "$(id -u)" -print -quit)" ]; then
    echo "$(basename "$0"): $build holds files of another user than $(id -un)." >&2
    if [ "$(id -u)" -eq 0 ]; then
      echo "Run the command as the folder's owner, without sudo." >&2
    else
      echo "Take them back with: sudo chown -R $(id -un): '$build'   or remove the folder." >&2
    fi
    exit 1
  fi
  cmake -S "$source" -B "$build" -G Ninja -DCMAKE_BUILD_TYPE=Release "$@"
}
