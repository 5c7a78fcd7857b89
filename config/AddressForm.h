// The two forms of an address the user types into the dialog (the news channel, the proxy host):
// the stored form, which is what goes on the wire, and the readable form the dialog shows.
//
// Stored, an address is plain ASCII as a browser sends it: a host outside ASCII in its IDNA form
// ("xn--e1afmkfd.xn--p1ai"), the rest in UTF-8 with every byte outside printable ASCII, the blank
// and the characters that never stand bare in an address (" < > ` { }) percent-encoded. What is
// already ASCII is stored exactly as typed, escapes included. The readable form decodes only what
// the stored form encoded for letters outside ASCII, and only where encoding it again gives back
// the stored bytes exactly, so showing a stored address and saving it again never changes it.
#pragma once

#include <QString>

#include <string>
#include <string_view>

class QObject;
class QValidator;

std::string StoredAddress(const QString& Typed);
QString ReadableAddress(std::string_view Stored);

// A proxy host: a name (in IDNA form when it is not ASCII) or an address, without a path.
std::string StoredHost(const QString& Typed);
QString ReadableHost(std::string_view Stored);

// A port as the "Port" field takes it: a number from 1 to 65535 without leading zeros.
bool IsPortNumber(const QString& Text);
// The "Port" field's validator: it refuses any keystroke that leaves neither an empty field nor a
// beginning of such a number. Owned by Parent.
QValidator* NewPortValidator(QObject* Parent);
