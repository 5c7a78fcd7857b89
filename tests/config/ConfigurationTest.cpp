// The settings dialog on the offscreen platform against a real key file in a private settings
// folder: loading, first use, OK, Cancel, a broken key reported while the dialog still opens, the
// form data's look, and the catalogue link through a stand-in desktop handler.
#include "config/Configuration.h"
#include "engine/HostNames.h"
#include "platform/app/Application.h"
#include "platform/qt/QtWindowSystem.h"
#include "tests/config/QtTestApp.h"
#include "tests/net/FixtureServer.h"
#include "tests/platform/registry/TempConfigHome.h"
#include "ui_Configuration.h"
#include "ui_NewsPageForm.h"
#include "ui_ProxyPageForm.h"
#include "ui_WeatherPageForm.h"

#include <QElapsedTimer>
#include <QFontInfo>
#include <QTest>

#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

namespace {

const std::string kStored =
    "\"Brightness\"=dword:00000080\n\"SoundVolume\"=dword:00000040\n\"ShowBlack\"=dword:00000002\n"
    "\"ShowTime\"=dword:00000000\n\"ShowWeather\"=dword:00000001\n\"ShowNews\"=dword:00000000\n"
    "\"WeatherCode\"=\"GMXX0087\"\n\"TDegree\"=\"c\"\n\"RSS_Url\"=\"http://example.org/rss\"\n"
    "\"UseProxy\"=dword:00000001\n\"Proxy\"=\"proxy.example.org\"\n\"Port\"=\"3128\"\n";

class ConfigurationTest : public TempConfigHome {
protected:
    void SetUp() override
    {
        TempConfigHome::SetUp();
        QtTestApp();
    }
    std::unique_ptr<TForm2> Open()
    {
        auto Form = std::make_unique<TForm2>([this](const QString& M) { Errors << M; });
        Form->show();
        return Form;
    }
    QStringList Errors;
};

TEST_F(ConfigurationTest, FirstUseWritesAllTwelveValuesAtOnce)
{
    auto Form = Open();
    const std::string Key = ReadFile(KeyFile());
    for (const char* Value :
         {"\"Brightness\"=dword:00000100", "\"SoundVolume\"=dword:000000c8", "\"ShowTime\"=dword:00000000",
          "\"ShowWeather\"=dword:00000000", "\"ShowNews\"=dword:00000000", "\"ShowBlack\"=dword:00000000",
          "\"WeatherCode\"=\"20001\"", "\"TDegree\"=\"f\"", "\"RSS_Url\"=\"http", "\"UseProxy\"=dword:00000000",
          "\"Proxy\"=\"\"", "\"Port\"=\"\""})
        EXPECT_NE(Key.find(Value), std::string::npos) << Value << "\n" << Key;
    const Ui::TForm2& C = Form->Controls();
    EXPECT_EQ(C.FD_BRIGHT->GetValue(), 256);
    EXPECT_EQ(C.FD_SOUND->GetValue(), 200);
    EXPECT_TRUE(C.CheckBox1transp->isChecked());
    EXPECT_FALSE(C.CheckBox2time->isChecked() || C.CheckBox2weather->isChecked() || C.CheckBox2news->isChecked() ||
                 C.CheckBox1Proxy->isChecked());
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(ConfigurationTest, OkWritesWhatTheControlsShowAndCancelNothing)
{
    WriteKey(kStored);
    auto Form = Open();
    const Ui::TForm2& C = Form->Controls();
    EXPECT_EQ(C.FD_BRIGHT->GetValue(), 128);
    EXPECT_TRUE(C.CheckBox1transp->isChecked());  // a stored 2 is not 1
    EXPECT_TRUE(C.CheckBox2weather->isChecked());
    C.PageControl1->setCurrentIndex(3);
    const Ui::TProxyPageForm& P = Form->ProxyControls();
    EXPECT_EQ(P.Edit1ProxyServer->text(), "proxy.example.org");
    QTest::mouseClick(C.CheckBox2time, Qt::LeftButton, {}, QPoint(8, 10));
    QTest::keyClick(C.FD_SOUND, Qt::Key_Left);
    P.Edit2Port->setText("8080");
    const std::string Before = ReadFile(KeyFile());
    Form->BTCancelClick();
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    EXPECT_FALSE(Form->isVisible());

    Form->show();
    QTest::keyClick(Form.get(), Qt::Key_Return);
    const std::string After = ReadFile(KeyFile());
    for (const char* Value :
         {"\"Brightness\"=dword:00000080", "\"SoundVolume\"=dword:00000038", "\"ShowTime\"=dword:00000001",
          "\"ShowBlack\"=dword:00000000", "\"WeatherCode\"=\"GMXX0087\"", "\"TDegree\"=\"c\"",
          "\"RSS_Url\"=\"http://example.org/rss\"", "\"Port\"=\"8080\""})
        EXPECT_NE(After.find(Value), std::string::npos) << Value << "\n" << After;
    EXPECT_FALSE(Form->isVisible());
}

// A key missing one integer: the error is shown, every other value loads, and OK keeps them.
TEST_F(ConfigurationTest, MissingValueIsReportedAndTheReadableValuesKept)
{
    std::string Damaged = kStored;
    Damaged.erase(Damaged.find("\"ShowTime\""), std::string("\"ShowTime\"=dword:00000000\n").size());
    WriteKey(Damaged);
    const std::string Before = ReadFile(KeyFile());
    auto Form = Open();
    EXPECT_EQ(Errors, QStringList{"Failed to get data for 'ShowTime'"});
    const Ui::TForm2& C = Form->Controls();
    EXPECT_EQ(C.FD_SOUND->GetValue(), 64);
    EXPECT_TRUE(C.CheckBox2weather->isChecked() && C.CheckBox1Proxy->isChecked());
    EXPECT_TRUE(Form->isVisible());
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    // The later pages, never shown, are not built, and OK stores what was loaded for them.
    for (const QWidget* Page : {C.TabSheet2, C.TabSheet3, C.TabSheet4})
        EXPECT_TRUE(Page->children().isEmpty());
    Form->BTOKClick();
    const std::string After = ReadFile(KeyFile());
    for (const char* Value :
         {"\"ShowTime\"=dword:00000000", "\"WeatherCode\"=\"GMXX0087\"", "\"TDegree\"=\"c\"",
          "\"RSS_Url\"=\"http://example.org/rss\"", "\"Proxy\"=\"proxy.example.org\"", "\"Port\"=\"3128\""})
        EXPECT_NE(After.find(Value), std::string::npos) << Value << "\n" << After;
}

TEST_F(ConfigurationTest, WeatherPageShowsTheHeldPlaceAndChangesIt)
{
    WriteKey(kStored);
    auto Form = Open();
    Form->Controls().PageControl1->setCurrentIndex(1);
    const Ui::TWeatherPageForm& C = Form->WeatherControls();
    EXPECT_EQ(C.ComboBox1Country->currentText(), "Germany");
    EXPECT_EQ(C.ComboBox1Units->currentText(), "Celsius degrees");
    C.ComboBox1Country->showPopup();
    QTest::keyClicks(C.ComboBox1Country->view(), "Zim");
    QTest::keyClick(C.ComboBox1Country->view(), Qt::Key_Return);
    EXPECT_TRUE(Form->WeatherCode.startsWith("ZIXX"));
    // Typing on the closed lists chooses, as in the open ones.
    QTest::keyClicks(C.ComboBox1Country, "germ");
    EXPECT_EQ(C.ComboBox1Country->currentText(), "Germany");
    QTest::keyClicks(C.ComboBox1City, "Neuenk");
    EXPECT_TRUE(C.ComboBox1City->currentText().startsWith("Neuenkirchen"));
    EXPECT_EQ(Form->WeatherCode, C.ListBox1Code->model()->index(C.ComboBox1City->currentIndex(), 1).data().toString());
    // Zambia has no cities: after the message the page shows the place OK stores.
    QTest::keyClicks(C.ComboBox1Country, "zam");
    EXPECT_EQ(Errors.value(0), "List index out of bounds (0)");
    EXPECT_EQ(C.ComboBox1Country->currentText(), "Germany");
    EXPECT_TRUE(C.ComboBox1City->currentText().startsWith("Neuenkirchen"));
}

// What stops a save: a folder that cannot be written, a store that refuses the seventh value, a
// lock another program holds. Each time the user reads the file and why, nothing is stored and
// the dialog stays open with what they set.
class RefusingStore : public TKssSettings {
protected:
    void PutValue(plat::UserKey& Key, const TSettingValue& Value) const override
    {
        if (++Puts == 7)
            throw ERegistryException("Failed to set data for '" + Value.Name + "'");
        TKssSettings::PutValue(Key, Value);
    }
    mutable int Puts = 0;
};

TEST_F(ConfigurationTest, FailedSavesKeepTheDialogAndStoreNothing)
{
    WriteKey(kStored);
    const std::string Before = ReadFile(KeyFile());
    auto Form =
        std::make_unique<TForm2>([this](const QString& M) { Errors << M; }, nullptr, std::make_unique<RefusingStore>());
    Form->show();
    const Ui::TForm2& C = Form->Controls();
    C.CheckBox2time->setChecked(true);
    Form->BTOKClick();
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    EXPECT_EQ(Errors,
              QStringList{QString::fromStdString("The settings were not saved.\n\n" + KeyFile() +
                                                 ": Failed to set data for 'WeatherCode'.")});
    EXPECT_TRUE(Form->isVisible() && C.CheckBox2time->isChecked());

    Errors.clear();
    auto Locked = Open();
    const int Held = ::open((KeyFile() + ".lock").c_str(), O_RDWR | O_CREAT, 0600);
    ASSERT_EQ(::flock(Held, LOCK_EX), 0);
    Locked->Controls().CheckBox2time->setChecked(true);
    QElapsedTimer Took;
    Took.start();
    Locked->BTOKClick();
    EXPECT_LT(Took.elapsed(), 3000);
    ::close(Held);
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].contains(QString::fromStdString(KeyFile() + ": another program has kept it locked")))
        << Errors[0].toStdString();
    EXPECT_TRUE(Locked->isVisible() && Locked->Controls().CheckBox2time->isChecked());
    EXPECT_EQ(ReadFile(KeyFile()), Before);
    Locked->BTOKClick();  // the lock is free again
    EXPECT_FALSE(Locked->isVisible());
    EXPECT_NE(ReadFile(KeyFile()).find("\"ShowTime\"=dword:00000001"), std::string::npos);

