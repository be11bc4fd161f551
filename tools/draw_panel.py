#!/usr/bin/python3
"""Draws the editor's twelve bitmaps and writes them as 24-bit uncompressed BMP files.

Usage: tools/draw_panel.py [--out DIR] [--preview DIR] [--check]
The files go to resources/ (or DIR) together with PanelLayout.h, the editor's layout as C++
constants; --preview also writes PNG copies and a mock-up of the panel with the controls' resting
images laid over the background; --check writes nothing and fails when the files in resources/
differ from what the script makes. Needs Debian's python3-cairo, python3-pil and the fonts of
fonts-liberation and fonts-dejavu-core; the build itself needs none.

Everything painted on the background lines up with the editor's control rectangles, which are
written once, below, for the painting and for the editor.
"""

import argparse
import io
import math
import os
import random
import sys

import cairo
from PIL import Image

# The editor's layout: control rectangles (left, top, right, bottom in window pixels) and offsets.
# The painting below is placed by these numbers, and the editor reads them from the header that
# layout_header() writes beside the bitmaps.
SLIDER_X = {"LOW": 97, "MID": 137, "HIGH": 177, "DRIVE": 232, "BIAS": 272, "OUT": 312}
SLIDER_TOP, SLIDER_BOTTOM = 59, 232          # track 9 x 173
HANDLE_HEIGHT = 21
MIN_POS, MAX_POS = 59, 210                   # handle top at value 1 and at value 0
# The editor works MAX_POS out from the bitmaps as the slider takes them: track top - 1 + track - handle.
assert MAX_POS == SLIDER_TOP - 1 + (SLIDER_BOTTOM - SLIDER_TOP) - HANDLE_HEIGHT
VALVE_SLIDERS = ("DRIVE", "BIAS")            # on the valve-coloured track
HANDLE_OFFSET, VALVE_HANDLE_OFFSET = (1, 0), (0, -1)
DISPLAY_X = {"LOW": 84, "MID": 124, "HIGH": 164, "DRIVE": 219, "BIAS": 259, "OUT": 299}
DISPLAY_TOP, DISPLAY_BOTTOM = 238, 255       # 35 x 17
CHANNEL_MENU = (127, 275, 200, 294)
OVERSAMPLING_MENU = (298, 275, 333, 294)
PROGRAM_FIELD = (420, 9, 554, 27)
BUTTONS = {"UNDO": (84, 9, 131, 26), "COPY": (138, 9, 185, 26), "A": (193, 9, 217, 26), "B": (223, 9, 247, 26)}
KICK_IMAGE_OFFSET = (1, 1)                   # where UNDO and COPY draw from in their images
MENU_COLOUR = (78, 78, 146)                  # back and frame of the menus and the program-name field
LAYOUT_HEADER = "PanelLayout.h"

WIDTH, HEIGHT = 641, 301
VERSION = "1.0"

# Palette: a deep blue-grey panel that sits well with the menus' slate blue (MENU_COLOUR),
# ivory lettering, and the amber of a glowing valve as the one accent.
PANEL_TOP = (0.180, 0.196, 0.255)
PANEL_BOTTOM = (0.106, 0.118, 0.157)
PLATE = (0.141, 0.153, 0.200)
IVORY = (0.925, 0.902, 0.835)
SCALE_TEXT = (0.690, 0.710, 0.780)
TICK = (0.560, 0.585, 0.670)
AMBER = (1.000, 0.702, 0.310)
RECESS = (0.055, 0.063, 0.086)
HIGHLIGHT = (1.0, 1.0, 1.0, 0.10)
SHADOW = (0.0, 0.0, 0.0, 0.55)

SANS = "Liberation Sans"
NARROW = "Liberation Sans Narrow"
SERIF = "DejaVu Serif"


def surface(width, height):
    return cairo.ImageSurface(cairo.FORMAT_ARGB32, width, height)


def context(target):
    cr = cairo.Context(target)
    options = cairo.FontOptions()
    options.set_antialias(cairo.ANTIALIAS_GRAY)
    options.set_hint_style(cairo.HINT_STYLE_SLIGHT)
    options.set_hint_metrics(cairo.HINT_METRICS_ON)
    cr.set_font_options(options)
    return cr


