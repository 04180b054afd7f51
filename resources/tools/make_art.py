#!/usr/bin/env python3
"""Writes the program's art as SVG files into resources/art/, the resource list
resources/resources.qrc and the name list resources/ART.md.

One flat style for everything: a dark slate window, panels one step lighter,
button plates with a 1-px rim and light glyphs, one sky-blue accent. Glyphs are
drawn on a pixel grid (1-px strokes on half-pixel coordinates) at the size they
are shown, so they stay crisp without hinting.

The button plate and glyph colours below are the ones Art.cpp swaps for the
active (highlighted) look; keep the two in step.

Usage: make_art.py            (run from anywhere; writes beside this script's parent)
"""
import math
import os

HERE = os.path.dirname(os.path.abspath(__file__))
ROOT = os.path.dirname(HERE)
ART = os.path.join(ROOT, "art")

# Window palette
WIN_TOP = "#1a222a"
WIN_BOTTOM = "#12181e"
PANEL = "#1e2730"
PANEL_RIM = "#2b3742"
WELL = "#0b0f13"
LIST_BG = "#26313b"
STATUS = "#d2e9fc"  # the status texts are drawn on this brush

# Button palette (swapped by Art.cpp for the active look)
DARK = dict(plate="#27323d", rim="#3a4754", g="#d6dee6", a="#6cc6f5", bg="#27323d")
# Menu palette: menus are light (0xEEEEEE), so their icons are dark
MENU = dict(g="#34424f", a="#1d87c9", bg="#eeeeee")

RED, GREEN, BLUE, REC = "#ff6b6b", "#4fd08a", "#4aa3ff", "#ff5c5c"

ENTRIES = []  # (name, sizes, description)


def svg(w, h, body, defs=""):
    defs_block = f"<defs>{defs}</defs>" if defs else ""
    return (f'<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" '
            f'viewBox="0 0 {w} {h}">{defs_block}{body}</svg>\n')


def line_group(p, body, width=1):
    return (f'<g fill="none" stroke="{p["g"]}" stroke-width="{width}" '
            f'stroke-linecap="round" stroke-linejoin="round">{body}</g>')


def dot(x, y, r, colour):
    return f'<circle cx="{x}" cy="{y}" r="{r}" fill="{colour}" stroke="none"/>'


def dots(points, r, colour):
    return "".join(dot(x, y, r, colour) for x, y in points)


def path(d, colour=None, extra=""):
    stroke = f' stroke="{colour}"' if colour else ""
    return f'<path d="{d}"{stroke}{extra}/>'


def filled(d, colour):
    return f'<path d="{d}" fill="{colour}" stroke="none"/>'


def save(name, text, sizes, description):
    with open(os.path.join(ART, name + ".svg"), "w") as out:
        out.write(text)
    ENTRIES.append((name, sizes, description))


# ---------------------------------------------------------------- 15-px glyphs
# Each draws into a 15 x 15 box (pixel centres at .5) with palette p.

def g_hmirror(p):
    return (path("M7.5 0.5V14.5", p["a"], ' stroke-dasharray="2 1"')
            + f'<path d="M5.5 3.5V11.5H0.5Z" fill="{p["g"]}"/>'
            + path("M9.5 3.5V11.5H14.5Z"))


def g_vmirror(p):
    return (path("M0.5 7.5H14.5", p["a"], ' stroke-dasharray="2 1"')
            + f'<path d="M11.5 5.5H3.5V0.5Z" fill="{p["g"]}"/>'
            + path("M11.5 9.5H3.5V14.5Z"))


def g_negative(p):
    return ('<circle cx="7.5" cy="7.5" r="6.5"/>'
            + filled("M7.5 1A6.5 6.5 0 0 0 7.5 14Z", p["g"])
            + dot(10.5, 7.5, 1.5, p["a"]))


def g_binary(p):
    return ('<rect x="1.5" y="1.5" width="12" height="12" rx="1"/>'
            + filled("M2 2H7.5V7.5H2Z", p["g"])
            + filled("M7.5 7.5H13V13H7.5Z", p["g"])
            + path("M7.5 2V13M2 7.5H13", p["a"]))


RGB_CENTRES = ((7.5, 4.5), (4.5, 10), (10.5, 10))


def g_channels(p, lit):
    """Three colour discs; `lit` lists the indices shown in colour."""
    colours = (RED, GREEN, BLUE)
    out = ""
    for i, (x, y) in enumerate(RGB_CENTRES):
        if i not in lit:
            out += f'<circle cx="{x}" cy="{y}" r="3.5"/>'
    for i, (x, y) in enumerate(RGB_CENTRES):
        if i in lit:
            out += f'<circle cx="{x}" cy="{y}" r="3.5" fill="{colours[i]}" fill-opacity="0.9"/>'
    return out


def g_line(p):
    return path("M2.5 12.5L12.5 2.5") + dots(((2.5, 12.5), (12.5, 2.5)), 1.75, p["a"])


def g_contline(p):
    pts = ((1.5, 12.5), (5.5, 4.5), (9.5, 10.5), (13.5, 2.5))
    return path("M1.5 12.5L5.5 4.5L9.5 10.5L13.5 2.5") + dots(pts, 1.5, p["a"])


