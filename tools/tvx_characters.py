#!/usr/bin/env python3
"""The sixteen characters' pictures from one description per character: for each
of the eight it writes assets/tx16/NAME_NORMAL.svg (standing proud) and
NAME_PIERDE.svg (the same figure beaten: slumped, eyes shut, cracked, smoking),
and derives the alter ego's pair from the same figure in a dark mirror palette
(light parts turned dark, the chosen parts glowing in the alter's colour,
glowing eyes).

Run from the repository root: python3 tools/tvx_characters.py
Every picture is PICTURE_W x PICTURE_H px, drawn facing the viewer so one
picture serves both sides: the versus and results screens put its top at y 65
and its centre at x 167 to 632, and their bars cover it from about y 330 down,
so the figure is a bust whose cut-off bottom hides behind the bar. Everything is
opaque (the pipeline keeps pixels above 50 % alpha only).
"""
import colorsys
import os

PICTURE_W, PICTURE_H = 300, 290   # px
CX = PICTURE_W // 2               # px, the figure's axis
INK_W = 4                         # px, outline width
LOSE_DROP = 16                    # px the beaten figure sinks
LOSE_HEAD_DROP = 12               # px the beaten head sinks further onto the chest
LOSE_HEAD_TILT = -14              # degrees the beaten head leans
LOSE_ARMS_DROP = 70               # px raised arms fall when beaten
HEADROOM = 12                     # px every figure sits below the picture's top edge
AURA_W = 3                        # px, the glowing rim around an alter ego's silhouette
OUT_DIR = os.path.join("assets", "tx16")


# ---- colours ---------------------------------------------------------------

def rgb(c):
    c = c.lstrip("#")
    return tuple(int(c[i:i + 2], 16) / 255.0 for i in (0, 2, 4))


def hexc(t):
    return "#%02x%02x%02x" % tuple(max(0, min(255, round(v * 255))) for v in t)


def mix(a, b, t):
    """a moved a fraction t toward b."""
    ra, rb = rgb(a), rgb(b)
    return hexc(tuple(x + (y - x) * t for x, y in zip(ra, rb)))


def hls(c):
    return colorsys.rgb_to_hls(*rgb(c))


def from_hls(h, l, s):
    return hexc(colorsys.hls_to_rgb(h % 1.0, max(0, min(1, l)), max(0, min(1, s))))


def beaten(c):
    """A beaten figure's colour: greyer and a little darker."""
    h, l, s = hls(c)
    return from_hls(h, l * 0.86, s * 0.5)


def alter_colour(base, glow_hex, glowing, shift):
    """The dark mirror of a base colour: its lightness inverted into the dark
    range and its hue taken from the alter's colour; glowing parts take the
    alter's colour itself."""
    gh, gl, gs = hls(glow_hex)
    if glowing:
        return from_hls(gh + shift, max(gl, 0.55), gs)
    _, l, _ = hls(base)
    return from_hls(gh + shift, 0.15 + 0.24 * (1.0 - l), 0.5)


# ---- drawing ---------------------------------------------------------------

