#!/usr/bin/python3
"""Cut the 32 built-in pictures and their two thumbnail strips.

Usage: photos.py SOURCE_DIR OUT_DIR
       photos.py --packages      (lists the Debian packages the photos come from)

SOURCE_DIR holds the Debian packages named below, each unpacked with
`dpkg-deb -x` (make-all fetches them).  Every picture is a 4:3 crop of a free
photograph, scaled to 1200x900 and saved as a baseline JPEG.
"""
import io
import os
import struct
import sys

from PIL import Image, ImageFilter, ImageOps

# name, package, path in the package, member of an Eet archive (or ""),
# crop box (left, top, right, bottom) or None for the largest centred 4:3 box,
# tone: None, or (gamma, black/white clipping in percent) to open up dark or
# flat pictures.
PHOTOS = [
    ("Rose", "mate-backgrounds", "usr/share/backgrounds/mate/nature/Garden.jpg", "", (428, 0, 2560, 1599), None),
    ("Biene", "mate-backgrounds", "usr/share/backgrounds/mate/nature/LadyBird.jpg", "", (428, 0, 2560, 1599), None),
    ("Eiswald", "lifeograph", "usr/share/net.sourceforge.Lifeograph/backgrounds/snow.jpg", "", None, (1.0, 0.3)),
    ("Nebellandschaft", "enlightenment-data", "usr/share/enlightenment/data/backgrounds/Sunset-Hills.edj", "edje/images/0", (480, 0, 3360, 2160), None),
    ("Haflinger", "lomiri-wallpapers-16.04", "usr/share/backgrounds/friends_by_Aitzol_Berasategi.jpg", "", (0, 500, 2056, 2042), None),
    ("Strandszene", "sddm-theme-maldives", "usr/share/sddm/themes/maldives/background.jpg", "", (128, 0, 2464, 1752), None),
    ("Robbe", "mate-backgrounds", "usr/share/backgrounds/mate/nature/Dune.jpg", "", (140, 0, 1540, 1050), None),
    ("Fische", "tuxpaint-data", "usr/share/tuxpaint/templates/jellyfish.jpg", "", (128, 0, 1152, 768), None),
    ("Riff", "tuxpaint-data", "usr/share/tuxpaint/starters/reef-back.png", "", (0, 40, 448, 376), None),
    ("Steinbock", "lomiri-wallpapers-16.04", "usr/share/backgrounds/sunset_by_Aitzol_Berasategi.jpg", "", (238, 0, 4034, 2847), None),
    ("Baer", "lomiri-wallpapers-20.04", "usr/share/backgrounds/Kleiber_by_Lukas_Baubkus.jpg", "", (200, 0, 4720, 3390), None),
    ("Zebras", "lxqt-themes", "usr/share/lxqt/wallpapers/butterfly.png", "", (0, 0, 2656, 1992), None),
    ("Nashorn", "lomiri-wallpapers-16.04", "usr/share/backgrounds/Dragonfly_by_Bolly.jpg", "", (0, 0, 4224, 3168), None),
    ("Giraffen", "tuxpaint-data", "usr/share/tuxpaint/templates/sheep.jpg", "", (127, 1, 1011, 664), None),
    ("Loewe", "lomiri-wallpapers-16.04", "usr/share/backgrounds/seeding_by_Clements_Engelhardt.jpg", "", (400, 0, 4384, 2988), None),
    ("Elefant", "mate-backgrounds", "usr/share/backgrounds/mate/abstract/Elephants_5640x3172.jpg", "", (1160, 160, 4360, 2560), None),
    ("Matterhorn", "lomiri-wallpapers-16.04", "usr/share/backgrounds/picosdeeuropa_by_Aitzol_Berasategi.jpg", "", (0, 0, 3264, 2448), None),
    ("Alpengluehen", "enlightenment-data", "usr/share/enlightenment/data/backgrounds/Mountain.edj", "edje/images/0", (800, 320, 3040, 2000), (0.75, 0.2)),
    ("Alpensee", "plasma-workspace-wallpapers", "usr/share/wallpapers/summer_1am/contents/images/2560x1600.jpg", "", (428, 0, 2560, 1599), None),
    ("Berghuette", "lomiri-wallpapers-16.04", "usr/share/backgrounds/aitzgorri_by_Aitzol_Berasategi.jpg", "", (250, 0, 2990, 2055), None),
    ("Windmuehlen", "plasma-workspace-wallpapers", "usr/share/wallpapers/Kite/contents/images/2560x1600.jpg", "", (428, 0, 2560, 1599), None),
    ("Dichterhaus", "lifeograph", "usr/share/net.sourceforge.Lifeograph/backgrounds/street.jpg", "", (0, 0, 1914, 1436), (0.55, 0.3)),
    ("Schloss", "lifeograph", "usr/share/net.sourceforge.Lifeograph/backgrounds/cloister.jpg", "", (0, 500, 1560, 1670), (1.0, 0.5)),
    ("Berlin", "tuxpaint-data", "usr/share/tuxpaint/starters/skyline-sf-dusk-back.jpeg", "", (0, 40, 448, 376), None),
    ("Kirchtuerme", "tuxpaint-data", "usr/share/tuxpaint/templates/lighthouse.jpg", "", (1, 70, 637, 547), None),
    ("Rathaus", "plasma-workspace-wallpapers", "usr/share/wallpapers/Grey/contents/images/2560x1600.jpg", "", (214, 0, 2346, 1599), None),
    ("ParkPortal", "plasma-workspace-wallpapers", "usr/share/wallpapers/Path/contents/images/2560x1600.jpg", "", (0, 0, 2132, 1599), None),
    ("Schiff", "plasma-workspace-wallpapers", "usr/share/wallpapers/EveningGlow/contents/images/2560x1600.jpg", "", (0, 0, 2132, 1599), None),
    ("VolvoAmazon", "mate-backgrounds", "usr/share/backgrounds/mate/nature/Storm.jpg", "", (108, 1, 1812, 1279), None),
    ("RoteLok", "tuxpaint-data", "usr/share/tuxpaint/templates/wool_mill_machine.jpg", "", (40, 0, 680, 480), None),
    ("Shuttle", "mate-screensaver-common", "usr/share/backgrounds/cosmos/earth-horizon.jpg", "", (216, 1, 1280, 799), None),
    ("Kraene", "lomiri-wallpapers-16.04", "usr/share/backgrounds/Bridge_by_Sander_Klootwijk.jpg", "", (544, 0, 3808, 2448), None),
]