def g_pointline(p):
    return (path("M0.5 12.5H14.5")
            + path("M7.5 5.5V11.5", p["a"], ' stroke-dasharray="1 1" stroke-linecap="butt"')
            + dot(7.5, 3, 1.75, p["a"]))


def g_polygon(p):
    pts = ((7.5, 1.5), (13.5, 6), (11, 13.5), (4, 13.5), (1.5, 6))
    d = "M" + "L".join(f"{x} {y}" for x, y in pts) + "Z"
    return path(d) + dots(pts, 1.5, p["a"])


def g_rcircle(p):
    return ('<circle cx="7.5" cy="7.5" r="6.5"/>' + path("M7.5 7.5L12.1 2.9", p["a"])
            + dot(7.5, 7.5, 1.5, p["a"]))


def g_dcircle(p):
    return ('<circle cx="7.5" cy="7.5" r="6.5"/>' + path("M2.9 12.1L12.1 2.9", p["a"])
            + dots(((2.9, 12.1), (12.1, 2.9)), 1.4, p["a"]))


def g_tcircle(p):
    pts = ((7.5, 1.5), (2.3, 10.5), (12.7, 10.5))
    return '<circle cx="7.5" cy="7.5" r="6"/>' + dots(pts, 1.75, p["a"])


def g_tarc(p):
    pts = ((1.5, 11.5), (7.5, 5.5), (13.5, 11.5))
    return path("M1.5 11.5A6 6 0 0 1 13.5 11.5") + dots(pts, 1.6, p["a"])


def g_tangle(p):
    return (path("M11.5 1.5L2.5 12.5H13.5")
            + path("M7.5 12.5A5 5 0 0 0 5.7 8.6", p["a"])
            + dots(((11.5, 1.5), (2.5, 12.5), (13.5, 12.5)), 1.6, p["a"]))


def g_fangle(p):
    # Two separate segments; their dashed extensions meet at the measured angle.
    return (path("M6.5 12.5H13.5M3.5 9.5L8.5 2")
            + path("M6.5 12.5H1.5L3.5 9.5", p["g"], ' stroke-dasharray="1 1" stroke-linecap="butt"')
            + path("M4.5 12.5A3 3 0 0 0 3.2 10", p["a"])
            + dots(((6.5, 12.5), (13.5, 12.5), (3.5, 9.5), (8.5, 2)), 1.5, p["a"]))


def g_rectangle(p):
    pts = ((1.5, 2.5), (13.5, 2.5), (13.5, 12.5), (1.5, 12.5))
    return '<rect x="1.5" y="2.5" width="12" height="10"/>' + dots(pts, 1.5, p["a"])


def g_ruler(p):
    return ('<rect x="0.5" y="6.5" width="14" height="7" rx="1"/>'
            + path("M3.5 6.5V9.5M5.5 6.5V8.5M7.5 6.5V10.5M9.5 6.5V8.5M11.5 6.5V9.5")
            + path("M1.5 2.5H13.5M1.5 1.5V3.5M13.5 1.5V3.5", p["a"]))


def g_camera(p):
    return (path("M0.5 5A1.5 1.5 0 0 1 2 3.5H4L5.5 1.5H9.5L11 3.5H13A1.5 1.5 0 0 1 14.5 5V12"
                 "A1.5 1.5 0 0 1 13 13.5H2A1.5 1.5 0 0 1 0.5 12Z")
            + f'<circle cx="7.5" cy="8.5" r="3" stroke="{p["a"]}"/>' + dot(7.5, 8.5, 1.2, p["a"]))


def g_video(p):
    return ('<rect x="0.5" y="3.5" width="9" height="8" rx="1.5"/>'
            + path("M9.5 6L14.5 3.5V11.5L9.5 9") + dot(3.5, 6.5, 1.25, REC))


def g_timer(p):
    return ('<circle cx="7.5" cy="8.5" r="5.5"/>' + path("M7.5 5.5V8.5L9.5 10", p["a"])
            + path("M5.5 1.5H9.5M7.5 1.5V3"))


def g_open(p):
    return (path("M1.5 12.5V2.5H5.5L7.5 4.5H12.5V6.5")
            + f'<path d="M1.5 12.5L3.5 6.5H14.5L12.5 12.5Z" fill="{p["a"]}" fill-opacity="0.25"/>')


def g_floppy(p):
    return (path("M1.5 1.5H10.5L13.5 4.5V13.5H1.5Z") + path("M4.5 1.5V4.5H9.5V1.5")
            + f'<rect x="3.5" y="8.5" width="8" height="5" stroke="{p["a"]}"/>')


def g_save_all(p):
    return (path("M3.5 3.5V0.5H11.5L14.5 3.5V11.5H11.5")
            + path("M0.5 3.5H8.5L11.5 6.5V14.5H0.5Z") + path("M3.5 3.5V6H7.5V3.5")
            + f'<rect x="2.5" y="10.5" width="7" height="4" stroke="{p["a"]}"/>')


def g_trash(p, full=False):
    body = "M3 3.5L3.8 13.5H11.2L12 3.5"
    out = path("M1.5 3.5H13.5") + path("M5.5 3.5V1.5H9.5V3.5")
    if full:
        out += f'<path d="{body}Z" fill="{p["a"]}"/>' + path("M6 6.5V11M9 6.5V11", p["bg"])
    else:
        out += path(body) + path("M6 6.5V11M9 6.5V11", p["a"])
    return out


