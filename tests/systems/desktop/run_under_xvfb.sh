#!/usr/bin/env bash
# Runs a command on a virtual X screen of its own: the desktop tests need one, and a screen
# of 1280 x 1024 is where the layer centres its dialogs.
#
# Xvfb picks a free display itself (-displayfd) and says which once it accepts clients.
# xvfb-run -a guesses a free number from lock files instead, and two servers started at
# the same moment on one machine (another test run, another user) can take the same one.
# -noreset: by default the server starts over whenever its last client leaves, and a client
# connecting in that moment (the program, right after an xdotool call) is refused.
set -euo pipefail
if ! command -v Xvfb >/dev/null 2>&1; then
  echo "Xvfb is missing: run scripts/install-deps.sh" >&2
  exit 1
fi
folder=$(mktemp -d)
server=
cleanup() {
  if [ -n "$server" ]; then kill "$server" 2>/dev/null || true; wait "$server" 2>/dev/null || true; fi
  rm -rf "$folder"
}
trap cleanup EXIT
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$folder/display" 2>"$folder/log" &
server=$!
for _ in $(seq 200); do
  [ -s "$folder/display" ] && break
  sleep 0.05
done
if [ ! -s "$folder/display" ]; then
  echo "Xvfb did not start:" >&2
  cat "$folder/log" >&2
  exit 1
fi
DISPLAY=":$(head -n 1 "$folder/display")"
export DISPLAY
"$@"
