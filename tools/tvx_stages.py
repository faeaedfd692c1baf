#!/usr/bin/env python3
"""The eight stages from one description each: for every level of a stage it
writes the collision text (assets/txNN/COLISIONk.txt) and the background picture
(assets/txNN/FONDOk.svg) from the same figures, so that every wall and obstacle
is drawn exactly where the ball meets it.

Run from the repository root: python3 tools/tvx_stages.py
The picture keeps the figures, unadorned, in its group "colisiones" (polygon:
a closed outline, polyline: an open chain, circle: a bumper); the stage test
compares that group with the collision text.
"""
import math
import os
import random

FIELD_W, FIELD_H = 800, 600   # px
PADDLE_LANE = 150             # px from each side edge kept free for the paddles
WALL_T = 30                   # px, depth of the top and bottom walls at the paddle lanes
CHEVRON = 12                  # px the walls reach further in at the centre line: a ball
                              # bouncing straight up and down drifts off to a paddle
CX, CY = FIELD_W // 2, FIELD_H // 2

# Stage order of the game: 3 x stage + level is the level index.
STAGES = ["camaney", "lenguas", "uayumin", "karola", "guante", "ojeis", "arturito", "carnal"]
FIRST_DATAFILE = 20           # assets/tx20 holds the first stage


# ---- figures ---------------------------------------------------------------

def poly_regular(cx, cy, r, n, turn=0.0):
    """Closed regular polygon, integer corners."""
    return [(round(cx + r * math.cos(turn + 2 * math.pi * i / n)),
             round(cy + r * math.sin(turn + 2 * math.pi * i / n))) for i in range(n)]


def rect(x0, y0, x1, y1):
    return [(x0, y0), (x1, y0), (x1, y1), (x0, y1)]


def mirror_x(pts):
    return [(FIELD_W - x, y) for x, y in pts][::-1]


def mirror_y(pts):
    return [(x, FIELD_H - y) for x, y in pts][::-1]


class Layout:
    """The figures of one level: walls (open chains), blocks (closed outlines), bumpers."""

    def __init__(self):
        self.walls = []     # lists of points, open chains
        self.blocks = []    # lists of points, closed outlines
        self.bumpers = []   # (cx, cy, r)

    def wall_pair(self, profile=(), bottom=None):
        """Top and bottom walls between the paddle lanes; profile: extra points
        (x, depth) along the top wall's face, mirrored onto the bottom wall
        unless the bottom wall has a profile of its own."""
        x0, x1 = PADDLE_LANE, FIELD_W - PADDLE_LANE
        bend = lambda x: round(CHEVRON * (1 - abs(x - CX) / (CX - PADDLE_LANE)))

        def wall(face):
            face = list(face) if face else [(CX, WALL_T)]
            return [(x0, 0), (x0, WALL_T)] + [(x, d + bend(x)) for x, d in face] + [(x1, WALL_T), (x1, 0)]
        self.walls.append(wall(profile))
        self.walls.append([(x, FIELD_H - y) for x, y in wall(profile if bottom is None else bottom)])

    def block(self, pts, mirror=True, mirror_v=False):
        self.blocks.append(list(pts))
        if mirror:
            self.blocks.append(mirror_x(pts))
        if mirror_v:
            self.blocks.append(mirror_y(pts))
            if mirror:
                self.blocks.append(mirror_y(mirror_x(pts)))

    def bumper(self, cx, cy, r, mirror=True, mirror_v=False):
        spots = [(cx, cy)]
        if mirror:
            spots.append((FIELD_W - cx, cy))
        if mirror_v:
            spots += [(x, FIELD_H - y) for x, y in spots]
        for x, y in spots:
            self.bumpers.append((x, y, r))

    def segments(self):
        for chain in self.walls:
            for a, b in zip(chain, chain[1:]):
                yield a, b
        for outline in self.blocks:
            for a, b in zip(outline, outline[1:] + outline[:1]):
                yield a, b

    def collision_text(self, title):
        lines = ["Line;1;1;%d;%d;%d;%d" % (a[0], a[1], b[0], b[1]) for a, b in self.segments()]
        lines += ["Circle;1;1;%d;%d;%d" % c for c in self.bumpers]
        return "Tarvelix-level;1.0;%d\n%s\n%s\n" % (len(lines), title, "\n".join(lines))


def spikes(x_from, x_to, count, depth, width):
    """Wall profile with `count` triangular teeth of `depth` evenly spaced; the
    flat between two teeth stays wider than the big ball, which would otherwise
    wedge in the notch."""
    out = []
    step = (x_to - x_from) / count
    for i in range(count):
        mid = x_from + step * (i + 0.5)
        out += [(round(mid - width / 2), WALL_T), (round(mid), WALL_T + depth), (round(mid + width / 2), WALL_T)]
    return out


