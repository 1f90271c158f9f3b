#!/usr/bin/python3
"""Paints the two pictures of the About window and writes them to resources/about/.

landscape.jpg  300 x 225, a mountain lake with hills, trees and a meadow, painted from
               value noise so that it looks like a photograph rather than a drawing.
strip.png      29 x 200, the maker's name in green running upwards on a white ground
               (the window shows the white as its own colour).

Uses only the standard library and ImageMagick's convert. The result is the same on every run:
the noise comes from a fixed seed, and the files carry no dates.

    /usr/bin/python3 tools/draw-pictures/about_pictures.py [output folder]
"""

import math
import os
import random
import subprocess
import sys

WIDTH, HEIGHT = 300, 225
WATERLINE = 128          # the row of the lake's far shore; the water is level there
CONVERT = "/usr/bin/convert"
MAKER = "The Tinlark project"
STRIP_GREEN = "#008000"


class ValueNoise:
    """Smooth random values on a lattice, interpolated; summed over octaves for texture."""

    def __init__(self, seed, size=256):
        rng = random.Random(seed)
        self.size = size
        self.values = [rng.random() for _ in range(size * size)]

    def _lattice(self, i, j):
        return self.values[(j % self.size) * self.size + (i % self.size)]

    def noise(self, x, y):
        i, j = math.floor(x), math.floor(y)
        fx, fy = x - i, y - j
        sx, sy = fx * fx * (3 - 2 * fx), fy * fy * (3 - 2 * fy)
        a = self._lattice(i, j)
        b = self._lattice(i + 1, j)
        c = self._lattice(i, j + 1)
        d = self._lattice(i + 1, j + 1)
        top = a + (b - a) * sx
        bottom = c + (d - c) * sx
        return top + (bottom - top) * sy

    def fbm(self, x, y, octaves=4, gain=0.5):
        """Fractal sum in 0..1."""
        total, amplitude, norm = 0.0, 1.0, 0.0
        for _ in range(octaves):
            total += amplitude * self.noise(x, y)
            norm += amplitude
            x, y = x * 2.03, y * 2.03
            amplitude *= gain
        return total / norm


def mix(a, b, t):
    t = max(0.0, min(1.0, t))
    return tuple(a[k] + (b[k] - a[k]) * t for k in range(3))


def scale(colour, factor):
    return tuple(c * factor for c in colour)


def smoothstep(edge0, edge1, x):
    t = max(0.0, min(1.0, (x - edge0) / (edge1 - edge0)))
    return t * t * (3 - 2 * t)


