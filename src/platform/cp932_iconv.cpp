#include "platform/cp932.h"

#include <iconv.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

using namespace Qt::StringLiterals;

namespace {

// Runs iconv over the whole input. With lenient set, an invalid or cut-off sequence
// becomes U+FFFD (the target must be UTF-8) and conversion goes on one byte later.
std::optional<QByteArray> convert(const char *to, const char *from, const QByteArray &input, bool lenient)
{
    iconv_t cd = iconv_open(to, from);
    if (cd == reinterpret_cast<iconv_t>(-1)) {
        return std::nullopt;
    }
    QByteArray output;
    output.resize(input.size() * 3 + 16);
    char *in = const_cast<char *>(input.constData());
    size_t inLeft = static_cast<size_t>(input.size());
    char *out = output.data();
    size_t outLeft = static_cast<size_t>(output.size());
    bool ok = true;
    while (inLeft > 0) {
        if (iconv(cd, &in, &inLeft, &out, &outLeft) != static_cast<size_t>(-1)) {
            break;
        }
        if (errno == E2BIG) {
            const auto used = out - output.data();
            output.resize(output.size() * 2);
            out = output.data() + used;
            outLeft = static_cast<size_t>(output.size() - used);
            continue;
        }
        if (!lenient) {
            ok = false;
            break;
        }
        static const char replacement[] = "\xEF\xBF\xBD";
        if (outLeft < 3) {
            const auto used = out - output.data();
            output.resize(output.size() + 16);
            out = output.data() + used;
            outLeft = static_cast<size_t>(output.size() - used);
        }
        std::memcpy(out, replacement, 3);
        out += 3;
        outLeft -= 3;
        ++in;
        --inLeft;
    }
    iconv_close(cd);
    if (!ok) {
        return std::nullopt;
    }
    output.resize(out - output.data());
    return output;
}

} // namespace

namespace Cp932 {

Result<QByteArray> encode(const QString &text)
{
    auto bytes = convert("CP932", "UTF-8", text.toUtf8(), false);
    if (!bytes || decode(*bytes) != text) {
        return Result<QByteArray>::failure(u"「%1」にはコードページ 932 で表せない文字があります"_s.arg(text));
    }
    return *bytes;
}

QString decode(const QByteArray &bytes)
{
    const auto utf8 = convert("UTF-8", "CP932", bytes, true);
    return utf8 ? QString::fromUtf8(*utf8) : QString();
}

QByteArray truncated(const QByteArray &bytes, qsizetype maxBytes)
{
    qsizetype end = 0;
    while (end < bytes.size()) {
        const qsizetype width = isLeadByte(static_cast<unsigned char>(bytes[end])) ? 2 : 1;
        if (end + width > maxBytes) {
            break;
        }
        end += width;
    }
    return bytes.left(std::min(end, bytes.size()));
}

} // namespace Cp932