def font(cr, family, size, bold=False, italic=False):
    cr.select_font_face(family, cairo.FONT_SLANT_ITALIC if italic else cairo.FONT_SLANT_NORMAL,
                        cairo.FONT_WEIGHT_BOLD if bold else cairo.FONT_WEIGHT_NORMAL)
    cr.set_font_size(size)


def text(cr, string, x, baseline, colour, align="left", spacing=0.0):
    """Draws string with its baseline at y; x is its left, centre or right edge."""
    widths = [cr.text_extents(ch).x_advance for ch in string]
    total = sum(widths) + spacing * (len(string) - 1)
    if align == "centre":
        x -= total / 2
    elif align == "right":
        x -= total
    x = round(x)
    cr.set_source_rgb(*colour)
    for ch, advance in zip(string, widths):
        cr.move_to(x, baseline)
        cr.show_text(ch)
        x += advance + spacing


def bevel(cr, left, top, right, bottom, sunken=True, depth=1):
    """A one-pixel edge around the rectangle: dark top-left and light bottom-right when sunken."""
    dark, light = (SHADOW, HIGHLIGHT) if sunken else (HIGHLIGHT, SHADOW)
    for i in range(depth):
        l, t, r, b = left - 1 - i, top - 1 - i, right + i, bottom + i
        cr.set_source_rgba(*dark)
        cr.rectangle(l, t, r - l + 1, 1)
        cr.rectangle(l, t, 1, b - t + 1)
        cr.fill()
        cr.set_source_rgba(*light)
        cr.rectangle(l + 1, b, r - l, 1)
        cr.rectangle(r, t + 1, 1, b - t)
        cr.fill()


def recess(cr, rect, colour=RECESS):
    left, top, right, bottom = rect
    cr.set_source_rgb(*colour)
    cr.rectangle(left, top, right - left, bottom - top)
    cr.fill()
    bevel(cr, left, top, right, bottom, sunken=True)


def rounded(cr, left, top, right, bottom, radius):
    cr.new_sub_path()
    cr.arc(right - radius, top + radius, radius, -math.pi / 2, 0)
    cr.arc(right - radius, bottom - radius, radius, 0, math.pi / 2)
    cr.arc(left + radius, bottom - radius, radius, math.pi / 2, math.pi)
    cr.arc(left + radius, top + radius, radius, math.pi, 3 * math.pi / 2)
    cr.close_path()


def plate(cr, left, top, right, bottom):
    """A slightly raised section of the panel with soft rounded corners."""
    rounded(cr, left + 0.5, top + 0.5, right - 0.5, bottom - 0.5, 5)
    gradient = cairo.LinearGradient(0, top, 0, bottom)
    gradient.add_color_stop_rgb(0, *(c + 0.025 for c in PLATE))
    gradient.add_color_stop_rgb(1, *(c - 0.02 for c in PLATE))
    cr.set_source(gradient)
    cr.fill_preserve()
    cr.set_line_width(1)
    cr.set_source_rgba(0, 0, 0, 0.6)
    cr.stroke()
    rounded(cr, left + 1.5, top + 1.5, right - 1.5, bottom - 1.5, 4)
    cr.set_source_rgba(1, 1, 1, 0.06)
    cr.stroke()


def screw(cr, x, y):
    cr.new_path()
    gradient = cairo.RadialGradient(x - 1.5, y - 1.5, 0.5, x, y, 4.5)
    gradient.add_color_stop_rgb(0, 0.78, 0.79, 0.82)
    gradient.add_color_stop_rgb(1, 0.30, 0.31, 0.35)
    cr.arc(x, y, 4.5, 0, 2 * math.pi)
    cr.set_source(gradient)
    cr.fill_preserve()
    cr.set_source_rgba(0, 0, 0, 0.7)
    cr.set_line_width(1)
    cr.stroke()
    cr.set_source_rgba(0.12, 0.12, 0.14, 0.9)
    cr.set_line_width(1.2)
    cr.move_to(x - 3, y + 1.2)
    cr.line_to(x + 3, y - 1.2)
    cr.stroke()