# ---- the 24 layouts ---------------------------------------------------------
# Level 0 is open, level 1 has a few bumpers, level 2 a real layout. Every layout
# is mirrored about the centre line, keeps the serve spot and a straight lane
# across the field free, and leaves the paddle lanes empty.

def layouts_camaney(level):
    L = Layout()
    if level < 2:
        L.wall_pair()
    else:
        L.wall_pair([(300, WALL_T), (330, 62), (370, 62), (400, WALL_T + 8), (430, 62), (470, 62), (500, WALL_T)])
    if level == 1:
        L.bumper(285, 170, 24, mirror_v=True)
    if level == 2:
        L.block(poly_regular(260, 300, 34, 6, 0))
        L.bumper(300, 175, 20, mirror_v=True)
        L.block(poly_regular(400, 455, 26, 6, math.pi / 6), mirror=False, mirror_v=True)
    return L


def layouts_lenguas(level):
    L = Layout()
    L.wall_pair()
    if level == 1:
        L.bumper(300, 300, 26)
        L.bumper(400, 150, 18, mirror=False, mirror_v=True)
    if level == 2:
        L.bumper(250, 190, 22, mirror_v=True)
        L.bumper(350, 130, 16, mirror_v=True)
        L.block([(300, 272), (338, 300), (300, 328), (262, 300)])
    return L


def layouts_uayumin(level):
    L = Layout()
    if level < 2:
        L.wall_pair()
    else:
        # The bottom teeth sit between the top ones: facing teeth would throw
        # the ball straight back to each other.
        L.wall_pair(spikes(190, 610, 4, 30, 40), spikes(190, 610, 3, 30, 40))
    if level == 1:
        L.bumper(280, 210, 20, mirror_v=True)
    if level == 2:
        L.block([(270, 260), (300, 300), (270, 340), (240, 300)])
        L.bumper(340, 200, 18, mirror_v=True)
    return L


def layouts_karola(level):
    L = Layout()
    L.wall_pair()
    if level == 1:
        L.bumper(300, 200, 28, mirror_v=True)
    if level == 2:
        L.bumper(260, 300, 30)
        L.bumper(400, 140, 30, mirror=False, mirror_v=True)
        L.bumper(320, 215, 16, mirror_v=True)
    return L


# The snowmen of guante's third level appear with circles of radius 31 whose
# centres fall within these ranges; nothing of the stage may stand in them.
SNOWMAN_RADIUS = 31
SNOWMAN_X = [(105, 125), (223, 243), (341, 361), (459, 479), (577, 597), (695, 715)]
SNOWMAN_Y = [(104, 143), (283, 322), (462, 501)]


def layouts_guante(level):
    L = Layout()
    if level < 2:
        L.wall_pair()
    else:
        L.wall_pair(spikes(170, 630, 6, 18, 24))
    if level == 1:
        L.bumper(290, 200, 22, mirror_v=True)
    if level == 2:
        for x in (292, 528):
            for y in (213, 392):
                L.block(poly_regular(x, y, 15, 6, math.pi / 6), mirror=False)
        L.bumper(410, 213, 13, mirror=False)
        L.bumper(410, 392, 13, mirror=False)
    return L


def layouts_ojeis(level):
    L = Layout()
    if level < 2:
        L.wall_pair()
    else:
        L.wall_pair([(270, WALL_T), (400, 72), (530, WALL_T)])
    if level == 1:
        L.bumper(290, 180, 22, mirror_v=True)
    if level == 2:
        L.block([(250, 330), (290, 270), (330, 330)])
        L.block([(250, 210), (290, 150), (330, 210)])
        L.bumper(400, 380, 20, mirror=False)
    return L


def layouts_arturito(level):
    L = Layout()
    L.wall_pair()
    if level == 1:
        L.bumper(300, 150, 26, mirror_v=True)
    if level == 2:
        L.bumper(300, 150, 26, mirror_v=True)
        L.bumper(262, 300, 22)
        # two beams whose facing sides open like a funnel, so no ball rattles between them
        L.block([(360, 225), (440, 225), (440, 241), (360, 253)], mirror=False, mirror_v=True)
    return L


def layouts_carnal(level):
    L = Layout()
    if level < 2:
        L.wall_pair()
    else:
        L.wall_pair(spikes(160, 640, 5, 36, 46))
    if level == 1:
        L.bumper(270, 300, 24)
        L.bumper(400, 180, 20, mirror=False, mirror_v=True)
    if level == 2:
        L.block(poly_regular(265, 300, 30, 5, -math.pi / 2))
        L.bumper(400, 190, 22, mirror=False, mirror_v=True)
        L.bumper(302, 196, 14, mirror_v=True)
    return L