def g_print(p):
    return (path("M4.5 5.5V1.5H10.5V5.5") + '<rect x="0.5" y="5.5" width="14" height="6" rx="1"/>'
            + f'<rect x="4.5" y="9.5" width="6" height="5" fill="{p["bg"]}"/>'
            + path("M6.5 11.5H8.5", p["a"]) + dot(12, 7.5, 0.8, p["a"]))


def g_envelope(p):
    return ('<rect x="0.5" y="2.5" width="14" height="10" rx="1"/>'
            + path("M1 3L7.5 8L14 3", p["a"]))


CORNERS = "M0.5 4.5V0.5H4.5M10.5 0.5H14.5V4.5M14.5 10.5V14.5H10.5M4.5 14.5H0.5V10.5"


def g_size_high(p):
    return path(CORNERS) + f'<rect x="3.5" y="3.5" width="8" height="8" fill="{p["a"]}" fill-opacity="0.3" stroke="{p["a"]}"/>'


def g_size_low(p):
    return path(CORNERS) + f'<rect x="5.5" y="5.5" width="4" height="4" fill="{p["a"]}" stroke="none"/>'


def g_sliders(p):
    knobs = ((4.5, 3.5), (10.5, 7.5), (6.5, 11.5))
    return (path("M1.5 3.5H13.5M1.5 7.5H13.5M1.5 11.5H13.5")
            + "".join(f'<circle cx="{x}" cy="{y}" r="1.75" fill="{p["bg"]}" stroke="{p["a"]}"/>'
                      for x, y in knobs))


def g_pen(p):
    return (path("M2.5 12.5L3 9.5L10 2.5L12.5 5L5.5 12Z") + path("M8.5 4L11 6.5")
            + path("M8.5 13.5H9.5M11.5 13.5H13.5", p["a"]))


def g_crosshair(p):
    return ('<circle cx="7.5" cy="7.5" r="4.5"/>'
            + path("M7.5 0.5V4M7.5 11V14.5M0.5 7.5H4M11 7.5H14.5") + dot(7.5, 7.5, 1.1, p["a"]))


def g_scale(p):
    return (path("M0.5 7.5H14.5M7.5 0.5V14.5")
            + path("M2.5 6.5V8.5M4.5 6V9M10.5 6V9M12.5 6.5V8.5"
                   "M6.5 2.5H8.5M6 4.5H9M6 10.5H9M6.5 12.5H8.5", p["a"]))


def g_grid(p):
    return (path("M7.5 0.5V14.5M0.5 7.5H14.5", p["g"], ' stroke-opacity="0.45"')
            + '<circle cx="7.5" cy="7.5" r="6.5"/>'
            + f'<circle cx="7.5" cy="7.5" r="3.5" stroke="{p["a"]}"/>')


def g_aperture(p):
    out = '<circle cx="7.5" cy="7.5" r="6.5"/>'
    inner, outer = 3.0, 6.5
    for k in range(6):
        a = math.radians(60 * k + 30)
        x0, y0 = 7.5 + inner * math.cos(a), 7.5 + inner * math.sin(a)
        b = a + math.radians(62)
        x1, y1 = 7.5 + outer * math.cos(b), 7.5 + outer * math.sin(b)
        out += path(f"M{x0:.2f} {y0:.2f}L{x1:.2f} {y1:.2f}", p["a"])
    return out


def g_globe(p):
    return ('<circle cx="7.5" cy="7.5" r="6.5"/><ellipse cx="7.5" cy="7.5" rx="2.8" ry="6.5"/>'
            + path("M1 7.5H14") + path("M2 4.5H13M2 10.5H13", p["a"]))


def g_help(p):
    return ('<circle cx="7.5" cy="7.5" r="6.5"/>'
            + path("M5.5 5.7A2 2 0 1 1 8.4 7.5C7.8 7.8 7.5 8.2 7.5 8.9V9.3", p["a"])
            + dot(7.5, 11.4, 0.9, p["a"]))


def g_update(p):
    return (path("M12.4 5.5A5.3 5.3 0 0 0 2.6 5.2") + path("M12.5 2V5.5H9", p["a"])
            + path("M2.6 9.5A5.3 5.3 0 0 0 12.4 9.8") + path("M2.5 13V9.5H6", p["a"]))


def g_info(p):
    return ('<circle cx="7.5" cy="7.5" r="6.5"/>' + dot(7.5, 4.4, 0.95, p["a"])
            + f'<rect x="7" y="6.5" width="1" height="5" fill="{p["a"]}" stroke="none"/>')


def g_undo(p):
    return path("M4.5 3.5L1.5 6.5L4.5 9.5") + path("M1.5 6.5H9.5A3 3 0 0 1 9.5 12.5H6.5", p["a"])


def g_redo(p):
    return path("M10.5 3.5L13.5 6.5L10.5 9.5") + path("M13.5 6.5H5.5A3 3 0 0 0 5.5 12.5H8.5", p["a"])


def g_export(p):
    return ('<rect x="0.5" y="0.5" width="11" height="11" rx="1"/>'
            + path("M0.5 4H11.5M0.5 7.5H11.5M4.5 4V11.5")
            + path("M8 11.5H14.5M12 9L14.5 11.5L12 14", p["bg"], ' stroke-width="3"')
            + path("M8 11.5H14.5M12 9L14.5 11.5L12 14", p["a"]))


