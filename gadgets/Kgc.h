// TKGC, the clock gadget: a still-image sprite whose picture is the clock's background plate,
// placed by the scene at the right end of the gadget panel and drawn with the inherited
// DrawImage. The clock text is drawn over that plate once the clock's own drawing exists.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "sprites/Kim.h"

class TKGC : public TKIM {
public:
    explicit TKGC(TComponent* AOwner) : TKIM(AOwner) {}
    ~TKGC() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGC"; }
};
