#!/usr/bin/env bash
# Opens Korvel's editor in Ardour 7 on a virtual display and works it as a user would: drags the
# Drive slider, types -6 dB into the Volume display, saves the session and reads back the values
# Ardour holds, then starts the transport, opens the program menu (checking that Ardour's clock goes
# on painting meanwhile) and picks "Med. Drive 1". Leaves pictures of each step in OUTPUT_DIR.
# Everything Ardour writes goes to a temporary home folder that is removed afterwards.
#
# Usage: tools/ardour-editor.sh [MODULE] [OUTPUT_DIR]   (defaults: build/default/korvel.so, build/default/ardour)
set -euo pipefail
cd "$(dirname "$0")/.."
module=$(realpath "${1:-build/default/korvel.so}")
out=$(realpath -m "${2:-build/default/ardour}")
tools/install-deps.sh ardour
mkdir -p "$out"

work=$(mktemp -d)
xvfb=""
ardour_pid=""
cleanup() {
  [ -n "$ardour_pid" ] && kill "$ardour_pid" 2>/dev/null || true
  [ -n "$xvfb" ] && kill "$xvfb" 2>/dev/null || true
  rm -rf "$work"
}
trap cleanup EXIT

export HOME=$work/home LXVST_PATH=$work/vst
mkdir -p "$LXVST_PATH" "$HOME/.config/ardour7"
cp -p "$module" "$LXVST_PATH/korvel.so"
# No first-run wizard, and the silent "None (Dummy)" audio backend started without asking.
touch "$HOME/.config/ardour7/.a7"
cat >"$HOME/.config/ardour7/config" <<'CONFIG'
<?xml version="1.0" encoding="UTF-8"?>
<Ardour>
  <Config>
    <Option name="hide-dummy-backend" value="0"/>
  </Config>
  <Extra>
    <AudioMIDISetup>
      <EngineStates>
        <State backend="None (Dummy)" driver="Normal Speed" device="Silence" input-device="" output-device="" sample-rate="48000" buffer-size="1024" n-periods="0" input-latency="0" output-latency="0" lm-input="" lm-output="" active="1" use-buffered-io="0" midi-option="1 in, 1 out, Silence" lru="1">
          <MIDIDevices/>
        </State>
      </EngineStates>
    </AudioMIDISetup>
  </Extra>
</Ardour>
CONFIG

