// The scene: sprite table, set-up order and per-frame drawing order.
#include "shell/Scene.h"

#include "assets/Resources.h"
#include "engine/Form.h"
#include "engine/Kss.h"
#include "gadgets/Kgc.h"
#include "gadgets/Kgr.h"
#include "gadgets/Kgw.h"
#include "platform/app/Application.h"
#include "platform/image/PictureDecoder.h"
#include "sprites/Kim.h"
#include "sprites/Kmv.h"
#include "sprites/SceneLayout.h"

#include <algorithm>
#include <atomic>
#include <cstring>
#include <system_error>
#include <thread>

using namespace layout;

namespace {

// The scene's pictures by resource name, in the order of the sprite table.
constexpr const char* kPictureNames[] = {
    "KIM1", "KMV1", "KMV2", "KMV3", "KMV3SG", "KMV3SGsmall", "KIM2GadgetPanel", "KGC1", "KGW1", "KMV3Weather", "KGR1",
};

int32_t Switch(int32_t Value)
{
    return Value != 0 ? 1 : 0;
}

}  // namespace

void AdvanceCycleFrames(int32_t& ShortCycleFrame, int32_t& LongCycleFrame)
{
    ShortCycleFrame += 1;
    if (ShortCycleFrame >= kShortCycleFrames)
        ShortCycleFrame = 0;
    LongCycleFrame += 1;
    if (LongCycleFrame >= kLongCycleFrames)
        LongCycleFrame = 0;
}

TGadgetPlacement PlaceGadgets(int32_t ShowTime, int32_t ShowWeather)
{
    // A switch stored as any other non-zero value would otherwise push the gadgets off-screen.
    const int32_t Time = Switch(ShowTime);
    const int32_t Weather = Switch(ShowWeather);
    const int32_t ClockX = kDesignWidth - kClockWidth;
    const int32_t WeatherX = ClockX + kClockWidth * (1 - Time) - kWeatherWidth;
    const int32_t NewsX = WeatherX + kWeatherWidth * (1 - Weather) - kTickerWidth + kTickerOverlap;
    return TGadgetPlacement{ClockX, WeatherX, NewsX};
}

std::vector<TScenePicture> DecodeScenePictures(unsigned Threads)
{
    std::vector<TScenePicture> Pictures;
    for (const char* Name : kPictureNames)
        Pictures.push_back(TScenePicture{Name, {}, {}});

    // Largest first, so that the long JPEG strips start at once on different cores and the
    // small pictures fill the gaps at the end.
    std::vector<size_t> Order(Pictures.size());
    for (size_t i = 0; i < Order.size(); ++i)
        Order[i] = i;
    std::stable_sort(Order.begin(), Order.end(), [](size_t A, size_t B) {
        return assets::FindResource(kPictureNames[A]).size() > assets::FindResource(kPictureNames[B]).size();
    });

    // Helpers take only JPEG pictures (the long strips): the bitmap decoder keeps per-thread
    // state in its library that a thread it did not start never gives back.
    auto IsJpeg = [](const char* Name) {
        const auto Bytes = assets::FindResource(Name);
        return Bytes.size() >= 2 && Bytes[0] == 0xFF && Bytes[1] == 0xD8;
    };
    std::atomic<size_t> Next{0};
    auto Claim = [&](bool Helper, size_t& k) {
        k = Next.load();
        do {
            if (k >= Order.size() || (Helper && !IsJpeg(kPictureNames[Order[k]])))
                return false;
        } while (!Next.compare_exchange_weak(k, k + 1));
        return true;
    };
    auto Work = [&](bool Helper) {
        for (size_t k; Claim(Helper, k);) {
            TScenePicture& Entry = Pictures[Order[k]];
            auto Result = plat::DecodePicture(assets::FindResource(Entry.Name), Entry.Name);
            Entry.Picture = std::move(Result.Image);
            Entry.Error = std::move(Result.Error);
        }
    };
    std::vector<std::thread> Helpers;
    for (unsigned t = 1; t < std::min<size_t>(Threads, Order.size()); ++t) {
        try {
            Helpers.emplace_back(Work, true);
        } catch (const std::system_error&) {
            break;  // no more threads: the ones running (and this one) share the rest
        }
    }
    Work(false);
    for (auto& Helper : Helpers)
        Helper.join();
    return Pictures;
}