LAYOUTS = [layouts_camaney, layouts_lenguas, layouts_uayumin, layouts_karola,
           layouts_guante, layouts_ojeis, layouts_arturito, layouts_carnal]


# ---- pictures -----------------------------------------------------------------

def pts_attr(pts):
    return " ".join("%d,%d" % p for p in pts)


class Svg:
    def __init__(self):
        self.defs = []
        self.body = []
        self.n = 0

    def uid(self, base):
        self.n += 1
        return "%s%d" % (base, self.n)

    def lin(self, stops, x1=0, y1=0, x2=0, y2=1):
        gid = self.uid("g")
        s = "".join('<stop offset="%g" stop-color="%s"%s/>' % (o, c, ' stop-opacity="%g"' % a if a < 1 else "")
                    for o, c, a in [(st + (1,))[:3] for st in stops])
        self.defs.append('<linearGradient id="%s" x1="%g" y1="%g" x2="%g" y2="%g">%s</linearGradient>'
                         % (gid, x1, y1, x2, y2, s))
        return "url(#%s)" % gid

    def rad(self, stops, cx=0.5, cy=0.5, r=0.5, fx=None, fy=None):
        gid = self.uid("g")
        s = "".join('<stop offset="%g" stop-color="%s"%s/>' % (o, c, ' stop-opacity="%g"' % a if a < 1 else "")
                    for o, c, a in [(st + (1,))[:3] for st in stops])
        self.defs.append('<radialGradient id="%s" cx="%g" cy="%g" r="%g" fx="%g" fy="%g">%s</radialGradient>'
                         % (gid, cx, cy, r, cx if fx is None else fx, cy if fy is None else fy, s))
        return "url(#%s)" % gid

    def blur(self, sd):
        fid = self.uid("f")
        self.defs.append('<filter id="%s" x="-50%%" y="-50%%" width="200%%" height="200%%">'
                         '<feGaussianBlur stdDeviation="%g"/></filter>' % (fid, sd))
        return "url(#%s)" % fid

    def clip(self, shape):
        cid = self.uid("c")
        self.defs.append('<clipPath id="%s">%s</clipPath>' % (cid, shape))
        return "url(#%s)" % cid

    def add(self, s):
        self.body.append(s)

    def text(self, comment, figures):
        return ('<svg xmlns="http://www.w3.org/2000/svg" width="%d" height="%d" viewBox="0 0 %d %d">\n'
                '<!-- %s -->\n<defs>\n%s\n</defs>\n%s\n%s\n</svg>\n'
                % (FIELD_W, FIELD_H, FIELD_W, FIELD_H, comment, "\n".join(self.defs), "\n".join(self.body), figures))


def ellipse_field(svg, rnd, n, x0, x1, y0, y1, rmin, rmax, fill, opacity):
    for _ in range(n):
        r = rnd.uniform(rmin, rmax)
        svg.add('<circle cx="%.1f" cy="%.1f" r="%.1f" fill="%s" opacity="%.2f"/>'
                % (rnd.uniform(x0, x1), rnd.uniform(y0, y1), r, fill, opacity * rnd.uniform(0.4, 1)))


def cloud(svg, x, y, s, fill, opacity, blur=None):
    parts = [(0, 0, 1.0), (-0.9, 0.25, 0.7), (0.9, 0.2, 0.75), (-0.4, -0.45, 0.7), (0.45, -0.35, 0.65)]
    f = ' filter="%s"' % blur if blur else ""
    svg.add('<g opacity="%.2f"%s>' % (opacity, f) + "".join(
        '<circle cx="%.1f" cy="%.1f" r="%.1f" fill="%s"/>' % (x + dx * s, y + dy * s, r * s, fill) for dx, dy, r in parts)
        + '</g>')


def mountains(svg, rnd, base, height, n, fill, opacity=1.0, jag=0.5):
    pts = [(0, FIELD_H)]
    x = -40
    while x < FIELD_W + 40:
        pts.append((x, base - rnd.uniform(height * (1 - jag), height)))
        x += rnd.uniform(FIELD_W / n * 0.6, FIELD_W / n * 1.4)
        pts.append((x, base - rnd.uniform(0, height * 0.3)))
        x += rnd.uniform(20, 60)
    pts.append((FIELD_W, FIELD_H))
    svg.add('<polygon points="%s" fill="%s" opacity="%.2f"/>'
            % (" ".join("%.0f,%.0f" % p for p in pts), fill, opacity))


