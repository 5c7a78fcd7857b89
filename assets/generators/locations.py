#!/usr/bin/env python3
"""Builds the weather location picker's tables from the gazetteer sources:

    Countries.bin        221 records of 44 bytes: name (40, zero-filled), index (int32 LE)
    Cities.bin           23,924 records of 56 bytes: name (40), location code (12), country (int32 LE)
    CityCoordinates.bin  23,924 pairs of float32 LE: latitude, longitude, in the cities' order

    locations.py [output folder]    (default: assets/tables/)

Which places: Germany takes its 6,378 most populous places, Zambia none. The USA's place in the
table fixes how many places the countries before it and those after it show; within each group
a country takes its capital and then its most populous places, as many as a share proportional
to the square root of the population its sources list (at least one, at most what they have).
Places that are only a part of a town (GeoNames' PPLX, or numbered like "Marseille 01") and
abandoned or historical ones are left out, and a name that repeats within 10 km keeps only its
larger place. Names follow the rules of locations_names.py (as people write them; repeated names
told apart by their region). The USA takes the 2,414 most populous towns that have a
postal code, named "Town, ST" after the postal list and coded with the town's lowest ZIP code,
from "Abbeville, LA" to "Zion, IL".

Location codes: a place closer than SHARE_KM to a more populous place of its country already
coded takes that place's code (it is the same weather location). Every other place keeps the
code it has in the table being replaced (found by its coordinates), so that a code stored in a
user's settings goes on naming the same place; a place new to the table gets the country's FIPS
10-4 code, "XX" and the next running number after the highest its prefix has used, counted in
alphabetical order of the new places. The rows below keep their codes in any case. The first
table (release 1.0.0) numbered every place in alphabetical order from 1.

The output is a pure function of the pinned package versions and the table it replaces:
rerunning reproduces it byte for byte.
"""

import math
import os
import struct
import sys

import locations_names as names
import locations_sources as src
from locations_countries import (COUNTRIES, GAZA_STRIP, GERMANY, GERMANY_CITIES, TOTAL_CITIES,
                                 USA, USA_CITIES, USA_FIRST, ZAMBIA)
from locations_us import select_us_towns

NAME_FIELD = 40
CODE_FIELD = 12
CITY_RECORD = NAME_FIELD + CODE_FIELD + 4
MAX_NAME = 36
LEFT_OUT_KINDS = {"PPLX", "PPLH", "PPLQ", "PPLW", "PPLCH"}
SAME_PLACE_KM = 10.0
# The distance below which two places count as one weather location; it makes 347 codes shared.
SHARE_KM = 1.8205
CAPITAL = "PPLC"

# Places kept under the names people know them by (GeoNames id: name).
RENAMED = {
    1134720: "Bost/Laskar",   # Lashkar Gah, the former Bost
    1140970: "Ghurian",
    3183875: "Tirane",
    7304467: "Ebeye",
    2081986: "Palikir",       # "Palikir - National Government Center"
}

# Rows whose codes are fixed (GeoNames id: code).
FIXED_CODES = {
    1134720: "AFXX0005",
    1140970: "AFXX0001",
    1140026: "AFXX0002",
    3184081: "ALXX0001",
    3183875: "ALXX0002",
    879431: "ZIXX0007",
}

# Settlements the sources lack, added by hand (country index, name, latitude, longitude).
ADDED = [
    (108, "Kwajalein", 8.7207, 167.7316),
    (215, "Wake Island", 19.2823, 166.6470),
]


def distance_km(a, b):
    la1, lo1, la2, lo2 = map(math.radians, (a["lat"], a["lon"], b["lat"], b["lon"]))
    h = (math.sin((la2 - la1) / 2) ** 2
         + math.cos(la1) * math.cos(la2) * math.sin((lo2 - lo1) / 2) ** 2)
    return 2 * 6371.0 * math.asin(min(1.0, math.sqrt(h)))


def rank(place):
    return (place["id"] not in FIXED_CODES, place["fcode"] != CAPITAL, -place["pop"], place["id"])


def sort_key(name):
    return (name.lower(), name)


def country_of(place, sources):
    """The index of the country whose sources hold the place, or None."""
    country = place["country"]
    division = sources.get(country + "/" + place["admin"])
    if division is not None:
        return division
    return sources.get(country)


def source_map():
    sources = {}
    for index, (_, codes, _) in enumerate(COUNTRIES):
        for code in codes:
            sources[code] = index
    # A division named on its own leaves the rest of its country to the country listed whole;
    # Saint Helena itself and Tristan da Cunha are not in the list.
    sources.setdefault("SH", None)
    return sources