TScene::TScene(TComponent* Form, TKss* Host, bool LoadNow)
    : FForm(Form), FHost(Host), FBand(ApplicationOf(Form).Fonts())
{
    plat::FontCache& Fonts = ApplicationOf(Form).Fonts();
    auto Child = [&](auto* Sprite) {
        Sprite->SetParent(Host);
        return Sprite;
    };
    KIM1 = Child(new TKIM(Form));
    KMV1 = Child(new TKMV(Form));
    KMV2 = Child(new TKMV(Form));
    KMV3 = Child(new TKMV(Form));
    KMV3SG = Child(new TKMV(Form));
    KMV3SGsmall = Child(new TKMV(Form));
    KIM2GadgetPanel = Child(new TKIM(Form));
    KGC1 = Child(new TKGC(Form, Fonts));
    KGW1 = Child(new TKGW(Form, Fonts));
    KMV3Weather = Child(new TKMV(Form));
    KGR1 = Child(new TKGR(Form, Fonts));
    KGW1->SetWeatherPicVCL(KMV3Weather);
    Host->OnSurfacesRestored = [this](TObject*) { RestoreGadgets(); };
    if (LoadNow)
        LoadPictures();
}

void TScene::LoadPictures(const std::vector<TScenePicture>* Decoded)
{
    if (FLoaded)
        return;
    FLoaded = true;
    TSpriteControl* const Sprites[] = {KIM1, KMV1, KMV2,        KMV3, KMV3SG, KMV3SGsmall, KIM2GadgetPanel,
                                       KGC1, KGW1, KMV3Weather, KGR1};
    static_assert(std::size(Sprites) == std::size(kPictureNames));
    std::vector<TScenePicture> Pictures;
    if (Decoded != nullptr) {
        for (const TScenePicture& Entry : *Decoded)
            Pictures.push_back(TScenePicture{Entry.Name, Entry.Picture.Copy(), Entry.Error});
    } else {
        Pictures = DecodeScenePictures(std::max(1u, std::thread::hardware_concurrency()));
    }
    for (size_t i = 0; i < Pictures.size(); ++i) {
        // A picture that cannot be decoded leaves its sprite empty; the scene draws the rest.
        if (!Pictures[i].Error.empty())
            Sprites[i]->SetErrorResult(Pictures[i].Error);
        // The JPEG pictures (all but a few megabytes of the scene's) are held by their sprites'
        // surfaces alone once cut; the small bitmaps stay, the flyer copies are made from one.
        if (Pictures[i].Picture.ClassName() == "TJPEGImage")
            Sprites[i]->SetPictureSource(assets::FindResource(Pictures[i].Name), Pictures[i].Name);
        Sprites[i]->SetPicture(std::move(Pictures[i].Picture));
    }
}

// The components, the run-time strips among them, belong to the window and go with it.
TScene::~TScene()
{
    FHost->OnSurfacesRestored = nullptr;
    FHost->SetOverlayPainter(nullptr);
}

void TScene::RestoreGadgets()
{
    // A gadget that is switched off has no surface and restores nothing.
    KGC1->RestoreSurface();
    KGW1->RestoreSurface();
    KGR1->RestoreSurface();
}

void TScene::PrepareStill(TKIM* Sprite, bool Stretching, bool Transparency, int32_t Width, int32_t Height, int32_t X,
                          int32_t Y)
{
    Sprite->SetStretching(Stretching);
    Sprite->SetShowX(X);
    Sprite->SetShowY(Y);
    Sprite->SetOriginalWidth(Width);
    Sprite->SetOriginalHeight(Height);
    Sprite->CreateDXImage();
    Sprite->SetTransparency(Transparency);
}

void TScene::PrepareMovie(TKMV* Sprite, bool Stretching, bool Transparency, bool UseSize, int32_t StretchWidth,
                          int32_t StretchHeight, int32_t FrameHeight, int32_t X, int32_t Y)
{
    Sprite->SetStretching(Stretching);
    Sprite->SetShowX(X);
    Sprite->SetShowY(Y);
    Sprite->SetYOffsetFrame(FrameHeight);
    if (UseSize) {
        Sprite->SetStretchWidth(StretchWidth);
        Sprite->SetStretchHeight(StretchHeight);
    }
    // A JPEG strip is cut from its decoded bitmap.
    if (Sprite->GetPicture().ClassName() == "TJPEGImage")
        Sprite->SetFDibBitmap(&Sprite->GetPicture());
    Sprite->CreateDXMovie();
    Sprite->SetTransparency(Transparency);
}