# ---------------------------------------------------------------- 21-px glyphs
# The five main capture buttons (29 x 29) have their own larger drawings.

def G_camera(p):
    return (path("M1.5 7.5A2 2 0 0 1 3.5 5.5H6.5L8.5 3.5H12.5L14.5 5.5H17.5A2 2 0 0 1 19.5 7.5V15.5"
                 "A2 2 0 0 1 17.5 17.5H3.5A2 2 0 0 1 1.5 15.5Z")
            + f'<circle cx="10.5" cy="11.5" r="4" stroke="{p["a"]}"/>'
            + dot(10.5, 11.5, 1.75, p["a"]) + dot(16.5, 8.5, 0.9, p["g"]))


def G_video(p):
    return ('<rect x="1.5" y="5.5" width="12" height="11" rx="2"/>'
            + path("M13.5 9.5L19.5 6.5V15.5L13.5 12.5") + dot(5.5, 9.5, 1.9, REC))


def G_timer(p):
    return ('<circle cx="10.5" cy="11.5" r="7.5"/>' + path("M10.5 7.5V11.5L13.5 13.5", p["a"])
            + path("M8.5 1.5H12.5M10.5 1.5V4M16.5 5L17.8 3.7"))


def G_save(p):
    return (path("M2.5 2.5H14.5L18.5 6.5V17.5A1 1 0 0 1 17.5 18.5H3.5A1 1 0 0 1 2.5 17.5Z")
            + path("M6.5 2.5V7.5H13.5V2.5") + path("M11.5 4V6", p["a"])
            + f'<rect x="5.5" y="11.5" width="10" height="7" stroke="{p["a"]}"/>')


def G_mail(p):
    return ('<rect x="1.5" y="4.5" width="18" height="12" rx="1.5"/>'
            + path("M2 5.5L10.5 12L19 5.5", p["a"]))


# ---------------------------------------------------------------- documents

def plate(w, h, radius=4):
    return (f'<rect x="0.5" y="0.5" width="{w - 1}" height="{h - 1}" rx="{radius}" '
            f'fill="{DARK["plate"]}" stroke="{DARK["rim"]}"/>')


def button(cid, w, h, glyph, offset, description):
    body = plate(w, h) + f'<g transform="translate({offset[0]},{offset[1]})">{line_group(DARK, glyph(DARK))}</g>'
    save(f"button_{cid}", svg(w, h, body), f"{w}x{h}", description)


def menu_icon(name, glyph, description):
    save(f"menu_{name}", svg(16, 16, line_group(MENU, glyph(MENU))), "16x16", description)


BUTTONS_25 = [
    (1195, g_hmirror, "horizontal mirror: two triangles mirrored across a dashed vertical axis"),
    (1194, g_vmirror, "vertical mirror: two triangles mirrored across a dashed horizontal axis"),
    (1188, g_negative, "negative: half-filled disc"),
    (1193, g_binary, "binary segmentation: black-and-white checker square"),
    (1189, lambda p: g_channels(p, (0, 1, 2)), "RGB display: red, green and blue discs (never shown)"),
    (1190, lambda p: g_channels(p, (0,)), "red display: three discs, only the red one in colour"),
    (1191, lambda p: g_channels(p, (1,)), "green display: three discs, only the green one in colour"),
    (1192, lambda p: g_channels(p, (2,)), "blue display: three discs, only the blue one in colour"),
    (1138, g_line, "line measurement: a segment with two end points"),
    (1139, g_contline, "continuous line measurement: a polyline with its points"),
    (1140, g_pointline, "point to line measurement: a point, a base line and the dashed perpendicular"),
    (1141, g_polygon, "polygon measurement: a pentagon with its corner points"),
    (1142, g_rcircle, "radius of circle measurement: circle, centre and radius"),
    (1143, g_dcircle, "diameter of circle measurement: circle and diameter"),
    (1144, g_tcircle, "three points circle measurement: circle through three points"),
    (1145, g_tarc, "three points arc measurement: arc through three points"),
    (1146, g_tangle, "three points angle measurement: two rays from a vertex, angle arc"),
    (1136, g_fangle, "four points angle measurement: two separate segments, their meeting and angle arc"),
    (1197, g_ruler, "calibration: a ruler under a dimension line"),
]

BUTTONS_29 = [
    (1005, G_camera, "take picture: camera"),
    (1006, G_video, "record video: camcorder with a red record dot; its own active look (recording) is a red plate"),
    (1007, G_timer, "time-lapse pictures: stopwatch"),
    (1008, G_save, "save as: disk"),
    (1009, G_mail, "e-mail: envelope"),
]