class Art:
    """One picture being written: its palette, gradients and elements."""

    def __init__(self, palette, ink, lose, alter, eye_glow):
        self.palette = palette      # material name -> hex colour
        self.ink = ink              # outline colour
        self.lose = lose            # the beaten picture
        self.alter = alter          # drawn in the dark mirror palette
        self.eye_glow = eye_glow    # alter's glowing eye colour
        self.defs = []              # gradient definitions
        self.gradients = {}         # (material, kind) -> gradient id

    def c(self, key):
        """A material's colour (or a literal hex), beaten when the figure lost."""
        col = self.palette.get(key, key)
        return beaten(col) if self.lose else col

    def g(self, key, kind="lin"):
        """A gradient fill for a material: lit from the upper left."""
        if (key, kind) in self.gradients:
            return "url(#%s)" % self.gradients[(key, kind)]
        gid = "g%d" % len(self.gradients)
        self.gradients[(key, kind)] = gid
        base = self.c(key)
        light, dark = mix(base, "#ffffff", 0.42), mix(base, "#000000", 0.45)
        if kind == "rad":
            self.defs.append(
                '<radialGradient id="%s" cx="38%%" cy="32%%" r="75%%">'
                '<stop offset="0" stop-color="%s"/><stop offset="0.55" stop-color="%s"/>'
                '<stop offset="1" stop-color="%s"/></radialGradient>' % (gid, light, base, dark))
        else:
            self.defs.append(
                '<linearGradient id="%s" x1="0.2" y1="0" x2="0.8" y2="1">'
                '<stop offset="0" stop-color="%s"/><stop offset="0.5" stop-color="%s"/>'
                '<stop offset="1" stop-color="%s"/></linearGradient>' % (gid, light, base, dark))
        return "url(#%s)" % gid

    def shape(self, tag, fill, stroke=True, extra="", **attrs):
        a = " ".join('%s="%s"' % (k.replace("_", "-"), v) for k, v in attrs.items())
        s = ' stroke="%s" stroke-width="%d" stroke-linejoin="round" stroke-linecap="round"' % (
            self.c(self.ink), INK_W) if stroke else ""
        return '<%s %s fill="%s"%s %s/>' % (tag, a, fill, s, extra)

    def path(self, d, key, kind="lin", stroke=True):
        return self.shape("path", self.g(key, kind), stroke, d=d)

    def flat(self, d, key, stroke=False, opacity=None):
        extra = 'fill-opacity="%s"' % opacity if opacity is not None else ""
        return self.shape("path", self.c(key), stroke, extra, d=d)

    def circle(self, x, y, r, key, kind="rad", stroke=True):
        return self.shape("circle", self.g(key, kind), stroke, cx=x, cy=y, r=r)

    def ellipse(self, x, y, rx, ry, key, kind="rad", stroke=True):
        return self.shape("ellipse", self.g(key, kind), stroke, cx=x, cy=y, rx=rx, ry=ry)

    def line(self, pts, key, width=INK_W):
        d = "M" + " L".join("%g %g" % p for p in pts)
        return ('<path d="%s" fill="none" stroke="%s" stroke-width="%g" '
                'stroke-linejoin="round" stroke-linecap="round"/>' % (d, self.c(key), width))

    def blob(self, circles, key, kind="rad"):
        """A puffy outline: the union of circles, outlined once around the outside."""
        out = [self.shape("circle", self.c(self.ink), False, cx=x, cy=y, r=r + INK_W / 2)
               for x, y, r in circles]
        out += [self.shape("circle", self.g(key, kind), False, cx=x, cy=y, r=r)
                for x, y, r in circles]
        return "".join(out)

    def shine(self, x, y, rx, ry, rotate=0):
        """The soft highlight every rounded part carries, as on the spheres."""
        return ('<ellipse cx="%g" cy="%g" rx="%g" ry="%g" fill="#ffffff" fill-opacity="%s" '
                'transform="rotate(%g %g %g)"/>' % (x, y, rx, ry, "0.22" if self.lose else "0.35",
                                                     rotate, x, y))


def mirror(d_pts):
    """Points mirrored about the figure's axis, in reverse order."""
    return [(PICTURE_W - x, y) for x, y in d_pts][::-1]


def poly(pts, close=True):
    return "M" + " L".join("%g %g" % p for p in pts) + (" Z" if close else "")


# ---- faces -----------------------------------------------------------------