void TScene::PrepareStrip(TKMV* Sprite, const TStrip& Strip)
{
    PrepareMovie(Sprite, true, false, false, 0, 0, Strip.FrameHeight, Strip.X, Strip.Y);
}

void TScene::CopyMoviePicture(TKMV* Target, const TKMV* Source)
{
    Target->SetParent(FHost);
    Target->Left = 1;
    Target->Top = 1;
    Target->Width = 1;
    Target->Height = 1;
    // Taken as a bitmap, whatever kind of picture the source holds.
    const plat::Picture& From = Source->GetPicture();
    plat::Picture Copy(From.Width(), From.Height(), "TBitmap", plat::Picture::NoFill{});
    if (!From.Empty())
        std::memcpy(Copy.Pixels(), From.Pixels(),
                    static_cast<size_t>(From.Width()) * static_cast<size_t>(From.Height()) * sizeof(uint32_t));
    Target->SetPicture(std::move(Copy));
}

void TScene::Build()
{
    if (FBuilt)
        return;
    LoadPictures();
    PrepareBackdrop();
    PrepareGadgets();
    PrepareFlyers();
    PrepareLayers();
    FBuilt = true;
}

void TScene::PrepareBackdrop()
{
    PrepareStill(KIM1, true, false, kDesignWidth, kDesignHeight, 0, 0);
    PrepareStrip(KMV1, kNearStrip);
    PrepareStrip(KMV2, kMiddleStrip);
    PrepareStrip(KMV3, kHorizonStrip);
}

void TScene::PrepareGadgets()
{
    const int32_t ShowTime = FHost->GetShowTime();
    const int32_t ShowWeather = FHost->GetShowWeather();
    const int32_t ShowNews = FHost->GetShowNews();
    const TGadgetPlacement At = PlaceGadgets(ShowTime, ShowWeather);

    // The panel is glass (a softened copy of the scene behind it), or without "Transparency of
    // background" a solid band.
    if (FHost->GetShowBlack() != 0) {
        auto Solid = plat::DecodePicture(assets::FindResource("KIM2GadgetSolid"), "KIM2GadgetSolid");
        if (!Solid.Image.Empty())
            KIM2GadgetPanel->SetPicture(std::move(Solid.Image));
    }
    PrepareStill(KIM2GadgetPanel, true, false, kDesignWidth, kBandRows, 0, kPanelY);
    if (ShowTime != 0)
        PrepareStill(KGC1, true, true, kClockWidth, kPlateHeight, At.ClockX, kPanelY);
    if (ShowWeather != 0) {
        PrepareMovie(KMV3Weather, true, false, false, 0, 0, kWeatherIconSize, 0, 0);
        PrepareStill(KGW1, true, true, kWeatherWidth, kPlateHeight, At.WeatherX, kPanelY);
    }
    if (OnStartFeeds)
        OnStartFeeds(FForm);
    // The ticker is one pixel wider than the room its place leaves: it overlaps its right
    // neighbour by one pixel, or reaches one past the screen's right edge when alone.
    if (ShowNews != 0)
        PrepareStill(KGR1, true, true, kTickerWidth, kPlateHeight, At.NewsX, kPanelY);
}

void TScene::StartFlyer(int Index, std::span<const TFlyPoint> Path, int32_t FirstSegment, int32_t Steps)
{
    Flights[static_cast<size_t>(Index)] = std::make_unique<FlyMovies>();
    StartFlight(*Flights[static_cast<size_t>(Index)], Path, FirstSegment, Steps);
}

void TScene::PrepareFlyers()
{
    PrepareMovie(KMV3SG, true, true, false, 0, 0, kGullFrameHeight, kFlyerStart, kFlyerStart);
    StartFlyer(0, FlightPathA, 0, 35);

    PrepareMovie(KMV3SGsmall, true, true, false, 0, 0, kSmallGullFrameHeight, kFlyerStart, kFlyerStart);
    StartFlyer(1, FlightPathB, 0, 32);

    KMV3SGmini = new TKMV(FForm);
    CopyMoviePicture(KMV3SGmini, KMV3SGsmall);
    PrepareMovie(KMV3SGmini, true, true, true, kMiniGull.Width, kMiniGull.Height, kSmallGullFrameHeight, kFlyerStart,
                 kFlyerStart);
    StartFlyer(2, FlightPathB, 10, 36);

    KMV3SGtiny = new TKMV(FForm);
    CopyMoviePicture(KMV3SGtiny, KMV3SGsmall);
    PrepareMovie(KMV3SGtiny, true, true, true, kTinyGull.Width, kTinyGull.Height, kSmallGullFrameHeight, kFlyerStart,
                 kFlyerStart);
    StartFlyer(3, FlightPathC, 0, 50);
    FFlyers = {KMV3SGtiny, KMV3SGmini, KMV3SGsmall, KMV3SG};
}

