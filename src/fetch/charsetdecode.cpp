#include "fetch/charsetdecode.h"
#include <QSysInfo>
#include <cerrno>
#include <iconv.h>

namespace sentrel {

namespace {

constexpr const char *hostUtf16 = QSysInfo::ByteOrder == QSysInfo::LittleEndian ? "UTF-16LE" : "UTF-16BE";

// A name straight from a server goes to iconv_open: only the characters of
// real charset names pass, so that no "//TRANSLIT"-style suffix or other
// converter option can be smuggled in.
bool isPlausibleName(QByteArrayView name)
{
    if (name.isEmpty() || name.size() > 64)
        return false;
    for (const char c : name) {
        const bool ok = (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') ||
                        c == '-' || c == '_' || c == '.' || c == ':' || c == '+' || c == '(' || c == ')';
        if (!ok)
            return false;
    }
    return true;
}

bool isOneOf(QByteArrayView name, std::initializer_list<const char *> names)
{
    for (const char *candidate : names) {
        if (name.compare(candidate, Qt::CaseInsensitive) == 0)
            return true;
    }
    return false;
}

class Converter {
public:
    explicit Converter(QByteArrayView charset)
    {
        if (isPlausibleName(charset))
            cd_ = iconv_open(hostUtf16, charset.toByteArray().constData());
    }
    ~Converter()
    {
        if (valid())
            iconv_close(cd_);
    }
    Converter(const Converter &) = delete;
    Converter &operator=(const Converter &) = delete;

    bool valid() const { return cd_ != reinterpret_cast<iconv_t>(-1); }
    QString convert(QByteArrayView bytes);

private:
    iconv_t cd_ = reinterpret_cast<iconv_t>(-1);
};

QString Converter::convert(QByteArrayView bytes)
{
    QString out;
    out.resize(bytes.size() + 16);
    auto *in = const_cast<char *>(bytes.data());
    auto inLeft = size_t(bytes.size());
    qsizetype used = 0; // code units written
    bool flushed = false;

    for (;;) {
        char *outPtr = reinterpret_cast<char *>(out.data() + used);
        size_t outLeft = size_t(out.size() - used) * 2;
        const size_t rc = inLeft > 0 ? iconv(cd_, &in, &inLeft, &outPtr, &outLeft)
                                     : iconv(cd_, nullptr, nullptr, &outPtr, &outLeft);
        const int err = errno;
        used = out.size() - qsizetype(outLeft / 2);
        if (rc != size_t(-1)) {
            if (inLeft == 0 && flushed)
                break;
            if (inLeft == 0)
                flushed = true;
            continue;
        }
        if (err == E2BIG) {
            out.resize(out.size() + out.size() / 2 + 16);
            continue;
        }
        // An invalid sequence (EILSEQ) costs one byte; an incomplete one at
        // the end (EINVAL) ends the text. Either becomes one U+FFFD.
        if (out.size() - used < 1)
            out.resize(out.size() + 16);
        out[used++] = QChar::ReplacementCharacter;
        if (err == EINVAL || inLeft <= 1) {
            inLeft = 0;
        } else {
            ++in;
            --inLeft;
        }
        iconv(cd_, nullptr, nullptr, nullptr, nullptr); // back to the initial shift state
    }
    out.resize(used);
    return out;
}

} // namespace

bool isKnownCharset(QByteArrayView charset)
{
    return Converter(charset.trimmed()).valid();
}

QString decodeCharset(QByteArrayView bytes, QByteArrayView charset)
{
    charset = charset.trimmed();
    if (isOneOf(charset, {"utf-8", "utf8"}))
        return QString::fromUtf8(bytes);
    if (isOneOf(charset, {"iso-8859-1", "iso8859-1", "iso_8859-1", "latin1", "l1"}))
        return QString::fromLatin1(bytes);
    Converter converter(charset);
    if (!converter.valid())
        return QString::fromLatin1(bytes);
    return converter.convert(bytes);
}

} // namespace sentrel
