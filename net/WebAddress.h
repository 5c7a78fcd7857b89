// Web addresses as text: resolving a redirect's reference against the address asked, escaping a
// value for a query, and the rule for which links the saver hands to the desktop's opener.
//
// Plain byte work on "scheme://authority/path?query" texts, no character-set conversion.
#pragma once

#include <string>
#include <string_view>

// The scheme of an address: letters first, then letters, digits, "+-.", ended by the first ":"
// that comes before any "/", "?" or "#" ("/landing?t=12:00" and "feed.xml" have none); empty
// when there is none. As written, not lower-cased.
std::string_view SchemeOf(std::string_view Text);

// Reference resolved against the absolute address Base the way RFC 3986 (section 5.2) does it:
// an absolute reference stands as it is, "//host/p" takes Base's scheme, "/p", "p", "../p",
// "?q" and "" are taken relative to Base's path; dot segments are removed and a fragment is
// dropped (it is never sent).
std::string ResolveReference(std::string_view Base, std::string_view Reference);

// Value with every byte other than letters, digits and "-._~" written as "%XX", so that it stays
// one value of a query whatever it holds (a CR LF cannot split the request).
std::string PercentEncode(std::string_view Value);

// A request target (path and query) with every byte RFC 3986 allows in neither written as "%XX":
// blanks, quotes, "<>\\^`{|}[]", control bytes and bytes of 128 and above. An escape already there
// ("%20") stays; a "%" that starts none becomes "%25".
std::string EncodeTarget(std::string_view Target);

// The address to open for a link read from a feed: white space around it trimmed and "&amp;"
// decoded; empty unless it is then an absolute http or https address with a host and without
// blanks or control bytes. Local files, other schemes, options ("--help") and relative paths
// are never handed on.
std::string WebPageAddress(std::string_view Link);

// Opens WebPageAddress(Link) with the desktop's default handler; nothing (and false) when the
// link is not a web page's address.
bool OpenWebPage(std::string_view Link);