# Per stage: the look of its obstacles (face gradient light to dark, rim,
# highlight) and of its walls.
STYLES = {
    "camaney":  dict(face=("#6b4a3a", "#2a1712"), rim="#ff8a1e", glow="#ff5a00", hi="#ffd08a", wall=("#3a2218", "#1a0c08")),
    "lenguas":  dict(face=("#ff9a8a", "#b23a52"), rim="#ffe0d0", glow="#7af0ff", hi="#ffffff", wall=("#e8d6a0", "#a8884c")),
    "uayumin":  dict(face=("#7a86a8", "#2c3350"), rim="#e8f0ff", glow="#a8c8ff", hi="#ffffff", wall=("#39405e", "#171a2c")),
    "karola":   dict(face=("#ffffff", "#b8cbe8"), rim="#ffffff", glow="#ffffff", hi="#ffffff", wall=("#f4f8ff", "#9fb4d8")),
    "guante":   dict(face=("#e8fbff", "#5fb4dc"), rim="#ffffff", glow="#b8f4ff", hi="#ffffff", wall=("#f6fbff", "#a9c6dc")),
    "ojeis":    dict(face=("#e9b870", "#8a5a28"), rim="#fff0c8", glow="#ffd890", hi="#fff6d8", wall=("#d9a35c", "#7a4c22")),
    "arturito": dict(face=("#b9c2cc", "#4a525c"), rim="#ffc21a", glow="#ff9a10", hi="#ffffff", wall=("#5a626c", "#23282e")),
    "carnal":   dict(face=("#3a2230", "#0a0508"), rim="#ff2a2a", glow="#ff0a0a", hi="#ff9a8a", wall=("#2a0c10", "#080203")),
}


def draw_figures(svg, stage, L):
    st = STYLES[stage]
    shadow = svg.blur(5)
    glow = svg.blur(7)
    shapes = []   # (svg element text without fill, kind)
    for chain in L.walls:
        shapes.append(('<polyline points="%s"' % pts_attr(chain), "wall"))
    for outline in L.blocks:
        shapes.append(('<polygon points="%s"' % pts_attr(outline), "block"))
    for cx, cy, r in L.bumpers:
        shapes.append(('<circle cx="%d" cy="%d" r="%d"' % (cx, cy, r), "bumper"))
    # soft shadows and a glow around every figure, behind them
    for s, kind in shapes:
        svg.add('<g transform="translate(7,9)" opacity="0.55">%s fill="#000000" filter="%s"/></g>' % (s, shadow))
        svg.add('%s fill="none" stroke="%s" stroke-width="10" opacity="0.45" filter="%s"/>' % (s, st["glow"], glow))
    for s, kind in shapes:
        top, bottom = st["wall"] if kind == "wall" else st["face"]
        fill = svg.lin([(0, top), (1, bottom)], 0, 0, 0.3, 1)
        clip = svg.clip(s + "/>")
        svg.add('%s fill="%s"/>' % (s, fill))
        # rim inside the outline only, so the figure keeps its exact size
        svg.add('%s fill="none" stroke="%s" stroke-width="6" stroke-linejoin="round" clip-path="%s"/>'
                % (s, st["rim"], clip))
        if kind != "wall":
            hi = svg.rad([(0, st["hi"], 0.85), (1, st["hi"], 0)], 0.35, 0.3, 0.45)
            svg.add('<g clip-path="%s">%s fill="%s"/></g>' % (clip, s, hi))


def figures_group(L):
    """The bare figures, as the test reads them; drawn invisibly over the art."""
    out = ['<g id="colisiones" fill="none" stroke="none">']
    for chain in L.walls:
        out.append('<polyline points="%s"/>' % pts_attr(chain))
    for outline in L.blocks:
        out.append('<polygon points="%s"/>' % pts_attr(outline))
    for c in L.bumpers:
        out.append('<circle cx="%d" cy="%d" r="%d"/>' % c)
    out.append('</g>')
    return "\n".join(out)


def field_marks(svg, color, opacity):
    """Paddle lanes and the centre line, faint, so the field reads at a glance."""
    for x in (50, FIELD_W - 50):
        lane = svg.lin([(0, color, 0), (0.5, color, opacity), (1, color, 0)], 0, 0, 1, 0)
        svg.add('<rect x="%d" y="0" width="60" height="%d" fill="%s"/>' % (x - 30, FIELD_H, lane))
    svg.add('<line x1="400" y1="%d" x2="400" y2="%d" stroke="%s" stroke-width="4" stroke-dasharray="14 16" '
            'opacity="%.2f" stroke-linecap="round"/>' % (WALL_T + 20, FIELD_H - WALL_T - 20, color, opacity * 1.4))
    svg.add('<circle cx="400" cy="300" r="46" fill="none" stroke="%s" stroke-width="3" opacity="%.2f"/>'
            % (color, opacity * 1.4))


def sky(svg, stops):
    svg.add('<rect width="%d" height="%d" fill="%s"/>' % (FIELD_W, FIELD_H, svg.lin(stops)))


