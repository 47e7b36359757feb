#!/usr/bin/env bash
# Tries kuMemo as a screen-reader user would, by hand (the test suite does
# not need it): a real window under Xvfb on the accessibility bus, driven by
# trial.py through the names AT-SPI reports. Exits non-zero on a failed step.
set -euo pipefail
cd "$(dirname "$0")/../.."
scripts/deps.sh xvfb at-spi2-core python3-pyatspi dbus
cmake -S . -B build -G Ninja >/dev/null
cmake --build build --target kuMemo
home=$(mktemp -d)
display=:${DISPLAY_NUMBER:-57}
Xvfb "$display" -screen 0 1280x1024x24 >"$home/xvfb.log" 2>&1 &
xvfb=$!
trap 'kill $xvfb; rm -rf "$home"' EXIT
sleep 1
DISPLAY=$display HOME=$home dbus-run-session -- bash -c '
  /usr/libexec/at-spi-bus-launcher --launch-immediately >/dev/null 2>&1 &
  bus=$!
  sleep 1
  QT_LINUX_ACCESSIBILITY_ALWAYS_ON=1 QT_QPA_PLATFORM=xcb build/kuMemo >"$HOME/kuMemo.log" 2>&1 &
  app=$!
  sleep 3
  status=0
  /usr/bin/python3 tools/atspi/trial.py || status=$?
  kill $app $bus
  exit $status'