def face(a, f):
    """Eyes, brows and mouth from a face description: "eyes" [(x, y)], "eye"
    (rx, ry), "iris" material, "style" round/visor, "brow" tilt px (+ frowns),
    "mouth" (x, y, half width), "grin" smile/teeth/smirk/none."""
    out = []
    rx, ry = f["eye"]
    style = f.get("style", "round")
    for i, (x, y) in enumerate(f["eyes"]):
        side = -1 if i == 0 else 1
        if a.lose:
            if a.alter or style == "visor":
                # The light gone out: a dim cross.
                dim = mix(a.eye_glow if a.alter else a.c(f["iris"]), "#000000", 0.4)
                k = min(rx, ry) * 0.8
                out.append(a.line([(x - k, y - k), (x + k, y + k)], dim, 5))
                out.append(a.line([(x - k, y + k), (x + k, y - k)], dim, 5))
                if style == "visor":
                    continue
            else:
                # Shut tight and sad.
                out.append('<path d="M%g %g Q%g %g %g %g" fill="none" stroke="%s" stroke-width="5" '
                           'stroke-linecap="round"/>' % (x - rx, y, x, y + ry * 0.9, x + rx, y, a.c(a.ink)))
            # Worried brows: raised toward the middle.
            by = y - ry - 9
            out.append(a.line([(x - side * rx, by - 8), (x + side * rx, by + 2)], a.ink, 5))
            continue
        if a.alter:
            glow = a.eye_glow
            out.append(a.shape("ellipse", mix(glow, "#000000", 0.35), False,
                               cx=x, cy=y, rx=rx + 5, ry=ry + 5))
            out.append(a.shape("ellipse", glow, True, cx=x, cy=y, rx=rx, ry=ry))
            out.append(a.shape("ellipse", mix(glow, "#ffffff", 0.8), False,
                               cx=x, cy=y, rx=rx * 0.45, ry=ry * 0.45))
        elif style == "visor":
            out.append(a.shape("ellipse", a.c(f["iris"]), False, cx=x, cy=y, rx=rx, ry=ry))
            out.append(a.shape("ellipse", "#ffffff", False, cx=x, cy=y, rx=rx * 0.45, ry=ry * 0.45))
        else:
            out.append(a.shape("ellipse", "#ffffff", True, cx=x, cy=y, rx=rx, ry=ry))
            ir = min(rx, ry) * 0.62
            out.append(a.shape("circle", a.c(f["iris"]), False, cx=x, cy=y + 1, r=ir))
            out.append(a.shape("circle", "#111111", False, cx=x, cy=y + 1, r=ir * 0.5))
            out.append(a.shape("circle", "#ffffff", False, cx=x - ir * 0.35, cy=y - ir * 0.35,
                               r=ir * 0.3))
        tilt = f.get("brow", 0) + (6 if a.alter else 0)
        if style != "visor":
            # Inner end lowered by the tilt: determined; raised: friendly.
            by = y - ry - 7
            out.append(a.line([(x - side * rx, by + tilt - 2), (x + side * rx, by - 2)], a.ink, 6))
    mx, my, mw = f.get("mouth", (0, 0, 0))
    grin = f.get("grin", "smile")
    if grin == "none" or mw == 0:
        return "".join(out)
    if a.lose:
        out.append('<path d="M%g %g Q%g %g %g %g Q%g %g %g %g" fill="none" stroke="%s" '
                   'stroke-width="5" stroke-linecap="round"/>' % (
                       mx - mw, my + 6, mx - mw / 2, my - 6, mx, my, mx + mw / 2, my - 6,
                       mx + mw, my + 6, a.c(a.ink)))
    elif grin == "teeth":
        out.append(a.shape("path", a.c("#3a0008"), True,
                           d="M%g %g Q%g %g %g %g Q%g %g %g %g Z" % (
                               mx - mw, my - 6, mx, my + 4, mx + mw, my - 6,
                               mx, my + mw * 0.9, mx - mw, my - 6)))
        for k in range(-2, 3):
            tx = mx + k * mw * 0.32
            ty = my - 3 + abs(k) * -1.5
            out.append(a.shape("path", "#ffffff", False,
                               d=poly([(tx - 5, ty), (tx + 5, ty), (tx, ty + 10)])))
    elif grin == "smirk":
        out.append('<path d="M%g %g Q%g %g %g %g" fill="none" stroke="%s" stroke-width="5" '
                   'stroke-linecap="round"/>' % (mx - mw, my + 2, mx + mw * 0.2, my + 10,
                                                 mx + mw, my - 6, a.c(a.ink)))
    else:
        out.append(a.shape("path", a.c("#5a1020"), True,
                           d="M%g %g Q%g %g %g %g Z" % (mx - mw, my, mx, my + mw * 0.8, mx + mw, my)))
    return "".join(out)


def lose_marks(a, cracks_body, cracks_head):
    """What a beaten figure carries besides its face: cracks and a tear."""
    body = "".join(a.line(c, a.ink, 3.5) for c in cracks_body)
    head = "".join(a.line(c, a.ink, 3.5) for c in cracks_head)
    if a.alter:
        glow = mix(a.eye_glow, "#000000", 0.3)
        body = "".join(a.line(c, glow, 2) for c in cracks_body) + body
    return body, head


def smoke(a, x, y):
    """Puffs of smoke rising from a beaten head."""
    grey = "#8a8a92" if not a.alter else mix(a.eye_glow, "#202028", 0.75)
    puffs = [(x - 18, y, 11), (x - 4, y - 14, 14), (x + 16, y - 30, 10), (x + 2, y - 42, 7)]
    return "".join(a.shape("circle", grey, True, cx=px, cy=py, r=r) for px, py, r in puffs)


# ---- the eight figures -----------------------------------------------------
# Each returns its parts: "body" (drawn first), "head" (turns about "neck" when
# beaten), "front" (optional: drawn over the head, moves with the body), "arms"
# (drawn last; fall when beaten), "face", crack lines for the
# body and head, and "top", where smoke rises from a beaten head.