def scene_camaney(svg, rnd, level):
    skies = [[(0, "#3a0d12"), (0.55, "#a8321a"), (1, "#ff8a2a")],
             [(0, "#1c0608"), (0.55, "#6e1a10"), (1, "#d84a14")],
             [(0, "#0c0204"), (0.5, "#3e0a08"), (1, "#b02a08")]]
    sky(svg, skies[level])
    svg.add('<circle cx="400" cy="250" r="260" fill="%s"/>' % svg.rad([(0, "#ffb040", 0.55), (1, "#ff5000", 0)]))
    # the volcano with its glowing crater and lava tongues
    svg.add('<polygon points="90,600 330,190 360,205 440,205 470,190 710,600" fill="#24100c"/>')
    svg.add('<polygon points="330,190 360,205 440,205 470,190 440,250 400,228 360,250" fill="#ff7a1a" opacity="0.9"/>')
    for d in range(3 + 2 * level):
        x = 350 + d * (100 / max(1, 2 + 2 * level))
        svg.add('<path d="M %.0f 215 Q %.0f 380 %.0f 600" stroke="#ff6a10" stroke-width="%d" fill="none" opacity="0.55"/>'
                % (x, x + rnd.uniform(-80, 80), x + rnd.uniform(-160, 160), rnd.randint(5, 11)))
    smoke = svg.blur(14)
    for i in range(4 + level * 2):
        cloud(svg, 400 + rnd.uniform(-90, 90), 150 - i * 26, 40 + i * 9, "#1a0a08", 0.55, smoke)
    mountains(svg, rnd, 600, 150, 6, "#140806")
    # the forge floor: cooling rock crossed by lava veins
    svg.add('<rect width="800" height="600" fill="%s"/>' % svg.lin([(0, "#000000", 0.1), (0.5, "#000000", 0.35), (1, "#000000", 0.1)]))
    ember = "#ffc060"
    ellipse_field(svg, rnd, 40 + 40 * level, 0, 800, 40, 560, 1.2, 3.2, ember, 0.85)
    field_marks(svg, "#ffb070", 0.18)


def scene_lenguas(svg, rnd, level):
    skies = [[(0, "#0fb6d8"), (0.6, "#0a6fa8"), (1, "#06386a")],
             [(0, "#1a8cb8"), (0.6, "#145a8a"), (1, "#0a2a50")],
             [(0, "#0a3a6a"), (0.6, "#06204a"), (1, "#020c24")]]
    sky(svg, skies[level])
    # light rays from the surface
    ray = svg.lin([(0, "#ffffff", 0.35), (1, "#ffffff", 0)])
    for i in range(6):
        x = 60 + i * 140 + rnd.uniform(-30, 30)
        svg.add('<polygon points="%.0f,0 %.0f,0 %.0f,600 %.0f,600" fill="%s" opacity="%.2f"/>'
                % (x, x + 50, x + 160, x + 60, ray, 0.6 - level * 0.18))
    # sand dunes and seaweed at the bottom
    svg.add('<path d="M0 560 Q 200 520 400 555 T 800 545 L 800 600 L 0 600 Z" fill="%s"/>'
            % svg.lin([(0, "#e8c888"), (1, "#9a7a48")]))
    for i in range(14):
        x = rnd.uniform(0, 800)
        h = rnd.uniform(60, 160)
        svg.add('<path d="M %.0f 600 Q %.0f %.0f %.0f %.0f" stroke="%s" stroke-width="%d" fill="none" '
                'stroke-linecap="round" opacity="0.8"/>' % (x, x - 30, 600 - h / 2, x + rnd.uniform(-20, 20), 600 - h,
                                                            rnd.choice(["#1f8a5a", "#2fa86a", "#176a4a"]), rnd.randint(6, 10)))
    # fish silhouettes far away
    for i in range(3 + level * 2):
        x, y, s = rnd.uniform(180, 620), rnd.uniform(90, 500), rnd.uniform(0.6, 1.2)
        svg.add('<g transform="translate(%.0f %.0f) scale(%.2f)" opacity="0.35" fill="#062a4a">'
                '<ellipse cx="0" cy="0" rx="26" ry="11"/><polygon points="22,0 40,-12 40,12"/></g>' % (x, y, s))
    ellipse_field(svg, rnd, 40, 0, 800, 40, 560, 2, 7, "#ffffff", 0.35)
    field_marks(svg, "#d8f8ff", 0.16)


