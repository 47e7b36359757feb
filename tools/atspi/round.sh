#!/usr/bin/env bash
# A whole round of examples/sample.kmd with a screen reader's ears: kuMemo in
# a 1366x768 Xvfb screen under openbox, on a private D-Bus session with the
# accessibility bus, driven by keyboard alone by round.py. Uses build/kuMemo
# (or $KUMEMO); exits non-zero on a failed check.
#
# `round.sh orca` plays the round with Debian's screen reader Orca instead
# and checks what it spoke (orca_round.py; the whole within 90 seconds); its speech
# goes through speech-dispatcher and espeak-ng into libao's null device.
# $ORCA_TRANSCRIPT names a file for what Orca said after each key, $ORCA_LOG
# one for Orca's whole debug log.
set -euo pipefail
cd "$(dirname "$0")/../.."
root=$PWD
mode=${1:-atspi}
program=${KUMEMO:-$root/build/kuMemo}
home=$(mktemp -d)
# The program keeps its learner files beside itself when it can: a copy of
# its own keeps them out of the build.
cp "$program" "$home/kuMemo"
cp examples/sample.kmd examples/kuMemo-ini.txt "$home/"
if [ "$mode" = orca ]; then
  # Orca waits for ever on a speech server that cannot play.
  mkdir -p "$home/.config/KumemoSTUDIOS"
  cp -r /etc/speech-dispatcher "$home/.config/"
  sed -i 's/^#* *AudioOutputMethod .*/AudioOutputMethod "libao"/' \
    "$home/.config/speech-dispatcher/speechd.conf"
  echo "default_driver=null" >"$home/.libao"
  # With one click off a typed answer's first Enter only leaves the entry.
  printf '[kuMemo]\nsetup1Click=False\n' >"$home/.config/KumemoSTUDIOS/kuMemo.conf"
fi
# A display of its own: $DISPLAY_NUMBER, or a free number that Xvfb picks
# and tells.
exec 3>"$home/display"
Xvfb ${DISPLAY_NUMBER:+:$DISPLAY_NUMBER} -displayfd 3 -screen 0 1366x768x24 -nolisten tcp \
  >"$home/xvfb.log" 2>&1 &
xvfb=$!
exec 3>&-
trap 'kill $xvfb 2>/dev/null; rm -rf "$home"' EXIT
for _ in $(seq 300); do [ -s "$home/display" ] && break; sleep 0.1; done
if ! [ -s "$home/display" ] || ! kill -0 $xvfb 2>/dev/null; then
  echo "round.sh: Xvfb did not start" >&2
  cat "$home/xvfb.log" >&2
  exit 1
fi
display=:$(head -n1 "$home/display")
export DISPLAY=$display HOME=$home XDG_CONFIG_HOME=$home/.config XDG_DATA_HOME=$home/.local
export XDG_RUNTIME_DIR=$home/run SCREENSHOT=${SCREENSHOT:-} MODE=$mode
mkdir -m 700 "$XDG_RUNTIME_DIR"
dbus-run-session -- bash -c '
  set -u
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
  # The window manager must be there to frame and focus the first window;
  # on a busy machine it may miss the new display once, so it gets three
  # tries.
  for _ in 1 2 3; do
    openbox >>"$HOME/openbox.log" 2>&1 &
    wm=$!
    for _ in $(seq 100); do
      xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q "window id" && break 2
      kill -0 $wm 2>/dev/null || break
      sleep 0.1
    done
    kill $wm 2>/dev/null
  done
  sleep 0.5
  cd "$HOME"
  reader=
  if [ "$MODE" = orca ]; then
    /usr/bin/python3 "'"$root"'/tools/atspi/orca_logged.py" "$HOME/orca.log" --replace \
      >"$HOME/orca.out" 2>&1 &
    reader=$!
    for _ in $(seq 100); do
      grep -q "SPEECH OUTPUT" "$HOME/orca.log" 2>/dev/null && break
      sleep 0.1
    done
  fi
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb \
    ./kuMemo "$HOME/sample.kmd" >"$HOME/kuMemo.log" 2>&1 &
  app=$!
  status=0
  if [ "$MODE" = orca ]; then
    timeout 75 /usr/bin/python3 -u "'"$root"'/tools/atspi/orca_round.py" "$HOME/sample.kmd" \
      "$HOME/orca.log" || status=$?
  else
    sleep 2
    timeout 120 /usr/bin/python3 -u "'"$root"'/tools/atspi/round.py" "$HOME/sample.kmd" || status=$?
  fi
  kill $app $bus $wm $reader 2>/dev/null
  [ -z "${ORCA_LOG:-}" ] || cp "$HOME/orca.log" "$ORCA_LOG"
  speechd=$XDG_RUNTIME_DIR/speech-dispatcher/pid/speech-dispatcher.pid
  [ -s "$speechd" ] && kill "$(cat "$speechd")" 2>/dev/null
  [ $status -eq 0 ] || cat "$HOME/openbox.log" "$HOME/kuMemo.log" >&2
  exit $status'
