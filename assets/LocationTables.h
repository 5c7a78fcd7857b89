// The weather location picker's built-in tables, read in place: 221 countries and 23,924 cities
// in fixed-size records (assets/generators/locations.py builds them), and beside the cities a
// table of their coordinates in the same order. Plain C++, so the saver, the dialog and the
// weather work can all read it.
#pragma once

#include <bit>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <string_view>

namespace assets {

static_assert(std::endian::native == std::endian::little, "the tables' integers and floats are stored little-endian");

// A country: its name, zero-terminated and zero-filled, and its index, equal to its position.
struct TCountryRecord {
    char Name[40];
    int32_t Index;
};

// A city: its name and location code, both zero-terminated and zero-filled, and the index of
// its country. The cities of one country stand together, countries in ascending order.
struct TCityRecord {
    char Name[40];
    char Code[12];
    int32_t Country;
};

struct TLatLon {
    float Latitude;  // degrees, north positive
    float Longitude;  // degrees, east positive
};

static_assert(sizeof(TCountryRecord) == 44 && sizeof(TCityRecord) == 56 && sizeof(TLatLon) == 8);

std::span<const TCountryRecord> CountryTable();
std::span<const TCityRecord> CityTable();

// Where the city at Index of CityTable() lies; nothing for an index past the table.
std::optional<TLatLon> CityCoordinates(size_t Index);

// A record's text field up to its terminating zero (the whole field if it has none).
template <size_t N>
std::string_view FieldText(const char (&Field)[N])
{
    size_t Length = 0;
    while (Length < N && Field[Length] != '\0')
        ++Length;
    return {Field, Length};
}

}  // namespace assets