def candidates(places):
    """Per country, the places that may stand in the table, best first, and each country's
    population as its sources list it."""
    sources = source_map()
    per_country = [[] for _ in COUNTRIES]
    population = [0] * len(COUNTRIES)
    for place in places:
        index = country_of(place, sources)
        if index is None or index == USA:
            continue
        if place["fcode"] in LEFT_OUT_KINDS:
            continue
        population[index] += place["pop"]
        place["name"] = RENAMED.get(place["id"]) or place_name(place)
        if not 0 < len(place["name"]) <= MAX_NAME or any(c.isdigit() for c in place["name"]):
            continue
        if not names.is_place(place["name"]):
            continue
        place["country_index"] = index
        per_country[index].append(place)
    for index, name, lat, lon in ADDED:
        per_country[index].append({"id": 0, "name": name, "pop": 0, "lat": lat, "lon": lon,
                                   "country_index": index, "admin": "", "fcode": ""})
    return [drop_repeats(sorted(c, key=rank)) for c in per_country], population


def place_name(place):
    name = names.ascii_name(place["name"])
    return names.capitalised(names.without_admin_words(name, place["country"]))


def drop_repeats(ranked):
    """Of places with one name, a place within SAME_PLACE_KM of a better one, or in the same
    region, is left out."""
    kept, by_name = [], {}
    for place in ranked:
        same = by_name.setdefault(place["name"], [])
        if not any(distance_km(k, place) < SAME_PLACE_KM or k["admin"] == place["admin"] for k in same):
            same.append(place)
            kept.append(place)
    return kept


def tell_apart(chosen, regions):
    """Names that places of one country share get the place's region, where the whole fits.
    Returns how many names stay shared."""
    shared = 0
    for places in chosen:
        by_name = {}
        for place in places:
            by_name.setdefault(place["name"], []).append(place)
        taken = set(by_name)
        for name, same in by_name.items():
            if len(same) < 2:
                continue
            for place in same:
                region = regions.get(place.get("country", "") + "." + place["admin"])
                full = f"{name}, {names.region_name(region)}" if region else None
                if full and len(full) <= MAX_NAME and full not in taken:
                    place["name"] = full
                    taken.add(full)
            shared += len(same) - len({p["name"] for p in same})
    return shared


class NearbyIndex:
    """Places in cells of GRID_DEGREES, so that a search within share_km looks at the nine
    cells around a place instead of the whole country (a cell is wider than SHARE_KM everywhere
    but within a few degrees of the poles, where no two places lie)."""

    GRID_DEGREES = 0.1

    def __init__(self):
        self.cells = {}

    def _cell(self, place):
        return (math.floor(place["lat"] / self.GRID_DEGREES),
                math.floor(place["lon"] / self.GRID_DEGREES))

    def add(self, place):
        self.cells.setdefault(self._cell(place), []).append(place)

    def first_within(self, place, km):
        """The earliest added place closer than km, or None."""
        row, col = self._cell(place)
        near = [p for r in (row - 1, row, row + 1) for c in (col - 1, col, col + 1)
                for p in self.cells.get((r, c), ()) if distance_km(p, place) < km]
        return min(near, key=lambda p: p["order"], default=None)


def share_out(total, members, available, weight):
    """Splits total among members in proportion to their weights, each at least one and at most
    what it has; the fractions left by rounding down go to the largest remainders."""
    def wanted(scale, i):
        return min(available[i], max(1.0, scale * weight[i]))

    low, high = 0.0, 1.0
    while sum(wanted(high, i) for i in members) < total:
        high *= 2
    for _ in range(200):
        mid = (low + high) / 2
        if sum(wanted(mid, i) for i in members) < total:
            low = mid
        else:
            high = mid
    exact = {i: wanted(high, i) for i in members}
    runs = {i: int(exact[i]) for i in members}
    spare = total - sum(runs.values())
    by_remainder = sorted((i for i in members if runs[i] < available[i]),
                          key=lambda i: (-(exact[i] - int(exact[i])), i))
    for i in by_remainder[:spare]:
        runs[i] += 1
    return runs


def run_lengths(available, population):
    """How many places each country shows: Germany and the USA as fixed, Zambia none. The USA's
    place in the table fixes how many places the countries before it and those after it show;
    within each of the two groups the rest share in proportion to the square root of their
    population."""
    runs = {GERMANY: GERMANY_CITIES, USA: USA_CITIES, ZAMBIA: 0}
    weight = [math.sqrt(p) for p in population]
    before = [i for i in range(USA) if i not in runs]
    after = [i for i in range(USA + 1, len(COUNTRIES)) if i not in runs]
    runs.update(share_out(USA_FIRST - GERMANY_CITIES, before, available, weight))
    runs.update(share_out(TOTAL_CITIES - USA_FIRST - USA_CITIES, after, available, weight))
    return [runs[i] for i in range(len(COUNTRIES))]


def choose_places(places):
    per_country, population = candidates(places)
    available = [len(c) for c in per_country]
    runs = run_lengths(available, population)
    chosen = [per_country[i][:runs[i]] for i in range(len(COUNTRIES))]
    for i, run in enumerate(runs):
        if i != USA and len(chosen[i]) != run:
            raise SystemExit(f"{COUNTRIES[i][0]}: {len(chosen[i])} places for a run of {run}")
    return chosen


def prefix_of(place):
    fips = COUNTRIES[place["country_index"]][2]
    if place["country_index"] == 154 and place["lon"] < 34.6 and place["lat"] < 31.65:
        return GAZA_STRIP
    return fips