def camaney(a):
    """A volcano of a smith: basalt shoulders, a cone head with a burning crater."""
    body = [
        a.path("M16 290 L30 205 Q40 160 92 148 L208 148 Q260 160 270 205 L284 290 Z", "lava"),
        a.path(poly([(104, 176), (196, 176), (186, 244), (150, 262), (114, 244)]), "rock"),
        a.flat("M150 186 C164 204 168 216 150 240 C132 216 136 204 150 186 Z", "magma"),
        a.circle(60, 180, 44, "rock"), a.circle(240, 180, 44, "rock"),
        a.line([(40, 160), (56, 182), (48, 204)], "magma", 5),
        a.line([(258, 160), (244, 184), (256, 206)], "magma", 5),
        a.line([(60, 230), (72, 252), (64, 276)], "magma", 5),
        a.line([(240, 230), (228, 254), (238, 278)], "magma", 5),
        a.shine(46, 162, 16, 9, -30), a.shine(226, 162, 16, 9, -30),
    ]
    head = [
        a.path("M124 62 C112 34 136 30 132 8 C148 26 154 16 156 0 C170 22 188 32 176 62 Z", "magma"),
        a.path("M88 156 L116 60 Q150 50 184 60 L212 156 Q150 172 88 156 Z", "lava"),
        a.shape("ellipse", a.g("magma", "rad"), True, cx=150, cy=61, rx=34, ry=9),
        a.flat(poly([(100, 96), (200, 96), (204, 112), (96, 112)]), "rock", True),
        a.line([(128, 70), (136, 82), (130, 90)], "magma", 4),
        a.shine(128, 76, 10, 6, -60),
    ]
    f = {"eyes": [(128, 122), (172, 122)], "eye": (12, 9), "iris": "magma", "brow": 5,
         "mouth": (150, 146, 20), "grin": "smile"}
    return {"body": body, "head": head, "arms": [], "face": f, "neck": (150, 156), "top": (176, 30),
            "cracks_body": [[(150, 150), (144, 170), (156, 188)], [(90, 250), (100, 270), (94, 290)]],
            "cracks_head": [[(170, 66), (164, 84), (172, 96)]]}


def lenguas(a):
    """A tall sea spirit under a breaking wave of hair."""
    body = [
        a.path("M66 290 C76 226 98 200 122 190 L178 190 C202 200 224 226 234 290 Z", "sea"),
        a.line([(84, 246), (108, 234), (130, 246), (150, 234), (170, 246), (192, 234), (216, 246)],
               "foam", 6),
        a.line([(78, 272), (104, 260), (128, 272), (150, 260), (172, 272), (196, 260), (222, 272)],
               "foam", 5),
        a.flat("M124 212 Q137 202 150 212 Q163 222 176 212", "foam"),
        a.line([(124, 212), (137, 204), (150, 212), (163, 220), (176, 212)], "foam", 5),
        a.shine(102, 214, 14, 8, -40),
    ]
    head = [
        a.path("M96 186 C66 130 78 58 138 40 C190 24 254 48 256 100 C258 140 218 150 204 126 "
               "C194 108 212 94 226 106 C222 78 194 66 168 74 C146 80 124 100 120 136 L118 186 Z",
               "sea"),
        a.path("M136 150 L164 150 L166 196 L134 196 Z", "skin"),
        a.path(poly([(110, 120), (88, 104), (96, 140)]), "sea"),
        a.path(poly([(190, 120), (212, 104), (204, 140)]), "sea"),
        a.ellipse(150, 128, 40, 48, "skin"),
        a.path("M112 110 C116 78 140 66 170 72 C152 80 140 92 136 112 Z", "sea"),
        a.blob([(226, 106, 9), (238, 96, 8), (248, 84, 7), (144, 44, 8), (164, 38, 8), (184, 38, 7)],
               "foam"),
        a.shine(130, 106, 10, 6, -40),
    ]
    f = {"eyes": [(134, 128), (168, 128)], "eye": (11, 13), "iris": "sea", "brow": -3,
         "mouth": (151, 154, 12), "grin": "smile"}
    return {"body": body, "head": head, "arms": [], "face": f, "neck": (150, 190), "top": (150, 40),
            "cracks_body": [[(200, 200), (192, 220), (204, 236)]],
            "cracks_head": [[(122, 96), (132, 104), (126, 114)]]}