    Errors.clear();
    setenv("XDG_CONFIG_HOME", "/proc/self/fdinfo", 1);
    auto Unwritable = Open();
    Unwritable->Controls().FD_SOUND->SetValue(17);
    Unwritable->BTOKClick();
    ASSERT_EQ(Errors.size(), 1);
    EXPECT_TRUE(Errors[0].startsWith("The settings were not saved.\n\n/proc/self/fdinfo/Kestrin Software/"
                                     "Solvane Screensaver.reg: its folder cannot be made ("))
        << Errors[0].toStdString();
    EXPECT_TRUE(Unwritable->isVisible());
    EXPECT_EQ(Unwritable->Controls().FD_SOUND->GetValue(), 17);
}

// Text outside Latin-1 is stored as it goes on the wire (IDNA host, percent-encoded UTF-8) and
// shown readably when the dialog opens again.
TEST_F(ConfigurationTest, AddressesAreStoredInTheirAsciiFormAndShownReadably)
{
    WriteKey(kStored);
    auto Form = Open();
    const QString Address = QString::fromUtf8("https://пример.рф/новости?q=€ x");
    Form->RSS_Url = Address;
    Form->ProxyControls().Edit1ProxyServer->setText(QString::fromUtf8("прокси.пример.рф"));
    Form->BTOKClick();
    const std::string Stored = ReadFile(KeyFile());
    EXPECT_NE(Stored.find("\"RSS_Url\"=\"https://xn--e1afmkfd.xn--p1ai/%D0%BD%D0%BE%D0%B2%D0%BE%D1%81%D1%82%D0%B8"
                          "?q=%E2%82%AC%20x\""),
              std::string::npos)
        << Stored;
    EXPECT_NE(Stored.find("\"Proxy\"=\"xn--h1adldfi.xn--e1afmkfd.xn--p1ai\""), std::string::npos) << Stored;
    auto Again = Open();
    EXPECT_EQ(Again->RSS_Url, QString::fromUtf8("https://пример.рф/новости?q=€%20x"));
    EXPECT_EQ(Again->ProxyControls().Edit1ProxyServer->text(), QString::fromUtf8("прокси.пример.рф"));
    Again->BTOKClick();
    EXPECT_EQ(ReadFile(KeyFile()), Stored);  // shown and saved again, nothing changes
    EXPECT_TRUE(Errors.isEmpty());
}

