#!/usr/bin/python3
"""Feeds truncated and mutated copies of valid pictures of every format to an imgdump built with
the address and undefined-behaviour sanitizers. Each run must end with status 0 or 1 (a picture
or a refusal) and no sanitizer report.

usage: hostile_files.py IMGDUMP_ASAN WORKDIR [VARIANTS_PER_FILE]
"""
import os
import random
import struct
import subprocess
import sys

from PIL import Image

CONVERT = "/usr/bin/convert"


def picture(mode, width, height, seed):
    rng = random.Random(seed)
    if mode == "P":
        image = Image.new("P", (width, height))
        image.putpalette(bytes(rng.randrange(256) for _ in range(768)))
        data = []
        while len(data) < width * height:
            data.extend([rng.randrange(256)] * rng.choice([1, 4, 20]))
        image.putdata(data[: width * height])
        return image
    image = Image.new(mode, (width, height))
    data = []
    while len(data) < width * height:
        pixel = tuple(rng.randrange(256) for _ in mode)
        data.extend([pixel] * rng.choice([1, 3, 30]))
    image.putdata(data[: width * height])
    return image


def valid_files(workdir):
    """Writes one valid file per format variant; returns their paths."""
    files = []

    def save(image, name, **options):
        path = os.path.join(workdir, name)
        image.save(path, **options)
        files.append(path)

    save(picture("RGB", 7, 5, 1), "rgb24.bmp")
    save(picture("RGBA", 6, 4, 2), "rgba32.bmp")
    save(picture("P", 9, 6, 3), "index8.bmp")
    save(picture("P", 9, 6, 4), "index.tga")
    save(picture("P", 9, 6, 5), "index_rle.tga", compression="tga_rle")
    save(picture("RGB", 11, 3, 6), "rgb.tga")
    save(picture("RGB", 11, 3, 7), "rgb_rle.tga", compression="tga_rle", orientation=1)
    save(picture("RGBA", 5, 5, 8), "rgba_rle.tga", compression="tga_rle")
    save(picture("P", 13, 4, 9), "index.pcx")
    save(picture("RGB", 13, 4, 10), "rgb.pcx")

    source = os.path.join(workdir, "many_colours.ppm")
    picture("RGB", 37, 7, 11).convert("P", colors=200).convert("RGB").save(source)
    rle8 = os.path.join(workdir, "rle8.bmp")
    subprocess.run([CONVERT, source, "-type", "Palette", "-compress", "RLE", "BMP3:" + rle8],
                   check=True)
    files.append(rle8)

    # The widest pixel a TGA depth byte allows, 127 bits (15 bytes), in a run packet.
    widest = os.path.join(workdir, "widest_rle.tga")
    with open(widest, "wb") as f:
        f.write(struct.pack("<BBB5xHHHHBB", 0, 0, 10, 0, 0, 2, 1, 127, 0) + b"\x81" + bytes(15))
    files.append(widest)

    qfr = os.path.join(workdir, "raw.qfr")
    with open(qfr, "wb") as f:
        f.write(struct.pack("<hhb", 3, 2, 24) + bytes(range(18)))
    files.append(qfr)
    return files


def variants(blob, rng, count):
    """Truncations (every header byte boundary first) and byte mutations of blob."""
    header = min(len(blob), 130)
    cuts = list(range(0, header, max(1, header // (count // 3))))
    cuts += [rng.randrange(len(blob)) for _ in range(4)] + [len(blob) - 1]
    for cut in cuts[: count // 2]:
        yield f"cut{cut}", blob[:cut]
    made = min(len(cuts), count // 2)
    extremes = [0x00, 0x01, 0x7F, 0x80, 0xFE, 0xFF]
    for i in range(count - made):
        mutated = bytearray(blob)
        for _ in range(rng.choice([1, 1, 2, 4])):
            # Headers hold the sizes and offsets worth lying about.
            at = rng.randrange(header) if rng.random() < 0.7 else rng.randrange(len(blob))
            mutated[at] = rng.choice(extremes) if rng.random() < 0.5 else rng.randrange(256)
        yield f"mut{i}", bytes(mutated)


def main():
    imgdump, workdir = sys.argv[1:3]
    per_file = int(sys.argv[3]) if len(sys.argv) > 3 else 50
    os.makedirs(workdir, exist_ok=True)
    env = dict(os.environ, ASAN_OPTIONS="detect_leaks=1:abort_on_error=0:exitcode=99",
               UBSAN_OPTIONS="halt_on_error=1:print_stacktrace=1:exitcode=98")
    rng = random.Random(2024)
    failures, runs = [], 0
    for path in valid_files(workdir):
        with open(path, "rb") as f:
            blob = f.read()
        stem, extension = os.path.splitext(os.path.basename(path))
        for tag, data in variants(blob, rng, per_file):
            name = os.path.join(workdir, f"{stem}_{tag}{extension}")
            with open(name, "wb") as f:
                f.write(data)
            result = subprocess.run([imgdump, name, name + ".out"], capture_output=True,
                                    text=True, env=env)
            runs += 1
            reported = "Sanitizer" in result.stderr or "runtime error" in result.stderr
            if result.returncode not in (0, 1) or reported:
                failures.append(f"{name}: exit {result.returncode}\n{result.stderr[-2000:]}")
            else:
                os.remove(name)
            if os.path.exists(name + ".out"):
                os.remove(name + ".out")
    for failure in failures:
        print("FAIL", failure)
    print(f"{runs} hostile variants run, {len(failures)} failed")
    return 1 if failures or runs == 0 else 0


if __name__ == "__main__":
    sys.exit(main())
