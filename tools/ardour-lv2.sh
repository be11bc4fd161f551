#!/usr/bin/env bash
# Checks the LV2 bundle in Ardour 7 without a display: Ardour's session tool (ardour7-lua, with the
# "None (Dummy)" backend) makes a session with a stereo track, puts Ardour's own sine generator
# (SinGen, a Lua DSP) and then "Korvel Stereo" on it, loads a factory preset, prints the plug-in's
# and the track's channel counts, and exports the session twice, with Korvel active and bypassed.
# lv2apply then renders the bypassed export through the same plug-in and values, and the levels of
# both renders are compared. The generator's phase is not the same in the two exports, so the
# comparison is of steady-state levels (RMS and peak over the last two seconds), not of samples.
# Everything Ardour writes goes to a temporary home folder that is removed afterwards; the bundle is
# installed there as the README says, in ~/.lv2.
#
# Usage: tools/ardour-lv2.sh [BUNDLE] [PRESET]   (defaults: build/default/korvel.lv2, "Med. Drive 1")
# KORVEL_KEEP=1 keeps the work folder (session, exports, lv2apply render) for a look.
set -euo pipefail
cd "$(dirname "$0")/.."
bundle=$(realpath "${1:-build/default/korvel.lv2}")
preset=${2:-Med. Drive 1}
tools/install-deps.sh core ardour

work=$(mktemp -d)
echo "work folder $work"
trap '[ -n "${KORVEL_KEEP:-}" ] || rm -rf "$work"' EXIT
export HOME=$work/home
unset LV2_PATH
mkdir -p "$HOME/.lv2" "$HOME/.config/ardour7/export" "$work/wet" "$work/dry"
cp -r "$bundle" "$HOME/.lv2/korvel.lv2"
touch "$HOME/.config/ardour7/.a7"
echo "== lv2ls with the bundle in ~/.lv2"
lv2ls | grep '^urn:korvel:'

# An export preset of Ardour's 32-bit float WAV format: no dither, no normalisation.
cat >"$HOME/.config/ardour7/export/korvel-float.preset" <<'PRESET'
<?xml version="1.0" encoding="UTF-8"?>
<ExportPreset id="6f1c1a52-9c1e-4c4e-9d8b-6b6f6e6b7a01" name="Korvel float WAV">
  <ExportFormat id="20b4ab09-6452-4cb3-bd66-b921cdbd2942"/>
  <ExportFilename>
    <Folder relative="1" path="export"/>
    <Field name="label" enabled="1"/>
  </ExportFilename>
</ExportPreset>
PRESET

ardour7-new_session "$work/session" session >/dev/null 2>&1
cat >"$work/render.lua" <<LUA
AudioEngine:set_backend("None (Dummy)", "", "")
AudioEngine:start(false)
local s = load_session("$work/session", "session")
local t = s:new_audio_track(2, 2, nil, 1, "Korvel", ARDOUR.PresentationInfo.max_order, ARDOUR.TrackMode.Normal, true):front()
local generator = ARDOUR.LuaAPI.new_luaproc(s, "SinGen")
assert(not generator:isnil(), "no SinGen")
t:add_processor_by_index(generator, 0, nil, true)
ARDOUR.LuaAPI.set_processor_param(generator, 1, 0)  -- Gain 0 dB
local p = ARDOUR.LuaAPI.new_plugin(s, "urn:korvel:stereo", ARDOUR.PluginType.LV2, "")
assert(not p:isnil(), "Ardour does not know urn:korvel:stereo")
t:add_processor_by_index(p, 1, nil, true)
local insert = p:to_insert()
local plugin = insert:plugin(0)
local preset = plugin:preset_by_label("$preset")
assert(preset, "no preset $preset")
assert(plugin:load_preset(preset), "the preset did not load")
print("plugin " .. plugin:name() .. ": " .. insert:input_streams():n_audio() .. " in, " ..
      insert:output_streams():n_audio() .. " out; track outputs " .. t:n_outputs():n_audio() ..
      ", strict I/O " .. tostring(t:strict_io()) .. "; master outputs " .. s:master_out():n_outputs():n_audio())
for index = 0, 6 do print("control " .. index .. " " .. string.format("%.9g", ARDOUR.LuaAPI.get_processor_param(p, index, true))) end
-- Four seconds of the session as float WAV into a folder; an export object serves one export.
function export_to(folder)
  local export = s:simple_export()
  export:set_range(0, s:nominal_sample_rate() * 4)
  assert(export:set_preset("6f1c1a52-9c1e-4c4e-9d8b-6b6f6e6b7a01"), "no export preset")
  export:set_folder(folder)
  assert(export:run_export(), "the export to " .. folder .. " failed")
end
export_to("$work/wet")
p:deactivate()
export_to("$work/dry")
close_session()
LUA
echo "== Ardour: a stereo track with SinGen and Korvel Stereo, preset \"$preset\""
ardour7-lua "$work/render.lua" >"$work/lua.log" 2>&1 || true
grep -E "^(plugin|control) " "$work/lua.log" || { tail -20 "$work/lua.log" >&2; exit 1; }
wet=$(ls "$work"/wet/*.wav) dry=$(ls "$work"/dry/*.wav)

# The control values Ardour holds after loading the preset, by port symbol (port order of Lv2Ports.h).
symbols=(LoFreq MidFreq HiFreq Drive Bias Volume Oversample)
controls=()
while read -r _ index value; do controls+=(-c "${symbols[$index]}" "$value"); done < <(grep "^control " "$work/lua.log")
echo "== lv2apply ${controls[*]} urn:korvel:stereo on the bypassed export"
lv2apply -i "$dry" -o "$work/lv2apply.wav" "${controls[@]}" urn:korvel:stereo

python3 - "$dry" "$wet" "$work/lv2apply.wav" <<'PY'
import math, struct, sys

def read(path):
    data = open(path, "rb").read()
    position, channels, samples = 12, 0, b""
    while position + 8 <= len(data):
        chunk, size = data[position:position + 4], struct.unpack("<I", data[position + 4:position + 8])[0]
        if chunk == b"fmt ":
            channels = struct.unpack("<H", data[position + 10:position + 12])[0]
        elif chunk == b"data":
            samples = data[position + 8:position + 8 + size]
        position += 8 + size + (size & 1)
    values = struct.unpack("<%df" % (len(samples) // 4), samples)
    return [values[c::channels] for c in range(channels)]

for name, path in zip(("dry (bypassed)", "Ardour through Korvel", "lv2apply"), sys.argv[1:]):
    for channel, samples in enumerate(read(path)):
        tail = samples[len(samples) // 2:]
        rms = math.sqrt(sum(x * x for x in tail) / len(tail))
        peak = max(abs(x) for x in tail)
        print(f"{name:22s} channel {channel}: {len(samples)} frames, last half RMS {20 * math.log10(rms):.6f} dBFS,"
              f" peak {20 * math.log10(peak):.6f} dBFS")
PY
