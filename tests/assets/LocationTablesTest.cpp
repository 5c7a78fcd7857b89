// The built-in location tables as the weather page and the feed read them: counts, runs and
// order, field sizes and zero fill, the rows the picker has always had, the shared codes, plain
// ASCII, and the coordinates beside the cities.
#include "assets/LocationTables.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <map>
#include <set>
#include <string>

namespace {

using assets::CityTable;
using assets::CountryTable;
using assets::FieldText;

constexpr int kUsa = 210;
constexpr int kGermany = 76;
constexpr int kZambia = 219;

// A field holds printable ASCII up to its zero and zeros after it, with room for the zero.
template <size_t N>
bool ZeroFilled(const char (&Field)[N], size_t MaxLength)
{
    std::string_view Text = FieldText(Field);
    if (Text.size() > MaxLength || Text.empty())
        return false;
    if (!std::all_of(Text.begin(), Text.end(), [](char C) { return C >= ' ' && C <= '~'; }))
        return false;
    return std::all_of(Field + Text.size(), Field + N, [](char C) { return C == '\0'; });
}

bool IsFipsCode(std::string_view Code)
{
    auto Upper = [](char C) { return C >= 'A' && C <= 'Z'; };
    auto Digit = [](char C) { return C >= '0' && C <= '9'; };
    return Code.size() == 8 && std::all_of(Code.begin(), Code.begin() + 4, Upper) && Code.substr(2, 2) == "XX" &&
        std::all_of(Code.begin() + 4, Code.end(), Digit);
}

bool IsZip(std::string_view Code)
{
    return Code.size() == 5 && std::all_of(Code.begin(), Code.end(), [](char C) { return C >= '0' && C <= '9'; });
}

std::string Folded(std::string_view Text)
{
    std::string Out(Text);
    for (char& C : Out)
        C = static_cast<char>(std::tolower(static_cast<unsigned char>(C)));
    return Out;
}

size_t FindCity(std::string_view Name, int Country)
{
    auto Cities = CityTable();
    for (size_t I = 0; I < Cities.size(); ++I) {
        if (FieldText(Cities[I].Name) == Name && Cities[I].Country == Country)
            return I;
    }
    return Cities.size();
}

TEST(LocationTables, CountriesInTheirOrder)
{
    auto Countries = CountryTable();
    ASSERT_EQ(Countries.size(), 221u);
    for (size_t I = 0; I < Countries.size(); ++I) {
        EXPECT_EQ(Countries[I].Index, static_cast<int32_t>(I));
        EXPECT_TRUE(ZeroFilled(Countries[I].Name, 38)) << I;
    }
    EXPECT_EQ(FieldText(Countries[0].Name), "Afghanistan");
    EXPECT_EQ(FieldText(Countries[3].Name), "American Samoa");
    EXPECT_EQ(FieldText(Countries[76].Name), "Germany");
    EXPECT_EQ(FieldText(Countries[119].Name), "Macedonia, Former Yugoslav Republic of");
    EXPECT_EQ(FieldText(Countries[kUsa].Name), "USA");
    EXPECT_EQ(FieldText(Countries[kZambia].Name), "Zambia");
    EXPECT_EQ(FieldText(Countries[220].Name), "Zimbabwe");
}

TEST(LocationTables, CityRunsAndOrder)
{
    auto Cities = CityTable();
    ASSERT_EQ(Cities.size(), 23924u);
    std::map<int, size_t> Runs;
    for (size_t I = 0; I < Cities.size(); ++I) {
        const auto& City = Cities[I];
        ASSERT_TRUE(ZeroFilled(City.Name, 36)) << I;
        ASSERT_TRUE(ZeroFilled(City.Code, 8)) << I;
        ++Runs[City.Country];
        if (I == 0)
            continue;
        const auto& Before = Cities[I - 1];
        ASSERT_LE(Before.Country, City.Country) << I;
        if (Before.Country == City.Country) {
            EXPECT_LE(Folded(FieldText(Before.Name)), Folded(FieldText(City.Name))) << I;
        }
    }
    EXPECT_EQ(Runs.size(), 220u);
    EXPECT_EQ(Runs.count(kZambia), 0u);
    EXPECT_EQ(Runs[kGermany], 6378u);
    EXPECT_EQ(Runs[kUsa], 2414u);
    for (auto [Country, Length] : Runs) {
        EXPECT_TRUE(Country >= 0 && Country <= 220);
        if (Country != kGermany) {
            EXPECT_LT(Length, 6378u) << Country;
        }
    }
}

TEST(LocationTables, CodesAndUsaTowns)
{
    auto Cities = CityTable();
    for (size_t I = 0; I < Cities.size(); ++I) {
        std::string_view Name = FieldText(Cities[I].Name);
        std::string_view Code = FieldText(Cities[I].Code);
        bool InUsa = I >= 21349 && I <= 23762;
        EXPECT_EQ(Cities[I].Country == kUsa, InUsa) << I;
        if (InUsa) {
            EXPECT_TRUE(IsZip(Code)) << Code;
            size_t Comma = Name.rfind(", ");
            ASSERT_NE(Comma, std::string_view::npos) << Name;
            std::string_view State = Name.substr(Comma + 2);
            EXPECT_TRUE(State.size() == 2 && std::isupper(State[0]) && std::isupper(State[1])) << Name;
        } else {
            EXPECT_TRUE(IsFipsCode(Code)) << Code;
        }
    }
    EXPECT_EQ(FieldText(Cities[21349].Name), "Abbeville, LA");
    EXPECT_EQ(FieldText(Cities[21349].Code), "70510");
    EXPECT_EQ(FieldText(Cities[23762].Name), "Zion, IL");
    EXPECT_EQ(FieldText(Cities[23762].Code), "60099");
}

TEST(LocationTables, QuotedRows)
{
    struct Row {
        const char* Name;
        const char* Code;
        int Country;
    };
    const Row Rows[] = {
        {"Bost/Laskar", "AFXX0005", 0},    {"Ghurian", "AFXX0001", 0},          {"Herat", "AFXX0002", 0},
        {"Shkoder", "ALXX0001", 1},        {"Tirane", "ALXX0002", 1},           {"Aberdeen, MD", "21001", kUsa},
        {"Washington, DC", "20001", kUsa}, {"Victoria Falls", "ZIXX0007", 220},
    };
    for (const Row& R : Rows) {
        size_t I = FindCity(R.Name, R.Country);
        ASSERT_LT(I, CityTable().size()) << R.Name;
        EXPECT_EQ(FieldText(CityTable()[I].Code), R.Code) << R.Name;
    }
}

// Places as people write them: capitalised as the place spells itself, without administrative
// words or the gazetteer's suffixes, every letter kept, and names one country repeats told apart.
TEST(LocationTables, NamesAsPeopleWriteThem)
{
    std::map<std::pair<std::string_view, int>, int> Uses;
    for (const auto& City : CityTable()) {
        std::string_view Name = FieldText(City.Name);
        ++Uses[{Name, City.Country}];
        std::string_view First = Name.substr(0, Name.find(' '));
        if (std::islower(static_cast<unsigned char>(Name[0]))) {
            EXPECT_TRUE(std::any_of(First.begin(), First.end(), [](char C) { return std::isupper(C); })) << Name;
        }
        EXPECT_EQ(Name.find("Gemeinde"), std::string_view::npos) << Name;
        EXPECT_EQ(Name.find("Eglise"), std::string_view::npos) << Name;
        EXPECT_FALSE(Name.size() > 4 && Name.substr(Name.size() - 4) == "-shi") << Name;
    }
    EXPECT_LT(FindCity("'s-Hertogenbosch", 142), CityTable().size());
    EXPECT_LT(FindCity("Hagatna", 83), CityTable().size());
    EXPECT_LT(FindCity("Neuenkirchen, Lower Saxony", kGermany), CityTable().size());
    EXPECT_LT(FindCity("eMbalenhle", 182), CityTable().size());
    const auto Repeated = std::count_if(Uses.begin(), Uses.end(), [](const auto& U) { return U.second > 1; });
    EXPECT_LE(Repeated, 20);
}

TEST(LocationTables, SharedCodesStayWithinOneCountry)
{
    std::map<std::string_view, std::set<int>> Countries;
    std::map<std::string_view, int> Uses;
    for (const auto& City : CityTable()) {
        Countries[FieldText(City.Code)].insert(City.Country);
        ++Uses[FieldText(City.Code)];
    }
    size_t Shared = 0;
    for (auto [Code, Count] : Uses) {
        EXPECT_EQ(Countries[Code].size(), 1u) << Code;
        if (Count > 1)
            ++Shared;
    }
    EXPECT_EQ(Shared, 347u);
}

TEST(LocationTables, CoordinatesBesideEachCity)
{
    size_t Count = CityTable().size();
    for (size_t I = 0; I < Count; ++I) {
        auto Where = assets::CityCoordinates(I);
        ASSERT_TRUE(Where.has_value()) << I;
        ASSERT_TRUE(Where->Latitude >= -90 && Where->Latitude <= 90) << I;
        ASSERT_TRUE(Where->Longitude >= -180 && Where->Longitude <= 180) << I;
    }
    EXPECT_FALSE(assets::CityCoordinates(Count).has_value());
    auto Washington = assets::CityCoordinates(FindCity("Washington, DC", kUsa));
    ASSERT_TRUE(Washington.has_value());
    EXPECT_NEAR(Washington->Latitude, 38.9, 0.1);
    EXPECT_NEAR(Washington->Longitude, -77.0, 0.1);
    auto Falls = assets::CityCoordinates(FindCity("Victoria Falls", 220));
    ASSERT_TRUE(Falls.has_value());
    EXPECT_NEAR(Falls->Latitude, -17.9, 0.1);
    EXPECT_NEAR(Falls->Longitude, 25.8, 0.1);
}

}  // namespace
