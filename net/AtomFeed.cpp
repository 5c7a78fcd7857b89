#include "net/AtomFeed.h"

#include "net/TextCut.h"

namespace {

constexpr std::string_view kTagEnd = " \t\r\n/>";

struct TElement {
    bool Found = false;
    std::string_view Attributes;
    std::string_view Content;  // empty for "<link …/>"
    size_t End = std::string_view::npos;  // just past the element
};

// The first "<Name" in Text from From on whose name ends there (so "<title" is not "<titles").
size_t FindTag(std::string_view Text, std::string_view Name, size_t From = 0)
{
    const std::string open = "<" + std::string(Name);
    for (size_t at = Text.find(open, From); at != std::string_view::npos; at = Text.find(open, at + 1)) {
        const size_t next = at + open.size();
        if (next < Text.size() && kTagEnd.find(Text[next]) != std::string_view::npos)
            return at;
    }
    return std::string_view::npos;
}

TElement FindElement(std::string_view Text, std::string_view Name, size_t From = 0)
{
    TElement element;
    const size_t at = FindTag(Text, Name, From);
    const size_t close = at == std::string_view::npos ? at : Text.find('>', at);
    if (close == std::string_view::npos)
        return element;
    const size_t attributes = at + 1 + Name.size();
    element.Found = true;
    if (Text[close - 1] == '/') {
        element.Attributes = Text.substr(attributes, close - 1 - attributes);
        element.End = close + 1;
        return element;
    }
    element.Attributes = Text.substr(attributes, close - attributes);
    const std::string endTag = "</" + std::string(Name) + ">";
    const size_t end = Text.find(endTag, close + 1);
    element.Content = Text.substr(close + 1, end == std::string_view::npos ? std::string_view::npos : end - close - 1);
    element.End = end == std::string_view::npos ? Text.size() : end + endTag.size();
    return element;
}

// The value of Name="…" (or Name='…') among Attributes; empty when there is none.
std::string_view Attribute(std::string_view Attributes, std::string_view Name)
{
    for (size_t at = Attributes.find(Name); at != std::string_view::npos; at = Attributes.find(Name, at + 1)) {
        const size_t equals = at + Name.size();
        if ((at > 0 && kTagEnd.find(Attributes[at - 1]) == std::string_view::npos) || equals + 1 >= Attributes.size() ||
            Attributes[equals] != '=' || (Attributes[equals + 1] != '"' && Attributes[equals + 1] != '\''))
            continue;
        const size_t end = Attributes.find(Attributes[equals + 1], equals + 2);
        if (end != std::string_view::npos)
            return Attributes.substr(equals + 2, end - equals - 2);
    }
    return {};
}

std::string WithoutMarkup(std::string_view Text)
{
    std::string out;
    for (size_t at = Text.find('<'); at != std::string_view::npos; at = Text.find('<')) {
        const size_t close = Text.find('>', at);
        if (close == std::string_view::npos)
            break;
        out.append(Text.substr(0, at));
        Text.remove_prefix(close + 1);
    }
    out.append(Text);
    return out;
}

bool IsMarkup(const TElement& Title)
{
    const std::string_view type = Attribute(Title.Attributes, "type");
    return type == "html" || type == "xhtml";
}

// A marked-up title as text: entities decoded, then tags removed.
std::string TitleText(const TElement& Title)
{
    const std::string text = CleanCData(Title.Content);
    return IsMarkup(Title) ? WithoutMarkup(DecodeEntities(text)) : text;
}

}  // namespace

std::string_view RootElement(std::string_view Body)
{
    for (size_t at = Body.find('<'); at != std::string_view::npos; at = Body.find('<', at + 1)) {
        if (at + 1 >= Body.size())
            return {};
        const char next = Body[at + 1];
        if (next == '?' || next == '!') {
            const std::string_view end = Body.substr(at, 4) == "<!--" ? "-->" : ">";
            at = Body.find(end, at);
            if (at == std::string_view::npos)
                return {};
            continue;
        }
        const size_t nameEnd = std::min(Body.find_first_of(kTagEnd, at + 1), Body.size());
        return Body.substr(at + 1, nameEnd - at - 1);
    }
    return {};
}

TAtomFeed ReadAtom(std::string_view Body, size_t MaxTitleBytes)
{
    size_t titleBytes = 0;
    TAtomFeed feed;
    const size_t firstEntry = FindTag(Body, "entry");
    const std::string_view head = Body.substr(0, firstEntry);
    if (const TElement title = FindElement(head, "title"); title.Found)
        feed.Title = IsMarkup(title) ? TitleText(title) : DecodeEntities(CleanCData(title.Content));
    for (TElement link = FindElement(head, "link"); link.Found; link = FindElement(head, "link", link.End)) {
        const std::string_view rel = Attribute(link.Attributes, "rel");
        if (rel.empty() || rel == "alternate") {
            feed.Link = CleanCData(Attribute(link.Attributes, "href"));
            break;
        }
    }
    for (size_t at = firstEntry; at != std::string_view::npos && titleBytes <= MaxTitleBytes;) {
        const TElement entry = FindElement(Body, "entry", at);
        if (!entry.Found)
            break;
        if (const TElement title = FindElement(entry.Content, "title"); title.Found) {
            feed.ItemTitles.push_back(TitleText(title));
            titleBytes += feed.ItemTitles.back().size();
        }
        at = entry.End;
    }
    return feed;
}
