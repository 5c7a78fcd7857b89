// TKGW, the weather gadget: a still-image sprite whose picture is the weather panel's background,
// placed by the scene in the gadget panel and drawn with the inherited DrawImage. Its condition
// icons come from a separate strip sprite, `WeatherPicVCL`, which the scene prepares and hands it;
// the gadget draws the icons and texts over its plate once its own drawing exists.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "sprites/Kim.h"

class TKMV;

class TKGW : public TKIM {
public:
    explicit TKGW(TComponent* AOwner) : TKIM(AOwner) {}
    ~TKGW() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGW"; }

    // The strip of weather condition icons (one 52 x 52 frame per condition code); borrowed.
    void SetWeatherPicVCL(TKMV* Icons) { FWeatherPicVCL = Icons; }
    TKMV* GetWeatherPicVCL() const { return FWeatherPicVCL; }

private:
    TKMV* FWeatherPicVCL = nullptr;
};
