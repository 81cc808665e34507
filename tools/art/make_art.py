#!/usr/bin/python3
"""Rasterises the drawings of tools/art into the pictures the product carries: the program's icon
(app/resources/skyward.ico) and the pictures of the order pages (pages/*.png, pages/*.gif).

The drawings are SVG, drawn on the pixel grid of the size they are shown at, and rendered with
rsvg-convert; the files are written here so that their bytes are fully known: PNG without gamma, colour
or size chunks (which the program's reader would act on), GIF87a for opaque pictures (a GIF89a with a
global colour table counts as transparent in its background colour), icons with 32-bit and 256-colour
images.

usage: make_art.py <source tree root>
"""
import io
import os
import struct
import subprocess
import sys
import zlib

from PIL import Image

ART = os.path.dirname(os.path.abspath(__file__))


def render(svg, width, height):
    """The drawing at that size, as an RGBA image."""
    png = subprocess.run(["rsvg-convert", "-w", str(width), "-h", str(height), os.path.join(ART, svg)],
                         check=True, capture_output=True).stdout
    return Image.open(io.BytesIO(png)).convert("RGBA")


# ---- PNG -------------------------------------------------------------------------------------------

def png_chunk(kind, data):
    return struct.pack(">I", len(data)) + kind + data + struct.pack(">I", zlib.crc32(kind + data))


def png_bytes(image):
    """An 8-bit RGBA PNG with no ancillary chunks, each row filtered with the filter that packs best."""
    width, height = image.size
    pixels = image.tobytes()
    stride = width * 4
    raw = bytearray()
    previous = bytes(stride)
    for y in range(height):
        row = pixels[y * stride:(y + 1) * stride]
        candidates = []
        for kind in range(5):
            candidates.append(bytes([kind]) + png_filter(kind, row, previous))
        raw += min(candidates, key=lambda c: sum(b if b < 128 else 256 - b for b in c[1:]))
        previous = row
    header = struct.pack(">IIBBBBB", width, height, 8, 6, 0, 0, 0)
    return (b"\x89PNG\r\n\x1a\n" + png_chunk(b"IHDR", header) +
            png_chunk(b"IDAT", zlib.compress(bytes(raw), 9)) + png_chunk(b"IEND", b""))


def png_filter(kind, row, previous):
    out = bytearray(len(row))
    for i, value in enumerate(row):
        left = row[i - 4] if i >= 4 else 0
        up = previous[i]
        corner = previous[i - 4] if i >= 4 else 0
        if kind == 0:
            predicted = 0
        elif kind == 1:
            predicted = left
        elif kind == 2:
            predicted = up
        elif kind == 3:
            predicted = (left + up) // 2
        else:
            p = left + up - corner
            pa, pb, pc = abs(p - left), abs(p - up), abs(p - corner)
            predicted = left if pa <= pb and pa <= pc else up if pb <= pc else corner
        out[i] = (value - predicted) & 0xFF
    return bytes(out)


# ---- GIF -------------------------------------------------------------------------------------------

def gif_bytes(image):
    """An opaque GIF87a of a palette image: one image, a global colour table, no extensions."""
    width, height = image.size
    colours = max(image.getdata()) + 1
    palette = image.getpalette()[:3 * colours]
    bits = 1
    while (1 << bits) < colours:
        bits += 1
    table = bytes(palette) + bytes(3 * (1 << bits) - len(palette))
    minimum = max(bits, 2)
    out = bytearray(b"GIF87a")
    out += struct.pack("<HHBBB", width, height, 0x80 | ((bits - 1) << 4) | (bits - 1), 0, 0)
    out += table
    out += b"," + struct.pack("<HHHHB", 0, 0, width, height, 0)
    out.append(minimum)
    data = lzw_encode(image.tobytes(), minimum)
    for start in range(0, len(data), 255):
        block = data[start:start + 255]
        out.append(len(block))
        out += block
    out += b"\x00;"
    return bytes(out)


def lzw_encode(pixels, minimum):
    clear, end = 1 << minimum, (1 << minimum) + 1
    out = bytearray()
    accumulator = 0
    pending = 0

    def emit(code, size):
        nonlocal accumulator, pending
        accumulator |= code << pending
        pending += size
        while pending >= 8:
            out.append(accumulator & 0xFF)
            accumulator >>= 8
            pending -= 8

    size = minimum + 1
    table = {}
    next_code = end + 1
    emit(clear, size)
    prefix = pixels[0]
    for pixel in pixels[1:]:
        key = (prefix, pixel)
        if key in table:
            prefix = table[key]
            continue
        emit(prefix, size)
        if next_code < 4096:
            table[key] = next_code
            next_code += 1
            if next_code > (1 << size) and size < 12:
                size += 1
        else:
            emit(clear, size)
            table = {}
            next_code = end + 1
            size = minimum + 1
        prefix = pixel
    emit(prefix, size)
    emit(end, size)
    if pending:
        out.append(accumulator & 0xFF)
    return bytes(out)