MENUS = [
    ("32776", g_open, "File > Open: open folder"),
    ("32777", g_floppy, "File > Save As: disk"),
    ("386", g_save_all, "File > Save All: two disks"),
    ("32778", g_trash, "File > Delete: waste bin"),
    ("32792", lambda p: g_trash(p, True), "File > Delete All: full waste bin"),
    ("32836", g_print, "File > Print: printer"),
    ("32787", g_envelope, "File > E-Mail: envelope"),
    ("32810", g_size_high, "Setting > high capture size: large picture in its frame"),
    ("385", g_size_low, "Setting > low capture size: small picture in its frame"),
    ("1016", g_sliders, "Setting > Video Setting: sliders"),
    ("32791", g_pen, "Setting > Measurement Setting (also other-tools Settings): pen"),
    ("32798", g_crosshair, "Setting > Crosshair: crosshair"),
    ("32788", g_crosshair, "other-tools > Crosshair: crosshair"),
    ("32789", g_scale, "Setting / other-tools > Scale Line: axes with tick marks"),
    ("32790", g_grid, "Setting / other-tools > Circle Grid: concentric circles and axes"),
    ("395", g_aperture, "Setting > Snapshot Enable/Disable: shutter aperture"),
    ("language", g_globe, "Setting > Change language (submenu): globe"),
    ("1005", g_camera, "Capture > Take Picture: camera"),
    ("1006", g_video, "Capture > Take Video/Stop: camcorder"),
    ("1007", g_timer, "Capture > Take time lapsed Pictures: stopwatch"),
    ("32784", g_help, "Help > Help: question mark"),
    ("32835", g_update, "Help > Update: circular arrows"),
    ("32786", g_info, "Help > About: information mark"),
    ("1114", g_undo, "other-tools > Undo: arrow turning back"),
    ("1115", g_redo, "other-tools > Redo: arrow turning forward"),
    ("1116", lambda p: g_trash(p, True), "other-tools > Delete All: full waste bin"),
    ("1186", g_export, "other-tools > Export2Excel: table with an arrow out"),
    ("231", g_ruler, "other-tools menu, generic item icon: ruler"),
]

# The photo window's measuring and drawing menus use the same tool drawings.
PHOTO_MENUS = [
    ("32806", g_line, "photo measuring menu > Line"),
    ("32807", g_contline, "photo measuring menu > Continuous Line"),
    ("32808", g_rectangle, "photo measuring menu > Rectangle: rectangle with its corners"),
    ("32809", g_polygon, "photo measuring menu > Polygon"),
    ("32811", g_rcircle, "photo measuring menu > Radius of Circle"),
    ("32812", g_dcircle, "photo measuring menu > Diameter of Circle"),
    ("32813", g_tcircle, "photo measuring menu > Three Points Circle"),
    ("32814", g_tangle, "photo measuring menu > Three Points Angle"),
    ("32815", g_fangle, "photo measuring menu > Four Points Angle"),
    ("32816", g_line, "photo drawing menu > Line"),
    ("32818", g_tangle, "photo drawing menu > Angle"),
    ("32819", g_rectangle, "photo drawing menu > Rectangle"),
    ("32820", g_rcircle, "photo drawing menu > Radius Circle"),
    ("32821", g_dcircle, "photo drawing menu > Diameter Circle"),
    ("396", g_tcircle, "photo drawing menu > Three Points Circle"),
]


def recording_look():
    # The record button's active look means "recording": a red plate, not the blue one.
    live = dict(DARK, plate="#b8323d", rim="#ff8d8d", g="#ffffff", a="#ffffff")
    body = (f'<rect x="0.5" y="0.5" width="28" height="28" rx="4" fill="{live["plate"]}" stroke="{live["rim"]}"/>'
            f'<g transform="translate(4,4)">{line_group(live, G_video(live).replace(REC, "#ffffff"))}</g>')
    with open(os.path.join(ART, "button_1006_active.svg"), "w") as out:
        out.write(svg(29, 29, body))


def small_buttons():
    # Preview (7 x 7): a status lamp, lit in the active look.
    body = (f'<circle cx="3.5" cy="3.5" r="3" fill="{DARK["plate"]}" stroke="{DARK["rim"]}"/>'
            + dot(3.5, 3.5, 1.3, DARK["a"]))
    save("button_1014", svg(7, 7, body), "7x7", "preview on/off: status lamp (never shown)")
    # Setting (9 x 9): three slider lines on a small plate.
    body = (f'<rect x="0.5" y="0.5" width="8" height="8" rx="2" fill="{DARK["plate"]}" stroke="{DARK["rim"]}"/>'
            + path("M2.5 2.5H6.5M2.5 4.5H6.5M2.5 6.5H6.5", DARK["g"]))
    save("button_1016", svg(9, 9, f'<g fill="none">{body}</g>'), "9x9", "video setting: slider lines (never shown)")
    # Other tools (14 x 24): a plate with a drop-down triangle.
    body = plate(14, 24, 3) + f'<path d="M4 10.5H10L7 14Z" fill="{DARK["g"]}"/>'
    body += dots(((4, 6.5), (7, 6.5), (10, 6.5)), 0.9, DARK["a"])
    save("button_1164", svg(14, 24, body), "14x24", "other tools: drop-down triangle under three dots (opens the menu)")


def picture_glyph(colour, accent):
    """21-px picture icon for the pictures tab."""
    return (f'<g fill="none" stroke="{colour}" stroke-linejoin="round" stroke-linecap="round">'
            '<rect x="1.5" y="3.5" width="18" height="14" rx="2"/>'
            f'<path d="M2 15.5L7.5 10L11 13.5L14 10.5L19 15.5" stroke="{accent}"/>'
            f'</g>{dot(14.5, 7.5, 1.75, accent)}')


