#!/usr/bin/env python3
"""The character-selection screen's avatars and name plates, taken from the
characters' own pictures so that they follow them: for each of the sixteen
characters it reads assets/tx16/NAME_NORMAL.svg (written by
tools/tvx_characters.py) and the character's colour ("color" of its "datos" in
assets/tx15/PERSONAJES.xml), and writes into assets/tx16:

  AV_NAME_SEL.svg   the highlighted avatar: the head on a bright panel in the
                    character's colour inside a glowing gold rim
  AV_NAME.svg       the avatar at rest: the head on a dark panel tinted with
                    the character's colour inside a violet HUD rim
  AV_NAME_LOCK.svg  the locked avatar: the head as a dark silhouette on a
                    barred panel, under a padlock
  PLACA_NAME_1.svg  the name plate of player one's side (left)
  PLACA_NAME_2.svg  the same plate mirrored for player two's side (right)

and nothing else. Run from the repository root: python3 tools/tvx_avatars.py
The output depends on nothing but the two inputs, so running it twice writes
the same bytes.

Avatars are AVATAR x AVATAR px, all three of a character the same size, so the
screen can draw the highlighted one over the one at rest (assets/tx15/
SEL_PERSONAJE.xml lays them out in a 4 x 4 grid, one cell apart). The head is
the character's whole drawing seen through a square window on its face (CROP),
clipped to the panel. Everything is opaque and hard-edged: the pipeline keeps
pixels above 50 % alpha only, over exact pink.

A plate is PLATE_W x PLATE_H px and the screen draws it centred on
(x, y + 35) of its "placa" entry, (x, y) being where the name's big second
line starts (white, 70 px, its first line 30 px higher in 32 px): the plate's
strip lies behind the big line, from y - 2 to y + 66, and covers the cut-off
bottom of the large picture above it; an alter ego's plate also carries a tab
behind the small "Alter" line. The plates carry no text: the game writes the
names over them. Player one's plate reaches off the left edge of the screen
and ends in a slant toward the middle; player two's is its mirror.
"""
import math
import os
import re
import xml.etree.ElementTree as ET

TX16 = os.path.join("assets", "tx16")
CHARACTERS_XML = os.path.join("assets", "tx15", "PERSONAJES.xml")

# The characters in the order of the game's character enumeration.
NAMES = ["ALTER_ARTURITO", "ALTER_CAMANEY", "ALTER_LENGUAS", "ALTER_UAYUMIN",
         "ARTURITO", "CAMANEY", "LENGUAS", "UAYUMIN", "CARNAL", "KAROLA", "GUANTE", "OJEIS",
         "ALTER_CARNAL", "ALTER_KAROLA", "ALTER_GUANTE", "ALTER_OJEIS"]

AVATAR = 80          # px, the avatar's side
CUT = 14             # px cut off each corner of the tile
RIM = 6              # px from the tile's edge to its panel

# The square of the character's 300 x 290 picture shown in its avatar: the
# centre (x, y) and side, in the picture's px. An alter ego uses its figure's.
CROP = {
    "CAMANEY": (150, 112, 150),
    "LENGUAS": (158, 116, 160),
    "UAYUMIN": (150, 106, 150),
    "KAROLA": (150, 124, 150),
    "GUANTE": (150, 126, 156),
    "OJEIS": (152, 118, 144),
    "ARTURITO": (150, 104, 156),
    "CARNAL": (150, 100, 176),
}

PLATE_W, PLATE_H = 300, 150   # px
NAME_Y = 40                   # px: the plate's row where the name's big line starts
STRIP_TOP, STRIP_BOTTOM = NAME_Y - 2, NAME_Y + 66
TAB_TOP = NAME_Y - 36         # px: top of an alter ego's "Alter" tab

# The HUD's colours, as on the versus and opening screens.
INK = "#0c0616"
PLATE_LIGHT, PLATE_MID, PLATE_DARK = "#5a3f8c", "#2e1c52", "#1c1030"
GOLD_LIGHT, GOLD, GOLD_DARK = "#fff0b0", "#ffb52a", "#c8400f"


# ---- colours ---------------------------------------------------------------

def rgb(c):
    c = c.lstrip("#")
    return tuple(int(c[i:i + 2], 16) for i in (0, 2, 4))


