#!/usr/bin/env bash
# Runs a command under Wine on a display of its own whose monitors are the heads given, as the
# stand-in Xinerama library reports them to Wine ("WIDTHxHEIGHT+X+Y ...", the first one primary):
#   with-monitors.sh <Wine prefix> <Xvfb screen WIDTHxHEIGHT> <heads> <folder of libXinerama.so.1> <command...>
# The prefix must be one that no other running test uses: Wine reads the monitors when its server
# starts, so every run starts and ends a server of its own.
set -euo pipefail
# Never the caller's prefix: stopping this run must not stop the server of other tests.
unset WINEPREFIX
source "$(dirname "$0")/wine-env.sh"
trap stop_wine_env EXIT
trap 'exit 130' INT TERM

prefix=$1 screen=$2 heads=$3 library=$4
shift 4
start_xvfb -screen 0 "${screen}x24"
# Set only now: the X tools that start_xvfb runs must use the real library.
export LD_LIBRARY_PATH="$library${LD_LIBRARY_PATH:+:$LD_LIBRARY_PATH}"
export QM_XINERAMA_HEADS="$heads"
prepare_prefix "$prefix"
# Ended before ctest's own deadline (600 s), which would kill this script before it cleans up.
timeout --kill-after=10 540 "$@"
