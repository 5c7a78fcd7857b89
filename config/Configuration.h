// `TForm2`, the settings dialog of the configuration mode: the form of config/Configuration.ui
// (header, the two bitmap buttons, the four pages), loading every setting when it is created
// (first use writes the defaults at once), holding the texts the pages change, and writing all
// values on OK. Cancel and closing the window write nothing. Enter presses OK, Escape presses
// Cancel. The Weather, RSS News and Proxy pages are built when their tab is first shown (or their
// controls first asked for), so the dialog opens with the one page it shows; a page never built
// keeps and stores on OK exactly what was loaded for it.
//
// OK stores the twelve values and the two of "Start the screensaver after" in one write: all of
// them or none. When the write fails the user is told which file and why, and the dialog stays
// open with everything they set. Then it applies the start after an idle time (TIdleStart): the
// autostart entry written or removed, the session's watcher started or ended; when that fails the
// user is told too and the dialog stays open. A value that cannot be read when the dialog opens
// is reported and keeps its control's default; every other value shows what is stored. Closing
// the dialog ends a download of the news page at once.
#pragma once

#include "config/IdleStart.h"
#include "config/NewsPage.h"
#include "config/WeatherPage.h"
#include "engine/KssSettings.h"

#include <QString>
#include <QStringList>
#include <QWidget>

#include <functional>
#include <memory>

namespace Ui {
class TForm2;
class TWeatherPageForm;
class TNewsPageForm;
class TProxyPageForm;
}  // namespace Ui
struct TDialogPictures;

class TForm2 : public QWidget {
public:
    // Shows a registry or list error to the user; the default is a message box over the dialog.
    using TReportError = std::function<void(const QString& Message)>;

    // Store is the settings key's access (tests hand in one that fails on purpose); by default
    // the user's key. IdleProgram is what runs as the idle watcher (`IdleProgram --idle`); by
    // default this executable.
    explicit TForm2(TReportError ReportError = nullptr, QWidget* Parent = nullptr,
                    std::unique_ptr<TKssSettings> Store = nullptr, std::string IdleProgram = {});
    ~TForm2() override;

    void FormCreate();
    void BTOKClick();
    void BTCancelClick();
    void Label5Click();

    // The form's controls, by the names of the form data.
    Ui::TForm2& Controls() const { return *Form; }
    // A later page's controls, building the page first if its tab was never shown.
    Ui::TWeatherPageForm& WeatherControls();
    Ui::TNewsPageForm& NewsControls();
    Ui::TProxyPageForm& ProxyControls();

    // Held between loading and saving; the Weather and RSS News pages change the first three.
    // RSS_Url, Proxy and Port are held as the user reads them (AddressForm.h); OK stores them in
    // their stored form.
    QString WeatherCode;
    QString TDegree;
    QString RSS_Url;
    QString Proxy;
    QString Port;
    // The RSS News page loads the online directory on its first visit only.
    bool NewsDirectoryToLoad = true;
    // Runs when the window has closed (OK, Cancel or the window's close button).
    std::function<void()> OnClosed;

protected:
    void keyPressEvent(QKeyEvent* Event) override;
    void paintEvent(QPaintEvent* Event) override;
    void closeEvent(QCloseEvent* Event) override;
    bool eventFilter(QObject* Watched, QEvent* Event) override;

private:
    void SetPictures(const TDialogPictures& Pictures);
    void ShowPage(int Page);
    template <class TPageForm>
    void BuildPage(std::unique_ptr<TPageForm>& PageForm, QWidget* Tab);
    void LoadStored();
    void LoadIdleStart();
    void ShowDefaults();
    // Runs one read of LoadStored; what it raises is kept for the report after the load.
    template <class TRead>
    void Load(TRead Read);
    std::string ReadText(const char* Name);

    std::unique_ptr<Ui::TForm2> Form;
    std::unique_ptr<TKssSettings> Settings;
    QStringList LoadErrors;
    TReportError ReportError;
    TIdleStart IdleStart;
    // "Start the screensaver after" as loaded, to tell on OK what changed.
    bool StartAfterIdleLoaded = false;
    int IdleMinutesLoaded = kDefaultIdleMinutes;
    std::unique_ptr<Ui::TWeatherPageForm> WeatherForm;
    std::unique_ptr<Ui::TNewsPageForm> NewsForm;
    std::unique_ptr<Ui::TProxyPageForm> ProxyForm;
    std::unique_ptr<TWeatherPage> WeatherPage;
    // The news page's downloads: the channel check and the directory.
    std::unique_ptr<THttpClient> HTTP1;
    std::unique_ptr<TNewsPage> NewsPage;
};