# The two picture bars, in the order of the game's picture catalogue.
SERIES = [
    ["Rose", "Biene", "Eiswald", "Nebellandschaft", "Haflinger", "Strandszene", "Robbe", "Fische",
     "Riff", "Steinbock", "Baer", "Zebras", "Nashorn", "Giraffen", "Loewe", "Elefant"],
    ["Matterhorn", "Alpengluehen", "Alpensee", "Berghuette", "Windmuehlen", "Dichterhaus", "Schloss", "Berlin",
     "Kirchtuerme", "Rathaus", "ParkPortal", "Schiff", "VolvoAmazon", "RoteLok", "Shuttle", "Kraene"],
]


def eet_member(path, name):
    """Return the bytes of an uncompressed member of an Eet archive."""
    data = open(path, "rb").read()
    magic, count, _ = struct.unpack(">iii", data[:12])
    if magic != 0x1EE70F42:
        raise ValueError(path + " is not an Eet archive")
    for i in range(count):
        off, size, _, noff, nsize, flags = struct.unpack(">6i", data[12 + 24 * i:36 + 24 * i])
        if data[noff:noff + nsize].rstrip(b"\0").decode() == name:
            if flags != 0:
                raise ValueError("member %s of %s is compressed" % (name, path))
            return data[off:off + size]
    raise KeyError(name)


def centred_box(w, h):
    if w * 3 > h * 4:
        cw = h * 4 // 3
        return ((w - cw) // 2, 0, (w - cw) // 2 + cw, h)
    ch = w * 3 // 4
    return (0, (h - ch) // 2, w, (h - ch) // 2 + ch)


def tone(im, gamma, cutoff):
    im = ImageOps.autocontrast(im, cutoff=cutoff, preserve_tone=True)
    if gamma != 1.0:
        lut = [round(255 * (i / 255) ** gamma) for i in range(256)]
        im = im.point(lut * 3)
    return im


def make_photo(src, entry):
    name, _, path, member, box, adjust = entry
    full = os.path.join(src, path)
    im = Image.open(io.BytesIO(eet_member(full, member))) if member else Image.open(full)
    im = im.convert("RGB")
    im = im.crop(box or centred_box(*im.size))
    upscale = im.width < 1200
    im = im.resize((1200, 900), Image.LANCZOS)
    if upscale:
        # Soften the blockiness of small sources a little after enlarging.
        im = im.filter(ImageFilter.UnsharpMask(radius=2, percent=60, threshold=2))
    if adjust:
        im = tone(im, *adjust)
    return im


def main():
    if sys.argv[1:] == ["--packages"]:
        print(" ".join(sorted({entry[1] for entry in PHOTOS})))
        return
    src, out = sys.argv[1], sys.argv[2]
    os.makedirs(out, exist_ok=True)
    pictures = {}
    for entry in PHOTOS:
        im = make_photo(src, entry)
        im.save(os.path.join(out, entry[0] + ".jpg"), "JPEG", quality=90,
                optimize=True, progressive=False, subsampling="4:2:0")
        pictures[entry[0]] = im
    for n, series in enumerate(SERIES, 1):
        strip = Image.new("RGBA", (800, 600))
        for k, name in enumerate(series):
            thumb = pictures[name].resize((200, 150), Image.LANCZOS).convert("RGBA")
            strip.paste(thumb, ((k % 4) * 200, (k // 4) * 150))
        strip.save(os.path.join(out, "Motive%d.png" % n), optimize=True)


if __name__ == "__main__":
    main()
