# Sourced by the scripts: a private Xvfb for programs that need an X display.
# start_xvfb sets DISPLAY to a free display; stop_xvfb ends the server.

start_xvfb() {
  local fdfile
  fdfile=$(mktemp)
  Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp -noreset 3>"$fdfile" >/dev/null 2>&1 &
  XVFB_PID=$!
  local waited=0
  while [ ! -s "$fdfile" ]; do
    if ! kill -0 "$XVFB_PID" 2>/dev/null || [ $waited -ge 100 ]; then
      echo "xvfb: the X server did not start" >&2
      rm -f "$fdfile"
      return 1
    fi
    sleep 0.1
    waited=$((waited + 1))
  done
  export DISPLAY=":$(head -n1 "$fdfile")"
  rm -f "$fdfile"
}

stop_xvfb() {
  if [ -n "${XVFB_PID:-}" ]; then
    kill "$XVFB_PID" 2>/dev/null || true
    wait "$XVFB_PID" 2>/dev/null || true
    XVFB_PID=""
  fi
}
