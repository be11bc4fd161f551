#!/usr/bin/env python3
"""Renders the demo through the LV2 plug-ins with lv2apply, set by a factory preset of the bundle and
an oversampling factor, and through the VST 2 module with korvel-render and the same program and
factor, and requires the two renders to be identical, for mono and stereo.

Usage: lv2_render_matches_vst.py KORVEL_RENDER KORVEL_COMPARE BUNDLE"""

import os
import re
import struct
import subprocess
import sys
import tempfile

CASES = [  # plug-in, program, factor
    ("urn:korvel:mono", "Warm bass", 2),
    ("urn:korvel:mono", "Med. Drive 1", 12),
    ("urn:korvel:stereo", "Warm bass", 12),
    ("urn:korvel:stereo", "Med. Drive 1", 2),
]
LABEL = "<http://www.w3.org/2000/01/rdf-schema#label>"
APPLIES_TO = "<http://lv2plug.in/ns/lv2core#appliesTo>"
PORT = "<http://lv2plug.in/ns/lv2core#port>"
SYMBOL = "<http://lv2plug.in/ns/lv2core#symbol>"
VALUE = "<http://lv2plug.in/ns/ext/presets#value>"
TRIPLE = re.compile(r'^(\S+) (\S+) (?:"((?:[^"\\]|\\.)*)"(?:\^\^\S+)?|(\S+)) \.$')


def preset_controls(bundle):
    """{(plug-in URI, preset label): {symbol: value text}} from the bundle's presets, read by sordi."""
    triples = subprocess.run(["sordi", "-i", "turtle", "-o", "ntriples", os.path.join(bundle, "presets.ttl"),
                              "file://" + bundle + "/"], check=True, capture_output=True, text=True).stdout
    facts = {}
    for line in triples.splitlines():
        match = TRIPLE.match(line)
        if match:
            subject, predicate, literal, node = match.groups()
            facts.setdefault(subject, []).append((predicate, literal if literal is not None else node))

    def objects(subject, predicate):
        return [value for p, value in facts.get(subject, []) if p == predicate]

    presets = {}
    for subject in facts:
        labels, plugins = objects(subject, LABEL), objects(subject, APPLIES_TO)
        if labels and plugins:
            controls = {objects(port, SYMBOL)[0]: objects(port, VALUE)[0] for port in objects(subject, PORT)}
            presets[(plugins[0].strip("<>"), labels[0])] = controls
    return presets


def mono_copy(source, target):
    """Writes channel 0 of a 32-bit float WAV file as a mono float WAV file."""
    with open(source, "rb") as f:
        data = f.read()
    position, channels, samples = 12, None, None
    while position + 8 <= len(data):
        chunk, size = data[position:position + 4], struct.unpack("<I", data[position + 4:position + 8])[0]
        body = data[position + 8:position + 8 + size]
        if chunk == b"fmt ":
            _, channels, rate = struct.unpack("<HHI", body[:8])
        elif chunk == b"data":
            samples = body
        position += 8 + size + (size & 1)
    frames = len(samples) // (4 * channels)
    mono = b"".join(samples[i * 4 * channels:i * 4 * channels + 4] for i in range(frames))
    header = struct.pack("<4sI4s4sIHHIIHH4sI", b"RIFF", 36 + len(mono), b"WAVE", b"fmt ", 16, 3, 1, rate,
                         rate * 4, 4, 32, b"data", len(mono))
    with open(target, "wb") as f:
        f.write(header + mono)


def main(render, compare, bundle):
    presets = preset_controls(bundle)
    failures = 0
    with tempfile.TemporaryDirectory() as work:
        os.mkdir(os.path.join(work, "lv2"))
        os.symlink(bundle, os.path.join(work, "lv2", "korvel.lv2"))
        env = dict(os.environ, LV2_PATH=os.path.join(work, "lv2"))
        subprocess.run([render, "--output", work], check=True, stdout=subprocess.DEVNULL)
        dry = {"urn:korvel:stereo": os.path.join(work, "korvel-demo-dry.wav"),
               "urn:korvel:mono": os.path.join(work, "mono-dry.wav")}
        mono_copy(dry["urn:korvel:stereo"], dry["urn:korvel:mono"])
        for plugin, program, factor in CASES:
            controls = presets.get((plugin, program))
            if controls is None:
                print(f"FAILED: no preset \"{program}\" of {plugin}")
                failures += 1
                continue
            vst, lv2 = os.path.join(work, "vst.wav"), os.path.join(work, "lv2.wav")
            subprocess.run([render, dry[plugin], "--program", program, "--oversample", f"{factor}x",
                            "--sample-format", "float", "--output", vst], check=True, stdout=subprocess.DEVNULL)
            arguments = ["lv2apply", "-i", dry[plugin], "-o", lv2, "-c", "Oversample", str(factor)]
            for symbol, value in controls.items():
                arguments += ["-c", symbol, value]
            subprocess.run(arguments + [plugin], check=True, env=env)
            result = subprocess.run([compare, vst, lv2], capture_output=True, text=True)
            print(f"{plugin} \"{program}\" {factor}x: {result.stdout.strip()}{result.stderr.strip()}")
            failures += result.returncode != 0
    print(f"{len(CASES) - failures} passed, {failures} failed")
    return 1 if failures else 0


if __name__ == "__main__":
    sys.exit(main(*sys.argv[1:4]))