def uayumin(a):
    """A wiry storm child: lightning hair, a thundercloud scarf."""
    body = [
        a.path("M84 290 L98 214 Q108 188 134 184 L166 184 Q192 188 202 214 L216 290 Z", "night"),
        a.path(poly([(160, 204), (132, 246), (150, 246), (136, 284), (174, 236), (154, 236),
                     (170, 204)]), "bolt"),
    ]
    front = [
        a.blob([(104, 204, 22), (128, 194, 24), (160, 192, 25), (190, 202, 22), (150, 210, 18)],
               "cloud"),
        a.shine(118, 186, 10, 6, -30),
    ]
    head = [
        a.path(poly([(106, 126), (82, 86), (112, 96), (104, 40), (132, 80), (148, 8), (160, 72),
                     (188, 28), (184, 90), (218, 70), (194, 126)]), "bolt"),
        a.path("M138 150 L162 150 L164 184 L136 184 Z", "skin"),
        a.ellipse(150, 126, 36, 42, "skin"),
        a.path(poly([(112, 114), (120, 86), (136, 100), (150, 80), (164, 100), (180, 86),
                     (188, 114), (172, 102), (150, 110), (128, 102)]), "bolt"),
        a.path(poly([(56, 60), (70, 40), (66, 56), (80, 50), (64, 74), (68, 60)]), "bolt"),
        a.path(poly([(236, 110), (250, 88), (248, 104), (262, 98), (246, 124), (248, 110)]), "bolt"),
        a.shine(134, 112, 9, 5, -40),
    ]
    f = {"eyes": [(135, 128), (166, 128)], "eye": (10, 7), "iris": "storm", "brow": 4,
         "mouth": (152, 150, 13), "grin": "smirk"}
    return {"body": body, "front": front, "head": head, "arms": [], "face": f, "neck": (150, 184),
            "top": (150, 20),
            "cracks_body": [[(110, 230), (120, 246), (112, 262)]],
            "cracks_head": [[(160, 92), (156, 104), (162, 112)]]}


def karola(a):
    """A round cloud girl: puffs for body, hair and hands."""
    body = [
        a.blob([(80, 252, 46), (150, 232, 58), (220, 252, 46), (112, 292, 50), (188, 292, 50)],
               "cloud"),
        a.blob([(132, 248, 12), (148, 240, 15), (166, 248, 12)], "puff"),
        a.shine(126, 206, 22, 11, -20),
    ]
    head = [
        a.blob([(96, 118, 28), (104, 82, 30), (130, 58, 30), (170, 58, 30), (196, 82, 30),
                (204, 118, 28)], "puff"),
        a.circle(150, 128, 54, "skin"),
        a.blob([(118, 84, 20), (144, 74, 22), (172, 80, 20), (190, 94, 14)], "puff"),
        a.shape("ellipse", a.c("cheek"), False, cx=118, cy=146, rx=11, ry=7),
        a.shape("ellipse", a.c("cheek"), False, cx=182, cy=146, rx=11, ry=7),
        a.shine(124, 104, 12, 6, -30),
    ]
    arms = [a.blob([(44, 212, 22), (30, 196, 14)], "cloud"),
            a.blob([(256, 212, 22), (270, 196, 14)], "cloud")]
    f = {"eyes": [(130, 128), (170, 128)], "eye": (12, 14), "iris": "iris", "brow": -2,
         "mouth": (150, 154, 11), "grin": "smile"}
    return {"body": body, "head": head, "arms": arms, "face": f, "neck": (150, 182), "top": (150, 40),
            "cracks_body": [[(150, 190), (142, 206), (152, 220)]],
            "cracks_head": [[(180, 104), (172, 114), (178, 124)]]}


def mitten(a, x, y, flip):
    s = -1 if flip else 1
    return "".join([
        a.path("M%g %g C%g %g %g %g %g %g C%g %g %g %g %g %g Z" % (
            x - 30, y + 34, x - 40, y - 10, x - 26, y - 46, x, y - 46,
            x + 26, y - 46, x + 40, y - 10, x + 30, y + 34), "mitt"),
        a.path("M%g %g C%g %g %g %g %g %g C%g %g %g %g %g %g Z" % (
            x - s * 28, y + 8, x - s * 50, y, x - s * 52, y - 24, x - s * 38, y - 30,
            x - s * 28, y - 32, x - s * 24, y - 14, x - s * 24, y - 4), "mitt"),
        a.path("M%g %g L%g %g L%g %g L%g %g Z" % (x - 34, y + 28, x + 34, y + 28, x + 36, y + 52,
                                                  x - 36, y + 52), "fur"),
        a.line([(x - 12, y - 30), (x - 12, y - 4)], mix(a.c("mitt"), "#ffffff", 0.5), 4),
        a.shine(x - 10, y - 30, 10, 6, -30),
    ])