def handle_centre(value):
    """The window row on which the handle's centre line sits for a value from 0 to 1."""
    top = MAX_POS - value * (MAX_POS - MIN_POS)
    return top + (HANDLE_HEIGHT - 1) / 2


def scale(cr, x, marks):
    """Tick marks beside the slot at x and the numbers left of it; marks are (value, label, major)."""
    font(cr, NARROW, 9)
    for value, label, major in marks:
        y = round(handle_centre(value))
        cr.set_source_rgb(*(IVORY if major else TICK))
        length = 5 if major else 3
        cr.rectangle(x - 2 - length, y, length, 1)
        cr.fill()
        if label:
            text(cr, label, x - 9, y + 3, IVORY if major else SCALE_TEXT, align="right")


def tone_marks():
    marks = []
    for db in range(12, -13, -4):
        label = "0" if db == 0 else f"{db:+d}"
        marks.append(((db + 12) / 24, label, db in (12, 0, -12)))
    return marks


def level_marks():
    return [(v / 10, f"{v / 10:.1f}", v in (0, 5, 10)) for v in range(10, -1, -1)]


def volume_marks():
    marks = [((db + 40) / 60, f"{db:+d}" if db else "0", db in (20, 0)) for db in (20, 10, 0, -10, -20, -30)]
    marks.append((0.0, "-oo", True))
    return marks


def brushed_panel(cr):
    gradient = cairo.LinearGradient(0, 0, 0, HEIGHT)
    gradient.add_color_stop_rgb(0, *PANEL_TOP)
    gradient.add_color_stop_rgb(1, *PANEL_BOTTOM)
    cr.set_source(gradient)
    cr.paint()
    # Fine horizontal grain, the same on every run.
    grain = random.Random(641301)
    for y in range(HEIGHT):
        shade = grain.uniform(-0.018, 0.018)
        cr.set_source_rgba(1, 1, 1, shade) if shade > 0 else cr.set_source_rgba(0, 0, 0, -shade)
        cr.rectangle(0, y, WIDTH, 1)
        cr.fill()


def top_bar(cr):
    cr.set_source_rgba(0, 0, 0, 0.28)
    cr.rectangle(0, 0, WIDTH, 35)
    cr.fill()
    cr.set_source_rgba(1, 1, 1, 0.07)
    cr.rectangle(0, 35, WIDTH, 1)
    cr.fill()
    cr.set_source_rgba(0, 0, 0, 0.5)
    cr.rectangle(0, 34, WIDTH, 1)
    cr.fill()

    # Under the kick buttons the background shows their pressed look (the button draws nothing
    # there while held); under A and B a plain recess.
    for name in ("UNDO", "COPY"):
        left, top, right, bottom = BUTTONS[name]
        cr.set_source_surface(button_face(right - left, bottom - top, name, pressed=True), left, top)
        cr.paint()
    for name in ("A", "B"):
        recess(cr, BUTTONS[name])
    font(cr, NARROW, 8, bold=True)
    text(cr, "COMPARE", 220, 33, SCALE_TEXT, align="centre", spacing=0.6)

    # Product title and version between the buttons and the program field.
    font(cr, SERIF, 19, bold=True, italic=True)
    text(cr, "Korvel", 266, 25, AMBER, spacing=0.4)
    title_end = 266 + cr.text_extents("Korvel").x_advance + 0.4 * 5
    font(cr, SANS, 10)
    text(cr, VERSION, title_end + 5, 25, SCALE_TEXT)

    recess(cr, PROGRAM_FIELD)
    font(cr, NARROW, 8, bold=True)
    text(cr, "PROGRAM", 487, 33, SCALE_TEXT, align="centre", spacing=0.6)

    for x, y in ((12, 17), (WIDTH - 13, 17)):
        screw(cr, x, y)


