// The "Weather" page of the configuration dialog: the country, city and unit lists and what
// choosing in them does to the dialog's held `WeatherCode` and `TDegree` texts. The lists are
// rebuilt from the built-in location tables on every visit of the page, by whole scans of the
// city table; nothing is stored until the dialog's OK.
#pragma once

#include "config/LocationListModel.h"

#include <QString>

#include <functional>

class QAbstractItemView;
class QComboBox;

class TWeatherPage {
public:
    struct TControls {
        QComboBox* ComboBox1Country;
        QComboBox* ComboBox1City;
        QComboBox* ComboBox1Units;
        QAbstractItemView* ListBox1Code;  // hidden; the city box's codes, position for position
    };
    // Shows a failure to the user, such as "List index out of bounds (0)".
    using TReportError = std::function<void(const QString& Message)>;

    // The held texts belong to the dialog and outlive the page.
    TWeatherPage(const TControls& AControls, QString& AWeatherCode, QString& ATDegree, TReportError AReportError);

    void TabSheet2Show();
    void ComboBox1CountryChange();
    void ComboBox1CityChange();
    void ComboBox1UnitsChange();

private:
    // Runs Handler when the user picks an item of Box, and gives Box the lists' typing rules.
    void Connect(QComboBox* Box, void (TWeatherPage::*Handler)());
    // Fills the city box and the code list with the cities of the selected country; returns
    // the position of the last city whose code is the held code, or -1.
    int FillCities();

    TControls Controls;
    QString& WeatherCode;
    QString& TDegree;
    TReportError ReportError;
    TLocationListModel* Countries;
    TLocationListModel* Cities;
};
