#include "config/Configuration.h"

#include "config/AddressForm.h"
#include "config/DialogPictures.h"
#include "config/FormLook.h"
#include "engine/HostNames.h"
#include "net/Httpclient.h"
#include "platform/app/Application.h"
#include "platform/shell/ShellOpen.h"
#include "ui_Configuration.h"
#include "ui_NewsPageForm.h"
#include "ui_ProxyPageForm.h"
#include "ui_WeatherPageForm.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>
#include <QVBoxLayout>

#include <algorithm>
#include <exception>
#include <future>

namespace {

constexpr int kWeatherPage = 1;
constexpr int kNewsPage = 2;
constexpr int kProxyPage = 3;

int32_t Ticked(const QCheckBox* Box)
{
    return Box->isChecked() ? 1 : 0;
}

}  // namespace

TForm2::TForm2(TReportError AReportError, QWidget* Parent, std::unique_ptr<TKssSettings> Store, std::string IdleProgram)
    : QWidget(Parent), Form(std::make_unique<Ui::TForm2>()),
      Settings(Store ? std::move(Store) : std::make_unique<TKssSettings>()), ReportError(std::move(AReportError)),
      IdleStart(std::move(IdleProgram))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // Decoding the pictures overlaps building the widgets, which is most of the dialog's start.
    std::future<TDialogPictures> pictures = std::async(ReadDialogPictures);
    Form->setupUi(this);
    ApplyFontHeightsAndColors(this);
    if (!ReportError)
        ReportError = [this](const QString& Message) { QMessageBox::critical(this, windowTitle(), Message); };
    connect(Form->CheckBox3StartAfter, &QCheckBox::toggled, Form->SpinEdit1Minutes, &QWidget::setEnabled);
    SetPictures(pictures.get());
    connect(Form->PageControl1, &QTabWidget::currentChanged, this, &TForm2::ShowPage);
    Form->BTOK->OnClick = [this](TKesbutton*) { BTOKClick(); };
    Form->BTCancel->OnClick = [this](TKesbutton*) { BTCancelClick(); };
    Form->Label5->installEventFilter(this);
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::ShowPage(int Page)
{
    if (Page == kWeatherPage) {
        WeatherControls();
        WeatherPage->TabSheet2Show();
    } else if (Page == kNewsPage) {
        NewsControls();
        NewsPage->TabSheet3Show();
    } else if (Page == kProxyPage) {
        ProxyControls();
    }
}

// The page is built hidden and shown once whole, its fonts and colours given before its first
// layout, like the pages built with the form.
template <class TPageForm>
void TForm2::BuildPage(std::unique_ptr<TPageForm>& PageForm, QWidget* Tab)
{
    auto* body = new QWidget(Tab);
    PageForm = std::make_unique<TPageForm>();
    PageForm->setupUi(body);
    ApplyFontHeightsAndColors(body);
    auto* layout = new QVBoxLayout(Tab);
    layout->setContentsMargins(0, 0, 0, 0);
    layout->addWidget(body);
    body->show();
}

Ui::TWeatherPageForm& TForm2::WeatherControls()
{
    if (!WeatherForm) {
        BuildPage(WeatherForm, Form->TabSheet2);
        const Ui::TWeatherPageForm& c = *WeatherForm;
        WeatherPage = std::make_unique<TWeatherPage>(
            TWeatherPage::TControls{c.ComboBox1Country, c.ComboBox1City, c.ComboBox1Units, c.ListBox1Code}, WeatherCode,
            TDegree, ReportError);
    }
    return *WeatherForm;
}

Ui::TNewsPageForm& TForm2::NewsControls()
{
    if (!NewsForm) {
        // The news page downloads through the proxy as the Proxy page shows it.
        const Ui::TProxyPageForm& proxy = ProxyControls();
        BuildPage(NewsForm, Form->TabSheet3);
        const Ui::TNewsPageForm& c = *NewsForm;
        HTTP1 = std::make_unique<THttpClient>(nullptr, plat::App());
        NewsPage = std::make_unique<TNewsPage>(TNewsPage::TControls{c.StaticText3, c.UrlNews, c.ComboBox1Category,
                                                                    c.ComboBox2TitleNews, c.ListBox1IdCategory,
                                                                    c.ListBox1NewsUrl, Form->CheckBox1Proxy,
                                                                    proxy.Edit1ProxyServer, proxy.Edit2Port},
                                               *HTTP1, RSS_Url, NewsDirectoryToLoad, ReportError);
        NewsPage->SetFallbackDirectory(BuiltInNewsDirectory());
    }
    return *NewsForm;
}