def slider_section(cr):
    plate(cr, 22, 40, 205, 264)
    plate(cr, 208, 40, 346, 264)
    # The section's name runs up its left edge.
    font(cr, NARROW, 10, bold=True)
    cr.save()
    cr.translate(50, 152)
    cr.rotate(-math.pi / 2)
    text(cr, "EQUALISER", 0, 0, SCALE_TEXT, align="centre", spacing=3.0)
    cr.restore()

    marks = {"LOW": tone_marks(), "MID": tone_marks(), "HIGH": tone_marks(),
             "DRIVE": level_marks(), "BIAS": level_marks(), "OUT": volume_marks()}
    for name, x in SLIDER_X.items():
        # The slot the track bitmap sits in, one pixel larger all round.
        recess(cr, (x - 1, SLIDER_TOP - 1, x + 10, SLIDER_BOTTOM + 1))
        scale(cr, x, marks[name])
        left = DISPLAY_X[name]
        recess(cr, (left, DISPLAY_TOP, left + 35, DISPLAY_BOTTOM))
        font(cr, SANS, 9, bold=True)
        text(cr, name, x + 4.5, 54, IVORY, align="centre", spacing=0.5)


def bottom_row(cr):
    font(cr, NARROW, 11, bold=True)
    for rect, caption in ((CHANNEL_MENU, "CH.MODE:"), (OVERSAMPLING_MENU, "OVERSAMPLING:")):
        left, top, right, bottom = rect
        bevel(cr, left, top, right, bottom, sunken=True)
        text(cr, caption, left - 6, top + 13, IVORY, align="right", spacing=0.3)
    font(cr, SERIF, 13, bold=True, italic=True)
    text(cr, "Quillon Audio", WIDTH - 14, 291, IVORY, align="right")
    screw(cr, 12, HEIGHT - 14)


