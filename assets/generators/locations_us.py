"""The USA's towns of the location tables: the towns of the postal list that GeoNames also knows,
most populous first, named "Town, ST" and coded with the town's lowest five-digit ZIP code, with
the coordinates and population of GeoNames' place. The run is alphabetical from "Abbeville, LA"
to "Zion, IL"; towns sorting outside those two are left out.
"""

import re

from locations_countries import USA_CITIES
from locations_names import ascii_name

STATES = set("AL AK AZ AR CA CO CT DE DC FL GA HI ID IL IN IA KS KY LA ME MD MA MI MN MS MO MT NE NV "
             "NH NJ NM NY NC ND OH OK OR PA RI SC SD TN TX UT VT VA WA WV WI WY".split())
FIRST, LAST = "Abbeville, LA", "Zion, IL"
# Towns that stand in the table whatever their rank.
KEPT = {"Abbeville, LA", "Aberdeen, MD", "Washington, DC", "Zion, IL"}
MAX_NAME = 36

_ABBREVIATIONS = [(r"^st\.? ", "saint "), (r"^ste\.? ", "sainte "), (r"^ft\.? ", "fort "),
                  (r"^mt\.? ", "mount "), (r" city$", "")]


def match_key(name, state):
    """A spelling-blind key: GeoNames writes "St. Louis" and "New York City" where the postal
    list has "Saint Louis" and "New York"; "Washington, D.C." keeps only the part before the
    comma."""
    text = ascii_name(name).lower().split(",")[0]
    for pattern, replacement in _ABBREVIATIONS:
        text = re.sub(pattern, replacement, text)
    return re.sub(r"[^a-z0-9]", "", text), state


def town_name(city):
    """The postal list's spelling, with a capital after each hyphen ("Melcher-dallas")."""
    return "-".join(part[:1].upper() + part[1:] for part in ascii_name(city).split("-"))


def postal_towns(zipcodes):
    towns = {}
    for zip_code, entry in zipcodes.items():
        if entry["state"] not in STATES or not re.fullmatch(r"\d{5}", zip_code):
            continue
        name = f"{town_name(entry['city'])}, {entry['state']}"
        town = towns.setdefault(name, {"name": name, "zip": zip_code, "key":
                                       match_key(entry["city"], entry["state"])})
        town["zip"] = min(town["zip"], zip_code)
    return towns


def gazetteer_index(places):
    """The most populous GeoNames place per spelling-blind key."""
    best = {}
    for place in places:
        if place["country"] != "US" or place["fcode"] in ("PPLH", "PPLQ", "PPLW"):
            continue
        key = match_key(place["name"], place["admin"])
        if key not in best or (-place["pop"], place["id"]) < (-best[key]["pop"], best[key]["id"]):
            best[key] = place
    return best


def select_us_towns(places, zipcodes):
    best = gazetteer_index(places)
    towns = []
    for town in postal_towns(zipcodes).values():
        place = best.get(town["key"])
        if place is None or len(town["name"]) > MAX_NAME:
            continue
        if not FIRST.lower() <= town["name"].lower() <= LAST.lower():
            continue
        town.update(lat=place["lat"], lon=place["lon"], pop=place["pop"], id=place["id"])
        towns.append(town)
    towns.sort(key=lambda t: (t["name"] not in KEPT, -t["pop"], t["id"], t["name"]))
    # Two postal spellings of one place ("Saint Louis" and "St Louis") keep the better one.
    seen = set()
    chosen = [t for t in towns if not (t["id"] in seen or seen.add(t["id"]))][:USA_CITIES]
    missing = KEPT - {t["name"] for t in chosen}
    if missing or len(chosen) != USA_CITIES:
        raise SystemExit(f"US towns: {len(chosen)} chosen, missing {sorted(missing)}")
    return chosen
