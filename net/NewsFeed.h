// The news feed: the channel's title and link and its item titles, read as text.
//
// The reply counts as a feed when its first "<?" opens the XML declaration or its first "<" is
// the "rss" root element. The channel title is the first "<title>" of the document, the link the
// first "<link>" after it, the items the "<item>" blocks after that; each item's title is the
// first "<title>" inside it (an item without one adds nothing). The title is cleaned and decoded
// once, the line of item titles twice (feeds that escape their entities twice), the link only
// cleaned. An Atom document (root element "feed", AtomFeed.h) gives the same three values.
// A failed fetch (a socket error or time-out, an error page, an empty address, a proxy port that
// is not a number) leaves the ticker and the link as they were.
//
// The ticker gets what it can show: whole item titles while the line stays within
// kMaxTickerLineBytes (64 KiB: some 1,000 titles, an hour and a half of creeping), and the
// channel title's first kMaxTickerTitleBytes, however large the feed.
//
// While RSS_Url is the default address, a fetch of it that yields no items goes on to the
// built-in directory's World channels in turn, until one does.
//
// Nothing here knows the saver window: the settings dialog checks a channel with
// FetchChannelTitle on its own client.
#pragma once

#include "net/FeedRequest.h"

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

class THttpClient;
class TNewsValues;

// The XML declaration, the "rss" root element or an Atom "feed" opens the document.
bool OpensAsFeed(std::string_view Body);

// The longest line of item titles and the longest channel title handed to the ticker, in bytes.
inline constexpr size_t kMaxTickerLineBytes = 64 * 1024;
inline constexpr size_t kMaxTickerTitleBytes = 1024;

// The ticker's line when the reply is not a feed.
inline constexpr const char* kNewsNotAvailable = "*** Not Available Now ***";

// Prepares HTTP1, gets RSS_Url (and the fallback channels, until Stopped says so) and reads the
// reply into News and NewsLink. Returns the text of the error that ended the fetch, else empty.
std::string FetchNews(THttpClient& HTTP1, const TFeedSettings& Settings, TNewsValues& News, std::string& NewsLink,
                      const std::function<bool()>& Stopped = {});
// Reads a reply body: NewsLink, then the ticker's NameNews and RssLine. Returns the number of
// items, -1 when the body is not a feed.
int ReadNews(std::string_view Body, TNewsValues& News, std::string& NewsLink);

// The cleaned and decoded channel title of a reply body, "Not Available" when it is not a feed.
std::string ReadChannelTitle(std::string_view Body);
// Gets Url with HTTP1 as prepared by the caller (PrepareFeedClient) and reads its channel title;
// a socket error or time-out gives "Not Available", with the client disconnected and aborted.
std::string FetchChannelTitle(THttpClient& HTTP1, const std::string& Url);