def valve(cr):
    """A glowing triode in a dark window at the right of the panel."""
    left, top, right, bottom = 360, 40, 628, 264
    rounded(cr, left + 0.5, top + 0.5, right - 0.5, bottom - 0.5, 6)
    cr.set_source_rgb(0.035, 0.035, 0.045)
    cr.fill_preserve()
    cr.set_source_rgba(0, 0, 0, 0.8)
    cr.set_line_width(1)
    cr.stroke()
    bevel(cr, left + 1, top + 1, right - 1, bottom - 1, sunken=True)
    cr.save()
    rounded(cr, left + 1, top + 1, right - 1, bottom - 1, 5)
    cr.clip()

    cx = (left + right) / 2
    # Warm light thrown on the window by the heater.
    glow = cairo.RadialGradient(cx, 150, 4, cx, 150, 130)
    glow.add_color_stop_rgba(0, 1.0, 0.55, 0.15, 0.55)
    glow.add_color_stop_rgba(0.45, 0.85, 0.30, 0.05, 0.18)
    glow.add_color_stop_rgba(1, 0.5, 0.15, 0.0, 0.0)
    cr.set_source(glow)
    cr.paint()

    bulb_left, bulb_right, bulb_top, bulb_bottom = cx - 44, cx + 44, 56, 226
    # Base and pins.
    cr.set_source_rgb(0.08, 0.07, 0.07)
    rounded(cr, bulb_left - 4, bulb_bottom - 6, bulb_right + 4, bulb_bottom + 20, 4)
    cr.fill()
    base = cairo.LinearGradient(bulb_left, 0, bulb_right, 0)
    base.add_color_stop_rgb(0, 0.10, 0.09, 0.09)
    base.add_color_stop_rgb(0.35, 0.28, 0.26, 0.25)
    base.add_color_stop_rgb(1, 0.07, 0.06, 0.06)
    cr.set_source(base)
    rounded(cr, bulb_left - 3, bulb_bottom - 5, bulb_right + 3, bulb_bottom + 19, 3)
    cr.fill()
    cr.set_source_rgb(0.62, 0.60, 0.55)
    for i in range(7):
        x = bulb_left + 10 + i * 11.3
        cr.rectangle(x, bulb_bottom + 19, 2, 10)
    cr.fill()

    # Inner structure: the anode plates, a mica spacer and the glowing heaters.
    for offset in (-22, 22):
        plate_gradient = cairo.LinearGradient(cx + offset - 13, 0, cx + offset + 13, 0)
        plate_gradient.add_color_stop_rgb(0, 0.20, 0.20, 0.22)
        plate_gradient.add_color_stop_rgb(0.5, 0.46, 0.46, 0.48)
        plate_gradient.add_color_stop_rgb(1, 0.16, 0.16, 0.18)
        cr.set_source(plate_gradient)
        cr.rectangle(cx + offset - 13, 104, 26, 84)
        cr.fill()
        heater = cairo.LinearGradient(cx + offset - 4, 0, cx + offset + 4, 0)
        heater.add_color_stop_rgba(0, 1.0, 0.45, 0.05, 0.0)
        heater.add_color_stop_rgba(0.5, 1.0, 0.78, 0.35, 1.0)
        heater.add_color_stop_rgba(1, 1.0, 0.45, 0.05, 0.0)
        cr.set_source(heater)
        cr.rectangle(cx + offset - 4, 112, 8, 68)
        cr.fill()
        cr.set_source_rgba(0, 0, 0, 0.35)
        for y in range(108, 186, 6):
            cr.rectangle(cx + offset - 13, y, 26, 1)
        cr.fill()
    cr.set_source_rgba(0.85, 0.82, 0.72, 0.65)
    cr.rectangle(cx - 40, 96, 80, 4)
    cr.rectangle(cx - 40, 190, 80, 4)
    cr.fill()
    cr.set_source_rgba(0.7, 0.7, 0.72, 0.8)
    cr.set_line_width(1)
    for x in (cx - 30, cx - 1, cx + 1, cx + 30):
        cr.move_to(x + 0.5, 194)
        cr.line_to(x + 0.5, bulb_bottom - 6)
    cr.stroke()
    # Getter flash at the top of the glass.
    getter = cairo.LinearGradient(0, bulb_top, 0, bulb_top + 28)
    getter.add_color_stop_rgba(0, 0.55, 0.55, 0.60, 0.85)
    getter.add_color_stop_rgba(1, 0.35, 0.35, 0.40, 0.0)
    cr.set_source(getter)
    rounded(cr, bulb_left + 4, bulb_top + 2, bulb_right - 4, bulb_top + 40, 36)
    cr.fill()

    # Glass envelope with its highlights.
    rounded(cr, bulb_left, bulb_top, bulb_right, bulb_bottom, 40)
    glass = cairo.LinearGradient(bulb_left, 0, bulb_right, 0)
    glass.add_color_stop_rgba(0, 1, 1, 1, 0.16)
    glass.add_color_stop_rgba(0.18, 1, 1, 1, 0.04)
    glass.add_color_stop_rgba(0.80, 1, 1, 1, 0.02)
    glass.add_color_stop_rgba(1, 1, 1, 1, 0.12)
    cr.set_source(glass)
    cr.fill_preserve()
    cr.set_source_rgba(0.9, 0.9, 1.0, 0.35)
    cr.set_line_width(1.2)
    cr.stroke()
    cr.set_source_rgba(1, 1, 1, 0.30)
    cr.set_line_width(3)
    cr.move_to(bulb_left + 12, bulb_top + 40)
    cr.line_to(bulb_left + 12, bulb_bottom - 24)
    cr.stroke()

    cr.restore()


def background():
    target = surface(WIDTH, HEIGHT)
    cr = context(target)
    brushed_panel(cr)
    top_bar(cr)
    slider_section(cr)
    valve(cr)
    bottom_row(cr)
    return target