def hexc(t):
    return "#%02x%02x%02x" % tuple(max(0, min(255, int(round(v)))) for v in t)


def mix(a, b, t):
    """a moved a fraction t toward b."""
    return hexc(tuple(x + (y - x) * t for x, y in zip(rgb(a), rgb(b))))


def luma(c):
    r, g, b = rgb(c)
    return (0.299 * r + 0.587 * g + 0.114 * b) / 255.0


def character_colours():
    """Each character's colour from its "datos", keyed by its picture name."""
    root = ET.parse(CHARACTERS_XML).getroot()
    out = {}
    for p in root.iter("personaje"):
        d = p.find("datos")
        out[d.get("imagen_normal")[:-len("_NORMAL")]] = "#" + d.get("color").lower()
    return out


def cos_sin(degrees):
    r = math.radians(degrees)
    return math.cos(r), math.sin(r)


# ---- the character's drawing -----------------------------------------------

def figure_of(name):
    return name[len("ALTER_"):] if name.startswith("ALTER_") else name


def drawing(name, prefix):
    """The inside of the character's standing picture, its ids prefixed so it
    can sit in another document."""
    with open(os.path.join(TX16, name + "_NORMAL.svg")) as f:
        text = f.read()
    inner = text[text.index(">", text.index("<svg")) + 1:text.rindex("</svg>")]
    inner = re.sub(r'id="([^"]+)"', r'id="%s\1"' % prefix, inner)
    inner = re.sub(r'url\(#([^)]+)\)', r'url(#%s\1)' % prefix, inner)
    return inner.strip()


def head(name, x, y, side):
    """The character's drawing scaled so that its CROP window fills the square
    of the given side at (x, y)."""
    cx, cy, s = CROP[figure_of(name)]
    return ('<svg x="%g" y="%g" width="%g" height="%g" viewBox="%g %g %g %g" overflow="hidden">%s</svg>'
            % (x, y, side, side, cx - s / 2, cy - s / 2, s, s, drawing(name, "c")))


# ---- avatars ---------------------------------------------------------------

def chamfer(inset, cut=CUT, size=AVATAR):
    """The tile's outline (a square with its corners cut) moved in by inset px."""
    a, b = inset, size - inset
    c = max(1.0, cut - inset * 0.41)
    pts = [(a + c, a), (b - c, a), (b, a + c), (b, b - c), (b - c, b), (a + c, b), (a, b - c), (a, a + c)]
    return "M" + " L".join("%g %g" % p for p in pts) + " Z"


def sparkle(x, y, r, colour):
    """A four-pointed glint."""
    k = r * 0.22
    pts = [(x, y - r), (x + k, y - k), (x + r, y), (x + k, y + k), (x, y + r), (x - k, y + k),
           (x - r, y), (x - k, y - k)]
    return '<path d="M%s Z" fill="%s"/>' % (" L".join("%g %g" % p for p in pts), colour)


def padlock(cx, cy):
    """A steel padlock, its body's centre at (cx, cy)."""
    return "".join([
        # The shackle: a thick dark arc under a steel one.
        '<path d="M%g %g V%g A%g %g 0 0 1 %g %g V%g" fill="none" stroke="%s" stroke-width="10" '
        'stroke-linecap="round"/>' % (cx - 10, cy - 4, cy - 14, 10, 10, cx + 10, cy - 14, cy - 4, INK),
        '<path d="M%g %g V%g A%g %g 0 0 1 %g %g V%g" fill="none" stroke="url(#steel)" stroke-width="5" '
        'stroke-linecap="round"/>' % (cx - 10, cy - 4, cy - 14, 10, 10, cx + 10, cy - 14, cy - 4),
        # The body, its rim and keyhole.
        '<rect x="%g" y="%g" width="30" height="24" rx="4" fill="%s"/>' % (cx - 15 - 2, cy - 12 - 2 + 1, INK),
        '<rect x="%g" y="%g" width="26" height="20" rx="3" fill="url(#lockBody)"/>' % (cx - 13, cy - 10 + 1),
        '<rect x="%g" y="%g" width="22" height="3" rx="1.5" fill="#ffffff" fill-opacity="0.45"/>' % (
            cx - 11, cy - 8 + 1),
        '<circle cx="%g" cy="%g" r="3.6" fill="%s"/>' % (cx, cy - 1, INK),
        '<path d="M%g %g L%g %g L%g %g L%g %g Z" fill="%s"/>' % (
            cx - 1.8, cy, cx + 1.8, cy, cx + 2.6, cy + 7, cx - 2.6, cy + 7, INK),
    ])


