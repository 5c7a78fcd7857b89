// The news page on real Qt widgets against a local server on loopback that stands in for the
// directory and the channels, reached as the HTTP proxy of the settings; choices are made in the
// open lists with Enter, as a user makes them.
#include "config/NewsPage.h"
#include "config/OnlineDirectory.h"
#include "net/Httpclient.h"
#include "platform/qt/QtWindowSystem.h"
#include "tests/config/QtTestApp.h"
#include "tests/net/FixtureServer.h"

#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QCheckBox>
#include <QComboBox>
#include <QElapsedTimer>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QTest>
#include <QTimer>

#include <memory>

namespace {

const std::string kChannel = "http://news.example/top.xml";
const std::string kCategories = "<categories version=\"1\">\n"
                                "<item><category>World</category><id>7</id></item>\n"
                                "<item><category>Science &amp; Tech</category><id>12</id></item>\n</categories>";
const std::string kWorld = "<rsslist version=\"1\">\n"
                           "<item><title>Daily &amp; Planet</title><url>http://news.example/planet.xml</url></item>\n"
                           "<item><title>Globe</title><url>http://news.example/globe.xml</url></item>\n</rsslist>";

QStringList Items(const QComboBox* Box)
{
    QStringList items;
    for (int row = 0; row < Box->count(); ++row)
        items << Box->itemText(row);
    return items;
}

class NewsPageTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        QtTestApp();
        Open(QString::number(Server.Port()));
    }

    void Open(const QString& ProxyPort)
    {
        Page.reset();
        Window = std::make_unique<QWidget>();
        Title = new QLabel(Window.get());
        Url = new QLineEdit(Window.get());
        Category = new QComboBox(Window.get());
        Titles = new QComboBox(Window.get());
        Ids = new QListWidget(Window.get());
        Urls = new QListWidget(Window.get());
        UseProxy = new QCheckBox(Window.get());
        UseProxy->setChecked(true);
        Proxy = new QLineEdit("127.0.0.1", Window.get());
        Port = new QLineEdit(ProxyPort, Window.get());
        RSS_Url = QString::fromStdString(kChannel);
        ToLoad = true;
        Page = std::make_unique<TNewsPage>(
            TNewsPage::TControls{Title, Url, Category, Titles, Ids, Urls, UseProxy, Proxy, Port}, Client, RSS_Url,
            ToLoad, [this](const QString& Message) { Errors << Message; });
        Window->show();
    }
    void Serve(const std::string& Target, const std::string& Body)
    {
        Server.Reply(Target, nettest::HttpReply("200 OK", "", Body));
    }
    void Choose(QComboBox* Box, int Row)
    {
        Box->showPopup();
        Box->view()->setCurrentIndex(Box->model()->index(Row, 0));
        QTest::keyClick(Box->view(), Qt::Key_Return);
    }
    size_t Requests() const { return Server.Requests().size(); }

    nettest::FixtureServer Server;
    THttpClient Client{nullptr, plat::App()};
    QString RSS_Url;
    bool ToLoad = true;
    QStringList Errors;
    std::unique_ptr<QWidget> Window;
    QLabel* Title = nullptr;
    QLineEdit *Url = nullptr, *Proxy = nullptr, *Port = nullptr;
    QCheckBox* UseProxy = nullptr;
    QComboBox *Category = nullptr, *Titles = nullptr;
    QListWidget *Ids = nullptr, *Urls = nullptr;
    std::unique_ptr<TNewsPage> Page;
    // The client's waits deliver Qt's events, as in the dialog.
    plat::TQtWindowSystem Qt{(QtTestApp(), plat::App())};
};

TEST_F(NewsPageTest, FirstVisitWithoutNetworkLeavesOnlyPleaseWait)
{
    Open(QString::number(nettest::UnusedLoopbackPort()));
    Page->TabSheet3Show();
    EXPECT_EQ(Title->text(), "Not Available");
    EXPECT_EQ(Items(Category), QStringList{"Please wait..."});
    Choose(Category, 0);
    EXPECT_EQ(Titles->count(), 0);
    EXPECT_EQ(RSS_Url, QString::fromStdString(kChannel));
    EXPECT_TRUE(Errors.isEmpty());
}