def scene_uayumin(svg, rnd, level):
    skies = [[(0, "#1a1440"), (0.7, "#3a3470"), (1, "#6a5a8a")],
             [(0, "#0e0c2a"), (0.7, "#242050"), (1, "#3a3a5a")],
             [(0, "#05040f"), (0.7, "#14122a"), (1, "#22223a")]]
    sky(svg, skies[level])
    if level == 0:
        svg.add('<circle cx="640" cy="110" r="40" fill="#f4f0d8" opacity="0.85"/>')
    soft = svg.blur(10)
    for i in range(5 + level * 3):
        cloud(svg, rnd.uniform(0, 800), rnd.uniform(40, 260), rnd.uniform(50, 90),
              rnd.choice(["#2a2850", "#3a3660", "#1c1a38"]), 0.75, soft)
    # distant flashes behind the clouds
    for i in range(1 + level):
        svg.add('<circle cx="%.0f" cy="%.0f" r="160" fill="%s"/>'
                % (rnd.uniform(150, 650), rnd.uniform(80, 220), svg.rad([(0, "#c8d8ff", 0.35), (1, "#c8d8ff", 0)])))
    mountains(svg, rnd, 600, 120, 5, "#0c0a1c")
    svg.add('<polygon points="0,600 0,520 120,500 260,530 400,505 560,535 700,500 800,520 800,600" fill="#07060f"/>')
    # rain
    for i in range(60 + 90 * level):
        x, y = rnd.uniform(0, 820), rnd.uniform(0, 600)
        svg.add('<line x1="%.0f" y1="%.0f" x2="%.0f" y2="%.0f" stroke="#b8c8ff" stroke-width="1.5" opacity="%.2f"/>'
                % (x, y, x - 8, y + 22, rnd.uniform(0.15, 0.4)))
    field_marks(svg, "#d0d8ff", 0.14)


def scene_karola(svg, rnd, level):
    skies = [[(0, "#3a8ee8"), (0.7, "#8ac4f4"), (1, "#cfe8ff")],
             [(0, "#4a78c8"), (0.6, "#e8b07a"), (1, "#ffd8a0")],
             [(0, "#2a2a6a"), (0.55, "#b05a8a"), (1, "#ff9a6a")]]
    sky(svg, skies[level])
    suns = [(640, 110, "#fff8c0"), (660, 420, "#ffd080"), (150, 480, "#ff8a50")]
    x, y, c = suns[level]
    svg.add('<circle cx="%d" cy="%d" r="140" fill="%s"/>' % (x, y, svg.rad([(0, c, 0.8), (1, c, 0)])))
    svg.add('<circle cx="%d" cy="%d" r="42" fill="%s"/>' % (x, y, c))
    soft = svg.blur(6)
    tints = ["#ffffff", "#fff0e0", "#ffc8c8"]
    for i in range(9):
        cloud(svg, rnd.uniform(-40, 840), rnd.uniform(60, 560), rnd.uniform(40, 80), tints[level], 0.5, soft)
    # birds
    for i in range(5):
        bx, by = rnd.uniform(200, 600), rnd.uniform(80, 520)
        svg.add('<path d="M %.0f %.0f q 8 -8 16 0 q 8 -8 16 0" stroke="#2a3a5a" stroke-width="2.5" fill="none" '
                'opacity="0.5"/>' % (bx, by))
    field_marks(svg, "#ffffff", 0.22)


def scene_guante(svg, rnd, level):
    skies = [[(0, "#7ab8ec"), (0.7, "#cfe6f8"), (1, "#f0f8ff")],
             [(0, "#4a5a9a"), (0.6, "#b8a8d0"), (1, "#f0c8c8")],
             [(0, "#060c24"), (0.6, "#14284a"), (1, "#2a4a6a")]]
    sky(svg, skies[level])
    if level == 2:
        aur = svg.blur(12)
        for i, c in enumerate(["#40ffa0", "#40e0ff", "#a060ff"]):
            svg.add('<path d="M -20 %d Q 200 %d 400 %d T 820 %d" stroke="%s" stroke-width="36" fill="none" '
                    'opacity="0.35" filter="%s"/>' % (120 + i * 30, 40 + i * 30, 140 + i * 25, 90 + i * 30, c, aur))
        ellipse_field(svg, rnd, 60, 0, 800, 0, 320, 0.6, 1.6, "#ffffff", 0.9)
    mountains(svg, rnd, 420, 200, 4, ["#b8d0e8", "#8a8ab0", "#2a3a5a"][level])
    mountains(svg, rnd, 480, 110, 6, ["#dcecf8", "#b0a8c8", "#3a5070"][level])
    svg.add('<path d="M0 470 Q 200 440 400 465 T 800 455 L 800 600 L 0 600 Z" fill="%s"/>'
            % svg.lin([(0, ["#ffffff", "#f0e4ee", "#8aa8c8"][level]), (1, ["#c8dcec", "#b8b0d0", "#4a6080"][level])]))
    # pine trees at the sides
    for x in (20, 70, 735, 780):
        s = rnd.uniform(0.8, 1.2)
        svg.add('<g transform="translate(%d 470) scale(%.2f)" fill="#1f4a4a" opacity="0.8">'
                '<polygon points="0,-110 -26,-40 26,-40"/><polygon points="0,-80 -34,0 34,0"/>'
                '<rect x="-5" y="0" width="10" height="16" fill="#3a2a1a"/></g>' % (x, s))
    ellipse_field(svg, rnd, 70 + 30 * level, 0, 800, 0, 600, 1.5, 3.5, "#ffffff", 0.8)
    field_marks(svg, "#5a8ab8" if level < 2 else "#b8e0ff", 0.2)


