# Sourced by the harness scripts: everything a test run does under Wine stays
# inside the test environment folder given as $1 (inside the build folder).
env_dir=$(cd "$1" 2>/dev/null && pwd || echo "$1")
export VANTOREL_TEST_ENV="$env_dir"
export WINEPREFIX="$env_dir/prefix"
export HOME="$env_dir/home"
export XDG_CONFIG_HOME="$HOME/.config" XDG_DATA_HOME="$HOME/.local/share" XDG_CACHE_HOME="$HOME/.cache"
export WINEARCH=win64
export WINEDEBUG=-all
# No Mono or Gecko install prompts.
export WINEDLLOVERRIDES="mscoree,mshtml="
unset WAYLAND_DISPLAY
# A run made for another locale (setup.sh <dir> <locale>) runs every program
# in it, from the locale built into the folder, never one of the machine's.
if [ -s "$env_dir/lc_all" ]; then
  export LOCPATH="$env_dir/locale" LC_ALL="$(cat "$env_dir/lc_all")"
fi
if [ -s "$env_dir/display" ]; then
  export DISPLAY="$(cat "$env_dir/display")"
else
  unset DISPLAY
fi
