// The settings dialog on the offscreen platform against a real key file in a private settings
// folder: loading, first use, OK, Cancel, a broken key reported while the dialog still opens, the
// form data's look, and the catalogue link through a stand-in desktop handler.
#include "config/Configuration.h"
#include "engine/HostNames.h"
#include "tests/config/QtTestApp.h"
#include "tests/platform/registry/TempConfigHome.h"
#include "ui_Configuration.h"

#include <QTest>

namespace {

const std::string kStored =
    "\"Brightness\"=dword:00000080\n\"SoundVolume\"=dword:00000040\n\"ShowBlack\"=dword:00000002\n"
    "\"ShowTime\"=dword:00000000\n\"ShowWeather\"=dword:00000001\n\"ShowNews\"=dword:00000000\n"
    "\"WeatherCode\"=\"GMXX0087\"\n\"TDegree\"=\"c\"\n\"RSS_Url\"=\"http://example.org/rss\"\n"
    "\"UseProxy\"=dword:00000001\n\"Proxy\"=\"proxy.example.org\"\n\"Port\"=\"3128\"\n";

class ConfigurationTest : public TempConfigHome {
protected:
    void SetUp() override {
        TempConfigHome::SetUp();
        QtTestApp();
    }
    std::unique_ptr<TForm2> Open() {
        auto Form = std::make_unique<TForm2>([this](const QString& M) { Errors << M; });
        Form->show();
        return Form;
    }
    QStringList Errors;
};

TEST_F(ConfigurationTest, FirstUseWritesAllTwelveValuesAtOnce) {
    auto Form = Open();
    const std::string Key = ReadFile(KeyFile());
    for (const char* Value : {"\"Brightness\"=dword:00000100", "\"SoundVolume\"=dword:000000c8",
                              "\"ShowTime\"=dword:00000000", "\"ShowWeather\"=dword:00000000",
                              "\"ShowNews\"=dword:00000000", "\"ShowBlack\"=dword:00000000",
                              "\"WeatherCode\"=\"20001\"", "\"TDegree\"=\"f\"", "\"RSS_Url\"=\"http",
                              "\"UseProxy\"=dword:00000000", "\"Proxy\"=\"\"", "\"Port\"=\"\""})
        EXPECT_NE(Key.find(Value), std::string::npos) << Value << "\n" << Key;
    const Ui::TForm2& C = Form->Controls();
    EXPECT_EQ(C.FD_BRIGHT->GetValue(), 256);
    EXPECT_EQ(C.FD_SOUND->GetValue(), 200);
    EXPECT_TRUE(C.CheckBox1transp->isChecked());
    EXPECT_FALSE(C.CheckBox2time->isChecked() || C.CheckBox2weather->isChecked() ||
                 C.CheckBox2news->isChecked() || C.CheckBox1Proxy->isChecked());
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(ConfigurationTest, OkWritesWhatTheControlsShowAndCancelNothing) {
    WriteKey(kStored);
    auto Form = Open();
    const Ui::TForm2& C = Form->Controls();
    EXPECT_EQ(C.FD_BRIGHT->GetValue(), 128);
    EXPECT_TRUE(C.CheckBox1transp->isChecked());  // a stored 2 is not 1
    EXPECT_TRUE(C.CheckBox2weather->isChecked());
    EXPECT_EQ(C.Edit1ProxyServer->text(), "proxy.example.org");
    QTest::mouseClick(C.CheckBox2time, Qt::LeftButton, {}, QPoint(8, 10));
    QTest::keyClick(C.FD_SOUND, Qt::Key_Left);
    C.Edit2Port->setText("8080");
    const std::string Before = ReadFile(KeyFile());
    Form->BTCancelClick();
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    EXPECT_FALSE(Form->isVisible());

    Form->show();
    QTest::keyClick(Form.get(), Qt::Key_Return);
    const std::string After = ReadFile(KeyFile());
    for (const char* Value : {"\"Brightness\"=dword:00000080", "\"SoundVolume\"=dword:00000038",
                              "\"ShowTime\"=dword:00000001", "\"ShowBlack\"=dword:00000000",
                              "\"WeatherCode\"=\"GMXX0087\"", "\"TDegree\"=\"c\"",
                              "\"RSS_Url\"=\"http://example.org/rss\"", "\"Port\"=\"8080\""})
        EXPECT_NE(After.find(Value), std::string::npos) << Value << "\n" << After;
    EXPECT_FALSE(Form->isVisible());
}

TEST_F(ConfigurationTest, MissingValueIsReportedAndTheDialogOpens) {
    WriteKey("\"Brightness\"=dword:00000080\n\"SoundVolume\"=dword:00000040\n"
             "\"ShowBlack\"=dword:00000001\n\"Proxy\"=\"p\"\n");
    const std::string Before = ReadFile(KeyFile());
    auto Form = Open();
    EXPECT_EQ(Errors, QStringList{"Failed to get data for 'ShowTime'"});
    const Ui::TForm2& C = Form->Controls();
    EXPECT_EQ(C.FD_SOUND->GetValue(), 64);
    EXPECT_FALSE(C.CheckBox1transp->isChecked());
    EXPECT_TRUE(C.Edit1ProxyServer->text().isEmpty());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(ReadFile(KeyFile()), Before);
}

TEST_F(ConfigurationTest, WeatherPageShowsTheHeldPlaceAndChangesIt) {
    WriteKey(kStored);
    auto Form = Open();
    const Ui::TForm2& C = Form->Controls();
    C.PageControl1->setCurrentIndex(1);
    EXPECT_EQ(C.ComboBox1Country->currentText(), "Germany");
    EXPECT_EQ(C.ComboBox1Units->currentText(), "Celsius degrees");
    C.ComboBox1Country->showPopup();
    QTest::keyClicks(C.ComboBox1Country->view(), "Zim");
    QTest::keyClick(C.ComboBox1Country->view(), Qt::Key_Return);
    EXPECT_TRUE(Form->WeatherCode.startsWith("ZIXX"));
}

}  // namespace

// The form data's pixel heights and colours reach the widgets, children inheriting their
// parent's, and a drop-down list opens below its box in the plain list font.
TEST_F(ConfigurationTest, FontsAndColoursFollowTheFormData) {
    auto Form = Open();
    const Ui::TForm2& C = Form->Controls();
    const auto Text = [](const QWidget* W) { return W->palette().color(QPalette::WindowText); };
    QImage Painted(4, 4, QImage::Format_RGB32);  // small: Qt hands big images to its thread pool
    Form->render(&Painted, QPoint(), QRegion(8, 558, 4, 4));
    EXPECT_EQ(Painted.pixelColor(1, 1), QColor(107, 112, 133));
    EXPECT_EQ(C.Label6->font().pixelSize(), 16);
    EXPECT_TRUE(C.Label6->font().bold());
    EXPECT_EQ(Text(C.Label6), QColor(200, 202, 210));
    EXPECT_TRUE(C.Label5->font().underline());
    EXPECT_EQ(C.Label14->font().pixelSize(), 13);
    EXPECT_EQ(C.Label14->font().family(), "Verdana");
    EXPECT_EQ(Text(C.CheckBox2time), QColor(89, 93, 114));
    EXPECT_EQ(Text(C.StaticText1), QColor(Qt::black));
    EXPECT_EQ(C.Label2->font().pixelSize(), 9);
    EXPECT_EQ(C.ComboBox1City->font().family(), "MS Sans Serif");
    EXPECT_EQ(C.ComboBox1City->view()->font().pixelSize(), 11);
    EXPECT_EQ(C.ComboBox1City->style()->styleHint(QStyle::SH_ComboBox_Popup), 0);
}

// A click on "More screensavers" hands the catalogue's address to the desktop's handler.
TEST_F(ConfigurationTest, MoreScreensaversOpensTheCatalogue) {
    const std::string Bin = Root() + "/bin", Seen = Root() + "/opened";
    std::filesystem::create_directories(Bin);
    std::ofstream(Bin + "/xdg-open") << "#!/bin/sh\necho \"$1\" > '" << Seen << ".part' && mv '"
                                     << Seen << ".part' '" << Seen << "'\n";
    std::filesystem::permissions(Bin + "/xdg-open", std::filesystem::perms::owner_all);
    const std::string Path = std::getenv("PATH");
    setenv("PATH", (Bin + ":" + Path).c_str(), 1);
    auto Form = Open();
    QTest::mouseClick(Form->Controls().Label5, Qt::LeftButton);
    setenv("PATH", Path.c_str(), 1);
    for (int i = 0; i < 300 && !std::filesystem::exists(Seen); ++i)
        QTest::qWait(10);
    EXPECT_EQ(ReadFile(Seen), std::string(hosts::kCatalogueSite) + "\n");
}
