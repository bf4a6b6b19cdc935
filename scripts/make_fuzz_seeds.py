#!/usr/bin/python3
"""Writes the seed files of the loader's fuzz targets: pictures from real encoders (Pillow and
ImageMagick), every file the reader tests build byte by byte, and a few raw QFR files.

usage: make_fuzz_seeds.py OUTDIR IMAGE_TESTS
  OUTDIR       gets bmp/, pcx/, tga/, qfr/ (one per target) and any/ (the same files with the
               first byte that makes fuzz_load_any pick their extension)
  IMAGE_TESTS  the qf_image_tests binary; run with QF_SEED_DIR, it saves the files it builds
"""
import os
import random
import shutil
import struct
import subprocess
import sys

from PIL import Image

CONVERT = "/usr/bin/convert"
FORMATS = ["bmp", "pcx", "tga", "qfr"]  # in the order of fuzz_load_any's extension table
SIZES = [(4, 4), (5, 3), (7, 5), (8, 8), (13, 4), (16, 9), (33, 17)]
MAX_SEED = 8192  # the fuzz runs' -max_len; the few larger test files are left out


def picture(mode, size, seed):
    """Runs of equal pixels next to noise, so run-length encoders emit both kinds of packet."""
    rng = random.Random(seed)
    width, height = size
    image = Image.new(mode, size)
    if mode == "P":
        image.putpalette(bytes(rng.randrange(256) for _ in range(768)))
    channels = 1 if mode in ("P", "L", "1") else len(mode)
    data = []
    while len(data) < width * height:
        value = tuple(rng.randrange(256) for _ in range(channels))
        data.extend([value[0] if channels == 1 else value] * rng.choice([1, 1, 3, 9, 40]))
    image.putdata(data[: width * height])
    return image


def pillow_seeds(out):
    seed = 0
    for size in SIZES:
        seed += 1
        for mode in ("RGB", "RGBA", "P", "L", "1"):
            picture(mode, size, seed).save(os.path.join(out, "bmp", f"pil_{mode}_{size[0]}x{size[1]}.bmp"))
        for mode in ("RGB", "P", "L"):
            picture(mode, size, seed).save(os.path.join(out, "pcx", f"pil_{mode}_{size[0]}x{size[1]}.pcx"))
        for mode in ("RGB", "RGBA", "P", "L"):
            for rle in (False, True):
                for orientation in (-1, 1):
                    name = f"pil_{mode}_{'rle' if rle else 'raw'}_{orientation}_{size[0]}x{size[1]}.tga"
                    options = {"orientation": orientation}
                    if rle:
                        options["compression"] = "tga_rle"
                    picture(mode, size, seed).save(os.path.join(out, "tga", name), **options)


def imagemagick_seeds(out, work):
    """ImageMagick's own encoders, fed a PPM: RLE8 bitmaps, older and newer BMP headers,
    multi-plane PCX, run-length and colour-mapped TGA."""
    variants = {
        "bmp": [["BMP3:"], ["-type", "Palette", "BMP3:"], ["-type", "Palette", "-compress", "RLE", "BMP3:"],
                ["BMP2:"], ["BMP:"]],
        "pcx": [["PCX:"], ["-type", "Palette", "PCX:"], ["-type", "TrueColorAlpha", "PCX:"]],
        "tga": [["TGA:"], ["-compress", "RLE", "TGA:"], ["-type", "Palette", "TGA:"],
                ["-type", "Palette", "-compress", "RLE", "TGA:"], ["-type", "Grayscale", "TGA:"]],
    }
    for index, size in enumerate(SIZES):
        source = os.path.join(work, f"source_{index}.ppm")
        # Up to 200 colours: ImageMagick then stores "Palette" pictures with 8-bit indices.
        picture("RGB", size, 100 + index).convert("P", colors=200).convert("RGB").save(source)
        for extension, kinds in variants.items():
            for k, options in enumerate(kinds):
                target = os.path.join(out, extension, f"im_{k}_{size[0]}x{size[1]}.{extension}")
                prefix, codec = options[:-1], options[-1]
                subprocess.run([CONVERT, source, *prefix, codec + target], check=True,
                               stdout=subprocess.DEVNULL, stderr=subprocess.DEVNULL)


def qfr_seeds(out):
    rng = random.Random(7)
    for width, height, bits in [(4, 4, 24), (5, 3, 32), (7, 2, 8), (3, 3, 16), (0, 5, 24), (33, 17, 24)]:
        body = bytes(rng.randrange(256) for _ in range(width * height * (bits // 8)))
        path = os.path.join(out, "qfr", f"raw_{width}x{height}x{bits}.qfr")
        with open(path, "wb") as f:
            f.write(struct.pack("<hhb", width, height, bits) + body)


def test_seeds(out, image_tests):
    env = dict(os.environ, QF_SEED_DIR=out)
    subprocess.run([image_tests, "--gtest_brief=1"], env=env, check=True,
                   stdout=subprocess.DEVNULL)


def drop_large(out):
    for extension in FORMATS:
        folder = os.path.join(out, extension)
        for name in os.listdir(folder):
            if os.path.getsize(os.path.join(folder, name)) > MAX_SEED:
                os.remove(os.path.join(folder, name))


def any_seeds(out):
    for index, extension in enumerate(FORMATS):
        folder = os.path.join(out, extension)
        for name in sorted(os.listdir(folder)):
            with open(os.path.join(folder, name), "rb") as f:
                data = f.read()
            with open(os.path.join(out, "any", name), "wb") as f:
                f.write(bytes([index]) + data)


def main():
    out, image_tests = sys.argv[1:3]
    shutil.rmtree(out, ignore_errors=True)
    for folder in FORMATS + ["any", "work"]:
        os.makedirs(os.path.join(out, folder))
    pillow_seeds(out)
    imagemagick_seeds(out, os.path.join(out, "work"))
    qfr_seeds(out)
    test_seeds(out, image_tests)
    shutil.rmtree(os.path.join(out, "work"))
    drop_large(out)
    any_seeds(out)
    for folder in FORMATS + ["any"]:
        files = os.listdir(os.path.join(out, folder))
        print(f"{folder}: {len(files)} seeds")


if __name__ == "__main__":
    sys.exit(main())
