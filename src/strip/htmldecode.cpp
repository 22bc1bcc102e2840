#include "strip/htmldecode.h"
#include "strip/htmlentities.h"
#include "text/error.h"
#include <array>
#include <cstdint>
#include <cstring>

namespace sentrel {

namespace {

constexpr bool nameStartBeyondAscii(char16_t c)
{
    return (c >= 0xC0 && c <= 0xD6) || (c >= 0xD8 && c <= 0xF6) || (c >= 0xF8 && c <= 0x2FF) ||
           (c >= 0x370 && c <= 0x37D) || (c >= 0x37F && c <= 0x1FFF) || c == 0x200C || c == 0x200D ||
           (c >= 0x2070 && c <= 0x218F) || (c >= 0x2C00 && c <= 0x2FEF) || (c >= 0x3001 && c <= 0xD7FF) ||
           (c >= 0xF900 && c <= 0xFDCF) || (c >= 0xFDF0 && c <= 0xFFFD);
}

constexpr bool nameCharBeyondAscii(char16_t c)
{
    return nameStartBeyondAscii(c) || c == 0xB7 || (c >= 0x300 && c <= 0x36F) || c == 0x203F || c == 0x2040;
}

// Bit 1: NameStartChar, bit 2: NameChar, for the ASCII range.
constexpr std::array<unsigned char, 128> makeAsciiNameTable()
{
    std::array<unsigned char, 128> table{};
    for (char16_t c = 0; c < 128; ++c) {
        const bool start = (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u':' || c == u'_';
        const bool name = start || c == u'-' || c == u'.' || (c >= u'0' && c <= u'9');
        table[c] = (start ? 1 : 0) | (name ? 2 : 0);
    }
    return table;
}
constexpr std::array<unsigned char, 128> kAsciiName = makeAsciiNameTable();

inline bool nameStart(char16_t c)
{
    return c < 0x80 ? (kAsciiName[c] & 1) != 0 : nameStartBeyondAscii(c);
}
inline bool nameChar(char16_t c)
{
    return c < 0x80 ? (kAsciiName[c] & 2) != 0 : nameCharBeyondAscii(c);
}

} // namespace

bool isXmlNameStartChar(char16_t c)
{
    return nameStart(c);
}
bool isXmlNameChar(char16_t c)
{
    return nameChar(c);
}

namespace {

// A reference needs "&", at least two more characters and ";".
constexpr qsizetype kShortestReference = 4;

bool isDecimalDigit(char16_t c)
{
    return c >= u'0' && c <= u'9';
}

int hexDigitValue(char16_t c)
{
    if (c >= u'0' && c <= u'9')
        return c - u'0';
    if (c >= u'a' && c <= u'f')
        return c - u'a' + 10;
    if (c >= u'A' && c <= u'F')
        return c - u'A' + 10;
    return -1;
}

[[noreturn]] void throwNotAnInteger(QStringView digitText)
{
    throw Error(QStringLiteral("'%1' is not a valid integer value").arg(digitText));
}

// Writes the character of a numeric reference; returns the number of code
// units written (1 or 2).
int writeCodePoint(uint32_t value, char16_t *out)
{
    if (value >= 0x10000 && value <= 0x10FFFF) {
        value -= 0x10000;
        out[0] = char16_t(0xD800 + (value >> 10));
        out[1] = char16_t(0xDC00 + (value & 0x3FF));
        return 2;
    }
    // A lone surrogate or a value beyond Unicode would leave the text
    // ill-formed for everything after it (UTF-8 output, regular expressions).
    if (value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF))
        value = 0xFFFD;
    out[0] = char16_t(value);
    return 1;
}

class Decoder {
public:
    Decoder(QStringView text, const UnknownEntitySink *onUnknown)
        : s_(text.utf16()), n_(text.size()), onUnknown_(onUnknown)
    {
    }