void TScene::PrepareLayers()
{
    const int32_t ShowTime = Switch(FHost->GetShowTime());
    const int32_t ShowWeather = Switch(FHost->GetShowWeather());
    const int32_t ShowNews = Switch(FHost->GetShowNews());
    const bool AnyGadget = ShowTime + ShowWeather + ShowNews > 0;
    FHost->SetLayers(true, AnyGadget ? kBandRows : 0);
    const plat::FrameLayout Layout = FHost->GetLayout();
    FSurround.Build(Layout);
    if (!AnyGadget || Layout.Overlay.Empty())
        return;
    const TGadgetPlacement At = PlaceGadgets(ShowTime, ShowWeather);
    TBand::TGadgets Gadgets;
    Gadgets.Clock = ShowTime ? KGC1 : nullptr;
    Gadgets.Weather = ShowWeather ? KGW1 : nullptr;
    Gadgets.News = ShowNews ? KGR1 : nullptr;
    Gadgets.ClockX = At.ClockX, Gadgets.ClockWidth = kClockWidth;
    Gadgets.WeatherX = At.WeatherX, Gadgets.WeatherWidth = kWeatherWidth;
    Gadgets.NewsX = At.NewsX, Gadgets.NewsWidth = kTickerWidth;
    Gadgets.Glass = FHost->GetShowBlack() == 0;
    // The glass reaches as far beyond the frame on both sides.
    const auto Glass = plat::DecodePicture(assets::FindResource("BandGlass"), "BandGlass");
    const auto Icons = plat::DecodePicture(assets::FindResource("BandIcons"), "BandIcons");
    FBand.Build(Layout, Gadgets, Glass.Image, (Glass.Image.Width() - kDesignWidth) / 2, Icons.Image);
    FHost->SetOverlayPainter([this](uint32_t* Pixels, int Pitch) { FBand.Paint(Pixels, Pitch); });
}

void TScene::DrawFrame(int32_t& ShortCycleFrame, int32_t& LongCycleFrame)
{
    if (!FBuilt)
        return;
    AdvanceCycleFrames(ShortCycleFrame, LongCycleFrame);
    KIM1->DrawImage();
    KMV1->SetNumberFrame(ShortCycleFrame);
    KMV1->DrawMovie();
    KMV2->SetNumberFrame(ShortCycleFrame);
    KMV2->DrawMovie();
    KMV3->SetNumberFrame(LongCycleFrame);
    KMV3->DrawMovie();

    // The smaller flyers first, so that the larger ones pass in front of them.
    FlyStep(*KMV3SGtiny, *Flights[3]);
    FlyStep(*KMV3SGmini, *Flights[2]);
    FlyStep(*KMV3SGsmall, *Flights[1]);
    FlyStep(*KMV3SG, *Flights[0]);

    DrawGadgets();
    FSurround.Draw(FHost->GetPlanes(), ShortCycleFrame, LongCycleFrame, FFlyers);
}

void TScene::DrawGadgets()
{
    const int32_t ShowTime = Switch(FHost->GetShowTime());
    const int32_t ShowWeather = Switch(FHost->GetShowWeather());
    const int32_t ShowNews = Switch(FHost->GetShowNews());
    if (ShowWeather + ShowNews + ShowTime > 0)
        KIM2GadgetPanel->DrawImage();
    // Each gadget's own contents are drawn over its plate, right after it.
    if (ShowTime) {
        KGC1->DrawImage();
        KGC1->DrawGadgetClock();
    }
    if (ShowWeather) {
        KGW1->DrawImage();
        KGW1->DrawGadgetWeather();
    }
    if (ShowNews) {
        KGR1->DrawImage();
        KGR1->DrawRssNews();
    }
}