def selected_panel(colour):
    """The highlighted panel's centre, middle and edge: the character's colour
    lit up, or, when it is already pale, deepened toward gold so that a pale
    head still stands out on it."""
    if luma(colour) > 0.7:
        return mix(colour, GOLD, 0.35), mix(colour, GOLD, 0.7), mix(GOLD, GOLD_DARK, 0.7)
    return mix(colour, "#ffffff", 0.6), mix(colour, "#ffffff", 0.2), mix(colour, GOLD_DARK, 0.35)


def avatar(name, colour, kind):
    """One of the three avatars: kind "sel", "rest" or "lock"."""
    defs = ['<clipPath id="panel"><path d="%s"/></clipPath>' % chamfer(RIM)]
    body = []
    inner_side = AVATAR - 2 * RIM
    if kind == "sel":
        defs += [
            '<linearGradient id="rim" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
            '<stop offset="0.5" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            % (GOLD_LIGHT, GOLD, GOLD_DARK),
            '<radialGradient id="back" cx="0.5" cy="0.42" r="0.62"><stop offset="0" stop-color="%s"/>'
            '<stop offset="0.55" stop-color="%s"/><stop offset="1" stop-color="%s"/></radialGradient>'
            % selected_panel(colour),
        ]
        body += [
            '<path d="%s" fill="%s"/>' % (chamfer(0), GOLD_DARK),
            '<path d="%s" fill="url(#rim)"/>' % chamfer(1.5),
            '<path d="%s" fill="%s"/>' % (chamfer(RIM - 1.5), "#fff6d8"),
            '<path d="%s" fill="url(#back)"/>' % chamfer(RIM),
            # Rays from behind the head.
            '<g clip-path="url(#panel)" fill="#ffffff" fill-opacity="0.28">%s</g>' % "".join(
                '<path d="M40 36 L%g %g L%g %g Z"/>' % (
                    40 + 70 * cos_sin(a - 7)[0], 36 + 70 * cos_sin(a - 7)[1],
                    40 + 70 * cos_sin(a + 7)[0], 36 + 70 * cos_sin(a + 7)[1])
                for a in range(0, 360, 45)),
            '<g clip-path="url(#panel)">%s</g>' % head(name, RIM, RIM, inner_side),
            # A light sheen over the top of the glass.
            '<path d="M%g %g L%g %g L%g %g L%g %g Z" fill="#ffffff" fill-opacity="0.22" '
            'clip-path="url(#panel)"/>' % (0, 0, 80, 0, 80, 12, 0, 26),
            '<path d="%s" fill="none" stroke="%s" stroke-width="1.2"/>' % (chamfer(RIM), GOLD_DARK),
            sparkle(RIM + 3, RIM + 3, 7, "#ffffff"),
            sparkle(AVATAR - RIM - 3, AVATAR - RIM - 3, 5, "#fff6d8"),
        ]
    elif kind == "rest":
        defs += [
            '<linearGradient id="rim" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
            '<stop offset="0.55" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
            % (PLATE_LIGHT, PLATE_MID, PLATE_DARK),
            '<radialGradient id="back" cx="0.5" cy="0.4" r="0.65"><stop offset="0" stop-color="%s"/>'
            '<stop offset="1" stop-color="%s"/></radialGradient>'
            % (mix(colour, PLATE_DARK, 0.45 if luma(colour) > 0.6 else 0.3), mix(colour, PLATE_DARK, 0.82)),
        ]
        body += [
            '<path d="%s" fill="%s"/>' % (chamfer(0), INK),
            '<path d="%s" fill="url(#rim)"/>' % chamfer(1.5),
            '<path d="%s" fill="%s"/>' % (chamfer(RIM - 1.5), mix(GOLD, PLATE_MID, 0.45)),
            '<path d="%s" fill="url(#back)"/>' % chamfer(RIM),
            '<g clip-path="url(#panel)">%s</g>' % head(name, RIM, RIM, inner_side),
            '<path d="M%g %g L%g %g L%g %g L%g %g Z" fill="#ffffff" fill-opacity="0.08" '
            'clip-path="url(#panel)"/>' % (0, 0, 80, 0, 80, 12, 0, 26),
            # The lower edge darkened, so the tile reads as a recessed window.
            '<rect x="0" y="%g" width="80" height="%g" fill="%s" fill-opacity="0.35" clip-path="url(#panel)"/>'
            % (AVATAR - RIM - 10, 10, PLATE_DARK),
        ]
    else:
        defs += [
            '<linearGradient id="rim" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#4a4258"/>'
            '<stop offset="1" stop-color="#1e1a28"/></linearGradient>',
            '<linearGradient id="back" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#5a5070"/>'
            '<stop offset="1" stop-color="#2a2238"/></linearGradient>',
            '<linearGradient id="steel" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="#8a8298"/>'
            '<stop offset="0.45" stop-color="#f0ecf8"/><stop offset="1" stop-color="#6a6278"/></linearGradient>',
            '<linearGradient id="lockBody" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="#e8e2f2"/>'
            '<stop offset="0.5" stop-color="#a8a0b8"/><stop offset="1" stop-color="#5a5268"/></linearGradient>',
            '<filter id="shadow" x="0" y="0" width="1" height="1"><feFlood flood-color="#0e0a18"/>'
            '<feComposite in2="SourceAlpha" operator="in"/></filter>',
        ]
        bars = "".join('<path d="M%g 0 L%g 0 L%g 80 L%g 80 Z"/>' % (x, x + 6, x - 20, x - 26)
                       for x in range(0, 120, 14))
        body += [
            '<path d="%s" fill="%s"/>' % (chamfer(0), INK),
            '<path d="%s" fill="url(#rim)"/>' % chamfer(1.5),
            '<path d="%s" fill="#0a0710"/>' % chamfer(RIM - 1.5),
            '<path d="%s" fill="url(#back)"/>' % chamfer(RIM),
            '<g clip-path="url(#panel)" fill="#000000" fill-opacity="0.12">%s</g>' % bars,
            # The silhouette, rimmed faintly in the character's colour.
            '<g clip-path="url(#panel)"><g filter="url(#shadow)">%s</g></g>' % head(name, RIM, RIM, inner_side),
            '<path d="%s" fill="none" stroke="%s" stroke-width="1.2"/>' % (
                chamfer(RIM), mix(colour, "#1e1a28", 0.6)),
            padlock(AVATAR / 2, AVATAR / 2 + 8),
        ]
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            '<defs>%s</defs>\n%s\n</svg>\n' % (AVATAR, AVATAR, AVATAR, AVATAR, "".join(defs),
                                               "\n".join(body)))