    QString run(QStringView text)
    {
        qsizetype amp = text.indexOf(u'&');
        if (amp < 0)
            return text.toString();
        // No reference is shorter than what it stands for, so the output fits.
        QString out(n_, Qt::Uninitialized);
        out_ = reinterpret_cast<char16_t *>(out.data());
        qsizetype pos = 0;
        while (amp >= 0) {
            copy(pos, amp);
            pos = reference(amp);
            amp = pos < n_ ? text.indexOf(u'&', pos) : -1;
        }
        copy(pos, n_);
        out.truncate(written_);
        return out;
    }

private:
    void copy(qsizetype from, qsizetype to)
    {
        if (to > from) {
            std::memcpy(out_ + written_, s_ + from, std::size_t(to - from) * sizeof(char16_t));
            written_ += to - from;
        }
    }

    // Decodes the reference at `amp` if there is one; returns where to go on.
    qsizetype reference(qsizetype amp)
    {
        if (n_ - amp >= kShortestReference) {
            if (const qsizetype next = numeric(amp); next > 0)
                return next;
            if (const qsizetype next = named(amp); next > 0)
                return next;
        }
        out_[written_++] = u'&';
        return amp + 1;
    }

    // "&#DIGITS;" or "&#xHEX;"; 0 when this is no numeric reference.
    qsizetype numeric(qsizetype amp)
    {
        if (s_[amp + 1] != u'#')
            return 0;
        const bool hex = s_[amp + 2] == u'x';
        const qsizetype first = amp + (hex ? 3 : 2);
        qsizetype end = first;
        if (hex) {
            while (end < n_ && hexDigitValue(s_[end]) >= 0)
                ++end;
        } else {
            while (end < n_ && isDecimalDigit(s_[end]))
                ++end;
        }
        if (end >= n_ || s_[end] != u';')
            return 0;
        const QStringView digits(s_ + first, end - first);
        const uint32_t value = hex ? hexValue(digits) : decimalValue(digits);
        written_ += writeCodePoint(value, out_ + written_);
        return end + 1;
    }

    // Any number of hexadecimal digits as long as the value fits 32 bits.
    static uint32_t hexValue(QStringView digits)
    {
        uint64_t value = 0;
        for (const QChar c : digits) {
            value = value * 16 + uint64_t(hexDigitValue(c.unicode()));
            if (value > 0xFFFFFFFFu)
                throwNotAnInteger(QStringLiteral("$%1").arg(digits));
        }
        if (digits.isEmpty())
            throwNotAnInteger(QStringLiteral("$"));
        return uint32_t(value);
    }

    // Decimal digits whose value fits a signed 32-bit integer.
    static uint32_t decimalValue(QStringView digits)
    {
        uint64_t value = 0;
        for (const QChar c : digits) {
            value = value * 10 + uint64_t(c.unicode() - u'0');
            if (value > 0x7FFFFFFFu)
                throwNotAnInteger(digits);
        }
        if (digits.isEmpty())
            throwNotAnInteger(digits);
        return uint32_t(value);
    }

    // "&name;"; 0 when there is no such reference or the name is unknown.
    qsizetype named(qsizetype amp)
    {
        const qsizetype first = amp + 1;
        if (!nameStart(s_[first]))
            return 0;
        qsizetype end = first + 1;
        while (end < n_ && nameChar(s_[end]))
            ++end;
        if (end >= n_ || s_[end] != u';')
            return 0;
        if (const auto character = lookupHtmlEntity(QStringView(s_ + first, end - first))) {
            out_[written_++] = *character;
            return end + 1;
        }
        if (onUnknown_ && *onUnknown_)
            (*onUnknown_)(QStringLiteral("HtmlDecode: Unknown HTML entity reference: \"%1\"")
                              .arg(QStringView(s_ + amp, end + 1 - amp)));
        return 0;
    }

    const char16_t *s_;
    qsizetype n_;
    const UnknownEntitySink *onUnknown_;
    char16_t *out_ = nullptr;
    qsizetype written_ = 0;
};

} // namespace

QString HtmlDecode(QStringView text)
{
    return Decoder(text, nullptr).run(text);
}

QString HtmlDecode(QStringView text, const UnknownEntitySink &onUnknown)
{
    return Decoder(text, &onUnknown).run(text);
}

} // namespace sentrel
