// The text cutters the feed readers and the settings dialog read feeds with: plain byte searches
// between fixed markers, no XML parsing and no character-set conversion.
//
// CutBetween works on views into the caller's text, so a reader that walks a feed cut by cut
// (each remainder fed to the next cut) touches every byte a bounded number of times: linear in
// the feed's size. The views stay valid as long as the text they were cut from.
#pragma once

#include <string>
#include <string_view>

// The end signal of CutBetween; callers compare remainders with it.
inline constexpr std::string_view kCutEnd = "FIN";

// Finds Start in Source (case-sensitive), then End after it. Found: Value becomes the text between
// them and the result is the rest from End's second character on (after a cut ending at
// "</title>" it begins with "/title>"). Either marker missing: "FIN", Value unchanged.
std::string_view CutBetween(std::string_view Source, std::string_view Start, std::string_view End,
                            std::string_view& Value);

// In this order, every occurrence, left to right: the UTF-8 right single quotation mark and
// "&amp;#39;" become "'", "<![CDATA[" and "]]>" are dropped.
std::string CleanCData(std::string_view Text);

// The longest entity name; a name is letters, digits and "#".
inline constexpr size_t kMaxEntityName = 32;
bool IsEntityName(std::string_view Name);

// Every "&name;" replaced (the feed table, then numeric references and HTML 4's named entities
// as UTF-8; any other name stays as written), then every byte below 32 becomes a blank. An "&"
// not followed by an entity name and ";" is a plain "&".
std::string DecodeEntities(std::string_view Text);

// A name of the entity table or HTML 4 (or a numeric reference) appended as its character;
// false, with nothing appended, for any other name.
bool AppendEntity(std::string& Out, std::string_view Name);

// The longest start of Text of at most MaxBytes bytes that does not end inside a UTF-8 sequence.
std::string_view Utf8Prefix(std::string_view Text, size_t MaxBytes);

// Text with every byte that belongs to no well-formed UTF-8 sequence (RFC 3629: no overlong
// forms, no surrogates, nothing beyond U+10FFFF) replaced by U+FFFD.
std::string WellFormedUtf8(std::string_view Text);
