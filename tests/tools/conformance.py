#!/usr/bin/python3
"""Writes pictures with independent encoders (Pillow and ImageMagick) and checks that imgdump,
which runs the program's own loader, decodes each one to exactly the pixels that were encoded.

usage: conformance.py IMGDUMP WORKDIR GROUP   (GROUP: bmp, tga, pcx or qfr)
"""
import os
import random
import struct
import subprocess
import sys

from PIL import Image

CONVERT = "/usr/bin/convert"  # ImageMagick, from its Debian package

# Odd widths make rows that are not a multiple of four bytes (BMP padding, PCX even lines).
SIZES = [(1, 1), (2, 3), (3, 2), (5, 3), (7, 5), (16, 16), (33, 9), (64, 32)]


def random_rgb(width, height, seed, mode="RGB"):
    rng = random.Random(seed)
    channels = len(mode)
    picture = Image.new(mode, (width, height))
    # Runs of equal pixels next to noise, so run-length encoders emit both kinds of packet.
    data = []
    for y in range(height):
        x = 0
        while x < width:
            pixel = tuple(rng.randrange(256) for _ in range(channels))
            run = rng.choice([1, 1, 2, 5, 40])
            for _ in range(min(run, width - x)):
                data.append(pixel)
                x += 1
    picture.putdata(data)
    return picture


def random_palette_picture(width, height, seed):
    """A "P" picture with a full 256-entry palette and runs of equal indices."""
    rng = random.Random(seed)
    picture = Image.new("P", (width, height))
    picture.putpalette(bytes(rng.randrange(256) for _ in range(768)))
    data = []
    while len(data) < width * height:
        data.extend([rng.randrange(256)] * rng.choice([1, 1, 3, 9, 70]))
    picture.putdata(data[: width * height])
    return picture


