#!/usr/bin/python3
"""Generates dsp/LowpassDesigns.cpp, the fixed low-pass designs of the oversampling filters.

Usage (from the repository root, with Debian's python3-mpmath; python3-scipy is optional and only
used for a cross-check):

    /usr/bin/python3 tools/design_lowpass.py            # rewrites dsp/LowpassDesigns.cpp
    /usr/bin/python3 tools/design_lowpass.py --check    # exits 1 if the committed file differs

Every design is a Chebyshev type II low-pass (equiripple stopband from the stopband edge upwards,
zeros on the unit circle, monotonic passband) with its stopband edge at exactly the design's
normalised cutoff c (a fraction of the filter's own rate). The factor-16 design (c = 0.03125) is
the reference design of the product, which is cheby2(10, 90 dB, 2c); the script checks
that it reproduces it and then emits the reference's literal values.

Numerics: the analogue prototype, the bilinear transform and the expansion of poles and zeros into
direct-form polynomials are all carried out in mpmath at 60 significant digits; each coefficient
is rounded to a double exactly once. (Expanding in double precision, as scipy's output='ba' does,
loses about 24 dB of stopband at order 35.) After a[] has been rounded, the numerator is scaled so
that the realised filter (with the rounded a[]) has DC gain 1, then rounded. The response of the
rounded coefficients is then evaluated exactly and written into the generated file's comments.
The output depends on nothing but mpmath, so it is deterministic.
"""

import argparse
import os
import sys

import mpmath as mp

mp.mp.dps = 60

# (C++ name suffix, cutoff literal, cutoff value, order, stopband attenuation in dB, factor N or 0)
# The order-35 and order-28 designs are made at 100.5 dB: run through the float64 recursion, the
# rounding errors of the loop (shaped by the poles near the band edge) cost them up to 2.5 dB just
# above the stopband edge, which at exactly 100 dB left the order-28 design at 97.6 dB and the
# order-35 one at about 98.7 dB. At 100.5 dB they measure 99.5 and 100.4 dB through the loop, and
# their band edges move by at most 0.0004 fs.
DESIGNS = [
    ("Factor2", "0.25", mp.mpf(1) / 4, 35, mp.mpf("100.5"), 2),
    ("Factor4", "0.125", mp.mpf(1) / 8, 28, mp.mpf("100.5"), 4),
    ("Factor8", "0.0625", mp.mpf(1) / 16, 16, mp.mpf(100), 8),
    ("Factor16", "0.03125", mp.mpf(1) / 32, 10, mp.mpf(90), 16),
    ("Cutoff1Over64", "0.015625", mp.mpf(1) / 64, 8, mp.mpf(90), 32),
    # The default design (any other cutoff): the factor-12 one, c = 1/24.
    ("Default", None, mp.mpf(1) / 24, 12, mp.mpf(90), 12),
]

# The reference factor-16 design, b[0..10] then a[0..10].
REFERENCE_FACTOR16_B = [
    "3.2234820255224606e-05", "-0.0002746701653783211", "0.0010829448201078128",
    "-0.002614560399701191", "0.004300652933375822", "-0.005053203064569877",
    "0.004300652933375823", "-0.0026145603997011916", "0.001082944820107813",
    "-0.0002746701653783211", "3.2234820255224606e-05",
]
REFERENCE_FACTOR16_A = [
    "1", "-9.19671997077719", "38.091113406529075", "-93.56352289300283", "150.93362709728663",
    "-167.08120183676624", "128.53392100899208", "-67.85076002140502", "23.521091403352912",
    "-4.835107396222554", "0.4475592029658958",
]

# Target -0.1 dB and -3 dB points of each design, as fractions of the host rate.
TARGET_EDGES = {
    "Factor2": ("0.4749", "0.4810"), "Factor4": ("0.4476", "0.4599"),
    "Factor8": ("0.3559", "0.3850"), "Default": ("0.3060", "0.3446"),
    "Factor16": ("0.2557", "0.2989"), "Cutoff1Over64": ("0.1905", "0.2363"),
}