// The news page goes through the proxy the "Proxy" page shows now, typed a moment ago; the port
// field takes only port numbers.
TEST_F(ConfigurationTest, ProxyTypedIsUsedAtOnce)
{
    WriteKey(kStored);
    nettest::FixtureServer Proxy;
    Proxy.Reply("http://example.org/rss", nettest::HttpReply("200 OK", "", "<rss v=\"2\"><title>Mine</title>"));
    plat::TQtWindowSystem Qt{plat::App()};
    auto Form = Open();
    const Ui::TProxyPageForm& C = Form->ProxyControls();
    C.Edit1ProxyServer->clear();
    C.Edit2Port->clear();
    QTest::keyClicks(C.Edit2Port, "0x70000");
    EXPECT_EQ(C.Edit2Port->text(), "7000");
    C.Edit2Port->clear();
    QTest::keyClicks(C.Edit1ProxyServer, "127.0.0.1");
    QTest::keyClicks(C.Edit2Port, QString::number(Proxy.Port()));
    Form->Controls().PageControl1->setCurrentIndex(2);
    ASSERT_FALSE(Proxy.Requests().empty());
    EXPECT_EQ(Proxy.Requests()[0].substr(0, 27), "GET http://example.org/rss ");
    EXPECT_EQ(Form->NewsControls().StaticText3->text(), "Mine");
    EXPECT_TRUE(Form->NewsControls().UrlNews->isEnabled());
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
}

}  // namespace