def many_colour_picture(width, height, seed):
    """RGB with between 17 and 256 colours, so ImageMagick stores it with 8-bit indices."""
    rng = random.Random(seed)
    colours = [tuple(rng.randrange(256) for _ in range(3)) for _ in range(200)]
    picture = Image.new("RGB", (width, height))
    data = []
    while len(data) < width * height:
        data.extend([rng.choice(colours)] * rng.choice([1, 2, 4, 30, 300]))
    data = data[: width * height]
    # Every colour at least once when there is room, so the palette stays above 16 entries.
    spread = min(len(data), len(colours))
    for i in range(spread):
        data[i * len(data) // spread] = colours[i]
    picture.putdata(data)
    return picture


def read_pnm(path):
    with open(path, "rb") as f:
        blob = f.read()
    if blob.startswith(b"P7"):
        header, _, body = blob.partition(b"ENDHDR\n")
        fields = dict(line.split(b" ", 1) for line in header.split(b"\n")[1:] if b" " in line)
        return int(fields[b"WIDTH"]), int(fields[b"HEIGHT"]), int(fields[b"DEPTH"]), body
    # P6/P5: four tokens, then exactly one whitespace byte before the body.
    tokens, pos = [], 0
    while len(tokens) < 4:
        while blob[pos:pos + 1].isspace():
            pos += 1
        start = pos
        while not blob[pos:pos + 1].isspace():
            pos += 1
        tokens.append(blob[start:pos])
    depth = {b"P6": 3, b"P5": 1}[tokens[0]]
    return int(tokens[1]), int(tokens[2]), depth, blob[pos + 1:]


class Checker:
    def __init__(self, imgdump, workdir):
        self.imgdump = imgdump
        self.workdir = workdir
        self.failures = []
        self.checked = 0

    def path(self, name):
        return os.path.join(self.workdir, name)

    def dump(self, file_name):
        out = self.path(file_name + ".out")
        if os.path.exists(out):
            os.remove(out)
        result = subprocess.run([self.imgdump, self.path(file_name), out],
                                capture_output=True, text=True)
        words = result.stdout.split()
        ok = bool(words) and words[0] == "ImageOk"
        if result.returncode != (0 if ok else 1):
            self.failures.append(f"{file_name}: exit status {result.returncode} for {words}")
        if not ok and os.path.exists(out):
            self.failures.append(f"{file_name}: picture written for {words}")
        return words, out

    def expect_pixels(self, file_name, expected, bits):
        """expected: a PIL picture in RGB or RGBA, or raw bytes with their depth for 8-bit."""
        self.checked += 1
        words, out = self.dump(file_name)
        if isinstance(expected, Image.Image):
            width, height = expected.size
            depth = len(expected.mode)
            pixels = expected.tobytes()
        else:
            width, height, depth, pixels = expected
        want = ["ImageOk", str(width), str(height), str(bits)]
        if words != want:
            self.failures.append(f"{file_name}: imgdump said {words}, expected {want}")
            return
        got = read_pnm(out)
        if got[:3] != (width, height, depth):
            self.failures.append(f"{file_name}: dump shape {got[:3]}, expected "
                                 f"{(width, height, depth)}")
        elif got[3] != pixels:
            first = next(i for i in range(len(pixels)) if got[3][i] != pixels[i])
            pixel = first // depth
            self.failures.append(f"{file_name}: first differing pixel x={pixel % width} "
                                 f"y={pixel // width}")

    def expect_status(self, file_name, status):
        self.checked += 1
        words, _ = self.dump(file_name)
        if not words or words[0] != status:
            self.failures.append(f"{file_name}: imgdump said {words}, expected {status}")

    def convert(self, source, args, file_name):
        """ImageMagick writes file_name in the format its extension names (BMP3 for .bmp)."""
        kind = {"bmp": "BMP3", "tga": "TGA", "pcx": "PCX"}[file_name.rsplit(".", 1)[1]]
        subprocess.run([CONVERT, self.path(source)] + args + [kind + ":" + self.path(file_name)],
                       check=True)


def bmp_cases(c):
    for i, (w, h) in enumerate(SIZES):
        rgb = random_rgb(w, h, 100 + i)
        rgb.save(c.path(f"pil24_{w}x{h}.bmp"))
        c.expect_pixels(f"pil24_{w}x{h}.bmp", rgb, 24)

        rgba = random_rgb(w, h, 200 + i, "RGBA")
        rgba.save(c.path(f"pil32_{w}x{h}.bmp"))
        c.expect_pixels(f"pil32_{w}x{h}.bmp", rgba, 32)

        indexed = random_palette_picture(w, h, 300 + i)
        indexed.save(c.path(f"pil8_{w}x{h}.bmp"))
        c.expect_pixels(f"pil8_{w}x{h}.bmp", indexed.convert("RGB"), 8)

        rgb.save(c.path(f"src24_{w}x{h}.ppm"))
        c.convert(f"src24_{w}x{h}.ppm", [], f"im24_{w}x{h}.bmp")
        c.expect_pixels(f"im24_{w}x{h}.bmp", rgb, 24)

        rgba.save(c.path(f"src32_{w}x{h}.png"))
        c.convert(f"src32_{w}x{h}.png", ["-define", "bmp3:alpha=true"], f"im32_{w}x{h}.bmp")
        c.expect_pixels(f"im32_{w}x{h}.bmp", rgba, 32)

    for i, (w, h) in enumerate([(5, 4), (16, 16), (33, 9), (64, 32), (127, 3)]):
        colours = many_colour_picture(w, h, 400 + i)
        colours.save(c.path(f"src8_{w}x{h}.ppm"))
        for compress, tag in (("None", "plain"), ("RLE", "rle8")):
            name = f"im8{tag}_{w}x{h}.bmp"
            c.convert(f"src8_{w}x{h}.ppm", ["-type", "Palette", "-compress", compress],
                      name)
            with open(c.path(name), "rb") as f:
                header = f.read(34)
            bits, compression = struct.unpack_from("<HI", header, 28)
            if (bits, compression) != (8, 1 if tag == "rle8" else 0):
                c.failures.append(f"{name}: encoder wrote bits {bits} compression {compression}")
                continue
            c.expect_pixels(name, colours, 8)


def tga_cases(c):
    for i, (w, h) in enumerate(SIZES):
        rgb = random_rgb(w, h, 500 + i)
        rgba = random_rgb(w, h, 600 + i, "RGBA")
        indexed = random_palette_picture(w, h, 700 + i)
        for rle, tag in ((None, "raw"), ("tga_rle", "rle")):
            for orientation, order in ((-1, "up"), (1, "down")):
                options = {"orientation": orientation}
                if rle:
                    options["compression"] = rle
                stem = f"{tag}_{order}_{w}x{h}"
                rgb.save(c.path(f"pil24_{stem}.tga"), **options)
                c.expect_pixels(f"pil24_{stem}.tga", rgb, 24)
                indexed.save(c.path(f"pil8_{stem}.tga"), **options)
                c.expect_pixels(f"pil8_{stem}.tga", indexed.convert("RGB"), 8)
                rgba.save(c.path(f"pil32_{stem}.tga"), **options)
                if orientation < 0:
                    c.expect_pixels(f"pil32_{stem}.tga", rgba, 32)
                else:
                    # Top row first with alpha bits declared (descriptor 0x28) is refused; the
                    # same pixels with the alpha bits cleared (0x20) are read.
                    c.expect_status(f"pil32_{stem}.tga", "ImageUnsupported")
                    with open(c.path(f"pil32_{stem}.tga"), "r+b") as f:
                        f.seek(17)
                        descriptor = f.read(1)[0]
                        f.seek(17)
                        f.write(bytes([descriptor & 0xF0]))
                    c.expect_pixels(f"pil32_{stem}.tga", rgba, 32)

        # ImageMagick 6.9.11 stores rows top first even when its header says bottom first
        # unless told the orientation; told, it marks the file top-first (and so can write
        # 32-bit only as descriptor 0x28, which Pillow's files above cover).
        rgb.save(c.path(f"src24_{w}x{h}.ppm"))
        for compress, tag in (("None", "raw"), ("RLE", "rle")):
            name = f"im24{tag}_{w}x{h}.tga"
            c.convert(f"src24_{w}x{h}.ppm", ["-orient", "TopLeft", "-compress", compress], name)
            c.expect_pixels(name, rgb, 24)


def pcx_cases(c):
    for i, (w, h) in enumerate(SIZES):
        rgb = random_rgb(w, h, 800 + i)
        # Pillow 9.4 leaves the blue plane out of a one-pixel-wide three-plane line.
        if w > 1:
            rgb.save(c.path(f"pil24_{w}x{h}.pcx"))
            c.expect_pixels(f"pil24_{w}x{h}.pcx", rgb, 24)
        indexed = random_palette_picture(w, h, 900 + i)
        indexed.save(c.path(f"pil8_{w}x{h}.pcx"))
        c.expect_pixels(f"pil8_{w}x{h}.pcx", indexed.convert("RGB"), 8)

        rgb.save(c.path(f"src24_{w}x{h}.ppm"))
        c.convert(f"src24_{w}x{h}.ppm", [], f"im24_{w}x{h}.pcx")
        c.expect_pixels(f"im24_{w}x{h}.pcx", rgb, 24)
        colours = many_colour_picture(w, h, 1000 + i)
        colours.save(c.path(f"src8_{w}x{h}.ppm"))
        c.convert(f"src8_{w}x{h}.ppm", ["-type", "Palette"], f"im8_{w}x{h}.pcx")
        c.expect_pixels(f"im8_{w}x{h}.pcx", colours, 8)


def qfr_cases(c):
    # The program's own format has no outside encoder; these check imgdump's three outputs.
    for i, (w, h) in enumerate(SIZES):
        for bits, mode in ((24, "RGB"), (32, "RGBA")):
            picture = random_rgb(w, h, 1100 + i, mode)
            name = f"q{bits}_{w}x{h}.qfr"
            with open(c.path(name), "wb") as f:
                f.write(struct.pack("<hhb", w, h, bits) + picture.tobytes())
            c.expect_pixels(name, picture, bits)
        grey = bytes(random.Random(1200 + i).randrange(256) for _ in range(w * h))
        name = f"q8_{w}x{h}.qfr"
        with open(c.path(name), "wb") as f:
            f.write(struct.pack("<hhb", w, h, 8) + grey)
        c.expect_pixels(name, (w, h, 1, grey), 8)


GROUPS = {"bmp": bmp_cases, "tga": tga_cases, "pcx": pcx_cases, "qfr": qfr_cases}


def main():
    imgdump, workdir, group = sys.argv[1:4]
    os.makedirs(workdir, exist_ok=True)
    checker = Checker(imgdump, workdir)
    GROUPS[group](checker)
    for failure in checker.failures:
        print("FAIL", failure)
    print(f"{group}: {checker.checked} files checked, {len(checker.failures)} failed")
    return 1 if checker.failures or checker.checked == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
