// An address is cut where the feed client cuts it: after "//" the host runs to the next "/", and
// without "//" the first segment is the host. A port after the host's last colon stays as it is.
#include "config/AddressForm.h"

#include "config/ScreenText.h"

#include <QUrl>
#include <QValidator>

namespace {

constexpr int kMaxPort = 65535;
constexpr char kHex[] = "0123456789ABCDEF";

struct TAddressParts {
    QString Head;  // the scheme and "//", or nothing
    QString Host;
    QString Tail;  // the port, the path and the query
};

TAddressParts Split(const QString& Address)
{
    TAddressParts parts;
    qsizetype start = 0;
    if (const qsizetype slashes = Address.indexOf(QLatin1StringView("//")); slashes >= 0)
        start = slashes + 2;
    else if (Address.startsWith(u'/'))
        return {{}, {}, Address};
    qsizetype end = Address.indexOf(u'/', start);
    if (end < 0)
        end = Address.size();
    qsizetype port = Address.lastIndexOf(u':', end - 1);
    if (port < start || Address.indexOf(u']', start) > port)
        port = end;
    return {Address.left(start), Address.mid(start, port - start), Address.mid(port)};
}

bool IsAscii(const QString& Text)
{
    for (QChar c : Text)
        if (c.unicode() > 0x7F)
            return false;
    return true;
}

bool BareInAddress(unsigned char Byte)
{
    return Byte > 0x20 && Byte < 0x7F && Byte != '"' && Byte != '<' && Byte != '>' && Byte != '`' && Byte != '{' &&
        Byte != '}';
}

std::string PercentEncoded(const QString& Text)
{
    std::string out;
    for (const char c : Text.toUtf8()) {
        const auto byte = static_cast<unsigned char>(c);
        if (BareInAddress(byte)) {
            out += c;
        } else {
            out += '%';
            out += kHex[byte >> 4];
            out += kHex[byte & 0xF];
        }
    }
    return out;
}

int HexValue(QChar C)
{
    const char16_t u = C.unicode();
    return u >= '0' && u <= '9' ? u - '0' : u >= 'A' && u <= 'F' ? u - 'A' + 10 : -1;
}

bool IsEscape(const QString& Text, qsizetype At)
{
    return At + 2 < Text.size() && Text[At] == u'%' && HexValue(Text[At + 1]) >= 0 && HexValue(Text[At + 2]) >= 0;
}

bool IsShownLetter(QChar C)
{
    const QChar::Direction direction = C.direction();
    return C.unicode() >= 0xA0 && C != QChar::ReplacementCharacter && C.isPrint() && direction != QChar::DirLRO &&
        direction != QChar::DirRLO && direction != QChar::DirLRE && direction != QChar::DirRLE;
}

// The letter outside ASCII that the UTF-8 escapes at At spell, and how many escapes that takes;
// 0 when they spell none.
int EscapedLetter(const QString& Text, qsizetype At, QString& Letter)
{
    QByteArray bytes;
    for (int count = 0; count < 4 && IsEscape(Text, At + 3 * count); ++count) {
        bytes += static_cast<char>(HexValue(Text[At + 3 * count + 1]) * 16 + HexValue(Text[At + 3 * count + 2]));
        const auto lead = static_cast<unsigned char>(bytes[0]);
        const int length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 0;
        if (bytes.size() < length)
            continue;
        // Letters beyond the first plane (two UTF-16 units) stay escaped.
        Letter = QString::fromUtf8(bytes);
        return length > 0 && Letter.size() == 1 && IsShownLetter(Letter[0]) ? length : 0;
    }
    return 0;
}

// Decodes the escapes that spell letters outside ASCII; every other escape stays as it is.
QString DecodedLetters(const QString& Text)
{
    QString out;
    for (qsizetype i = 0; i < Text.size();) {
        QString letter;
        if (const int escapes = EscapedLetter(Text, i, letter); escapes > 0) {
            out += letter;
            i += 3 * escapes;
        } else {
            out += Text[i++];
        }
    }
    return out;
}

QString ReadableHostPart(const QString& Host)
{
    return Host.contains(QLatin1StringView("xn--"), Qt::CaseInsensitive)
        ? QUrl::fromAce(Host.toLatin1(), QUrl::IgnoreIDNWhitelist)
        : Host;
}

std::string StoredHostPart(const QString& Host)
{
    if (IsAscii(Host))
        return Host.toStdString();
    const QByteArray ace = QUrl::toAce(Host, QUrl::IgnoreIDNWhitelist);
    // A name no IDNA form exists for cannot be looked up either way; it is kept readable.
    return ace.isEmpty() ? PercentEncoded(Host) : ace.toStdString();
}

}  // namespace

std::string StoredAddress(const QString& Typed)
{
    const TAddressParts parts = Split(Typed.trimmed());
    return PercentEncoded(parts.Head) + StoredHostPart(parts.Host) + PercentEncoded(parts.Tail);
}

QString ReadableAddress(std::string_view Stored)
{
    const QString text = ScreenText(Stored);
    const TAddressParts parts = Split(text);
    const QString readable = parts.Head + ReadableHostPart(parts.Host) + DecodedLetters(parts.Tail);
    return StoredAddress(readable) == Stored ? readable : text;
}

std::string StoredHost(const QString& Typed)
{
    const QString host = Typed.trimmed();
    if (IsAscii(host))
        return host.toStdString();
    const QByteArray ace = QUrl::toAce(host, QUrl::IgnoreIDNWhitelist);
    return ace.isEmpty() ? host.toStdString() : ace.toStdString();
}

QString ReadableHost(std::string_view Stored)
{
    const QString text = ScreenText(Stored);
    const QString readable = ReadableHostPart(text);
    return StoredHost(readable) == Stored ? readable : text;
}

bool IsPortNumber(const QString& Text)
{
    bool ok = false;
    const int port = Text.toInt(&ok);
    return ok && port >= 1 && port <= kMaxPort && Text == QString::number(port);
}

namespace {

class TPortValidator : public QValidator {
public:
    using QValidator::QValidator;

    State validate(QString& Input, int&) const override
    {
        return Input.isEmpty() || IsPortNumber(Input) ? Acceptable : Invalid;
    }
};

}  // namespace

QValidator* NewPortValidator(QObject* Parent)
{
    return new TPortValidator(Parent);
}