def button_face(width, height, caption, pressed=False, lit=False):
    """A small rectangular push button with its caption; lit shows the amber of an active side."""
    target = surface(width, height)
    cr = context(target)
    gradient = cairo.LinearGradient(0, 0, 0, height)
    if pressed:
        gradient.add_color_stop_rgb(0, 0.17, 0.18, 0.22)
        gradient.add_color_stop_rgb(1, 0.23, 0.24, 0.29)
    else:
        gradient.add_color_stop_rgb(0, 0.40, 0.42, 0.49)
        gradient.add_color_stop_rgb(1, 0.25, 0.26, 0.32)
    cr.set_source(gradient)
    cr.rectangle(0, 0, width, height)
    cr.fill()
    cr.set_source_rgba(0, 0, 0, 0.85)
    cr.rectangle(0.5, 0.5, width - 1, height - 1)
    cr.set_line_width(1)
    cr.stroke()
    if not pressed:
        cr.set_source_rgba(1, 1, 1, 0.18)
        cr.rectangle(1, 1, width - 2, 1)
        cr.fill()
    font(cr, SANS, 9, bold=True)
    shift = 1 if pressed else 0
    colour = AMBER if lit else IVORY
    text(cr, caption, width / 2 + shift + (0.5 if len(caption) > 1 else 0), height / 2 + 4 + shift, colour,
         align="centre", spacing=0.6 if len(caption) > 1 else 0)
    if lit:
        # A warm glow from below, as if the button were lit from inside.
        glow = cairo.LinearGradient(0, 0, 0, height)
        glow.add_color_stop_rgba(0, *AMBER, 0.0)
        glow.add_color_stop_rgba(1, *AMBER, 0.28)
        cr.set_source(glow)
        cr.rectangle(1, 1, width - 2, height - 2)
        cr.fill()
    return target


def kick_button(width, height, caption, highlighted=False):
    """The kick buttons draw from (1, 1) of their image: the top row and left column stay unseen
    and the background's pressed look shows in the last row and column, like a shadow."""
    target = surface(width, height)
    cr = context(target)
    x, y = KICK_IMAGE_OFFSET
    cr.set_source_surface(button_face(width - x, height - y, caption, lit=highlighted), x, y)
    cr.paint()
    return target


def two_state_button(caption):
    """Off on top, on below, 24 x 17 each."""
    target = surface(24, 34)
    cr = context(target)
    cr.set_source_surface(button_face(24, 17, caption), 0, 0)
    cr.paint()
    cr.set_source_surface(button_face(24, 17, caption, pressed=True, lit=True), 0, 17)
    cr.paint()
    return target


def slider_handle():
    target = surface(9, 21)
    cr = context(target)
    body = cairo.LinearGradient(0, 0, 9, 0)
    body.add_color_stop_rgb(0, 0.55, 0.56, 0.60)
    body.add_color_stop_rgb(0.4, 0.88, 0.88, 0.90)
    body.add_color_stop_rgb(1, 0.45, 0.46, 0.50)
    cr.set_source(body)
    cr.rectangle(0, 0, 9, 21)
    cr.fill()
    cr.set_source_rgba(0, 0, 0, 0.35)
    for y in (3, 5, 7, 13, 15, 17):
        cr.rectangle(1, y, 7, 1)
    cr.fill()
    # The centre line, row 10, marks the value on the scales.
    cr.set_source_rgb(*AMBER)
    cr.rectangle(0, 10, 9, 1)
    cr.fill()
    cr.set_source_rgba(0, 0, 0, 0.9)
    cr.rectangle(0.5, 0.5, 8, 20)
    cr.set_line_width(1)
    cr.stroke()
    return target


def slider_track(groove_colour):
    target = surface(9, 173)
    cr = context(target)
    cr.set_source_rgb(*RECESS)
    cr.paint()
    groove = cairo.LinearGradient(0, 0, 9, 0)
    groove.add_color_stop_rgb(0, *(c * 0.45 for c in groove_colour))
    groove.add_color_stop_rgb(0.5, *groove_colour)
    groove.add_color_stop_rgb(1, *(c * 0.45 for c in groove_colour))
    cr.set_source(groove)
    cr.rectangle(3, 4, 3, 165)
    cr.fill()
    cr.set_source_rgba(0, 0, 0, 0.8)
    cr.rectangle(2, 3, 1, 167)
    cr.rectangle(2, 3, 5, 1)
    cr.fill()
    return target


