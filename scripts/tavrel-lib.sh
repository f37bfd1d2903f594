# Shell functions the scripts and the desktop test share; sourced.

# A child that has ended stays a zombie until reaped: not alive.
alive() { [ -n "${1:-}" ] && kill -0 "$1" 2>/dev/null && ! grep -qs '^State:.*Z' "/proc/$1/status"; }

# control_dialog PID SECONDS: prints the X window of Tavrel's control dialog.
# The title window carries the same caption for its first two seconds and is
# shown before it, so the first window of Tavrel seen must have gone first.
# Fails once PID (Tavrel, or what runs it) has ended, or after SECONDS.
control_dialog() {
  local first='' ids dialog end=$((SECONDS + $2))
  while [ $SECONDS -lt $end ] && alive "$1"; do
    ids=$(xdotool search --onlyvisible --class '^tavrel\.exe$' 2>/dev/null | sort -n || true)
    first=${first:-$(head -n1 <<<"$ids")}
    dialog=$(xdotool search --onlyvisible --name '^Tavrel$' 2>/dev/null | head -n1 || true)
    if [ -n "$first" ] && [ -n "$dialog" ] && ! grep -qx "$first" <<<"$ids"; then
      echo "$dialog"
      return
    fi
    sleep 0.1
  done
  return 1
}