// Where the online directory cannot be reached, the offered one stands in, without downloads.
TEST_F(NewsPageTest, WithoutNetworkTheFallbackDirectoryIsOffered)
{
    Open(QString::number(nettest::UnusedLoopbackPort()));
    Page->SetFallbackDirectory({{"World", {{"Globe", "https://globe.example/rss"}}}});
    Page->TabSheet3Show();
    EXPECT_EQ(Items(Category), QStringList({"User Defined", "World"}));
    Choose(Category, 1);
    EXPECT_EQ(Items(Titles), QStringList{"Globe"});
    EXPECT_EQ(RSS_Url, "https://globe.example/rss");
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(NewsPageTest, CategoryAndChannelChoicesSetTheAddress)
{
    Serve(kChannel, "<rss version=\"2.0\"><channel><title>Top &amp; Stories</title>");
    Serve(CategoryListUrl(), kCategories);
    Serve(ChannelListUrl("7"), kWorld);
    Page->TabSheet3Show();
    EXPECT_EQ(Title->text(), "Top & Stories");
    EXPECT_EQ(Items(Category), QStringList({"User Defined", "World", "Science &amp; Tech"}));
    Choose(Category, 1);
    EXPECT_EQ(Items(Titles), QStringList({"Daily &amp; Planet", "Globe"}));
    EXPECT_EQ(Title->text(), "Daily &amp; Planet");
    EXPECT_EQ(RSS_Url, "http://news.example/planet.xml");
    Choose(Titles, 1);
    EXPECT_EQ(Title->text(), "Globe");
    EXPECT_EQ(Url->text(), "http://news.example/globe.xml");
    EXPECT_EQ(RSS_Url, Url->text());
    const size_t asked = Requests();
    EXPECT_EQ(asked, 3u);
    Choose(Category, 0);  // "User Defined"
    Page->TabSheet3Show();  // a second visit
    EXPECT_EQ(Requests(), asked);
    EXPECT_EQ(RSS_Url, "http://news.example/globe.xml");
    Choose(Category, 1);
    Url->selectAll();
    QTest::keyClicks(Url, "http://mine.example/feed.xml");
    EXPECT_EQ(RSS_Url, "http://mine.example/feed.xml");
    EXPECT_TRUE(Errors.isEmpty());
}

TEST_F(NewsPageTest, OnlyDocumentsOpeningWithTheirRootCount)
{
    struct Case {
        std::string Channel, Categories;
        QString Title;
        int CategoryCount;
    };
    const Case cases[] = {
        {"<rss version=\"0.91\"><channel><title>Plain</title>", kCategories, "Plain", 3},
        {"<feed xmlns=\"http://www.w3.org/2005/Atom\"><title>Atom</title>", kCategories, "Atom", 3},
        {"<?xml version=\"1.0\"?><rss><title>Declared</title>", "<?xml version=\"1.0\"?>\n" + kCategories, "Declared",
         1},
    };
    for (const Case& c : cases) {
        Serve(kChannel, c.Channel);
        Serve(CategoryListUrl(), c.Categories);
        Open(Port->text());
        Page->TabSheet3Show();
        EXPECT_EQ(Title->text(), c.Title);
        EXPECT_EQ(Category->count(), c.CategoryCount) << c.Categories;
    }
}

// A proxy port that is no port, an empty channel list and a reset: each leaves the page usable,
// with "Not Available" and no "Please wait..." left behind, and the address kept.
TEST_F(NewsPageTest, FailuresAreReportedAndKeepTheAddress)
{
    Open("80a");
    Page->TabSheet3Show();
    EXPECT_EQ(Title->text(), "Not Available");
    Choose(Category, 0);
    EXPECT_EQ(Errors,
              QStringList({"The proxy port \"80a\" is not a number from 1 to 65535; set it on "
                           "the \"Proxy\" page."}));
    EXPECT_EQ(Requests(), 0u);
    EXPECT_TRUE(Url->isEnabled());
    Port->setText(QString::number(Server.Port()));
    Serve(CategoryListUrl(), kCategories);
    Serve(ChannelListUrl("7"), "<rsslist version=\"1\"></rsslist>");
    Server.Route(ChannelListUrl("12"), [](nettest::FixtureConnection& C) { C.Reset(); });
    Page->TabSheet3Show();  // tried again
    EXPECT_EQ(Category->count(), 3);
    Errors.clear();
    Choose(Category, 1);  // an empty list
    Choose(Category, 2);  // a socket error
    EXPECT_EQ(Titles->count(), 0);
    EXPECT_EQ(Title->text(), "Not Available");
    EXPECT_EQ(Errors, QStringList({"List index out of bounds (0)", "List index out of bounds (0)"}));
    EXPECT_EQ(RSS_Url, QString::fromStdString(kChannel));
    EXPECT_EQ(Url->text(), RSS_Url);
}

// Names from the directory server are cut to 256 characters and lose control characters and
// direction overrides; channel addresses show their letters.
TEST_F(NewsPageTest, DirectoryNamesAreCutAndCleaned)
{
    const std::string overlong(300, 'x');
    Serve(CategoryListUrl(),
          "<categories v=\"1\"><item><category>Wo\x1b[31mrld\xe2\x80\xae"
          "dlroW\r\n</category><id>7</id></item><item><category>" +
              overlong + "</category><id>8</id></item></categories>");
    Serve(ChannelListUrl("7"),
          "<rsslist v=\"1\"><item><title>\xe2\x81\xa6Globe\x07</title>"
          "<url>http://xn--e1afmkfd.xn--p1ai/%D0%BD%D0%BE%D0%B2%D0%BE%D1%81%D1%82%D0%B8</url>"
          "</item></rsslist>");
    Page->TabSheet3Show();
    EXPECT_EQ(Category->itemText(1), "Wo[31mrlddlroW");
    EXPECT_EQ(Category->itemText(2), QString(256, u'x'));
    Choose(Category, 1);
    EXPECT_EQ(Titles->itemText(0), "Globe");
    EXPECT_EQ(Url->text(), QString::fromUtf8("http://пример.рф/новости"));
}

// Closing the dialog cancels a download that waits for a silent server and starts no other.
TEST_F(NewsPageTest, CancelEndsTheDownloadAndStartsNoOther)
{
    Server.Route(kChannel, [](nettest::FixtureConnection& C) { C.HoldOpen(6000); });
    Serve(CategoryListUrl(), kCategories);
    QTimer::singleShot(300, [this] { Page->Cancel(); });
    QElapsedTimer took;
    took.start();
    Page->TabSheet3Show();
    EXPECT_LT(took.elapsed(), 3000);
    EXPECT_EQ(Requests(), 1u);
    Page->TabSheet3Show();
    Choose(Category, 0);
    EXPECT_EQ(Requests(), 1u);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
}

// A channel that answers nothing for 5 s: the window keeps repainting, and input that arrives
// meanwhile starts nothing.
TEST_F(NewsPageTest, SlowServerKeepsRepaintingAndIgnoresInput)
{
    Server.Route(kChannel, [](nettest::FixtureConnection& C) { C.HoldOpen(6000); });
    Serve(CategoryListUrl(), kCategories);
    QWidget* probe = new QWidget(Window.get());
    probe->resize(20, 20);
    probe->show();
    QElapsedTimer sincePaint;
    qint64 longestGap = 0;
    int paints = 0;
    struct PaintCounter : QObject {
        std::function<void()> OnPaint;
        bool eventFilter(QObject*, QEvent* E) override
        {
            if (E->type() == QEvent::Paint)
                OnPaint();
            return false;
        }
    } counter;
    counter.OnPaint = [&] {
        longestGap = std::max(longestGap, sincePaint.restart());
        ++paints;
    };
    probe->installEventFilter(&counter);
    QTimer repaint;
    QObject::connect(&repaint, &QTimer::timeout, probe, qOverload<>(&QWidget::update));
    repaint.start(20);
    bool poked = false;
    QTimer::singleShot(1000, [&] {
        poked = Page->Busy();
        EXPECT_EQ(Title->text(), "Please wait...");
        QTest::mouseClick(Category, Qt::LeftButton);
        QTest::keyClick(Category, Qt::Key_Down);
        Page->ComboBox1CategoryChange();
        Page->TabSheet3Show();
        QTest::keyClicks(Url, "typed");
    });
    sincePaint.start();
    Page->TabSheet3Show();
    EXPECT_EQ(Title->text(), "Not Available");
    EXPECT_EQ(Category->count(), 3);
    EXPECT_EQ(Requests(), 2u);
    EXPECT_EQ(RSS_Url, QString::fromStdString(kChannel));
    EXPECT_TRUE(poked);
    EXPECT_GT(paints, 100) << longestGap;
    EXPECT_LT(longestGap, 250);
    EXPECT_TRUE(Errors.isEmpty()) << Errors.join("; ").toStdString();
}

}  // namespace
