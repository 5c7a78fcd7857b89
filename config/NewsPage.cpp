// The handlers of the category and title boxes run on the user's choices only (`activated`),
// never on the selections the page makes while it fills them; `UrlNewsChange` runs on every change
// of the address's text, typed or set by the page.
#include "config/NewsPage.h"

#include "config/AddressForm.h"
#include "config/DropDownList.h"
#include "config/ListIndexError.h"
#include "config/OnlineDirectory.h"
#include "config/ScreenText.h"
#include "net/FeedRequest.h"
#include "net/Httpclient.h"
#include "net/NewsFeed.h"
#include "platform/app/Application.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPointer>

#include <exception>

namespace {

const QString kPleaseWait = QStringLiteral("Please wait...");
const QString kUserDefined = QStringLiteral("User Defined");
const QString kUserDefinedId = QStringLiteral("0");
const QString kFallbackPrefix = QStringLiteral("builtin:");

const QString kNotAvailable = QStringLiteral("Not Available");

}  // namespace

// Marks the page busy for as long as a handler that downloads runs. The page's input controls
// are disabled meanwhile (they still repaint, greyed), so clicks and keys that the client's waits
// deliver reach none of them; the focus goes back where it was.
class TNewsPage::TBusyScope {
public:
    explicit TBusyScope(TNewsPage& APage) : Page(APage), Focus(QApplication::focusWidget())
    {
        Page.FBusy = true;
        SetInputEnabled(false);
    }
    ~TBusyScope()
    {
        SetInputEnabled(true);
        Page.FBusy = false;
        if (Focus && Focus->isVisible())
            Focus->setFocus();
    }
    TBusyScope(const TBusyScope&) = delete;
    TBusyScope& operator=(const TBusyScope&) = delete;

private:
    void SetInputEnabled(bool Enabled)
    {
        Page.Controls.UrlNews->setEnabled(Enabled);
        Page.Controls.ComboBox1Category->setEnabled(Enabled);
        Page.Controls.ComboBox2TitleNews->setEnabled(Enabled);
    }

    TNewsPage& Page;
    QPointer<QWidget> Focus;
};

TNewsPage::TNewsPage(const TControls& AControls, THttpClient& AHTTP1, QString& ARSS_Url, bool& ANewsDirectoryToLoad,
                     TReportError AReportError)
    : Controls(AControls), HTTP1(AHTTP1), RSS_Url(ARSS_Url), NewsDirectoryToLoad(ANewsDirectoryToLoad),
      ReportError(std::move(AReportError))
{
    SetUpDropDownList(Controls.ComboBox1Category);
    SetUpDropDownList(Controls.ComboBox2TitleNews);
    QObject::connect(Controls.ComboBox1Category, &QComboBox::activated, Controls.ComboBox1Category,
                     [this] { ComboBox1CategoryChange(); });
    QObject::connect(Controls.ComboBox2TitleNews, &QComboBox::activated, Controls.ComboBox2TitleNews,
                     [this] { ComboBox2TitleNewsChange(); });
    QObject::connect(Controls.UrlNews, &QLineEdit::textChanged, Controls.UrlNews, [this] { UrlNewsChange(); });
}

void TNewsPage::TabSheet3Show()
{
    if (FBusy || FCancelled)
        return;
    Controls.UrlNews->setText(RSS_Url);
    if (NewsDirectoryToLoad)
        RunBusy(&TNewsPage::LoadNewsDirectory);
}

void TNewsPage::ComboBox1CategoryChange()
{
    if (!FBusy && !FCancelled)
        RunBusy(&TNewsPage::ChooseCategory);
}

void TNewsPage::ComboBox2TitleNewsChange()
{
    if (FBusy || FCancelled)
        return;
    const int row = Controls.ComboBox2TitleNews->currentIndex();
    Controls.StaticText3->setText(Controls.ComboBox2TitleNews->currentText());
    if (const auto url = NewsUrlAt(row)) {
        Controls.UrlNews->setText(*url);
        RSS_Url = Controls.UrlNews->text();
    }
}

void TNewsPage::UrlNewsChange()
{
    RSS_Url = Controls.UrlNews->text();
}

void TNewsPage::Cancel()
{
    FCancelled = true;
    HTTP1.Abort();
}

void TNewsPage::RunBusy(void (TNewsPage::*Step)())
{
    TBusyScope busy(*this);
    try {
        (this->*Step)();
    } catch (const std::exception& error) {
        ReportError(QString::fromUtf8(error.what()));
    }
}

void TNewsPage::LoadNewsDirectory()
{
    Controls.StaticText3->setText(kPleaseWait);
    ShowWaiting(Controls.ComboBox1Category);
    Controls.ListBox1IdCategory->clear();
    Controls.ListBox1IdCategory->addItem(kUserDefinedId);
    const bool prepared = PrepareClient();
    // A failed download gives "Not Available" too.
    std::string title = ReadChannelTitle({});
    if (prepared)
        Guarded([&] { title = FetchChannelTitle(HTTP1, StoredAddress(RSS_Url)); });
    Controls.StaticText3->setText(ShownName(title));
    // The title and "Please wait..." reach the screen before the next download.
    plat::App().ProcessMessages();
    const std::optional<std::string> body = prepared ? Download(CategoryListUrl()) : std::nullopt;
    if (FCancelled)
        return;
    // A failed download leaves "Please wait..." as the only category (its identifier is "0"),
    // unless a fallback directory is offered instead.
    if (body)
        FillCategories(*body);
    else if (!Fallback.empty())
        FillFallbackCategories();
    // A proxy port that is not a number is tried again on the next visit, once it is corrected.
    NewsDirectoryToLoad = !prepared;
}