def scene_ojeis(svg, rnd, level):
    skies = [[(0, "#3aa0e8"), (0.6, "#a8d8f0"), (1, "#f8e8c0")],
             [(0, "#5a3a8a"), (0.5, "#e86a4a"), (1, "#ffc060")],
             [(0, "#04081a"), (0.6, "#142040"), (1, "#3a3050")]]
    sky(svg, skies[level])
    if level == 2:
        ellipse_field(svg, rnd, 90, 0, 800, 0, 330, 0.6, 1.6, "#ffffff", 0.9)
        svg.add('<circle cx="620" cy="100" r="34" fill="#f8f0d0"/><circle cx="634" cy="92" r="30" fill="#04081a"/>')
    else:
        c = ["#fff8d0", "#ff8a3a"][level]
        y = [90, 330][level]
        svg.add('<circle cx="180" cy="%d" r="150" fill="%s"/>' % (y, svg.rad([(0, c, 0.7), (1, c, 0)])))
        svg.add('<circle cx="180" cy="%d" r="46" fill="%s"/>' % (y, c))
    far = ["#d8a868", "#a8584a", "#2a2238"][level]
    svg.add('<polygon points="470,360 560,250 650,360" fill="%s"/><polygon points="600,360 660,290 720,360" fill="%s"/>'
            % (far, far))
    dune = [("#f0c880", "#c08840"), ("#e89858", "#8a4a2a"), ("#4a4058", "#1a1624")][level]
    for i, y in enumerate((360, 430, 510)):
        svg.add('<path d="M -10 %d Q %d %d 400 %d T 810 %d L 810 600 L -10 600 Z" fill="%s" opacity="%.2f"/>'
                % (y, rnd.randint(100, 300), y - 50, y + 10, y - 20, svg.lin([(0, dune[0]), (1, dune[1])]), 0.7 + i * 0.15))
    for x in (40, 760):
        svg.add('<g transform="translate(%d 560)" fill="#3a6a2a" opacity="0.85"><rect x="-9" y="-110" width="18" '
                'height="110" rx="9"/><rect x="-34" y="-80" width="14" height="40" rx="7"/><rect x="-34" y="-54" '
                'width="30" height="13" rx="6"/><rect x="20" y="-95" width="14" height="42" rx="7"/>'
                '<rect x="4" y="-66" width="30" height="13" rx="6"/></g>' % x)
    field_marks(svg, "#fff0c8" if level else "#8a5a28", 0.18)