def film_glyph(colour, accent):
    """21-px film strip with a play mark for the videos tab."""
    holes = "".join(f'<rect x="{x}" y="5" width="2" height="1.5" fill="{colour}"/>'
                    f'<rect x="{x}" y="14.5" width="2" height="1.5" fill="{colour}"/>'
                    for x in (3.5, 7.5, 11.5, 15.5))
    return (f'<g fill="none" stroke="{colour}" stroke-linejoin="round">'
            '<rect x="1.5" y="3.5" width="18" height="14" rx="2"/>'
            f'</g>{holes}<path d="M9 8.5V12.5L12.5 10.5Z" fill="{accent}"/>')


def tab(x0, x1, selected, glyph):
    w = x1 - x0
    if selected:
        shape = (f'<path d="M{x0 + 0.5} 38.5V7.5A5 5 0 0 1 {x0 + 5.5} 2.5H{x1 - 5.5}A5 5 0 0 1 {x1 - 0.5} 7.5V38.5" '
                 f'fill="{LIST_BG}" stroke="{PANEL_RIM}"/>'
                 f'<path d="M{x0 + 4} 3H{x1 - 4}" stroke="{DARK["a"]}" stroke-width="2" stroke-linecap="round"/>')
        colour, accent = DARK["g"], DARK["a"]
    else:
        shape = (f'<path d="M{x0 + 0.5} 38V8.5A4 4 0 0 1 {x0 + 4.5} 4.5H{x1 - 4.5}A4 4 0 0 1 {x1 - 0.5} 8.5V38" '
                 f'fill="#19212a" stroke="{PANEL_RIM}"/><path d="M{x0} 38.5H{x1}" stroke="{PANEL_RIM}"/>')
        colour, accent = "#7a8896", "#7a8896"
    gx = x0 + (w - 21) // 2
    return shape + f'<g transform="translate({gx},{10})">{glyph(colour, accent)}</g>'


def pages():
    # Page pictures: drawn at (10, 38) of the window; tabs at x 1-81 and 84-163,
    # the list below them at (2, 42) 162 x 460.
    for name, pictures_selected in (("page_147", True), ("page_146", False)):
        body = f'<rect width="164" height="504" fill="{PANEL}"/>'
        body += f'<rect x="0" y="38" width="164" height="466" fill="{LIST_BG}"/>'
        body += f'<path d="M0.5 38.5V503.5H163.5" fill="none" stroke="{PANEL_RIM}" stroke-opacity="0.6"/>'
        # the unselected tab first, so the selected one joins the list cleanly
        tabs = [(1, 81, pictures_selected, picture_glyph), (84, 163, not pictures_selected, film_glyph)]
        for x0, x1, sel, glyph in sorted(tabs, key=lambda t: t[2]):
            body += tab(x0, x1, sel, glyph)
        sel = tabs[0] if pictures_selected else tabs[1]
        body += f'<rect x="{sel[0] + 1}" y="37" width="{sel[1] - sel[0] - 2}" height="3" fill="{LIST_BG}"/>'
        what = "pictures" if pictures_selected else "videos"
        save(name, svg(164, 504, body), "164x504",
             f"page picture with the {what} tab selected (picture and film-strip tabs, list area below)")
    for name, what in (("page_144", "pictures"), ("page_148", "videos")):
        body = (f'<defs><linearGradient id="g" x1="0" y1="0" x2="0" y2="1">'
                f'<stop offset="0" stop-color="{LIST_BG}"/><stop offset="1" stop-color="#222c35"/>'
                f'</linearGradient></defs><rect width="162" height="460" fill="url(#g)"/>')
        save(name, svg(162, 460, body), "162x460 (any: drawn at the list's client size)",
             f"background of the file list on the {what} page, behind the thumbnails")


def background():
    defs = (f'<linearGradient id="win" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{WIN_TOP}"/><stop offset="1" stop-color="{WIN_BOTTOM}"/>'
            f'</linearGradient>') + APP_DEFS
    b = '<rect width="843" height="580" fill="url(#win)"/>'
    # left column: capture buttons over the file list
    b += f'<rect x="5.5" y="2.5" width="176" height="543" rx="6" fill="{PANEL}" stroke="{PANEL_RIM}"/>'
    # right column: tool bar, preview, status strip
    b += f'<rect x="187.5" y="2.5" width="651" height="543" rx="6" fill="{PANEL}" stroke="{PANEL_RIM}"/>'
    # tool bar group dividers: effects | measuring tools | calibration
    b += f'<path d="M405.5 8V28M710.5 8V28" stroke="{PANEL_RIM}"/>'
    # preview well (the live picture covers 193,34 640 x 480)
    b += f'<rect x="191.5" y="32.5" width="643" height="482" rx="1" fill="{WELL}" stroke="{PANEL_RIM}"/>'
    # status strip: its inside (193-836, 516-540) holds the resolution text at 200,517 and
    # the recording seconds at 737,516 100x25, which paint the same brush
    b += f'<rect x="192.5" y="515.5" width="645" height="26" rx="1" fill="{STATUS}" stroke="#a9c8e4"/>'
    # footer band below the panels: the program mark, bottom right
    b += f'<g transform="translate(812,551) scale(0.09375)">{app_icon_body()}</g>'
    save("background_main", svg(843, 580, b, defs), "843x580",
         "main window background: dark slate with the left column panel (capture buttons, file list), "
         "the right panel (tool bar with group dividers, preview well at 193,34 640x480, light status strip "
         "y 516-540 behind the resolution and recording texts), a footer band with the program mark bottom right")