# ---- plates ----------------------------------------------------------------

def poly(pts):
    return "M" + " L".join("%g %g" % p for p in pts) + " Z"


def plate(name, colour, mirrored):
    """Player one's plate (the strip off the left edge, slanting toward the
    middle), or player two's mirror of it."""
    alter = name.startswith("ALTER_")
    accent = colour
    deep = mix(colour, PLATE_DARK, 0.55)
    t, b = STRIP_TOP, STRIP_BOTTOM
    strip = [(-10, t), (292, t), (268, b), (-10, b)]
    defs = [
        '<linearGradient id="body" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
        '<stop offset="0.45" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (PLATE_LIGHT, PLATE_MID, PLATE_DARK),
        '<linearGradient id="rim" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
        '<stop offset="0.5" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (GOLD_LIGHT, GOLD, GOLD_DARK),
        # The character's colour flooding in from the screen's edge.
        '<linearGradient id="flood" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="%s" '
        'stop-opacity="0.85"/><stop offset="0.3" stop-color="%s" stop-opacity="0.35"/>'
        '<stop offset="0.75" stop-color="%s" stop-opacity="0"/></linearGradient>' % (accent, accent, accent),
        '<linearGradient id="band" x1="0" y1="0" x2="1" y2="0"><stop offset="0" stop-color="%s"/>'
        '<stop offset="0.6" stop-color="%s"/><stop offset="1" stop-color="%s"/></linearGradient>'
        % (mix(accent, "#ffffff", 0.35), accent, deep),
        '<clipPath id="strip"><path d="%s"/></clipPath>' % poly(strip),
    ]
    body = []
    # Shadow, rim, body.
    body.append('<path d="%s" fill="%s"/>' % (poly([(x + 4, y + 5) for x, y in strip]), "#06030c"))
    body.append('<path d="%s" fill="url(#rim)"/>' % poly(strip))
    inner = [(-10, t + 3), (287.5, t + 3), (265.3, b - 3), (-10, b - 3)]
    body.append('<path d="%s" fill="url(#body)"/>' % poly(inner))
    body.append('<path d="%s" fill="url(#flood)"/>' % poly(inner))
    # Speed streaks and the character's band along the bottom.
    streaks = [(40, t + 14, 150, 2), (120, t + 24, 130, 1.5), (10, t + 52, 110, 1.5)]
    body.append('<g fill="#ffffff" fill-opacity="0.13" clip-path="url(#strip)">%s</g>' % "".join(
        '<path d="%s"/>' % poly([(x, y), (x + w, y), (x + w - 2, y + h), (x - 2, y + h)])
        for x, y, w, h in streaks))
    band_t, band_b = b - 13, b - 5
    body.append('<path d="%s" fill="%s"/>' % (poly([(-10, band_t - 2), (268 + 10.5, band_t - 2),
                                                      (268 + 4.5, band_b + 2), (-10, band_b + 2)]), INK))
    body.append('<path d="%s" fill="url(#band)"/>' % poly([(-10, band_t), (268 + 8.5, band_t),
                                                            (268 + 6, band_b), (-10, band_b)]))
    # The glass highlight along the top.
    body.append('<path d="%s" fill="#ffffff" fill-opacity="0.28"/>' % poly(
        [(-10, t + 4), (286.5, t + 4), (285.4, t + 7), (-10, t + 7)]))
    # Three chevrons pointing at the middle of the screen.
    for i in range(3):
        x = 244 - 2 + i * 9
        body.append('<path d="%s" fill="%s"/>' % (
            poly([(x, t + 14), (x + 5, t + 14), (x + 12 - 2, t + 30), (x + 5 - 4, t + 46), (x - 4, t + 46),
                  (x + 3, t + 30)]), mix(GOLD, PLATE_MID, 0.25 + 0.25 * i)))
    if alter:
        # The tab behind "Alter": a small slanted plate on the strip.
        tab = [(92, TAB_TOP), (214, TAB_TOP), (204, t + 2), (82, t + 2)]
        defs.append('<linearGradient id="tab" x1="0" y1="0" x2="0" y2="1"><stop offset="0" stop-color="%s"/>'
                    '<stop offset="1" stop-color="%s"/></linearGradient>' % (mix(accent, PLATE_DARK, 0.35), deep))
        body.append('<path d="%s" fill="#06030c"/>' % poly([(x + 4, y + 4) for x, y in tab]))
        body.append('<path d="%s" fill="url(#rim)"/>' % poly(tab))
        body.append('<path d="%s" fill="url(#tab)"/>' % poly(
            [(94.5, TAB_TOP + 3), (210.5, TAB_TOP + 3), (202, t + 2), (86, t + 2)]))
        body.append('<path d="%s" fill="#ffffff" fill-opacity="0.25"/>' % poly(
            [(94, TAB_TOP + 4), (210, TAB_TOP + 4), (209.4, TAB_TOP + 6), (93.4, TAB_TOP + 6)]))
    content = "\n".join(body)
    if mirrored:
        content = '<g transform="translate(%d 0) scale(-1 1)">\n%s\n</g>' % (PLATE_W, content)
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            '<defs>%s</defs>\n%s\n</svg>\n' % (PLATE_W, PLATE_H, PLATE_W, PLATE_H, "".join(defs), content))


def main():
    colours = character_colours()
    for name in NAMES:
        colour = colours[name]
        files = {
            "AV_%s_SEL" % name: avatar(name, colour, "sel"),
            "AV_%s" % name: avatar(name, colour, "rest"),
            "AV_%s_LOCK" % name: avatar(name, colour, "lock"),
            "PLACA_%s_1" % name: plate(name, colour, False),
            "PLACA_%s_2" % name: plate(name, colour, True),
        }
        for base, text in files.items():
            with open(os.path.join(TX16, base + ".svg"), "w") as out:
                out.write(text)


if __name__ == "__main__":
    main()