def guante(a):
    """A snowfield boxer: a fur-trimmed parka and two great ice mittens up in guard."""
    body = [
        a.path("M26 290 C34 212 70 170 110 164 L190 164 C230 170 266 212 274 290 Z", "parka"),
        a.line([(150, 180), (150, 290)], "ink", 4),
        a.line([(150, 204), (150, 260)], "flake", 6), a.line([(126, 218), (174, 246)], "flake", 6),
        a.line([(126, 246), (174, 218)], "flake", 6),
        a.shine(86, 196, 20, 10, -35),
    ]
    fur = [(150 + 60 * x, 118 + 66 * y) for x, y in
           [(-1, 0), (-0.92, -0.4), (-0.7, -0.72), (-0.38, -0.93), (0, -1), (0.38, -0.93),
            (0.7, -0.72), (0.92, -0.4), (1, 0), (0.92, 0.4), (0.7, 0.72), (0.38, 0.93), (0, 1),
            (-0.38, 0.93), (-0.7, 0.72), (-0.92, 0.4)]]
    head = [
        a.ellipse(150, 112, 82, 88, "parka"),
        a.blob([(x, y, 16) for x, y in fur], "fur"),
        a.ellipse(150, 122, 44, 50, "skin"),
        a.shape("ellipse", a.c("cheek"), False, cx=124, cy=140, rx=9, ry=6),
        a.shape("ellipse", a.c("cheek"), False, cx=176, cy=140, rx=9, ry=6),
        a.shine(112, 56, 18, 9, -35),
    ]
    arms = [mitten(a, 52, 150, False), mitten(a, 248, 150, True)]
    f = {"eyes": [(133, 120), (167, 120)], "eye": (10, 11), "iris": "mitt", "brow": 6,
         "mouth": (150, 148, 13), "grin": "smile"}
    return {"body": body, "head": head, "arms": arms, "face": f, "neck": (150, 190), "top": (150, 26),
            "cracks_body": [[(100, 200), (110, 218), (102, 236)], [(210, 240), (200, 258), (210, 274)]],
            "cracks_head": [[(196, 70), (186, 84), (194, 96)]]}


def ojeis(a):
    """A desert rider wrapped to the eyes, her scarf streaming in the wind."""
    body = [
        a.path("M170 176 C210 160 250 176 296 146 L294 174 C256 196 222 192 182 200 Z", "sash"),
        a.path("M176 196 C214 196 246 214 290 204 L286 226 C248 232 214 222 178 214 Z", "sash"),
        a.path("M40 290 C56 214 88 182 120 174 L180 174 C212 182 244 214 260 290 Z", "robe"),
        a.path(poly([(100, 188), (122, 180), (220, 290), (190, 290)]), "sash"),
        a.shine(90, 214, 16, 8, -40),
    ]
    head = [
        a.path("M130 150 L170 150 L172 180 L128 180 Z", "robe"),
        a.ellipse(150, 124, 46, 54, "skin"),
        a.path("M104 130 L196 130 C200 166 176 186 150 188 C124 186 100 166 104 130 Z", "robe"),
        a.path("M98 110 C92 60 120 40 150 40 C180 40 208 60 202 110 Q150 100 98 110 Z", "wrap"),
        a.line([(104, 90), (150, 66), (196, 78)], mix(a.c("wrap"), "#000000", 0.3), 3),
        a.line([(102, 102), (150, 82), (198, 96)], mix(a.c("wrap"), "#000000", 0.3), 3),
        a.path("M128 68 Q150 50 172 68 Q150 86 128 68 Z", "gem"),
        a.shape("circle", a.c("ink"), False, cx=150, cy=68, r=6),
        a.path("M196 56 C214 40 222 24 214 8 C232 26 230 50 206 72 Z", "wrap"),
        a.shine(124, 56, 14, 7, -30),
    ]
    f = {"eyes": [(132, 118), (168, 118)], "eye": (13, 7), "iris": "gem", "brow": 5,
         "mouth": (0, 0, 0), "grin": "none"}
    return {"body": body, "head": head, "arms": [], "face": f, "neck": (150, 180), "top": (150, 30),
            "cracks_body": [[(80, 250), (92, 266), (84, 282)]],
            "cracks_head": [[(180, 146), (172, 160), (180, 170)]]}