APP_DEFS = ('<linearGradient id="appbg" x1="0" y1="0" x2="0" y2="1">'
            '<stop offset="0" stop-color="#2a3845"/><stop offset="1" stop-color="#121920"/></linearGradient>'
            '<radialGradient id="applens" cx="0.42" cy="0.38" r="0.7">'
            '<stop offset="0" stop-color="#f2fbff"/><stop offset="0.55" stop-color="#a8e0fb"/>'
            '<stop offset="1" stop-color="#3d9fd6"/></radialGradient>')


def app_icon_body():
    # A microscope field of view: cells, and a scale bar as on a measured picture.
    return ('<rect x="12" y="12" width="232" height="232" rx="54" fill="url(#appbg)" stroke="#3d4c5a" stroke-width="6"/>'
            '<circle cx="128" cy="128" r="86" fill="#0b1015" stroke="#6cc6f5" stroke-width="14"/>'
            '<circle cx="128" cy="128" r="64" fill="url(#applens)"/>'
            '<ellipse cx="110" cy="136" rx="36" ry="24" fill="#5fb8e6" stroke="#1f74a8" stroke-width="5" '
            'transform="rotate(-38 110 136)"/>'
            '<circle cx="104" cy="140" r="10" fill="#16557e"/>'
            '<ellipse cx="160" cy="100" rx="14" ry="11" fill="#5fb8e6" stroke="#1f74a8" stroke-width="4" '
            'transform="rotate(20 160 100)"/>'
            '<circle cx="162" cy="101" r="4.5" fill="#16557e"/>'
            '<path d="M140 170H174M140 163V177M174 163V177" fill="none" stroke="#0b1015" stroke-width="6" '
            'stroke-linecap="round"/>'
            '<path d="M80 102A52 52 0 0 1 108 74" fill="none" stroke="#ffffff" stroke-opacity="0.75" '
            'stroke-width="6" stroke-linecap="round"/>')


def app_icon():
    save("app_icon", svg(256, 256, app_icon_body(), APP_DEFS), "16x16 to 256x256 (AppIcon: 16, 22, 24, 32, 48, 64, 128, 256)",
         "application icon: a microscope field of view with two cells and a scale bar, in a slate tile")


def cursor():
    dark = 'stroke="#0b0f13" stroke-opacity="0.75" stroke-width="3" stroke-linecap="square"'
    light = 'stroke="#ffffff" stroke-width="1"'
    arms = "M15.5 1.5V11.5M15.5 19.5V29.5M1.5 15.5H11.5M19.5 15.5H29.5"
    body = (f'<path d="{arms}" {dark}/><path d="{arms}" {light}/>'
            '<rect x="14" y="14" width="3" height="3" fill="#0b0f13" fill-opacity="0.75"/>'
            f'<rect x="15" y="15" width="1" height="1" fill="{DARK["a"]}"/>')
    save("cursor_258", svg(31, 31, body), "31x31 (hotspot 15,15)",
         "preview cursor: precise crosshair, white arms with a dark halo, open centre with a one-pixel accent dot")


# ---------------------------------------------------------------- video player
# Transport glyphs, drawn into a 13 x 13 box (23-px buttons) or scaled up for Play.

def t_play(p):
    return filled("M3.5 1.5L11.5 6.5L3.5 11.5Z", p["a"])


def t_stop(p):
    return f'<rect x="2.5" y="2.5" width="8" height="8" rx="1" fill="{p["g"]}" stroke="none"/>'


def t_pause(p):
    return filled("M3 2H5.5V11H3ZM7.5 2H10V11H7.5Z", p["g"])


def t_first(p):
    return path("M2.5 2V11", p["a"], ' stroke-width="1.5"') + filled("M11 2L4.5 6.5L11 11Z", p["g"])


def t_backward(p):
    return filled("M6.5 2L0.5 6.5L6.5 11ZM12.5 2L6.5 6.5L12.5 11Z", p["g"])


def t_forward(p):
    return filled("M0.5 2L6.5 6.5L0.5 11ZM6.5 2L12.5 6.5L6.5 11Z", p["g"])


def t_last(p):
    return filled("M2 2L8.5 6.5L2 11Z", p["g"]) + path("M10.5 2V11", p["a"], ' stroke-width="1.5"')


PLAYER_BUTTONS = [
    (166, t_stop, "Stop (down look 366): a square"),
    (167, t_pause, "Pause, two-state (down look 367): two bars"),
    (161, t_first, "First (down look 361): a bar and a triangle pointing to it"),
    (162, t_backward, "Backward (down look 362): two triangles pointing back"),
    (163, t_forward, "Forward (down look 363): two triangles pointing on"),
    (164, t_last, "Last (down look 364): a triangle pointing to a bar"),
]


