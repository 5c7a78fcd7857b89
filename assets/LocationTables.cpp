// The location tables over the resources "COUNTRIES", "CITIES" and "CITYCOORDINATES". The
// resource bytes are 16-byte aligned (assets/Resources.cmake), so they are read as records where
// they lie; a resource whose size is not a whole number of records shows only its whole ones.
#include "assets/LocationTables.h"

#include "assets/Resources.h"

namespace assets {
namespace {

template <typename Record>
std::span<const Record> RecordsOf(std::string_view Name)
{
    std::span<const uint8_t> Bytes = FindResource(Name);
    return {reinterpret_cast<const Record*>(Bytes.data()), Bytes.size() / sizeof(Record)};
}

}  // namespace

std::span<const TCountryRecord> CountryTable()
{
    static const std::span<const TCountryRecord> Table = RecordsOf<TCountryRecord>("COUNTRIES");
    return Table;
}

std::span<const TCityRecord> CityTable()
{
    static const std::span<const TCityRecord> Table = RecordsOf<TCityRecord>("CITIES");
    return Table;
}

std::optional<TLatLon> CityCoordinates(size_t Index)
{
    static const std::span<const TLatLon> Table = RecordsOf<TLatLon>("CITYCOORDINATES");
    if (Index >= Table.size() || Index >= CityTable().size())
        return std::nullopt;
    return Table[Index];
}

}  // namespace assets
