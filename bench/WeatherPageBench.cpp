// Filling the weather page's city box with Germany's 6,378 cities through the page's country
// handler (a whole scan of the city table, the code list beside it, the held code), against the
// yardstick of handing the same names, made beforehand, to QComboBox::addItems.
#include "config/WeatherPage.h"

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QComboBox>
#include <QListView>

#include <cstdlib>

namespace {

constexpr int kGermany = 76;

QApplication& App()
{
    static int Argc = 1;
    static char Name[] = "solvane-bench";
    static char* Argv[] = {Name, nullptr};
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    static QApplication Instance(Argc, Argv);
    return Instance;
}

void WeatherPageGermany(benchmark::State& State)
{
    App();
    QComboBox Country, City, Units;
    QListView Codes;
    QString WeatherCode = "20001", TDegree = "f";
    TWeatherPage Page({&Country, &City, &Units, &Codes}, WeatherCode, TDegree, [](const QString&) {});
    Page.TabSheet2Show();
    Country.setCurrentIndex(kGermany);
    for (auto _ : State)
        Page.ComboBox1CountryChange();
    if (City.count() != 6378)
        State.SkipWithError("Germany's run is not 6,378 cities");
}

void ComboFillGermany(benchmark::State& State)
{
    App();
    QStringList Names;
    for (const auto& City : assets::CityTable()) {
        if (City.Country != kGermany)
            continue;
        std::string_view Name = assets::FieldText(City.Name);
        Names << QString::fromLatin1(Name.data(), static_cast<qsizetype>(Name.size()));
    }
    QComboBox Box;
    for (auto _ : State) {
        Box.clear();
        Box.addItems(Names);
    }
}

}  // namespace

BENCHMARK(WeatherPageGermany)->Unit(benchmark::kMicrosecond);
BENCHMARK(ComboFillGermany)->Unit(benchmark::kMicrosecond);