Ui::TProxyPageForm& TForm2::ProxyControls()
{
    if (!ProxyForm) {
        BuildPage(ProxyForm, Form->TabSheet4);
        ProxyForm->Edit2Port->setValidator(NewPortValidator(ProxyForm->Edit2Port));
        ProxyForm->Edit1ProxyServer->setText(Proxy);
        ProxyForm->Edit2Port->setText(Port);
    }
    return *ProxyForm;
}

void TForm2::SetPictures(const TDialogPictures& Pictures)
{
    setWindowIcon(QPixmap::fromImage(Pictures.Icon));
    Form->Image1->setPixmap(QPixmap::fromImage(Pictures.Header));
    Form->Image2->setPixmap(QPixmap::fromImage(Pictures.Decor));
    for (TKHFADER* slider : {Form->FD_BRIGHT, Form->FD_SOUND}) {
        slider->SetGround(Pictures.SliderTrack);
        slider->SetKnob(Pictures.SliderKnob);
    }
    Form->BTOK->SetGround_on(Pictures.BtnOkDown);
    Form->BTOK->SetGround_off(Pictures.BtnOkUp);
    Form->BTCancel->SetGround_on(Pictures.BtnCancelDown);
    Form->BTCancel->SetGround_off(Pictures.BtnCancelUp);
}

void TForm2::FormCreate()
{
    Settings->SetBrandName(kBrandName);
    Settings->SetSSName(kSaverName);
    int32_t brightness = 0;
    bool stored = false;
    Load([&] { stored = Settings->ReadRKey("Brightness", brightness); });
    if (!stored && LoadErrors.isEmpty()) {
        // First use: the defaults go to the key at once, in one write.
        Load([&] { Settings->SetRegistry(); });
        ShowDefaults();
    } else {
        // A key whose "Brightness" cannot be read still gives every other value it holds.
        if (stored)
            Form->FD_BRIGHT->SetValue(brightness);
        LoadStored();
    }
    if (!LoadErrors.isEmpty())
        ReportError(LoadErrors.join(u'\n'));
}

template <class TRead>
void TForm2::Load(TRead Read)
{
    try {
        Read();
    } catch (const std::exception& e) {
        LoadErrors << QString::fromUtf8(e.what());
    }
}

std::string TForm2::ReadText(const char* Name)
{
    std::string text;
    Load([&] { Settings->ReadAKey(Name, text); });
    return text;
}

// Each value is read on its own: one that cannot be read leaves its control as the form has it,
// and OK then stores that, while every value that could be read is kept.
void TForm2::LoadStored()
{
    const std::pair<const char*, TKHFADER*> sliders[] = {{"SoundVolume", Form->FD_SOUND}};
    for (const auto& [name, slider] : sliders)
        Load([&] {
            int32_t value = 0;
            Settings->ReadRKey(name, value);
            slider->SetValue(value);
        });
    const std::pair<const char*, QCheckBox*> shows[] = {{"ShowBlack", Form->CheckBox1transp},
                                                        {"ShowTime", Form->CheckBox2time},
                                                        {"ShowWeather", Form->CheckBox2weather},
                                                        {"ShowNews", Form->CheckBox2news},
                                                        {"UseProxy", Form->CheckBox1Proxy}};
    for (const auto& [name, box] : shows)
        Load([&] {
            int32_t value = 0;
            Settings->ReadRKey(name, value);
            // "ShowBlack" is the inverse: its box is ticked unless the bar is not transparent.
            box->setChecked(box == Form->CheckBox1transp ? value != 1 : value != 0);
        });
    WeatherCode = QString::fromStdString(ReadText("WeatherCode"));
    TDegree = QString::fromStdString(ReadText("TDegree"));
    RSS_Url = ReadableAddress(ReadText("RSS_Url"));
    Proxy = ReadableHost(ReadText("Proxy"));
    Port = QString::fromStdString(ReadText("Port"));
    LoadIdleStart();
}