echo "== scanning the module and making a session with Korvel on a track"
# A first run of Ardour's session tool finds the module in LXVST_PATH and notes it as not yet
# scanned; the scanner then describes it, and the next run knows it.
printf 'AudioEngine:set_backend("None (Dummy)", "", "")\nAudioEngine:start(false)\nARDOUR.LuaAPI.list_plugins()\n' >"$work/list.lua"
ardour7-lua "$work/list.lua" >/dev/null 2>&1 || true
LD_LIBRARY_PATH=/usr/lib/ardour7 /usr/lib/ardour7/ardour-vst-scanner -f "$LXVST_PATH/korvel.so" >/dev/null
ardour7-new_session "$work/session" session >/dev/null 2>&1
cat >"$work/add.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
ARDOUR.LuaAPI.list_plugins()  -- reads the scanner's cache
local s = load_session("$work/session", "session")
local t = s:new_audio_track(2, 2, nil, 1, "Korvel", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local p = ARDOUR.LuaAPI.new_plugin(s, "Korvel", ARDOUR.PluginType.LXVST, "")
assert(not p:isnil(), "Ardour does not know the module")
t:set_strict_io(true)
t:add_processor_by_index(p, 0, nil, true)
s:save_state("", false, false, false, false, false)
print("ids " .. t:to_stateful():id():to_s() .. " " .. p:to_stateful():id():to_s())
close_session()
LUA
ardour7-lua "$work/add.lua" >"$work/lua.log" 2>&1 || true
read -r _ route processor < <(grep "^ids " "$work/lua.log") || { cat "$work/lua.log" >&2; exit 1; }
# The plug-in's own window opens with the session.
sed -i "s|</Session>|  <Extra><UI><Window name=\"P-$route-$processor\" visible=\"1\" x-off=\"0\" y-off=\"0\" x-size=\"641\" y-size=\"335\" custom-ui=\"1\"/></UI></Extra>\n</Session>|" \
  "$work/session/session.ardour"

echo "== starting Ardour on a virtual display"
Xvfb -displayfd 3 -screen 0 1280x1024x24 -nolisten tcp 3>"$work/display" 2>/dev/null &
xvfb=$!
# Xvfb writes the display number once clients can connect.
for _ in $(seq 100); do [ -s "$work/display" ] && break; sleep 0.1; done
export DISPLAY=:$(head -1 "$work/display")
ardour -n -a "$work/session" >"$work/ardour.log" 2>&1 &
ardour_pid=$!

plugin=""
for _ in $(seq 90); do
  sleep 1
  plugin=$(xdotool search --name '^Korvel:' 2>/dev/null | head -1 || true)
  [ -n "$plugin" ] && break
  # A dialog that the session's engine differs from the one it was made with: OK.
  xdotool key Return 2>/dev/null || true
done
[ -n "$plugin" ] || { echo "Ardour showed no Korvel window" >&2; tail "$work/ardour.log" >&2; exit 1; }
sleep 3
# The editor's window: the 641 x 301 child inside Ardour's plug-in window.
read -r x y < <(xwininfo -root -tree | awk '/ 641x301\+/ { split($NF, p, "+"); print p[2], p[3]; exit }')
echo "editor window at $x,$y"
import -window "$plugin" "$out/ardour-editor.png"

echo "== dragging Drive from 0.1 up by 70 pixels"
xdotool mousemove $((x + 237)) $((y + 203)); sleep 0.3
xdotool mousedown 1; sleep 0.3
xdotool mousemove $((x + 237)) $((y + 170)); sleep 0.3
xdotool mousemove $((x + 237)) $((y + 133)); sleep 0.3
xdotool mouseup 1; sleep 1
echo "== typing -6 (dB) into the Volume display"
xdotool mousemove $((x + 316)) $((y + 246)); sleep 0.3
xdotool click 1; sleep 0.1; xdotool click 1; sleep 1
xdotool type --delay 100 -- "-6"; sleep 0.5
import -window "$plugin" "$out/ardour-typing.png"
xdotool key Return; sleep 1
main=$(xdotool search --name ' - Ardour$' | head -1)
xdotool windowfocus "$main"; sleep 0.3; xdotool key ctrl+s; sleep 3
for name in Drive Volume; do
  grep -o "<Controllable name=\"$name\"[^>]*value=\"[^\"]*\"" "$work/session/session.ardour" | sed "s/.*value=/Ardour holds $name = /"
done
import -window "$plugin" "$out/ardour-dragged-typed.png"

echo "== program menu: Med. Drive 1, with the transport rolling"
xdotool windowfocus "$main"; sleep 0.3; xdotool key space; sleep 2
xdotool mousemove $((x + 480)) $((y + 15)) click 1; sleep 1.5
import -window root "$out/ardour-program-menu.png"; sleep 1.5
import -window root "$out/ardour-program-menu-later.png"
# Ardour's clock (right of the plug-in window) goes on running while the menu is open.
echo "pixels of Ardour's clock that changed while the menu was open:" \
  "$(compare -metric AE -crop 300x40+490+25 "$out/ardour-program-menu.png" "$out/ardour-program-menu-later.png" null: 2>&1 || true)"
# Entry 9 of the menu that opens below the field (420, 27): title, separator, seven programs above it.
xdotool mousemove $((x + 440)) $((y + 27 + 2 + 19 + 8 + 7 * 19 + 9)); sleep 0.3; xdotool click 1; sleep 1.5
import -window "$plugin" "$out/ardour-program-picked.png"

echo "== quitting"
xdotool windowfocus "$main"; sleep 0.3; xdotool key ctrl+q
for _ in $(seq 30); do kill -0 "$ardour_pid" 2>/dev/null || break; sleep 1; done
if kill -0 "$ardour_pid" 2>/dev/null; then echo "Ardour did not quit" >&2; exit 1; fi
wait "$ardour_pid" && echo "Ardour quit cleanly" || echo "Ardour exited with status $?"
ardour_pid=""
echo "pictures in $out"
