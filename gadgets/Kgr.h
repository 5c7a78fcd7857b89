// TKGR, the news ticker gadget: a still-image sprite whose picture is the ticker's background,
// placed by the scene in the gadget panel and drawn with the inherited DrawImage. The channel
// title and the creeping line are drawn over that plate once the ticker's own drawing exists.
//
// The setters run on the UI thread (the news reader) while frames read the texts on the frame
// thread.
//
// It answers its own class name, so the host's close and restore walk, which matches "TKIM"
// exactly, does not take it for a plain still image; that is also why the gadget gives its
// surface back itself when it is destroyed.
#pragma once

#include "sprites/Kim.h"

#include <mutex>
#include <string>

class TKGR : public TKIM {
public:
    explicit TKGR(TComponent* AOwner) : TKIM(AOwner) {}
    ~TKGR() override { CloseDXImage(); }
    const char* ClassName() const override { return "TKGR"; }

    void SetRssLine(const std::string& Text) { Store(FRssLine, Text); }
    std::string GetRssLine() const { return Load(FRssLine); }
    void SetNameNews(const std::string& Text) { Store(FNameNews, Text); }
    std::string GetNameNews() const { return Load(FNameNews); }

private:
    void Store(std::string& Field, const std::string& Text)
    {
        std::lock_guard<std::mutex> Lock(FTextLock);
        if (Field != Text)
            Field = Text;
    }
    std::string Load(const std::string& Field) const
    {
        std::lock_guard<std::mutex> Lock(FTextLock);
        return Field;
    }

    mutable std::mutex FTextLock;
    std::string FRssLine = "*** Not Available Now ***";
    std::string FNameNews;
};