class Landscape:
    def __init__(self, seed=1964):
        self.n = ValueNoise(seed)
        self.pixels = [[(0.0, 0.0, 0.0)] * WIDTH for _ in range(HEIGHT)]
        self.rng = random.Random(seed + 1)

    # Ridge lines: the row where each layer begins, per column.
    def far_ridge(self, x):
        # ridged noise gives sharp peaks and rounded saddles
        total, amplitude, norm, u = 0.0, 1.0, 0.0, x / 60.0 + 3.1
        for _ in range(4):
            v = 1 - abs(2 * self.n.noise(u, 0.5) - 1)
            total += amplitude * v * v
            norm += amplitude
            u, amplitude = u * 2.1, amplitude * 0.38
        return 100 - 110 * (total / norm - 0.34)

    def mid_ridge(self, x):
        return 112 - 26 * (self.n.fbm(x / 55.0 + 11.7, 7.3, 4) - 0.4) - 0.05 * (x - 150)

    def near_shore(self, x):
        return 150 + 14 * (self.n.fbm(x / 40.0 + 21.0, 2.2, 3) - 0.5) + 0.05 * x

    def sky(self, x, y):
        t = y / WATERLINE
        colour = mix((34, 74, 150), (120, 165, 215), smoothstep(0.0, 0.55, t))
        colour = mix(colour, (214, 226, 236), smoothstep(0.45, 1.0, t))
        # the sun stands high on the right, out of the picture; its glow lightens that corner
        glow = math.exp(-((x - 300) ** 2 + (y + 10) ** 2) / (2 * 70.0 ** 2))
        colour = mix(colour, (255, 246, 220), 0.55 * glow)
        # thin clouds, stretched along the horizon
        c = self.n.fbm(x / 60.0, y / 18.0 + 40.0, 5)
        cover = smoothstep(0.50, 0.78, c) * (0.35 + 0.65 * smoothstep(0.0, 0.6, t))
        shade = 0.88 + 0.12 * self.n.fbm(x / 20.0, y / 8.0 + 90.0, 3)
        return mix(colour, scale((250, 250, 252), shade), 0.85 * cover)

    def relief(self, x, y):
        # stretched upright: gullies and ribs running down the slopes
        return self.n.fbm(x / 9.0, y / 20.0 + 50.0, 4, 0.5)

    def mountains(self, x, y, ridge):
        depth = (y - ridge) / 40.0
        rock = mix((108, 108, 116), (74, 80, 92), depth)
        # light from the upper right: slopes of the height field facing it are brighter
        slope = self.relief(x + 1, y) - self.relief(x - 1, y)
        # and the whole face of a peak turns towards the light or away from it
        face = (self.far_ridge(x + 2) - self.far_ridge(x - 2)) / 4.0
        face *= math.exp(-max(0.0, y - ridge) / 25.0)
        light = max(0.5, min(1.35, 1.0 + 5.0 * slope + 0.35 * max(-1.0, min(1.0, face))))
        rock = scale(rock, light * (0.9 + 0.2 * self.n.fbm(x / 3.0, y / 2.0 + 30.0, 3)))
        # snow on the high slopes, lying longer in the gullies
        snowline = 66 + 10 * self.n.fbm(x / 12.0, 80.0, 3) + 14 * (self.relief(x, y) - 0.5)
        snow = smoothstep(snowline + 3, snowline - 3, y)
        colour = mix(rock, scale((238, 242, 250), min(1.0, 0.8 + 0.2 * light)), snow)
        # haze: the range fades into the sky towards the horizon
        return mix(colour, (188, 204, 222), 0.18 + 0.3 * smoothstep(60, WATERLINE, y))

    def hills(self, x, y, ridge):
        depth = (y - ridge) / max(1.0, WATERLINE - ridge)
        colour = mix((66, 104, 60), (38, 70, 42), depth)
        # forest texture: dark crowns and lighter clearings
        tex = self.n.fbm(x / 3.5, y / 2.5 + 120.0, 4)
        colour = scale(colour, 0.7 + 0.6 * tex)
        return mix(colour, (150, 170, 180), 0.22)

    def meadow(self, x, y, shore):
        depth = (y - shore) / (HEIGHT - shore)
        colour = mix((150, 186, 88), (96, 140, 56), depth)
        patches = self.n.fbm(x / 45.0 + 60.0, y / 20.0, 3)
        colour = mix(colour, (186, 200, 104), 0.5 * smoothstep(0.55, 0.75, patches))
        colour = mix(colour, (70, 110, 48), 0.6 * smoothstep(0.55, 0.3, patches))
        # blades of grass: fine noise stretched upright, stronger towards the viewer
        blades = self.n.fbm(x / 0.9, y / (3.0 + 5 * depth) + 200.0, 3)
        return scale(colour, 1.0 + (0.15 + 0.3 * depth) * (blades - 0.5) * 2)

    def paint_background(self):
        for y in range(HEIGHT):
            for x in range(WIDTH):
                far, mid = self.far_ridge(x), self.mid_ridge(x)
                if y < far:
                    colour = self.sky(x, y)
                elif y < mid:
                    colour = self.mountains(x, y, far)
                elif y < WATERLINE:
                    colour = self.hills(x, y, mid)
                else:
                    colour = None
                self.pixels[y][x] = colour

    def paint_far_trees(self):
        """A row of small firs along the far shore, before the lake mirrors it."""
        for x0 in range(0, WIDTH, 3):
            if self.n.noise(x0 / 9.0, 300.0) < 0.35:
                continue
            height = 4 + int(6 * self.rng.random())
            self.fir(x0 + self.rng.random() * 2, WATERLINE, height, 1.3 + 0.5 * self.rng.random(),
                     (30, 58, 36), 0.25)

    def paint_lake(self):
        for y in range(WATERLINE, HEIGHT):
            for x in range(WIDTH):
                if y >= self.near_shore(x):
                    continue
                # ripples: the mirror image wobbles sideways, more near the viewer
                wobble = (self.n.fbm(x / 30.0, y / 0.8 + 400.0, 2) - 0.5) * (2 + (y - WATERLINE) * 0.3)
                mx = min(WIDTH - 1, max(0, int(round(x + wobble))))
                my = 2 * WATERLINE - 1 - y
                mirrored = self.pixels[my][mx] if my >= 0 else self.sky(x, 0)
                deep = mix((44, 84, 120), (30, 62, 96), (y - WATERLINE) / 30.0)
                colour = mix(scale(mirrored, 0.82), deep, 0.35 + 0.01 * (y - WATERLINE))
                # glints where the ripples catch the sky
                glint = self.n.fbm(x / 6.0, y / 0.7 + 500.0, 2)
                colour = mix(colour, (210, 225, 240), 0.35 * smoothstep(0.7, 0.85, glint))
                self.pixels[y][x] = colour

    def paint_meadow(self):
        for y in range(WATERLINE, HEIGHT):
            for x in range(WIDTH):
                shore = self.near_shore(x)
                if y >= shore:
                    colour = self.meadow(x, y, shore)
                    # a strip of darker reeds and mud at the water's edge
                    colour = mix(colour, (84, 90, 52), 0.6 * smoothstep(shore + 3, shore, y))
                    self.pixels[y][x] = colour

    def plot(self, x, y, colour, alpha=1.0):
        xi, yi = int(x), int(y)
        if 0 <= xi < WIDTH and 0 <= yi < HEIGHT and alpha > 0 and self.pixels[yi][xi] is not None:
            self.pixels[yi][xi] = mix(self.pixels[yi][xi], colour, alpha)

    def fir(self, cx, base, height, half_width, colour, haze=0.0, trunk=0):
        """A conifer: a narrow cone of ragged branch tiers, lit from the upper right."""
        top = base - height
        for y in range(int(top), int(base)):
            t = (y - top) / max(1.0, height)
            tier = 0.75 + 0.25 * ((t * height / 3.0) % 1.0)
            w = half_width * t * tier
            for x in range(int(cx - w - 1), int(cx + w + 2)):
                d = (x + 0.5 - cx)
                cover = max(0.0, min(1.0, w - abs(d) + 0.5))
                if cover <= 0:
                    continue
                rough = self.n.noise(x / 1.3 + cx, y / 1.3)
                light = 0.8 + 0.5 * (d / (w + 0.5)) + 0.3 * (rough - 0.5)
                tone = mix(scale(colour, max(0.4, light)), (150, 170, 185), haze)
                self.plot(x, y, tone, cover * (0.75 + 0.25 * rough))
        for y in range(int(base), int(base) + trunk):
            self.plot(cx, y, (58, 42, 30))
            self.plot(cx - 1, y, (42, 30, 22))

    def broadleaf(self, cx, cy, radius, colour):
        """A round tree crown of lumpy foliage on a short trunk."""
        for y in range(int(cy), int(cy + radius * 1.9)):
            for dx in (-1, 0, 1):
                self.plot(cx + dx, y, (70, 52, 36) if dx < 1 else (50, 36, 26))
        for y in range(int(cy - radius - 2), int(cy + radius + 2)):
            for x in range(int(cx - radius - 2), int(cx + radius + 2)):
                dx, dy = x + 0.5 - cx, y + 0.5 - cy
                lumps = radius * (0.85 + 0.3 * self.n.fbm(x / 2.5 + cx, y / 2.5, 2))
                dist = math.hypot(dx, dy * 1.1)
                cover = max(0.0, min(1.0, lumps - dist + 0.5))
                if cover > 0:
                    light = 0.75 + 0.45 * (dx - dy) / (2 * radius) + 0.35 * (self.n.fbm(x / 1.8, y / 1.8 + 700, 2) - 0.5)
                    self.plot(x, y, scale(colour, max(0.35, light)), cover)

    def paint_near_trees(self):
        # a stand of firs on the right, tallest at the front
        firs = [(232, 0.62, 58), (246, 0.66, 72), (262, 0.58, 84), (277, 0.72, 96),
                (291, 0.68, 110), (268, 0.85, 122), (287, 0.93, 140), (254, 0.95, 104)]
        for cx, base_t, height in sorted(firs, key=lambda f: f[1]):
            base = self.near_shore(cx) + base_t * (HEIGHT - self.near_shore(cx))
            self.fir(cx, base, height, height * 0.19, (34, 70, 40), 0.0, trunk=3)
        # a broadleaf tree and a few bushes on the far left, clear of the middle
        self.broadleaf(12, 160, 13, (78, 120, 46))
        for cx, cy, r in ((34, 178, 4), (198, 160, 5), (212, 170, 4)):
            self.broadleaf(cx, cy, r, (70, 112, 44))

    def render(self):
        self.paint_background()
        self.paint_far_trees()
        self.paint_lake()
        self.paint_meadow()
        self.paint_near_trees()
        # a touch of film grain and a soft vignette, as a camera would give
        grain = random.Random(7)
        out = bytearray()
        for y in range(HEIGHT):
            for x in range(WIDTH):
                r, g, b = self.pixels[y][x]
                v = 1.0 - 0.18 * (((x - 150) / 150) ** 2 + ((y - 112) / 112) ** 2) / 2
                n = (grain.random() - 0.5) * 6
                out += bytes(max(0, min(255, int(c * v + n))) for c in (r, g, b))
        return bytes(out)


def write_landscape(folder):
    ppm = b"P6 %d %d 255\n" % (WIDTH, HEIGHT) + Landscape().render()
    subprocess.run([CONVERT, "ppm:-", "-strip", "-sampling-factor", "4:4:4", "-quality", "90",
                    os.path.join(folder, "landscape.jpg")], input=ppm, check=True)


def write_strip(folder):
    # Drawn across, then turned a quarter to the left so that it reads upwards. No smoothing:
    # every pixel is either the green or the white, so that the white can be left out cleanly.
    subprocess.run([CONVERT, "-size", "200x29", "xc:white", "+antialias",
                    "-font", "DejaVu-Sans-Bold", "-pointsize", "17", "-fill", STRIP_GREEN,
                    "-gravity", "center", "-annotate", "+0+0", MAKER, "-rotate", "-90",
                    "-strip", "-define", "png:exclude-chunks=date,time",
                    "PNG24:" + os.path.join(folder, "strip.png")], check=True)


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "..", "resources", "about")
    os.makedirs(folder, exist_ok=True)
    write_landscape(folder)
    write_strip(folder)


if __name__ == "__main__":
    main()