def display_background():
    target = surface(35, 17)
    cr = context(target)
    gradient = cairo.LinearGradient(0, 0, 0, 17)
    gradient.add_color_stop_rgb(0, 0.035, 0.040, 0.060)
    gradient.add_color_stop_rgb(1, 0.075, 0.085, 0.120)
    cr.set_source(gradient)
    cr.paint()
    cr.set_source_rgba(0, 0, 0, 0.8)
    cr.rectangle(0, 0, 35, 1)
    cr.rectangle(0, 0, 1, 17)
    cr.fill()
    cr.set_source_rgba(1, 1, 1, 0.08)
    cr.rectangle(1, 16, 34, 1)
    cr.rectangle(34, 1, 1, 16)
    cr.fill()
    return target


def bitmaps():
    """Resource id, file name and image of every bitmap."""
    return [
        (103, "103-background.bmp", background()),
        (105, "105-slider-handle.bmp", slider_handle()),
        (106, "106-slider-track.bmp", slider_track((0.36, 0.40, 0.62))),
        (107, "107-slider-track-valve.bmp", slider_track((0.85, 0.50, 0.18))),
        (108, "108-display.bmp", display_background()),
        (109, "109-button-a.bmp", two_state_button("A")),
        (110, "110-button-undo.bmp", kick_button(47, 17, "UNDO")),
        (111, "111-button-undo-lit.bmp", kick_button(47, 17, "UNDO", highlighted=True)),
        (112, "112-button-a-lit.bmp", button_face(24, 17, "A", lit=True)),
        (113, "113-button-copy.bmp", kick_button(47, 17, "COPY")),
        (114, "114-button-b.bmp", two_state_button("B")),
        (115, "115-button-b-lit.bmp", button_face(24, 17, "B", lit=True)),
    ]


def to_rgb(target):
    """The surface as an opaque RGB image (cairo keeps premultiplied BGRA)."""
    target.flush()
    image = Image.frombuffer("RGBA", (target.get_width(), target.get_height()), bytes(target.get_data()),
                             "raw", "BGRA", target.get_stride(), 1)
    return image.convert("RGB")


def mock_up(images):
    """The background with every control's resting image where the editor puts it."""
    panel = to_rgb(images[103]).copy()
    paste = lambda image, x, y, box=None: panel.paste(to_rgb(image).crop(box) if box else to_rgb(image), (x, y))
    for name, x in SLIDER_X.items():
        valve = name in VALVE_SLIDERS
        paste(images[107] if valve else images[106], x, SLIDER_TOP)
        value = {"LOW": 0.5, "MID": 0.62, "HIGH": 0.41, "DRIVE": 0.3, "BIAS": 0.8, "OUT": 0.667}[name]
        top = round(MAX_POS - value * (MAX_POS - MIN_POS))
        dx, dy = VALVE_HANDLE_OFFSET if valve else HANDLE_OFFSET
        paste(images[105], x + dx, top + dy)
        paste(images[108], DISPLAY_X[name], DISPLAY_TOP)
    ox, oy = KICK_IMAGE_OFFSET
    for name, resource in (("UNDO", 110), ("COPY", 113)):
        left, top, right, bottom = BUTTONS[name]
        paste(images[resource], left, top, (ox, oy, right - left, bottom - top))
    paste(images[109], BUTTONS["A"][0], BUTTONS["A"][1], (0, 17, 24, 34))
    paste(images[114], BUTTONS["B"][0], BUTTONS["B"][1], (0, 0, 24, 17))
    for left, top, right, bottom in (CHANNEL_MENU, OVERSAMPLING_MENU, PROGRAM_FIELD):
        panel.paste(MENU_COLOUR, (left, top, right, bottom))
    return panel