def group_stations(chosen, share_km):
    """Gives each place the station whose weather it shows: itself, or the more populous place of
    its country within share_km. Returns the stations in country order."""
    stations = []
    for places in chosen:
        nearby = NearbyIndex()
        for place in places:  # best first, the fixed rows leading
            near = None
            if place["id"] not in FIXED_CODES:
                near = nearby.first_within(place, share_km)
            place["station"] = near if near is not None else place
            if near is None:
                place["order"] = len(stations)
                nearby.add(place)
                stations.append(place)
    return stations


def shared_codes(chosen):
    counts = {}
    for places in chosen:
        for place in places:
            counts[id(place["station"])] = counts.get(id(place["station"]), 0) + 1
    return sum(1 for n in counts.values() if n > 1)


def previous_codes(folder):
    """The codes of the table already in folder, by country and stored coordinates, and the
    highest number each code prefix has used; empty when there is none."""
    try:
        with open(os.path.join(folder, "Cities.bin"), "rb") as cities, \
                open(os.path.join(folder, "CityCoordinates.bin"), "rb") as where:
            records, points = cities.read(), where.read()
    except FileNotFoundError:
        return {}, {}
    codes, highest = {}, {}
    for i in range(len(records) // CITY_RECORD):
        record = records[i * CITY_RECORD:(i + 1) * CITY_RECORD]
        code = record[NAME_FIELD:NAME_FIELD + CODE_FIELD].rstrip(b"\0").decode("ascii")
        if not code[:1].isalpha():
            continue
        country = struct.unpack("<i", record[-4:])[0]
        codes.setdefault((country, points[i * 8:(i + 1) * 8]), code)
        highest[code[:4]] = max(highest.get(code[:4], 0), int(code[4:]))
    return codes, highest


def number_stations(stations, previous):
    """A place that the table already holds keeps its code, so a code a user stored goes on
    naming the same place (the better place first where two would take one code); the rest get
    the numbers after the highest their prefix has used, in alphabetical order."""
    codes, highest = previous
    used = set()
    for station in stations:  # best first within each country
        prefix = prefix_of(station) + "XX"
        code = FIXED_CODES.get(station["id"]) or codes.get(
            (station["country_index"], struct.pack("<ff", station["lat"], station["lon"])))
        if code is not None and code.startswith(prefix) and code not in used:
            station["code"] = code
            used.add(code)
    next_number = dict(highest)
    ordered = sorted(stations, key=lambda s: (s["country_index"], sort_key(s["name"])))
    for station in ordered:
        if "code" in station:
            continue
        prefix = prefix_of(station) + "XX"
        number = next_number.get(prefix, 0) + 1
        while f"{prefix}{number:04d}" in used:
            number += 1
        if number > 9999:
            raise SystemExit(f"running numbers of {prefix} exhausted")
        station["code"] = f"{prefix}{number:04d}"
        next_number[prefix] = number


def field(text, size):
    data = text.encode("ascii")
    if len(data) >= size:
        raise SystemExit(f"{text!r} does not fit a field of {size} bytes")
    return data + bytes(size - len(data))


def table_rows(chosen, us_towns):
    rows = []
    for index, places in enumerate(chosen):
        if index == USA:
            places = us_towns
        for place in sorted(places, key=lambda p: sort_key(p["name"])):
            code = place["zip"] if index == USA else place["station"]["code"]
            rows.append((place["name"], code, index, place["lat"], place["lon"]))
    return rows


def write_tables(folder, rows):
    os.makedirs(folder, exist_ok=True)
    with open(os.path.join(folder, "Countries.bin"), "wb") as out:
        for index, (name, _, _) in enumerate(COUNTRIES):
            out.write(field(name, NAME_FIELD) + struct.pack("<i", index))
    with open(os.path.join(folder, "Cities.bin"), "wb") as out:
        for name, code, index, _, _ in rows:
            out.write(field(name, NAME_FIELD) + field(code, CODE_FIELD) + struct.pack("<i", index))
    with open(os.path.join(folder, "CityCoordinates.bin"), "wb") as out:
        for _, _, _, lat, lon in rows:
            out.write(struct.pack("<ff", lat, lon))


def main():
    here = os.path.dirname(os.path.abspath(__file__))
    folder = sys.argv[1] if len(sys.argv) > 1 else os.path.join(here, "..", "tables")
    places, regions, zipcodes = src.load()
    us_towns = select_us_towns(places, zipcodes)
    chosen = choose_places(places)
    still_shared = tell_apart(chosen, regions)
    number_stations(group_stations(chosen, SHARE_KM), previous_codes(folder))
    rows = table_rows(chosen, us_towns)
    if len(rows) != TOTAL_CITIES:
        raise SystemExit(f"{len(rows)} cities instead of {TOTAL_CITIES}")
    write_tables(folder, rows)
    print(f"{len(rows)} cities, {shared_codes(chosen)} shared codes, {still_shared} names shared")


if __name__ == "__main__":
    main()