def cheby2_zpk(order, rs, c):
    """Digital Chebyshev II low-pass, stopband edge at normalised frequency c (cycles/sample).

    Follows scipy.signal.cheby2(order, rs, 2c, output='zpk') step by step, in mpmath."""
    n = order
    de = 1 / mp.sqrt(mp.power(10, rs / 10) - 1)
    mu = mp.asinh(1 / de) / n
    if n % 2:
        m = list(range(-n + 1, 0, 2)) + list(range(2, n, 2))
    else:
        m = list(range(-n + 1, n, 2))
    zeros = [-mp.conj(mp.mpc(0, 1) / mp.sin(mi * mp.pi / (2 * n))) for mi in m]
    poles = []
    for mi in range(-n + 1, n, 2):
        p = -mp.expj(mp.pi * mi / (2 * n))
        p = mp.mpc(mp.sinh(mu) * p.real, mp.cosh(mu) * p.imag)
        poles.append(1 / p)
    k = mp.re(mp.fprod([-p for p in poles]) / mp.fprod([-z for z in zeros]))
    # Pre-warp (scipy uses fs = 2 and Wn = 2c) and scale to the cutoff.
    fs = 2
    warped = 2 * fs * mp.tan(mp.pi * (2 * c) / fs)
    zeros = [z * warped for z in zeros]
    poles = [p * warped for p in poles]
    degree = len(poles) - len(zeros)
    k = k * mp.power(warped, degree)
    # Bilinear transform.
    fs2 = 2 * fs
    zz = [(fs2 + z) / (fs2 - z) for z in zeros] + [mp.mpf(-1)] * degree
    pz = [(fs2 + p) / (fs2 - p) for p in poles]
    kz = k * mp.re(mp.fprod([fs2 - z for z in zeros]) / mp.fprod([fs2 - p for p in poles]))
    return zz, pz, kz


def expand(roots):
    coeffs = [mp.mpc(1)]
    for r in roots:
        nxt = [mp.mpc(0)] * (len(coeffs) + 1)
        for i, ci in enumerate(coeffs):
            nxt[i] += ci
            nxt[i + 1] -= ci * r
        coeffs = nxt
    return [mp.re(v) for v in coeffs]


def design(order, rs, c):
    zz, pz, kz = cheby2_zpk(order, rs, c)
    b_exact = [kz * v for v in expand(zz)]
    a_exact = expand(pz)
    a = [float(v) for v in a_exact]
    a[0] = 1.0
    # Unit DC gain of the realised filter: scale b against the rounded a.
    scale = mp.fsum(mp.mpf(v) for v in a) / mp.fsum(b_exact)
    b = [float(v * scale) for v in b_exact]
    radius = max(abs(p) for p in pz)
    return b, a, b_exact, a_exact, radius


def magnitude(b, a, f):
    e = mp.expj(-2 * mp.pi * f)
    return abs(mp.polyval(b[::-1], e) / mp.polyval(a[::-1], e))


def db(x):
    return 20 * mp.log10(x)


def first_below(b, a, level_db, hi):
    """Lowest frequency in (0, hi) where the gain falls to level_db (monotonic passband)."""
    lo = mp.mpf(0)
    for _ in range(60):
        mid = (lo + hi) / 2
        if db(magnitude(b, a, mid)) > level_db:
            lo = mid
        else:
            hi = mid
    return (lo + hi) / 2


def stopband_attenuation(b, a, c, points=1500):
    """Minimum attenuation over [c, 0.5]: a grid, then golden-section refinement of the worst lobes."""
    grid = [c + (mp.mpf("0.5") - c) * i / points for i in range(points + 1)]
    gains = [magnitude(b, a, f) for f in grid]
    candidates = sorted(range(len(grid)), key=lambda i: -gains[i])[:8]
    worst = max(gains)
    step = (mp.mpf("0.5") - c) / points
    for i in candidates:
        lo, hi = max(c, grid[i] - step), min(mp.mpf("0.5"), grid[i] + step)
        for _ in range(40):
            m1, m2 = lo + (hi - lo) * mp.mpf("0.382"), lo + (hi - lo) * mp.mpf("0.618")
            if magnitude(b, a, m1) > magnitude(b, a, m2):
                hi = m2
            else:
                lo = m1
        worst = max(worst, magnitude(b, a, (lo + hi) / 2))
    return -db(worst)


def cross_check_scipy(order, rs, c, zz, pz):
    try:
        from scipy import signal
    except ImportError:
        return None
    z, p, _ = signal.cheby2(order, float(rs), float(2 * c), output="zpk")
    if len(z) != len(zz) or len(p) != len(pz):
        return 1.0

    def distance(ours, theirs):
        return max(min(abs(complex(r) - complex(t)) for t in theirs) for r in ours)

    dz = distance(zz, z)
    dp = distance(pz, p)
    return max(dz, dp)


def fmt(x):
    return repr(float(x)) if float(x) == int(float(x)) else "{:.17g}".format(x)


def emit_array(name, values):
    lines = [f"constexpr double {name}[] = {{"]
    for i in range(0, len(values), 3):
        lines.append("    " + ", ".join(values[i:i + 3]) + ",")
    lines.append("};")
    return lines


