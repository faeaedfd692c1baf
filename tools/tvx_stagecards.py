#!/usr/bin/env python3
"""The stage pictures of the stage-selection screen, one per stage, from the
stage's own first background: each card (assets/tx17/STAGE_<NAME>.svg,
400 x 300) is the drawing of assets/txNN/FONDO0.svg at half size, darkened a
little at the top, where the stage's name stands in big letters (Bebas Neue,
the game's CRACKHOUSE face), and at the bottom, where the screen writes the
level's name (centred at x 200, its top 30 px above the bottom edge) over a
dark pool.

Run from anywhere: python3 tools/tvx_stagecards.py
Run it again after tools/tvx_stages.py has changed a FONDO0.svg. The output
depends only on the backgrounds: the same input gives the same bytes. The
background's ids are prefixed with "fondo_" so that they cannot meet the
card's own, and its invisible group "colisiones" (the collision figures) is
left out.
"""
import os
import re

# Stage order of the game (tools/tvx_stages.py): assets/tx20 holds the first.
STAGES = ["camaney", "lenguas", "uayumin", "karola", "guante", "ojeis", "arturito", "carnal"]
FIRST_DATAFILE = 20
CARD_W, CARD_H = 400, 300     # px, the picture the screen draws at (200, 183)
SCALE = 0.5                   # the 800 x 600 background at half size

# Per stage: the colour of the haze behind its name, and how dark the top
# shade is (light stages, sky and snow, need more to carry gold letters).
LOOKS = {
    "camaney":  ("#ff5a10", 0.55),
    "lenguas":  ("#2ad0ff", 0.55),
    "uayumin":  ("#9a7aff", 0.50),
    "karola":   ("#3a8ad8", 0.70),
    "guante":   ("#4a9ad8", 0.70),
    "ojeis":    ("#ff9a2a", 0.65),
    "arturito": ("#ffc02e", 0.55),
    "carnal":   ("#ff2a1a", 0.55),
}

ID_PREFIX = "fondo_"


def embedded_background(path):
    """The drawing of a FONDO svg: everything inside its root element, its ids
    prefixed, its comments and collision group left out."""
    with open(path, encoding="utf-8") as f:
        text = f.read()
    body = text[text.index(">", text.index("<svg")) + 1:text.rindex("</svg>")]
    body = re.sub(r"<!--.*?-->", "", body, flags=re.S)
    body = re.sub(r'<g id="colisiones".*?</g>', "", body, flags=re.S)
    body = re.sub(r'\bid="([^"]+)"', r'id="%s\1"' % ID_PREFIX, body)
    body = re.sub(r"url\(#([^)]+)\)", r"url(#%s\1)" % ID_PREFIX, body)
    body = re.sub(r'href="#([^"]+)"', r'href="#%s\1"' % ID_PREFIX, body)
    return "\n".join(line for line in body.strip().splitlines() if line.strip())


def card(stage, background):
    haze, top_dark = LOOKS[stage]
    name = stage.upper()
    return """<svg xmlns="http://www.w3.org/2000/svg" width="{w}" height="{h}" viewBox="0 0 {w} {h}">
<!-- {name}: the stage picture of the stage-selection screen, its first background at half size
     with its name on top (written by tools/tvx_stagecards.py from {src}) -->
<defs>
<linearGradient id="card_top" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#06030c" stop-opacity="{top_dark}"/>
<stop offset="0.6" stop-color="#06030c" stop-opacity="{top_half}"/>
<stop offset="1" stop-color="#06030c" stop-opacity="0"/>
</linearGradient>
<linearGradient id="card_foot" x1="0" y1="0" x2="0" y2="1">
<stop offset="0" stop-color="#06030c" stop-opacity="0"/>
<stop offset="1" stop-color="#06030c" stop-opacity="0.7"/>
</linearGradient>
<radialGradient id="card_pool" cx="0.5" cy="0.5" r="0.5">
<stop offset="0" stop-color="#06030c" stop-opacity="0.7"/>
<stop offset="0.6" stop-color="#06030c" stop-opacity="0.45"/>
<stop offset="1" stop-color="#06030c" stop-opacity="0"/>
</radialGradient>
<radialGradient id="card_haze" cx="0.5" cy="0.5" r="0.5">
<stop offset="0" stop-color="{haze}" stop-opacity="0.55"/>
<stop offset="1" stop-color="{haze}" stop-opacity="0"/>
</radialGradient>
<radialGradient id="card_vignette" cx="0.5" cy="0.5" r="0.72">
<stop offset="0.6" stop-color="#000000" stop-opacity="0"/>
<stop offset="1" stop-color="#000000" stop-opacity="0.45"/>
</radialGradient>
<linearGradient id="card_letters" x1="0" y1="22" x2="0" y2="82" gradientUnits="userSpaceOnUse">
<stop offset="0" stop-color="#fff6c8"/>
<stop offset="0.4" stop-color="#ffc02e"/>
<stop offset="0.75" stop-color="#ff8a1a"/>
<stop offset="1" stop-color="#d8400f"/>
</linearGradient>
<filter id="card_blur" x="-30%" y="-60%" width="160%" height="220%"><feGaussianBlur stdDeviation="6"/></filter>
</defs>
<g transform="scale({scale})">
{background}
</g>
<rect width="{w}" height="{h}" fill="url(#card_vignette)"/>
<rect width="{w}" height="120" fill="url(#card_top)"/>
<rect y="210" width="{w}" height="90" fill="url(#card_foot)"/>
<ellipse cx="200" cy="288" rx="130" ry="34" fill="url(#card_pool)"/>
<ellipse cx="200" cy="54" rx="150" ry="40" fill="url(#card_haze)"/>
<g font-family="Bebas Neue" font-weight="bold" font-size="70" text-anchor="middle" letter-spacing="4">
<text x="202" y="84" fill="#06030c" opacity="0.7" filter="url(#card_blur)">{name}</text>
<text x="202" y="82" fill="none" stroke="#1c1030" stroke-width="9" stroke-linejoin="round">{name}</text>
<text x="202" y="82" fill="url(#card_letters)" stroke="#fff0b0" stroke-width="1.2">{name}</text>
</g>
</svg>
""".format(w=CARD_W, h=CARD_H, scale=SCALE, name=name, haze=haze, top_dark=top_dark,
           top_half="%.2f" % (top_dark * 0.45), background=background,
           src="assets/tx%02d/FONDO0.svg" % (FIRST_DATAFILE + STAGES.index(stage)))


def main():
    root = os.path.join(os.path.dirname(os.path.abspath(__file__)), "..")
    outdir = os.path.join(root, "assets", "tx17")
    os.makedirs(outdir, exist_ok=True)
    for i, stage in enumerate(STAGES):
        src = os.path.join(root, "assets", "tx%02d" % (FIRST_DATAFILE + i), "FONDO0.svg")
        with open(os.path.join(outdir, "STAGE_%s.svg" % stage.upper()), "w", newline="\n") as f:
            f.write(card(stage, embedded_background(src)))


if __name__ == "__main__":
    main()