def layout_header():
    """The layout above as C++ constants, those the editor reads."""
    def rect(name, r):
        return f"constexpr Rect {name}{{{r[0]}, {r[1]}, {r[2]}, {r[3]}}};"

    def point(name, p):
        return f"constexpr Point {name}{{{p[0]}, {p[1]}}};"

    def row(values):
        return ", ".join(str(v) for v in values)

    sliders = list(SLIDER_X)
    assert sliders == list(DISPLAY_X)
    lines = [
        "// Generated by tools/draw_panel.py with the bitmaps it draws; do not edit.",
        "#pragma once",
        "",
        "#include <cstdint>",
        "",
        "// The editor's layout in window pixels: rectangles are left, top, right, bottom.",
        "namespace PanelLayout {",
        "",
        "struct Point {",
        "    int32_t x, y;",
        "};",
        "struct Rect {",
        "    int32_t left, top, right, bottom;",
        "};",
        "",
        f"// Sliders and displays of parameters 0 to 5: {', '.join(sliders)}.",
        f"constexpr int32_t kSliderCount = {len(sliders)};",
        f"constexpr int32_t kSliderX[kSliderCount] = {{{row(SLIDER_X.values())}}};",
        f"constexpr bool kValveSlider[kSliderCount] = {{{row('true' if n in VALVE_SLIDERS else 'false' for n in sliders)}}};",
        f"constexpr int32_t kSliderTop = {SLIDER_TOP};",
        f"constexpr int32_t kMinPos = {MIN_POS};  // handle top at value 1",
        point("kHandleOffset", HANDLE_OFFSET),
        point("kValveHandleOffset", VALVE_HANDLE_OFFSET),
        f"constexpr int32_t kDisplayX[kSliderCount] = {{{row(DISPLAY_X.values())}}};",
        f"constexpr int32_t kDisplayTop = {DISPLAY_TOP};",
        "",
        rect("kChannelMenu", CHANNEL_MENU),
        rect("kOversamplingMenu", OVERSAMPLING_MENU),
        rect("kProgramField", PROGRAM_FIELD),
        rect("kUndoButton", BUTTONS["UNDO"]),
        rect("kCopyButton", BUTTONS["COPY"]),
        rect("kButtonA", BUTTONS["A"]),
        rect("kButtonB", BUTTONS["B"]),
        point("kKickImageOffset", KICK_IMAGE_OFFSET),
        f"constexpr uint8_t kMenuColour[3] = {{{row(MENU_COLOUR)}}};  // red, green, blue",
        "",
        "}  // namespace PanelLayout",
        "",
    ]
    return "\n".join(lines)


def main():
    root = os.path.dirname(os.path.dirname(os.path.abspath(__file__)))
    parser = argparse.ArgumentParser(description=__doc__.splitlines()[0])
    parser.add_argument("--out", default=os.path.join(root, "resources"))
    parser.add_argument("--preview", help="also write PNG copies and a panel mock-up here")
    parser.add_argument("--check", action="store_true", help="compare with the files in --out instead")
    arguments = parser.parse_args()
    if arguments.check:
        stale = []
        for _, name, image in bitmaps():
            drawn = io.BytesIO()
            to_rgb(image).save(drawn, format="BMP")
            path = os.path.join(arguments.out, name)
            if not os.path.exists(path) or open(path, "rb").read() != drawn.getvalue():
                stale.append(name)
        path = os.path.join(arguments.out, LAYOUT_HEADER)
        if not os.path.exists(path) or open(path, encoding="utf-8").read() != layout_header():
            stale.append(LAYOUT_HEADER)
        if stale:
            print("differ from tools/draw_panel.py: " + ", ".join(stale), file=sys.stderr)
        return 1 if stale else 0
    with open(os.path.join(arguments.out, LAYOUT_HEADER), "w", encoding="utf-8", newline="\n") as header:
        header.write(layout_header())
    images = {}
    for resource, name, image in bitmaps():
        images[resource] = image
        to_rgb(image).save(os.path.join(arguments.out, name), format="BMP")
        if arguments.preview:
            os.makedirs(arguments.preview, exist_ok=True)
            to_rgb(image).save(os.path.join(arguments.preview, name.replace(".bmp", ".png")))
    if arguments.preview:
        mock_up(images).save(os.path.join(arguments.preview, "panel-mock-up.png"))


if __name__ == "__main__":
    sys.exit(main())