def generate():
    out = []
    out.append("// GENERATED by tools/design_lowpass.py -- do not edit by hand.")
    out.append("// Rerun from the repository root: /usr/bin/python3 tools/design_lowpass.py")
    out.append("// (needs Debian's python3-mpmath; the build itself needs no Python).")
    out.append("//")
    out.append("// Chebyshev type II low-pass designs, stopband edge at exactly the cutoff c (a fraction of the")
    out.append("// filter's own rate), expanded to direct form in 60-digit arithmetic and rounded once; the")
    out.append("// numerator is scaled for unit DC gain of the rounded filter. The factor-16 design is the")
    out.append("// reference design, reproduced by the generator and emitted with its literal values.")
    out.append("//")
    out.append("// Exact response of the rounded coefficients; frequencies as fractions of the host rate fs (the")
    out.append("// filter runs at fs / (2c)); \"design dB\" is the attenuation the design was made for:")
    out.append("//   design         c          order  design dB  stopband dB  -0.1 dB (target)   -3 dB (target)     pole radius")
    arrays = []
    report = []
    for name, literal, c, order, rs, factor in DESIGNS:
        b, a, b_exact, a_exact, radius = design(order, rs, c)
        if name == "Factor16":
            reference_b = [mp.mpf(s) for s in REFERENCE_FACTOR16_B]
            reference_a = [mp.mpf(s) for s in REFERENCE_FACTOR16_A]
            db_ = max(abs(x - y) for x, y in zip(b_exact, reference_b))
            da_ = max(abs(x - y) / max(1, abs(y)) for x, y in zip(a_exact, reference_a))
            if db_ > 1e-16 or da_ > 1e-14:
                sys.exit(f"factor-16 design does not reproduce the reference: {db_} {da_}")
            b_text, a_text = REFERENCE_FACTOR16_B, REFERENCE_FACTOR16_A
            b = [float(s) for s in b_text]
            a = [float(s) for s in a_text]
        else:
            b_text = [fmt(v) for v in b]
            a_text = [fmt(v) for v in a]
        zz, pz, _ = cheby2_zpk(order, rs, c)
        dev = cross_check_scipy(order, rs, c, zz, pz)
        if dev is not None and dev > 1e-9:
            sys.exit(f"{name}: mpmath and scipy designs disagree by {dev}")
        bm = [mp.mpf(v) for v in b]
        am = [mp.mpf(v) for v in a]
        host = 2 * c  # host rate / filter rate
        att = stopband_attenuation(bm, am, c)
        e01 = first_below(bm, am, mp.mpf("-0.1"), c) / host
        e3 = first_below(bm, am, mp.mpf(-3), c) / host
        dc = mp.fsum(bm) / mp.fsum(am)
        s01, s3 = TARGET_EDGES[name]
        out.append(f"//   {name:<14} {literal or '(default)':<10} {order:>5}  {mp.nstr(rs, 4):>9}  "
                   f"{mp.nstr(att, 5):>11}  {mp.nstr(e01, 5):<7}({s01})   {mp.nstr(e3, 5):<7}({s3})   "
                   f"{mp.nstr(radius, 10)}")
        report.append(f"{name}: order {order}, stopband {mp.nstr(att, 6)} dB, -0.1 dB {mp.nstr(e01, 5)} fs, "
                      f"-3 dB {mp.nstr(e3, 5)} fs, DC {mp.nstr(dc, 15)}, pole radius {mp.nstr(radius, 10)}")
        arrays.append((name, literal, order, b_text, a_text))
    out.append("")
    out.append('#include "LowpassDesigns.h"')
    out.append("")
    out.append("namespace Resamplers {")
    out.append("namespace {")
    out.append("")
    for name, literal, order, b_text, a_text in arrays:
        out += emit_array(f"k{name}B", b_text)
        out += emit_array(f"k{name}A", a_text)
        out.append("")
    for name, literal, order, b_text, a_text in arrays:
        cutoff = literal if literal else "0.0"
        out.append(f"constexpr LowpassDesign k{name}{{{cutoff}, {order}, k{name}B, k{name}A}};")
    out.append("")
    out.append("}  // namespace")
    out.append("")
    out.append("const LowpassDesign& lowpassDesignFor(double c) {")
    out.append("    // Exact comparisons, in this order.")
    for name, literal, order, b_text, a_text in arrays:
        if literal:
            out.append(f"    if (c == {literal}) return k{name};")
    out.append("    return kDefault;")
    out.append("}")
    out.append("")
    out.append("}  // namespace Resamplers")
    return "\n".join(out) + "\n", report


def main():
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--check", action="store_true", help="compare with the committed file instead of writing it")
    parser.add_argument("--output", default=os.path.join(os.path.dirname(os.path.abspath(__file__)),
                                                         "..", "dsp", "LowpassDesigns.cpp"))
    args = parser.parse_args()
    text, report = generate()
    for line in report:
        print(line, file=sys.stderr)
    if args.check:
        with open(args.output) as f:
            if f.read() != text:
                print(f"{args.output} is out of date", file=sys.stderr)
                return 1
        return 0
    with open(args.output, "w") as f:
        f.write(text)
    return 0


if __name__ == "__main__":
    sys.exit(main())
