// The handlers run on the dialog's user choices only (the combo boxes' `activated`), never on
// the selections the page makes itself while it fills the lists.
#include "config/WeatherPage.h"

#include "config/DropDownList.h"
#include "config/ListIndexError.h"

#include <QAbstractItemView>
#include <QComboBox>

namespace {

constexpr int kFahrenheit = 0;
constexpr int kCelsius = 1;

bool SameCode(const assets::TCityRecord& City, const QString& Code)
{
    std::string_view Text = assets::FieldText(City.Code);
    return QLatin1StringView(Text.data(), static_cast<qsizetype>(Text.size())) == Code;
}

}  // namespace

TWeatherPage::TWeatherPage(const TControls& AControls, QString& AWeatherCode, QString& ATDegree,
                           TReportError AReportError)
    : Controls(AControls), WeatherCode(AWeatherCode), TDegree(ATDegree), ReportError(std::move(AReportError)),
      Countries(new TLocationListModel(AControls.ComboBox1Country)),
      Cities(new TLocationListModel(AControls.ComboBox1City))
{
    Controls.ComboBox1Country->setModel(Countries);
    Controls.ComboBox1City->setModel(Cities);
    Controls.ListBox1Code->setModel(Cities);
    Controls.ListBox1Code->setProperty("modelColumn", 1);
    Controls.ComboBox1Units->clear();
    Controls.ComboBox1Units->addItems({"Fahrenheit degrees", "Celsius degrees"});
    Connect(Controls.ComboBox1Country, &TWeatherPage::ComboBox1CountryChange);
    Connect(Controls.ComboBox1City, &TWeatherPage::ComboBox1CityChange);
    Connect(Controls.ComboBox1Units, &TWeatherPage::ComboBox1UnitsChange);
}

void TWeatherPage::Connect(QComboBox* Box, void (TWeatherPage::*Handler)())
{
    SetUpDropDownList(Box);
    QObject::connect(Box, &QComboBox::activated, Box, [this, Handler] { (this->*Handler)(); });
}

void TWeatherPage::TabSheet2Show()
{
    Countries->BeginFill();
    for (const auto& Country : assets::CountryTable())
        Countries->Add(Country);
    Countries->EndFill();
    int Country = -1;
    for (const auto& City : assets::CityTable()) {
        if (SameCode(City, WeatherCode)) {
            Country = City.Country;
            break;
        }
    }
    Controls.ComboBox1Country->setCurrentIndex(Country);
    Controls.ComboBox1City->setCurrentIndex(FillCities());
    Controls.ComboBox1Units->setCurrentIndex(TDegree == QLatin1StringView("c") ? kCelsius : kFahrenheit);
}

int TWeatherPage::FillCities()
{
    const int Country = Controls.ComboBox1Country->currentIndex();
    int Held = -1;
    Cities->BeginFill();
    for (const auto& City : assets::CityTable()) {
        if (City.Country != Country)
            continue;
        if (SameCode(City, WeatherCode))
            Held = Cities->Count();
        Cities->Add(City);
    }
    Cities->EndFill();
    return Held;
}

void TWeatherPage::ComboBox1CountryChange()
{
    FillCities();
    Controls.ComboBox1City->setCurrentIndex(0);
    if (Cities->Count() == 0) {
        // Reading the first code of an empty list fails before the held code changes; the page
        // then shows again the place that OK would store.
        ReportError(ListIndexError(0));
        TabSheet2Show();
        return;
    }
    std::string_view Code = Cities->Code(0);
    WeatherCode = QString::fromLatin1(Code.data(), static_cast<qsizetype>(Code.size()));
}

void TWeatherPage::ComboBox1CityChange()
{
    const int Row = Controls.ComboBox1City->currentIndex();
    if (Row < 0 || Row >= Cities->Count()) {
        ReportError(ListIndexError(Row));
        return;
    }
    std::string_view Code = Cities->Code(Row);
    WeatherCode = QString::fromLatin1(Code.data(), static_cast<qsizetype>(Code.size()));
}

void TWeatherPage::ComboBox1UnitsChange()
{
    TDegree = Controls.ComboBox1Units->currentIndex() == kCelsius ? QStringLiteral("c") : QStringLiteral("f");
}
