# Shared by scripts/test and scripts/run: an X display and a private Wine prefix.
# Source it; every function cleans up after itself through stop_wine_env.

wine_env_pids=()
wine_env_xvfb_log=""
# Without a window manager Wine draws and manages the windows itself.
wine_env_managed=Y

wine_loader() {
  if [ -x /usr/lib/wine/wine64 ]; then echo /usr/lib/wine/wine64; else command -v wine; fi
}

# Starts Xvfb with the screens given as Xvfb arguments, by default two heads of different sizes
# joined by Xinerama; exports DISPLAY.
start_xvfb() {
  local screens=("$@")
  if [ ${#screens[@]} -eq 0 ]; then
    screens=(-screen 0 1280x800x24 -screen 1 1024x768x24 +xinerama)
  fi
  local fdfile
  fdfile=$(mktemp)
  wine_env_xvfb_log=$(mktemp)
  Xvfb -displayfd 3 -nolisten tcp "${screens[@]}" 3>"$fdfile" >"$wine_env_xvfb_log" 2>&1 &
  wine_env_pids+=($!)
  local i
  for i in $(seq 1 100); do
    if [ -s "$fdfile" ]; then break; fi
    sleep 0.1
  done
  if [ ! -s "$fdfile" ]; then
    echo "Xvfb did not start:" >&2
    cat "$wine_env_xvfb_log" >&2
    return 1
  fi
  export DISPLAY=":$(head -n1 "$fdfile")"
  wine_env_managed=N
  rm -f "$fdfile"
  for i in $(seq 1 100); do
    if xdpyinfo >/dev/null 2>&1; then return 0; fi
    sleep 0.1
  done
  echo "Xvfb on $DISPLAY does not answer" >&2
  return 1
}

# Creates (once) and configures a private 64-bit Wine prefix; exports WINEPREFIX and friends.
prepare_prefix() {
  local prefix=$1
  export WINEPREFIX=$prefix
  export WINEARCH=win64
  export WINEDEBUG=-all
  export WINEDLLOVERRIDES="mscoree,mshtml="
  mkdir -p "$prefix"
  local loader
  loader=$(wine_loader)
  if [ ! -f "$prefix/system.reg" ]; then
    "$loader" wineboot --init >/dev/null 2>&1 || true
    wineserver -w
  fi
  local reg
  reg=$(mktemp --suffix=.reg)
  cat >"$reg" <<REG
REGEDIT4

[HKEY_CURRENT_USER\Software\Wine\WineDbg]
"ShowCrashDialog"=dword:00000000

[HKEY_CURRENT_USER\Software\Wine\X11 Driver]
"UseXRandR"="N"
"UseXVidMode"="N"
"Managed"="$wine_env_managed"
REG
  "$loader" regedit /S "$(winepath_of "$reg")" >/dev/null 2>&1 || true
  wineserver -w
  rm -f "$reg"
}

# The Windows form of a Unix path (Wine maps / to drive Z:).
winepath_of() {
  local path
  path=$(readlink -f "$1")
  echo "Z:${path//\//\\}"
}

stop_wine_env() {
  # Waits for the server to end: a run that follows at once on the same prefix must start a server
  # of its own, not reach the dying one, whose windows go to a display that is gone.
  if [ -n "${WINEPREFIX:-}" ]; then
    wineserver -k >/dev/null 2>&1 || true
    wineserver -w >/dev/null 2>&1 || true
  fi
  local pid
  for pid in "${wine_env_pids[@]}"; do
    kill "$pid" >/dev/null 2>&1 || true
    wait "$pid" 2>/dev/null || true
  done
  wine_env_pids=()
  [ -n "$wine_env_xvfb_log" ] && rm -f "$wine_env_xvfb_log"
  return 0
}
