"""The names of the weather page's places: a place's name as people write it, whether a
gazetteer entry is a place people look for at all, and the region that tells apart two places of
one country that share a name.

Rules, in the order they apply (the generator counts how many table rows each one changed):

    letters      the name in printable ASCII that keeps every letter: accents dropped, letters
                 without a decomposition spelled the way their languages write them in ASCII
                 (Azerbaijani "ə" as "a"), a Dutch "'s-" or "'t " article kept with its
                 apostrophe, any other leading or trailing apostrophe (a transcribed ayn) dropped
    admin words  administrative words that are not part of the name people use: "Gemeinde X",
                 "Nahiyat X", "City of X", "X (Centre)", the gazetteer's "-shi" of Japanese,
                 "-si" and "-gun" of Korean and " City"/" Shi" of Chinese and Taiwanese cities,
                 and " Village" of the municipalities of Guam, the Northern Mariana Islands and
                 Kiribati
    capitals     a name that starts with a small letter starts with a capital, unless its first
                 word carries a capital further on ("eMbalenhle", "eSikhaleni"), which is how
                 the place spells itself, or it starts with an apostrophe ("'s-Hertogenbosch")
    not places   churches, hotels and hostels that the gazetteer lists as populated places are
                 left out
    regions      a name that two places of one country in different regions share gets its
                 region: "Neuenkirchen, Lower Saxony" (when the whole name fits 36 characters);
                 of two places with one name in the same region only the larger is offered
"""

import re
import unicodedata

# Letters that Unicode decomposition leaves alone, written the way their languages spell them
# in plain ASCII.
_SPECIAL = {
    "ß": "ss", "ẞ": "SS", "æ": "ae", "Æ": "AE", "ø": "o", "Ø": "O", "œ": "oe", "Œ": "OE",
    "đ": "d", "Đ": "D", "ð": "d", "Ð": "D", "þ": "th", "Þ": "Th", "ł": "l", "Ł": "L",
    "ı": "i", "ħ": "h", "Ħ": "H", "ŀ": "l", "ŉ": "n", "ŧ": "t", "ƒ": "f", "ə": "a", "Ə": "A",
    "‘": "'", "’": "'", "ʻ": "'", "ʼ": "'", "ʿ": "'", "ʾ": "'", "`": "'", "´": "'",
    "–": "-", "—": "-", "‐": "-",
}

# Dutch names that begin with a shortened article keep its apostrophe.
_ARTICLE = re.compile(r"^'(s-|s |t )")

_PREFIXES = ("Gemeinde ", "Nahiyat ", "City of ")
_SUFFIXES = {
    "JP": ("-shi",),
    "KR": ("-si", "-gun", " gun"),
    "CN": (" City",),
    "TW": (" City", " Shi"),
    "GU": (" Village",),
    "MP": (" Village",),
    "KI": (" Village",),
}
_PARENTHESES = re.compile(r"\s*\((Centre|Center)\)$")
_NOT_PLACES = re.compile(r"(?i)\b(eglise|church|hotel)\b|hostel")

# Administrative words around a region's name.
_REGION_WORDS = re.compile(
    r"(?i)^(state of|province of|provincia de|provincia di|departamento de|region of|region) "
    r"| (province|region|governorate|oblast|district|prefecture|county|department|state|"
    r"municipality|voivodeship|krai|division)$")


def ascii_name(text):
    """The name in printable ASCII (the "letters" rule); runs of blanks collapse to one."""
    out = []
    for ch in unicodedata.normalize("NFKD", "".join(_SPECIAL.get(c, c) for c in text)):
        if " " <= ch <= "~":
            out.append(ch)
    name = " ".join("".join(out).split())
    if _ARTICLE.match(name):
        return name.rstrip("'")
    return name.strip("'")


def without_admin_words(name, country):
    """The name without the administrative words of the "admin words" rule."""
    for prefix in _PREFIXES:
        if name.startswith(prefix) and len(name) > len(prefix):
            name = name[len(prefix):]
    for suffix in _SUFFIXES.get(country, ()):
        if name.endswith(suffix) and len(name) > len(suffix):
            name = name[:-len(suffix)]
    return _PARENTHESES.sub("", name)


def capitalised(name):
    """The "capitals" rule."""
    first = name.split(" ")[0]
    if not name[:1].islower() or any(c.isupper() for c in first[1:]):
        return name
    return name[0].upper() + name[1:]


def is_place(name):
    """False for the buildings of the "not places" rule."""
    return not _NOT_PLACES.search(name)


# What is left of some regions' names without the word is no name ("Federal District").
_NO_NAMES = {"Federal", "Capital", "National", "Central"}


def region_name(text):
    """A region's name in ASCII without its administrative words ("State of Berlin": "Berlin")."""
    name = ascii_name(text)
    shorter = _REGION_WORDS.sub("", name).strip()
    return shorter if shorter and shorter not in _NO_NAMES else name