def arturito(a):
    """A factory robot: a box head with a visor, piston shoulders and smokestacks."""
    body = [
        a.path("M38 120 L58 120 L58 176 L38 176 Z", "steel"),
        a.path("M242 120 L262 120 L262 176 L242 176 Z", "steel"),
        a.path("M58 174 Q58 164 70 164 L230 164 Q242 164 242 174 L246 290 L54 290 Z", "brass"),
        a.path("M104 190 L196 190 L190 262 L110 262 Z", "steel"),
        a.path("M142 204 L158 204 L158 218 L172 218 L172 234 L158 234 L158 248 L142 248 L142 234 "
               "L128 234 L128 218 L142 218 Z", "brass"),
        a.path("M14 164 Q14 154 26 154 L70 154 Q82 154 82 164 L82 214 L14 214 Z", "steel"),
        a.path("M218 164 Q218 154 230 154 L274 154 Q286 154 286 164 L286 214 L218 214 Z", "steel"),
        a.line([(20, 176), (76, 176)], "ink", 3), a.line([(20, 194), (76, 194)], "ink", 3),
        a.line([(224, 176), (280, 176)], "ink", 3), a.line([(224, 194), (280, 194)], "ink", 3),
        a.path("M26 214 L70 214 L66 290 L30 290 Z", "brass"),
        a.path("M230 214 L274 214 L270 290 L234 290 Z", "brass"),
        a.shine(84, 182, 16, 6, -10),
    ]
    head = [
        a.line([(150, 62), (150, 26)], "ink", 5),
        a.circle(150, 22, 11, "lamp"),
        a.path("M134 146 L166 146 L166 170 L134 170 Z", "steel"),
        a.path("M92 72 Q92 60 104 60 L196 60 Q208 60 208 72 L208 144 Q208 156 196 156 L104 156 "
               "Q92 156 92 144 Z", "brass"),
        a.path("M104 86 L196 86 Q200 86 200 92 L200 116 Q200 122 196 122 L104 122 Q100 122 100 116 "
               "L100 92 Q100 86 104 86 Z", "visor"),
        a.line([(128, 136), (172, 136)], "ink", 3), a.line([(128, 144), (172, 144)], "ink", 3),
        a.shape("circle", a.c("steel"), True, cx=102, cy=70, r=4),
        a.shape("circle", a.c("steel"), True, cx=198, cy=70, r=4),
        a.path("M84 92 L92 92 L92 124 L84 124 Z", "steel"),
        a.path("M208 92 L216 92 L216 124 L208 124 Z", "steel"),
        a.shine(110, 68, 12, 4, 0),
    ]
    f = {"eyes": [(126, 104), (174, 104)], "eye": (14, 9), "iris": "lamp", "style": "visor",
         "mouth": (0, 0, 0), "grin": "none"}
    return {"body": body, "head": head, "arms": [], "face": f, "neck": (150, 166), "top": (80, 100),
            "cracks_body": [[(200, 200), (208, 220), (200, 240)]],
            "cracks_head": [[(180, 60), (174, 74), (182, 86)]]}


def carnal(a):
    """An underworld demon: great horns, spiked shoulders, a grin of fangs."""
    body = [
        a.path("M36 290 L56 204 Q66 170 108 164 L192 164 Q234 170 244 204 L264 290 Z", "cloak"),
        a.path(poly([(104, 166), (150, 236), (196, 166)]), "flesh"),
        a.path(poly([(20, 196), (26, 150), (46, 170), (60, 130), (76, 164), (100, 150), (116, 180),
                     (96, 220), (40, 224)]), "flesh"),
        a.path(poly(mirror([(20, 196), (26, 150), (46, 170), (60, 130), (76, 164), (100, 150),
                            (116, 180), (96, 220), (40, 224)])), "flesh"),
        a.shine(52, 180, 14, 7, -30), a.shine(212, 180, 14, 7, -30),
    ]
    head = [
        a.path("M112 82 C76 74 52 44 62 4 C78 38 98 52 128 62 Z", "horn"),
        a.path("M188 82 C224 74 248 44 238 4 C222 38 202 52 172 62 Z", "horn"),
        a.path(poly([(108, 98), (78, 82), (104, 126)]), "flesh"),
        a.path(poly([(192, 98), (222, 82), (196, 126)]), "flesh"),
        a.path("M104 100 Q104 58 150 54 Q196 58 196 100 Q196 150 150 172 Q104 150 104 100 Z", "flesh"),
        a.path("M138 56 L150 80 L162 56 Z", "cloak", stroke=False),
        a.shine(126, 76, 12, 7, -40),
    ]
    f = {"eyes": [(130, 104), (170, 104)], "eye": (12, 8), "iris": "horn", "brow": 8,
         "mouth": (150, 132, 26), "grin": "teeth"}
    return {"body": body, "head": head, "arms": [], "face": f, "neck": (150, 170), "top": (150, 40),
            "cracks_body": [[(210, 230), (200, 250), (212, 266)]],
            "cracks_head": [[(118, 84), (128, 96), (122, 108)]]}


# ---- the cast --------------------------------------------------------------
# name, figure, ink, palette, glowing materials of the alter ego, alter colour
# (the band colours of assets/tx15/PERSONAJES.xml).