void TNewsPage::ChooseCategory()
{
    Controls.ComboBox2TitleNews->clear();
    Controls.ListBox1NewsUrl->clear();
    const int row = Controls.ComboBox1Category->currentIndex();
    if (row < 0 || row >= Controls.ListBox1IdCategory->count()) {
        ReportError(ListIndexError(row));
        return;
    }
    const QString id = Controls.ListBox1IdCategory->item(row)->text();
    if (const TNewsCategory* category = FallbackCategory(id)) {
        for (const TNewsChannel& channel : category->Channels) {
            Controls.ComboBox2TitleNews->addItem(QString::fromStdString(channel.Title));
            Controls.ListBox1NewsUrl->addItem(ReadableAddress(channel.Address));
        }
    }
    if (id != kUserDefinedId) {
        if (Controls.ListBox1NewsUrl->count() == 0) {
            ShowWaiting(Controls.ComboBox2TitleNews);
            const auto body = PrepareClient() ? Download(ChannelListUrl(id.toStdString())) : std::nullopt;
            if (FCancelled)
                return;
            // A failed download leaves no titles.
            Controls.ComboBox2TitleNews->clear();
            if (body)
                FillChannels(*body);
        }
        Controls.ComboBox2TitleNews->setCurrentIndex(0);
        const int titles = Controls.ComboBox2TitleNews->count();
        Controls.StaticText3->setText(titles > 0 ? Controls.ComboBox2TitleNews->currentText() : kNotAvailable);
        const auto url = NewsUrlAt(0);
        if (!url)
            return;
        Controls.UrlNews->setText(*url);
    }
    RSS_Url = Controls.UrlNews->text();
}

bool TNewsPage::PrepareClient()
{
    const bool useProxy = Controls.CheckBox1Proxy->isChecked();
    const QString port = Controls.ProxyPort->text();
    if (useProxy && !IsPortNumber(port)) {
        ReportError(QStringLiteral("The proxy port \"%1\" is not a number from 1 to 65535; set it on the "
                                   "\"Proxy\" page.")
                        .arg(port));
        return false;
    }
    // Without the proxy the client goes direct, whatever an earlier download used.
    HTTP1.Proxy.clear();
    HTTP1.ProxyPort = 0;
    PrepareFeedClient(HTTP1, useProxy ? 1 : 0, StoredHost(Controls.ProxyServer->text()), port.toStdString());
    return true;
}

void TNewsPage::Guarded(const std::function<void()>& Run)
{
    if (FCancelled)
        return;
    try {
        Run();
    } catch (const std::exception& error) {
        // An address the client cannot take, such as a port in it that is not a number.
        ReportError(QString::fromUtf8(error.what()));
    }
}

std::optional<std::string> TNewsPage::Download(const std::string& Url)
{
    bool received = false;
    Guarded([&] { received = CatchSocketErrors(HTTP1, [&] { HTTP1.Get(Url); }).empty(); });
    return received ? std::optional<std::string>(HTTP1.Body) : std::nullopt;
}

void TNewsPage::FillCategories(std::string_view Body)
{
    QComboBox* box = Controls.ComboBox1Category;
    box->clear();
    box->addItem(kUserDefined);
    box->setCurrentIndex(0);
    for (const TDirectoryEntry& category : ReadCategories(Body)) {
        box->addItem(ShownName(category.Name));
        Controls.ListBox1IdCategory->addItem(ScreenText(category.Value));
    }
}

void TNewsPage::FillFallbackCategories()
{
    QComboBox* box = Controls.ComboBox1Category;
    box->clear();
    box->addItem(kUserDefined);
    box->setCurrentIndex(0);
    for (size_t i = 0; i < Fallback.size(); ++i) {
        box->addItem(QString::fromStdString(Fallback[i].Name));
        Controls.ListBox1IdCategory->addItem(kFallbackPrefix + QString::number(i));
    }
}

const TNewsCategory* TNewsPage::FallbackCategory(const QString& Id) const
{
    if (!Id.startsWith(kFallbackPrefix))
        return nullptr;
    bool ok = false;
    const qsizetype position = Id.mid(kFallbackPrefix.size()).toLongLong(&ok);
    return ok && position >= 0 && position < static_cast<qsizetype>(Fallback.size())
        ? &Fallback[static_cast<size_t>(position)]
        : nullptr;
}

void TNewsPage::FillChannels(std::string_view Body)
{
    Controls.ComboBox2TitleNews->clear();
    for (const TDirectoryEntry& channel : ReadChannels(Body)) {
        Controls.ComboBox2TitleNews->addItem(ShownName(channel.Name));
        Controls.ListBox1NewsUrl->addItem(ReadableAddress(channel.Value));
    }
}

std::optional<QString> TNewsPage::NewsUrlAt(int Row)
{
    if (Row < 0 || Row >= Controls.ListBox1NewsUrl->count()) {
        ReportError(ListIndexError(Row));
        return std::nullopt;
    }
    return Controls.ListBox1NewsUrl->item(Row)->text();
}

void TNewsPage::ShowWaiting(QComboBox* Box)
{
    Box->clear();
    Box->addItem(kPleaseWait);
    Box->setCurrentIndex(0);
}