// The form data's pixel heights and colours reach the widgets, children inheriting their
// parent's, the faces it names draw as Qt would draw them asked by name, and a drop-down list
// opens below its box in the plain list font.
TEST_F(ConfigurationTest, FontsAndColoursFollowTheFormData)
{
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
    EXPECT_EQ(Text(C.CheckBox2time), QColor(89, 93, 114));
    EXPECT_EQ(C.Label2->font().pixelSize(), 9);
    // A page built at its first showing looks like one built with the form.
    C.PageControl1->setCurrentIndex(1);
    const Ui::TWeatherPageForm& W = Form->WeatherControls();
    EXPECT_EQ(W.Label14->font().pixelSize(), 13);
    const auto Drawn = [](const QFont& Font) { return QFontInfo(Font).family(); };
    EXPECT_EQ(Drawn(W.Label14->font()), Drawn(QFont("Verdana")));
    EXPECT_EQ(Text(W.StaticText1), QColor(Qt::black));
    EXPECT_EQ(Drawn(W.ComboBox1City->font()), Drawn(QFont("MS Sans Serif")));
    EXPECT_EQ(W.ComboBox1City->view()->font().pixelSize(), 11);
    EXPECT_EQ(W.ComboBox1City->style()->styleHint(QStyle::SH_ComboBox_Popup), 0);
    EXPECT_TRUE(W.Label14->isVisible() && !W.ListBox1Code->isVisible());
}

// A click on "More screensavers" hands the catalogue's address to the desktop's handler.
TEST_F(ConfigurationTest, MoreScreensaversOpensTheCatalogue)
{
    const std::string Bin = Root() + "/bin", Seen = Root() + "/opened";
    std::filesystem::create_directories(Bin);
    std::ofstream(Bin + "/xdg-open") << "#!/bin/sh\necho \"$1\" > '" << Seen << ".part' && mv '" << Seen << ".part' '"
                                     << Seen << "'\n";
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
