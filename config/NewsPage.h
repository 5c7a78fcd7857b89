// The "RSS News" page of the configuration dialog: the title of the current channel, the channel
// address the user types, and the online directory of categories and channels to pick one from.
// The page changes only the dialog's held `RSS_Url`; the dialog's OK stores it.
//
// The first visit downloads the current channel's title and the category list; choosing a
// category downloads its channel list. Every download runs on the UI thread through the dialog's
// client, whose waits process the window's pending events, so the dialog repaints meanwhile.
// While a handler downloads, the page is busy: the other handlers return at once and the page's
// controls take no input, so no input can start a second download on the client.
// Downloads go through the proxy exactly as the "Proxy" page shows it at that moment. Every failed
// download (unreachable server, time-out, an address the client cannot take) leaves the page
// usable: the title "Not Available", the built-in directory in place of the online one, the
// address field; errors other than the network's are also reported. Closing the dialog cancels
// the download in progress and starts no other.
//
// Names from the directory and channel titles are shown cut and cleaned (ScreenText.h).
#pragma once

#include "net/NewsDirectory.h"

#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

class QComboBox;
class QCheckBox;
class QLabel;
class QLineEdit;
class QListWidget;
class QWidget;
class THttpClient;

class TNewsPage {
public:
    struct TControls {
        QLabel* StaticText3;  // the channel's title
        QLineEdit* UrlNews;
        QComboBox* ComboBox1Category;
        QComboBox* ComboBox2TitleNews;
        QListWidget* ListBox1IdCategory;  // hidden; the categories' identifiers, "0" for "User Defined"
        QListWidget* ListBox1NewsUrl;  // hidden; the channels' addresses
        QCheckBox* CheckBox1Proxy;  // on the "Configuration" page
        QLineEdit* ProxyServer;  // on the "Proxy" page
        QLineEdit* ProxyPort;
    };
    // Shows a failure to the user, such as "List index out of bounds (0)".
    using TReportError = std::function<void(const QString& Message)>;

    // The client, the held address (as the user reads it) and the flag belong to the dialog and
    // outlive the page. NewsDirectoryToLoad is true until a load of the directory has run to its
    // end.
    TNewsPage(const TControls& Controls, THttpClient& HTTP1, QString& RSS_Url, bool& NewsDirectoryToLoad,
              TReportError ReportError);

    // Every visit of the page; the first one (and each after a load that stopped with an error)
    // loads the directory.
    void TabSheet3Show();
    void ComboBox1CategoryChange();
    void ComboBox2TitleNewsChange();
    void UrlNewsChange();

    // The directory offered where the online one cannot be reached (a socket error on the category
    // list); its categories get the identifiers "builtin:<position>" and need no download. Empty
    // (the default): the category box keeps "Please wait...".
    void SetFallbackDirectory(std::vector<TNewsCategory> Directory) { Fallback = std::move(Directory); }

    bool Busy() const { return FBusy; }
    // The dialog is closing: ends the download in progress at once; the page downloads nothing
    // more and its handlers do nothing.
    void Cancel();

private:
    class TBusyScope;

    // Runs Step as the page's one handler in progress; what it throws is reported.
    void RunBusy(void (TNewsPage::*Step)());
    void LoadNewsDirectory();
    void ChooseCategory();
    // Sets the client's proxy from the "Proxy" page; false (reported) when the proxy is on and its
    // port is not a port number.
    bool PrepareClient();
    // Runs one download step unless the page is cancelled; what it raises is reported (socket
    // errors are caught inside the steps and are no news to the user).
    void Guarded(const std::function<void()>& Run);
    // Gets Url; empty after a failed download (the client disconnected and aborted after a socket
    // error; any other error reported) and once the page is cancelled.
    std::optional<std::string> Download(const std::string& Url);
    void FillCategories(std::string_view Body);
    void FillChannels(std::string_view Body);
    void FillFallbackCategories();
    // The fallback category an identifier names, or null for an online one.
    const TNewsCategory* FallbackCategory(const QString& Id) const;
    // The address at Row of the channel addresses; reports the list error when there is none.
    std::optional<QString> NewsUrlAt(int Row);
    void ShowWaiting(QComboBox* Box);

    TControls Controls;
    THttpClient& HTTP1;
    QString& RSS_Url;
    bool& NewsDirectoryToLoad;
    TReportError ReportError;
    std::vector<TNewsCategory> Fallback;
    bool FBusy = false;
    bool FCancelled = false;
};