def player():
    # Play (35 x 35), two-state: a round plate with the play triangle.
    body = (f'<circle cx="17.5" cy="17.5" r="17" fill="{DARK["plate"]}" stroke="{DARK["rim"]}"/>'
            f'<g transform="translate(10,10) scale(1.25)">{line_group(DARK, t_play(DARK))}</g>')
    save("player_165", svg(35, 35, body), "35x35", "Play, two-state (down look 365): a play triangle on a round plate")
    for bid, glyph, text in PLAYER_BUTTONS:
        body = plate(23, 23, 3) + f'<g transform="translate(5,5)">{line_group(DARK, glyph(DARK))}</g>'
        save(f"player_{bid}", svg(23, 23, body), "23x23", text)
    # Background (593 x 476): the video area at (2, 1) 589 x 410 in a dark well, the
    # transport panel below it, the position bar's place at (40, 414) 513 x 12.
    defs = (f'<linearGradient id="win" x1="0" y1="0" x2="0" y2="1">'
            f'<stop offset="0" stop-color="{WIN_TOP}"/><stop offset="1" stop-color="{WIN_BOTTOM}"/>'
            f'</linearGradient>') + APP_DEFS
    b = '<rect width="593" height="476" fill="url(#win)"/>'
    b += f'<rect x="1.5" y="0.5" width="590" height="411" fill="{WELL}" stroke="{PANEL_RIM}"/>'
    b += f'<rect x="3.5" y="419.5" width="586" height="53" rx="6" fill="{PANEL}" stroke="{PANEL_RIM}"/>'
    b += f'<path d="M204.5 428V466M244.5 428V466" stroke="{PANEL_RIM}"/>'
    b += f'<g transform="translate(556,434) scale(0.09375)">{app_icon_body()}</g>'
    save("player_214", svg(593, 476, b, defs), "593x476",
         "video player background: the video area's dark well at 2,1 589x410, the transport panel below "
         "with dividers between Play, Stop/Pause and the position buttons, the program mark bottom right")


def main():
    os.makedirs(ART, exist_ok=True)
    for name in os.listdir(ART):
        if name.endswith(".svg"):
            os.remove(os.path.join(ART, name))
    background()
    pages()
    for cid, glyph, text in BUTTONS_29:
        button(cid, 29, 29, glyph, (4, 4), text)
    for cid, glyph, text in BUTTONS_25:
        button(cid, 25, 24, glyph, (5, 4), text)
    recording_look()
    small_buttons()
    for name, glyph, text in MENUS + PHOTO_MENUS:
        menu_icon(name, glyph, text)
    cursor()
    app_icon()
    player()
    write_qrc()
    write_doc()


def write_qrc():
    sounds = sorted(f for f in os.listdir(os.path.join(ROOT, "sounds")) if f.endswith(".wav"))
    drawings = sorted(f for f in os.listdir(ART) if f.endswith(".svg"))
    files = [f"art/{d}" for d in drawings] + [f"sounds/{s}" for s in sounds]
    lines = ['<!DOCTYPE RCC><RCC version="1.0">', '<qresource prefix="/">']
    lines += [f"    <file>{f}</file>" for f in files]
    lines += ["</qresource>", "</RCC>", ""]
    with open(os.path.join(ROOT, "resources.qrc"), "w") as out:
        out.write("\n".join(lines))


DOC_HEAD = """# Pelora art

All art is ours: SVG sources in `art/`, compiled in through `resources.qrc`, drawn with
`ArtPixmap(name, size, state)` from `src/widgets/Art.h`. `art/` and this list are written
by `tools/make_art.py`; the sounds by `tools/make_sounds.py`. Change the scripts, run
them, and commit what they write.

Every button has three looks. *Normal* is a slate plate with a light glyph; *Active*
(`ArtState::Active`) is the same drawing on a highlighted sky-blue plate with a white
glyph; *Disabled* is a grey, faded copy. A `<name>_active.svg` or `<name>_disabled.svg`
beside a drawing replaces the derived look. Menu icons are dark, for the light menu
background (0xEEEEEE). Sizes are the sizes the window lays out; other sizes scale.

Window places the art was drawn for: preview 193,34 640x480; file list 12,80 162x460;
page picture at 10,38 (tabs 11-91 and 94-173, y 38-76); status strip (inside 193-836, 516-540) behind
texts 1182 (200,517) and 1184 (737,516), which use the status brush 0xFCE9D2 (#d2e9fc).
Below the tabs, `page_146`/`page_147` hold the list's own tone from (2,42) on, so the
file list may use that part of the page picture as its background; `page_144`/`page_148`
are the same tone as drawings of their own, for any list size.

Menu icons are named by command id (`menu_<id>`); `menu_language` is for the "Change
language" submenu, which has no id. The language items themselves carry no icon.

The video player's art is named by bitmap id (`player_<id>`): the background 214 and the
buttons' up looks 161-167; each button's down look (361-367) is its active look.

| Name | Size | Depicts |
|---|---|---|
"""

DOC_SOUNDS = """
## Sounds

`SoundPath(id)` gives `:/sounds/<id>.wav` (16-bit PCM, mono, 22050 Hz, under one second).

| Id | Use | Sound |
|---|---|---|
| 180 | recording started or stopped | soft rising two-note chime |
| 181 | still picture taken | short mechanical double click of a shutter |
| 182 | recording time limit reached | three falling bell notes |
"""


def write_doc():
    rows = [f"| `{n}` | {s} | {d} |" for n, s, d in ENTRIES]
    with open(os.path.join(ROOT, "ART.md"), "w") as out:
        out.write(DOC_HEAD + "\n".join(rows) + "\n" + DOC_SOUNDS)


if __name__ == "__main__":
    main()
