#include "config/Configuration.h"

#include "config/DialogPictures.h"
#include "config/FormLook.h"
#include "engine/HostNames.h"
#include "net/Httpclient.h"
#include "platform/shell/ShellOpen.h"
#include "ui_Configuration.h"

#include <QKeyEvent>
#include <QMessageBox>
#include <QMouseEvent>
#include <QPainter>

#include <exception>
#include <future>

namespace {

constexpr int kWeatherPage = 1;
constexpr int kNewsPage = 2;

int32_t Ticked(const QCheckBox* Box)
{
    return Box->isChecked() ? 1 : 0;
}

}  // namespace

TForm2::TForm2(TReportError AReportError, QWidget* Parent)
    : QWidget(Parent), Form(std::make_unique<Ui::TForm2>()), ReportError(std::move(AReportError))
{
    setWindowFlags(Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint);
    // Decoding the pictures overlaps building the widgets, which is most of the dialog's start.
    std::future<TDialogPictures> pictures = std::async(ReadDialogPictures);
    Form->setupUi(this);
    ApplyFontHeightsAndColors(this);
    if (!ReportError)
        ReportError = [this](const QString& Message) {
            QMessageBox::critical(this, windowTitle(), Message);
        };
    SetPictures(pictures.get());
    WeatherPage = std::make_unique<TWeatherPage>(
        TWeatherPage::TControls{Form->ComboBox1Country, Form->ComboBox1City, Form->ComboBox1Units,
                                Form->ListBox1Code},
        WeatherCode, TDegree, ReportError);
    HTTP1 = std::make_unique<THttpClient>(nullptr);
    NewsPage = std::make_unique<TNewsPage>(
        TNewsPage::TControls{Form->StaticText3, Form->UrlNews, Form->ComboBox1Category,
                             Form->ComboBox2TitleNews, Form->ListBox1IdCategory,
                             Form->ListBox1NewsUrl, Form->CheckBox1Proxy},
        *HTTP1, RSS_Url, Proxy, Port, NewsDirectoryToLoad, ReportError);
    NewsPage->SetFallbackDirectory(BuiltInNewsDirectory());
    connect(Form->PageControl1, &QTabWidget::currentChanged, this, [this](int Page) {
        if (Page == kWeatherPage)
            WeatherPage->TabSheet2Show();
        else if (Page == kNewsPage)
            NewsPage->TabSheet3Show();
    });
    Form->BTOK->OnClick = [this](TKesbutton*) { BTOKClick(); };
    Form->BTCancel->OnClick = [this](TKesbutton*) { BTCancelClick(); };
    Form->Label5->installEventFilter(this);
    FormCreate();
}

TForm2::~TForm2() = default;

void TForm2::SetPictures(const TDialogPictures& Pictures)
{
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
    Settings.SetBrandName("Kestrin Software");
    Settings.SetSSName("Solvane Screensaver");
    try {
        int32_t brightness = 0;
        if (Settings.ReadRKey("Brightness", brightness)) {
            Form->FD_BRIGHT->SetValue(brightness);
            LoadStored();
        } else {
            StoreDefaults();
        }
        Form->Edit1ProxyServer->setText(Proxy);
        Form->Edit2Port->setText(Port);
    } catch (const std::exception& e) {
        // The dialog opens all the same, with what was loaded before the failing value.
        ReportError(QString::fromLatin1(e.what()));
    }
}

void TForm2::LoadStored()
{
    int32_t value = 0;
    Settings.ReadRKey("SoundVolume", value);
    Form->FD_SOUND->SetValue(value);
    Settings.ReadRKey("ShowBlack", value);
    Form->CheckBox1transp->setChecked(value != 1);
    const std::pair<const char*, QCheckBox*> shows[] = {{"ShowTime", Form->CheckBox2time},
                                                        {"ShowWeather", Form->CheckBox2weather},
                                                        {"ShowNews", Form->CheckBox2news}};
    for (const auto& [name, box] : shows) {
        Settings.ReadRKey(name, value);
        box->setChecked(value != 0);
    }
    WeatherCode = ReadText("WeatherCode");
    TDegree = ReadText("TDegree");
    RSS_Url = ReadText("RSS_Url");
    Settings.ReadRKey("UseProxy", value);
    Form->CheckBox1Proxy->setChecked(value != 0);
    Proxy = ReadText("Proxy");
    Port = ReadText("Port");
}

void TForm2::StoreDefaults()
{
    Form->FD_BRIGHT->SetValue(256);
    Form->FD_SOUND->SetValue(200);
    Settings.WriteRKey("Brightness", Form->FD_BRIGHT->GetValue());
    Settings.WriteRKey("SoundVolume", Form->FD_SOUND->GetValue());
    for (const char* name : {"ShowTime", "ShowWeather", "ShowNews", "ShowBlack"})
        Settings.WriteRKey(name, 0);
    WeatherCode = "20001";
    TDegree = "f";
    WriteText("WeatherCode", WeatherCode);
    WriteText("TDegree", TDegree);
    RSS_Url = QString::fromLatin1(DefaultRssUrl());
    WriteText("RSS_Url", RSS_Url);
    Settings.WriteRKey("UseProxy", 0);
    WriteText("Proxy", Proxy);
    WriteText("Port", Port);
    for (QCheckBox* box : {Form->CheckBox2time, Form->CheckBox2weather, Form->CheckBox2news})
        box->setChecked(false);
    Form->CheckBox1transp->setChecked(true);
}

void TForm2::BTOKClick()
{
    try {
        Settings.WriteRKey("Brightness", Form->FD_BRIGHT->GetValue());
        Settings.WriteRKey("SoundVolume", Form->FD_SOUND->GetValue());
        Settings.WriteRKey("ShowTime", Ticked(Form->CheckBox2time));
        Settings.WriteRKey("ShowWeather", Ticked(Form->CheckBox2weather));
        Settings.WriteRKey("ShowNews", Ticked(Form->CheckBox2news));
        Settings.WriteRKey("ShowBlack", 1 - Ticked(Form->CheckBox1transp));
        WriteText("WeatherCode", WeatherCode);
        WriteText("TDegree", TDegree);
        WriteText("RSS_Url", RSS_Url);
        Settings.WriteRKey("UseProxy", Ticked(Form->CheckBox1Proxy));
        WriteText("Proxy", Form->Edit1ProxyServer->text());
        WriteText("Port", Form->Edit2Port->text());
    } catch (const std::exception& e) {
        // A value that could not be stored is not the end of the dialog; the user is told.
        ReportError(QString::fromLatin1(e.what()));
    }
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

QString TForm2::ReadText(const char* Name) const
{
    std::string text;
    Settings.ReadAKey(Name, text);
    return QString::fromLatin1(text);
}

void TForm2::WriteText(const char* Name, const QString& Value) const
{
    Settings.WriteAKey(Name, Value.toLatin1().toStdString());
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
    if (OnClosed)
        OnClosed();
}

bool TForm2::eventFilter(QObject* Watched, QEvent* Event)
{
    if (Watched == Form->Label5 && Event->type() == QEvent::MouseButtonRelease)
        Label5Click();
    return QWidget::eventFilter(Watched, Event);
}