// Keys from before the start after an idle time lack its two values: the box stays clear and the
// minutes at their default, without a word.
void TForm2::LoadIdleStart()
{
    Load([&] {
        int32_t on = 0;
        Settings->ReadOptionalRKey("StartAfterIdle", on);
        StartAfterIdleLoaded = on != 0;
    });
    Load([&] {
        int32_t minutes = kDefaultIdleMinutes;
        Settings->ReadOptionalRKey("IdleMinutes", minutes);
        IdleMinutesLoaded = std::clamp(minutes, kMinIdleMinutes, kMaxIdleMinutes);
    });
    Form->CheckBox3StartAfter->setChecked(StartAfterIdleLoaded);
    Form->SpinEdit1Minutes->setValue(IdleMinutesLoaded);
}

void TForm2::ShowDefaults()
{
    Form->FD_BRIGHT->SetValue(Settings->GetRGB());
    Form->FD_SOUND->SetValue(Settings->GetVolume());
    Form->CheckBox1transp->setChecked(Settings->GetShowBlack() != 1);
    for (QCheckBox* box : {Form->CheckBox2time, Form->CheckBox2weather, Form->CheckBox2news})
        box->setChecked(false);
    WeatherCode = QString::fromStdString(Settings->GetWeatherCode());
    TDegree = QString::fromStdString(Settings->GetTDegree());
    RSS_Url = ReadableAddress(Settings->GetRSS_Url());
}

void TForm2::BTOKClick()
{
    // A Proxy page never shown stores what was loaded.
    if (ProxyForm) {
        Proxy = ProxyForm->Edit1ProxyServer->text();
        Port = ProxyForm->Edit2Port->text();
    }
    try {
        Settings->WriteValues({
            {"Brightness", Form->FD_BRIGHT->GetValue()},
            {"SoundVolume", Form->FD_SOUND->GetValue()},
            {"ShowTime", Ticked(Form->CheckBox2time)},
            {"ShowWeather", Ticked(Form->CheckBox2weather)},
            {"ShowNews", Ticked(Form->CheckBox2news)},
            {"ShowBlack", 1 - Ticked(Form->CheckBox1transp)},
            {"WeatherCode", WeatherCode.toStdString()},
            {"TDegree", TDegree.toStdString()},
            {"RSS_Url", StoredAddress(RSS_Url)},
            {"UseProxy", Ticked(Form->CheckBox1Proxy)},
            {"Proxy", StoredHost(Proxy)},
            {"Port", Port.toStdString()},
            {"StartAfterIdle", Ticked(Form->CheckBox3StartAfter)},
            {"IdleMinutes", Form->SpinEdit1Minutes->value()},
        });
    } catch (const std::exception& e) {
        // Nothing was stored; the dialog stays open with everything the user set.
        ReportError(QString::fromUtf8(e.what()));
        return;
    }
    const bool on = Form->CheckBox3StartAfter->isChecked();
    const int minutes = Form->SpinEdit1Minutes->value();
    const bool changed = on != StartAfterIdleLoaded || (on && minutes != IdleMinutesLoaded);
    if (const std::string failed = IdleStart.Apply(on, changed); !failed.empty()) {
        // The settings are stored; OK again tries the start once more.
        ReportError(QString::fromStdString(failed));
        return;
    }
    StartAfterIdleLoaded = on;
    IdleMinutesLoaded = minutes;
    close();
}

void TForm2::BTCancelClick()
{
    close();
}

void TForm2::Label5Click()
{
    plat::ShellOpen(hosts::kCatalogueSite);
}

void TForm2::keyPressEvent(QKeyEvent* Event)
{
    switch (Event->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter: BTOKClick(); break;
    case Qt::Key_Escape: BTCancelClick(); break;
    default: QWidget::keyPressEvent(Event);
    }
}

void TForm2::paintEvent(QPaintEvent*)
{
    QPainter(this).fillRect(rect(), property("Color").value<QColor>());
}

void TForm2::closeEvent(QCloseEvent* Event)
{
    QWidget::closeEvent(Event);
    // A download in progress would keep the process waiting for its server after the window went.
    if (NewsPage)
        NewsPage->Cancel();
    if (OnClosed)
        OnClosed();
}

bool TForm2::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Form->Label5 && Event->type() == QEvent::MouseButtonRelease)
        Label5Click();
    return QWidget::eventFilter(Watched, Event);
}
