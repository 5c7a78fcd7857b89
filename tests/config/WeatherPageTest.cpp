// The weather page on real Qt widgets (offscreen platform), driven as a user drives it: the
// lists are opened, names typed and chosen with Enter, and the held texts read back.
#include "config/WeatherPage.h"
#include "tests/config/QtTestApp.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QListView>
#include <QTest>

#include <map>
#include <memory>

namespace {

class WeatherPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        Window = std::make_unique<QWidget>();
        Country = new QComboBox(Window.get());
        City = new QComboBox(Window.get());
        Units = new QComboBox(Window.get());
        Codes = new QListView(Window.get());
        Codes->hide();
        Page = std::make_unique<TWeatherPage>(TWeatherPage::TControls{Country, City, Units, Codes}, WeatherCode,
                                              TDegree, [this](const QString& Message) { Errors << Message; });
        Window->show();
    }

    void Show(const QString& Code, const QString& Degree)
    {
        WeatherCode = Code;
        TDegree = Degree;
        Page->TabSheet2Show();
    }

    // Opens Box, types Text into its open list and takes the highlighted name with Enter.
    void TypeAndChoose(QComboBox* Box, const QString& Text)
    {
        Box->showPopup();
        QTest::keyClicks(Box->view(), Text);
        QTest::keyClick(Box->view(), Qt::Key_Return);
        QApplication::processEvents();
    }

    QString WeatherCode, TDegree;
    QStringList Errors;
    std::unique_ptr<QWidget> Window;
    QComboBox *Country = nullptr, *City = nullptr, *Units = nullptr;
    QListView* Codes = nullptr;
    std::unique_ptr<TWeatherPage> Page;
};

TEST_F(WeatherPageTest, DefaultCodeShowsWashington)
{
    Show("20001", "f");
    EXPECT_EQ(Country->count(), 221);
    EXPECT_EQ(Country->currentText(), "USA");
    EXPECT_EQ(City->count(), 2414);
    EXPECT_EQ(City->currentText(), "Washington, DC");
    EXPECT_EQ(Codes->model()->index(City->currentIndex(), 1).data().toString(), "20001");
    EXPECT_EQ(Units->currentText(), "Fahrenheit degrees");
    Show("20001", "C");
    EXPECT_EQ(Units->currentText(), "Fahrenheit degrees");
    Show("20001", "c");
    EXPECT_EQ(Units->currentText(), "Celsius degrees");
}

TEST_F(WeatherPageTest, SharedCodeSelectsTheLaterCity)
{
    std::map<std::string_view, std::vector<size_t>> Uses;
    auto Table = assets::CityTable();
    for (size_t I = 0; I < Table.size(); ++I)
        Uses[assets::FieldText(Table[I].Code)].push_back(I);
    auto Shared = std::find_if(Uses.begin(), Uses.end(), [](auto& U) { return U.second.size() > 1; });
    ASSERT_NE(Shared, Uses.end());
    const auto& Later = Table[Shared->second.back()];
    Show(QString::fromLatin1(Shared->first.data(), Shared->first.size()), "f");
    EXPECT_EQ(Country->currentIndex(), Later.Country);
    EXPECT_EQ(City->currentText(), QString::fromLatin1(assets::FieldText(Later.Name).data()));
}

TEST_F(WeatherPageTest, ChoosingCountryTakesItsFirstCityAtOnce)
{
    Show("20001", "f");
    TypeAndChoose(Country, "germ");
    EXPECT_EQ(Country->currentText(), "Germany");
    EXPECT_EQ(City->count(), 6378);
    EXPECT_EQ(City->currentIndex(), 0);
    EXPECT_EQ(City->currentText(), "Aach");
    EXPECT_EQ(WeatherCode, Codes->model()->index(0, 1).data().toString());
    EXPECT_TRUE(WeatherCode.startsWith("GMXX"));
    TypeAndChoose(City, "Munich");
    EXPECT_EQ(City->currentText(), "Munich");
    EXPECT_EQ(WeatherCode, Codes->model()->index(City->currentIndex(), 1).data().toString());
    TypeAndChoose(Units, "c");
    EXPECT_EQ(TDegree, "c");
    TypeAndChoose(Units, "f");
    EXPECT_EQ(TDegree, "f");
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(WeatherPageTest, TypingInOpenAndClosedLists)
{
    Show("20001", "f");
    Country->showPopup();
    QTest::keyClicks(Country->view(), "Ne");
    EXPECT_EQ(Country->view()->currentIndex().data().toString(), "Nepal");
    QTest::keyClicks(Country->view(), "w");
    EXPECT_EQ(Country->view()->currentIndex().data().toString(), "New Caledonia");
    QTest::keyClick(Country->view(), Qt::Key_Escape);
    EXPECT_EQ(Country->currentText(), "USA");
    EXPECT_EQ(WeatherCode, "20001");
    // A closed list chooses what typing finds, and the choice counts at once.
    QTest::keyClicks(Country, "Zim");
    EXPECT_EQ(Country->currentText(), "Zimbabwe");
    EXPECT_TRUE(WeatherCode.startsWith("ZIXX"));
    QTest::keyClicks(City, "vic");
    EXPECT_EQ(City->currentText(), "Victoria Falls");
    EXPECT_EQ(WeatherCode, "ZIXX0007");
}

TEST_F(WeatherPageTest, ZambiaReportsTheEmptyListAndShowsTheHeldPlaceAgain)
{
    Show("ZIXX0007", "f");
    EXPECT_EQ(City->currentText(), "Victoria Falls");
    TypeAndChoose(Country, "Zam");
    EXPECT_EQ(Errors, QStringList{"List index out of bounds (0)"});
    EXPECT_EQ(WeatherCode, "ZIXX0007");
    EXPECT_EQ(Country->currentText(), "Zimbabwe");
    EXPECT_EQ(City->currentText(), "Victoria Falls");
}

TEST_F(WeatherPageTest, UnknownCodeSelectsNothing)
{
    Show("XXXX9999", "f");
    EXPECT_EQ(Country->currentIndex(), -1);
    EXPECT_EQ(City->count(), 0);
    EXPECT_EQ(City->currentIndex(), -1);
    EXPECT_EQ(WeatherCode, "XXXX9999");
}

}  // namespace