CAST = [
    ("CAMANEY", camaney, "#3a1206",
     {"lava": "#E8501C", "rock": "#5a3226", "magma": "#FFC83A"}, {"magma"}, "#00B4FF"),
    ("LENGUAS", lenguas, "#0a1e4a",
     {"sea": "#1E6BFF", "skin": "#8fe4f2", "foam": "#ffffff"}, {"foam"}, "#FF3AA8"),
    ("UAYUMIN", uayumin, "#10122e",
     {"night": "#2b3170", "bolt": "#F5F0A0", "cloud": "#7d86bd", "skin": "#e9d6b0",
      "storm": "#3a58c8"}, {"bolt"}, "#A03AFF"),
    ("KAROLA", karola, "#6a2a52",
     {"cloud": "#FFB8E0", "puff": "#fff4fa", "skin": "#ffe2d2", "cheek": "#ff8fc0",
      "iris": "#c0407e"}, {"puff"}, "#8066FF"),
    ("GUANTE", guante, "#0e2c4a",
     {"parka": "#B8F4FF", "fur": "#ffffff", "mitt": "#3c86d8", "skin": "#ffd9c2",
      "cheek": "#ff9e9e", "flake": "#2a64b0"}, {"mitt", "flake"}, "#FF8F1A"),
    ("OJEIS", ojeis, "#3a2208",
     {"robe": "#D8A850", "wrap": "#f3e3bc", "sash": "#a8401e", "skin": "#9a6a3e",
      "gem": "#1fa39a"}, {"gem", "sash"}, "#B0FF1A"),
    ("ARTURITO", arturito, "#2a1a04",
     {"brass": "#FFC21A", "steel": "#8d99ab", "visor": "#1a2030", "lamp": "#ff5a2a"},
     {"lamp"}, "#3AFF6B"),
    ("CARNAL", carnal, "#2a0008",
     {"flesh": "#D0102E", "cloak": "#3a0a14", "horn": "#efe0c0"}, {"horn"}, "#3AFFE0"),
]


def alter_palette(palette, glowing, glow_hex):
    """Each material mirrored into the dark; hues spread a little so parts stay apart."""
    out = {}
    for i, (key, col) in enumerate(palette.items()):
        shift = ((i % 3) - 1) * 0.03
        out[key] = alter_colour(col, glow_hex, key in glowing, shift)
    return out


def picture(figure, palette, ink, lose, alter, glow_hex):
    a = Art(palette, ink, lose, alter, glow_hex)
    parts = figure(a)
    nx, ny = parts["neck"]
    body = "".join(parts["body"])
    head = "".join(parts["head"]) + face(a, parts["face"])
    front = "".join(parts.get("front", []))
    arms = "".join(parts["arms"])
    if not lose:
        inner = body + head + front + arms
    else:
        cracks_body, cracks_head = lose_marks(a, parts["cracks_body"], parts["cracks_head"])
        tx, ty = parts["top"]
        inner = ('<g transform="translate(0 %d)">%s%s</g>' % (LOSE_DROP, body, cracks_body) +
                 '<g transform="translate(0 %d) rotate(%d %d %d)">%s%s</g>' % (
                     LOSE_DROP + LOSE_HEAD_DROP, LOSE_HEAD_TILT, nx, ny, head, cracks_head) +
                 '<g transform="translate(0 %d)">%s</g>' % (LOSE_DROP, front) +
                 '<g transform="translate(0 %d)">%s</g>' % (LOSE_ARMS_DROP, arms) +
                 smoke(a, tx - 30, ty + LOSE_DROP + 14))
    group = ""
    if alter:
        # The alter ego's silhouette rimmed with its glow.
        rim = mix(glow_hex, "#000000", 0.45) if lose else glow_hex
        a.defs.append('<filter id="aura" x="-5%%" y="-5%%" width="110%%" height="110%%">'
                      '<feMorphology in="SourceAlpha" operator="dilate" radius="%d" result="wide"/>'
                      '<feFlood flood-color="%s"/><feComposite in2="wide" operator="in"/>'
                      '<feMerge><feMergeNode/><feMergeNode in="SourceGraphic"/></feMerge>'
                      '</filter>' % (AURA_W, rim))
        group = ' filter="url(#aura)"'
    return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
            '<defs>%s</defs>\n<g%s><g transform="translate(0 %d)">%s</g></g>\n</svg>\n' % (
                PICTURE_W, PICTURE_H, PICTURE_W, PICTURE_H, "".join(a.defs), group, HEADROOM,
                inner))


def main():
    for name, figure, ink, palette, glowing, glow_hex in CAST:
        alter_ink = from_hls(hls(glow_hex)[0], 0.04, 0.4)
        for alter in (False, True):
            pal = alter_palette(palette, glowing, glow_hex) if alter else palette
            pal = dict(pal, ink=alter_ink if alter else ink)
            for lose, suffix in ((False, "NORMAL"), (True, "PIERDE")):
                full = ("ALTER_" if alter else "") + name + "_" + suffix
                svg = picture(figure, pal, "ink", lose, alter, glow_hex)
                with open(os.path.join(OUT_DIR, full + ".svg"), "w") as out:
                    out.write(svg)


if __name__ == "__main__":
    main()
