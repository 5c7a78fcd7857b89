// TKGR, the news ticker gadget: a still-image sprite whose picture is the ticker's background,
// placed by the scene in the gadget panel and drawn with the inherited DrawImage. The channel
// title and the creeping line are drawn over that plate once the ticker's own drawing exists.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "sprites/Kim.h"

class TKGR : public TKIM {
public:
    explicit TKGR(TComponent* AOwner) : TKIM(AOwner) {}
    ~TKGR() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGR"; }
};