def scene_arturito(svg, rnd, level):
    skies = [[(0, "#4a525e"), (1, "#22262e")],
             [(0, "#4a2a2a"), (1, "#1a0e10")],
             [(0, "#2a1a10"), (0.7, "#3a1a08"), (1, "#8a3a08")]]
    sky(svg, skies[level])
    # wall panels with rivets
    for x in range(0, 800, 100):
        svg.add('<rect x="%d" y="0" width="96" height="600" fill="#ffffff" opacity="0.03"/>' % x)
        for y in range(20, 600, 80):
            svg.add('<circle cx="%d" cy="%d" r="3" fill="#0a0c10" opacity="0.5"/>' % (x + 8, y))
            svg.add('<circle cx="%d" cy="%d" r="3" fill="#0a0c10" opacity="0.5"/>' % (x + 88, y))
    # pipes
    for y, c in ((130, "#6a4a2a"), (470, "#4a5a6a")):
        svg.add('<rect x="0" y="%d" width="800" height="26" fill="%s" opacity="0.45"/>'
                % (y, svg.lin([(0, "#c8d0d8"), (0.5, c), (1, "#14181c")])))
        for x in range(60, 800, 170):
            svg.add('<rect x="%d" y="%d" width="14" height="34" fill="#2a2e34"/>' % (x, y - 4))
    # big gear silhouettes
    for gx, gy, gr in ((140, 300, 120), (660, 300, 120), (400, 560, 90)):
        teeth = poly_regular(gx, gy, gr, 24)
        inner = poly_regular(gx, gy, gr * 0.84, 24, math.pi / 24)
        pts = [p for pair in zip(teeth, inner) for p in pair]
        svg.add('<polygon points="%s" fill="#000000" opacity="0.22"/><circle cx="%d" cy="%d" r="%d" fill="%s" opacity="0.35"/>'
                % (pts_attr(pts), gx, gy, gr // 3, skies[level][0][1]))
    # hazard stripes at the paddle lanes' feet and warning lights
    stripe = '<g opacity="0.7">' + "".join(
        '<polygon points="%d,590 %d,590 %d,600 %d,600" fill="%s"/>' % (x, x + 14, x + 4, x - 10, "#ffc21a" if (x // 14) % 2 else "#14181c")
        for x in range(0, 820, 14)) + '</g>'
    svg.add(stripe)
    lights = ["#ffc21a", "#ff3a1a", "#ff7a10"][level]
    for x in (100, 700):
        svg.add('<circle cx="%d" cy="60" r="60" fill="%s"/><circle cx="%d" cy="60" r="9" fill="%s"/>'
                % (x, svg.rad([(0, lights, 0.6), (1, lights, 0)]), x, lights))
    if level == 2:
        svg.add('<rect x="0" y="420" width="800" height="180" fill="%s"/>' % svg.lin([(0, "#ff6a00", 0), (1, "#ff6a00", 0.45)]))
        ellipse_field(svg, rnd, 60, 0, 800, 350, 600, 1, 2.5, "#ffd080", 0.8)
    field_marks(svg, "#ffc21a", 0.14)


def scene_carnal(svg, rnd, level):
    skies = [[(0, "#2a0406"), (0.7, "#5a0a0a"), (1, "#a81a0a")],
             [(0, "#180203"), (0.7, "#3a0606"), (1, "#7a1008")],
             [(0, "#060001"), (0.7, "#1e0203"), (1, "#5a0604")]]
    sky(svg, skies[level])
    # stalactites and stalagmites
    for i in range(16):
        x = rnd.uniform(-20, 820)
        w, h = rnd.uniform(30, 60), rnd.uniform(50, 150)
        svg.add('<polygon points="%.0f,0 %.0f,%.0f %.0f,0" fill="#0c0204" opacity="0.9"/>' % (x - w / 2, x, h, x + w / 2))
        x = rnd.uniform(-20, 820)
        svg.add('<polygon points="%.0f,600 %.0f,%.0f %.0f,600" fill="#0c0204" opacity="0.9"/>'
                % (x - w / 2, x, 600 - h * 0.8, x + w / 2))
    # lava pools
    for x, y in ((240, 560), (560, 565), (400, 60)):
        svg.add('<ellipse cx="%d" cy="%d" rx="140" ry="26" fill="%s"/>'
                % (x, y, svg.rad([(0, "#ffb030"), (0.5, "#ff3a0a"), (1, "#ff0a00", 0)])))
    # skulls in the rock
    for i in range(3 + level * 2):
        x, y, s = rnd.uniform(170, 630), rnd.uniform(90, 510), rnd.uniform(0.6, 1.0)
        svg.add('<g transform="translate(%.0f %.0f) scale(%.2f)" fill="#000000" opacity="0.35">'
                '<circle cx="0" cy="0" r="22"/><rect x="-12" y="14" width="24" height="14" rx="3"/>'
                '<circle cx="-8" cy="-2" r="6" fill="#ff2a1a"/><circle cx="8" cy="-2" r="6" fill="#ff2a1a"/></g>' % (x, y, s))
    ellipse_field(svg, rnd, 50 + 40 * level, 0, 800, 40, 560, 1, 2.8, "#ff5a2a", 0.85)
    field_marks(svg, "#ff6a4a", 0.15)


SCENES = [scene_camaney, scene_lenguas, scene_uayumin, scene_karola,
          scene_guante, scene_ojeis, scene_arturito, scene_carnal]

LEVEL_NAMES = ["day", "dusk", "night"]


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    for i, stage in enumerate(STAGES):
        outdir = os.path.join(root, "assets", "tx%02d" % (FIRST_DATAFILE + i))
        os.makedirs(outdir, exist_ok=True)
        for level in range(3):
            L = LAYOUTS[i](level)
            title = "%s %d: level index %d (written by tools/tvx_stages.py)" % (stage, level + 1, 3 * i + level)
            with open(os.path.join(outdir, "COLISION%d.txt" % level), "w", newline="\n") as f:
                f.write(L.collision_text(title))
            svg = Svg()
            rnd = random.Random(1000 * i + level)
            SCENES[i](svg, rnd, level)
            draw_figures(svg, stage, L)
            comment = ("%s, level %d: background, and its obstacles drawn on the figures of COLISION%d "
                       "(written by tools/tvx_stages.py)" % (stage, level + 1, level))
            with open(os.path.join(outdir, "FONDO%d.svg" % level), "w", newline="\n") as f:
                f.write(svg.text(comment, figures_group(L)))


if __name__ == "__main__":
    main()