def flatten(image, background=(255, 255, 255)):
    base = Image.new("RGBA", image.size, background + (255,))
    base.alpha_composite(image)
    return base.convert("RGB")


# ---- ICO -------------------------------------------------------------------------------------------

def and_mask(image):
    """The icon's 1-bit mask, bottom row first, rows padded to 32 bits: 1 where the icon is clear."""
    width, height = image.size
    stride = (width + 31) // 32 * 4
    alpha = image.getchannel("A").tobytes()
    rows = []
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            if alpha[y * width + x] < 128:
                row[x // 8] |= 0x80 >> (x % 8)
        rows.append(bytes(row))
    return b"".join(rows)


def icon_bitmap_32(image):
    width, height = image.size
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 32, 0, 0, 0, 0, 0, 0)
    r, g, b, a = image.split()
    bgra = Image.merge("RGBA", (b, g, r, a)).transpose(Image.FLIP_TOP_BOTTOM).tobytes()
    return header + bgra + and_mask(image)


def icon_bitmap_8(image):
    """256 colours and the mask, for screens and programs that take no alpha. Entry 0 is black and is
    what the clear pixels hold, so that they leave the screen as it is under the mask."""
    width, height = image.size
    opaque = image.copy()
    opaque.putalpha(255)
    indexed = opaque.convert("RGB").quantize(255, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)
    alpha = image.getchannel("A").tobytes()
    pixels = indexed.tobytes()
    palette = [0, 0, 0] + indexed.getpalette()[:765]
    palette += [0] * (768 - len(palette))
    stride = (width + 3) // 4 * 4
    rows = []
    for y in reversed(range(height)):
        row = bytearray(stride)
        for x in range(width):
            row[x] = pixels[y * width + x] + 1 if alpha[y * width + x] >= 128 else 0
        rows.append(bytes(row))
    colour_table = b"".join(bytes([palette[i * 3 + 2], palette[i * 3 + 1], palette[i * 3], 0]) for i in range(256))
    header = struct.pack("<IiiHHIIiiII", 40, width, height * 2, 1, 8, 0, 0, 0, 0, 256, 0)
    return header + colour_table + b"".join(rows) + and_mask(image)


def ico_bytes(images):
    """images: (size, bits, data) in the order the directory lists them."""
    out = bytearray(struct.pack("<HHH", 0, 1, len(images)))
    offset = 6 + 16 * len(images)
    for size, bits, data in images:
        dimension = 0 if size >= 256 else size
        out += struct.pack("<BBBBHHII", dimension, dimension, 0, 0, 1, bits, len(data), offset)
        offset += len(data)
    for _, _, data in images:
        out += data
    return bytes(out)


def make_icon(root):
    entries = []
    for size in (256, 48, 32, 24, 16):
        image = render("app-icon-small.svg" if size <= 24 else "app-icon.svg", size, size)
        entries.append((size, 32, png_bytes(image) if size == 256 else icon_bitmap_32(image)))
    for size in (48, 32, 16):
        image = render("app-icon-small.svg" if size <= 24 else "app-icon.svg", size, size)
        entries.append((size, 8, icon_bitmap_8(image)))
    write(root, "app/resources/skyward.ico", ico_bytes(entries))


def write(root, relative, data):
    with open(os.path.join(root, relative), "wb") as out:
        out.write(data)
    print(f"{relative}: {len(data)} bytes")


def make_arrows(root):
    """The "next" arrow as drawn, and the "back" arrow as its mirror image, state by state."""
    right = render("arrow.svg", 96, 32)
    left = Image.new("RGBA", right.size)
    for state in range(3):
        cell = right.crop((state * 32, 0, state * 32 + 32, 32)).transpose(Image.FLIP_LEFT_RIGHT)
        left.paste(cell, (state * 32, 0))
    write(root, "pages/rightarrow.png", png_bytes(right))
    write(root, "pages/leftarrow.png", png_bytes(left))


PICTOGRAMS = ["email", "fax", "mail", "web", "phone", "cd", "done", "error"]


def make_pictograms(root):
    """Each pictogram small (24 pixels, beside a line of text) and as a page heading (48 pixels)."""
    for name in PICTOGRAMS:
        write(root, f"pages/icon_{name}.png", png_bytes(render(f"icon-{name}.svg", 24, 24)))
        write(root, f"pages/heading_{name}.png", png_bytes(render(f"icon-{name}.svg", 48, 48)))


def make_logos(root):
    logo = flatten(render("logo.svg", 96, 32))
    write(root, "pages/logo.gif",
          gif_bytes(logo.quantize(128, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)))
    printable = flatten(render("printable-logo.svg", 384, 128)).convert("L").convert("RGB")
    write(root, "pages/printablelogo.gif",
          gif_bytes(printable.quantize(32, method=Image.Quantize.MEDIANCUT, dither=Image.Dither.NONE)))


def main():
    root = sys.argv[1]
    make_icon(root)
    make_arrows(root)
    make_pictograms(root)
    make_logos(root)


if __name__ == "__main__":
    main()
