#!/usr/bin/env bash
# Checks the LV2 bundle as hosts read it: its Turtle validates against the LV2 schemas that lv2-dev
# installs, lv2info lists every plug-in with its ports and the twelve presets, and lv2ls finds them
# all in ~/.lv2, where the README says to copy the bundle.
# Usage: lv2_bundle_test.sh BUNDLE
set -euo pipefail
bundle=$1
schemas=/usr/lib/lv2
failed=0
fail() { echo "FAILED: $*"; failed=$((failed + 1)); }

# Every vocabulary the bundle uses, with the RDF, OWL, DOAP and FOAF schemas they build on.
sord_validate "$schemas"/{schemas,core,presets,options,buf-size,units,urid}.lv2/*.ttl "$bundle"/*.ttl \
  || fail "sord_validate"

work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
mkdir -p "$work/home/.lv2"
cp -r "$bundle" "$work/home/.lv2/korvel.lv2"
export HOME=$work/home
unset LV2_PATH

# URI and channel count of each plug-in; seven control ports come before the audio ports.
plugins=("urn:korvel:mono 1" "urn:korvel:stereo 2" "urn:korvel:quadro 4" "urn:korvel:5.1 6")
listed=$(lv2ls)
for entry in "${plugins[@]}"; do
  read -r uri channels <<<"$entry"
  grep -qxF "$uri" <<<"$listed" || fail "lv2ls does not list $uri"
  info=$(lv2info "$uri")
  # The audio ports of each direction: port blocks that name both classes.
  count() { awk -v kind="$1" '/^\tPort [0-9]+:/ { n += audio && dir; audio = dir = 0 }
    /#AudioPort/ { audio = 1 } $0 ~ kind { dir = 1 } END { print n + (audio && dir) }' <<<"$info"; }
  inputs=$(count "#InputPort")
  outputs=$(count "#OutputPort")
  ports=$(grep -c "^	Port [0-9]*:" <<<"$info" || true)
  presets=$(sed -n '/^	Presets:/,/^	Port 0:/p' <<<"$info" | grep -c "^	         [^ ]" || true)
  echo "$uri: $ports ports, $inputs audio in, $outputs audio out, $presets presets"
  [ "$ports" -eq $((7 + 2 * channels)) ] || fail "$uri has $ports ports"
  [ "$inputs" -eq "$channels" ] && [ "$outputs" -eq "$channels" ] || fail "$uri has $inputs in, $outputs out"
  [ "$presets" -eq 12 ] || fail "$uri has $presets presets"
  for symbol in LoFreq MidFreq HiFreq Drive Bias Volume Oversample; do
    grep -q "Symbol: *$symbol\$" <<<"$info" || fail "$uri has no port $symbol"
  done
  for preset in "Warm Start" "Med. Drive 3"; do
    grep -qF "$preset" <<<"$info" || fail "$uri has no preset $preset"
  done
done
[ "$failed" -eq 0 ] && echo "1 passed, 0 failed" || { echo "0 passed, 1 failed"; exit 1; }
