#include "platform/filenames.h"

using namespace Qt::StringLiterals;

namespace FileNames {

namespace {

// The length of the valid UTF-8 sequence at the start of bytes, or 0 (RFC 3629: no overlong
// forms, no surrogates, nothing above U+10FFFF).
int validSequence(QByteArrayView bytes, char32_t *codePoint)
{
    const auto byte = [&](qsizetype i) { return static_cast<unsigned char>(bytes[i]); };
    const unsigned char lead = byte(0);
    if (lead < 0x80) {
        *codePoint = lead;
        return 1;
    }
    int length = 0;
    char32_t value = 0;
    char32_t minimum = 0;
    if (lead >= 0xC2 && lead <= 0xDF) {
        length = 2;
        value = lead & 0x1F;
        minimum = 0x80;
    } else if (lead >= 0xE0 && lead <= 0xEF) {
        length = 3;
        value = lead & 0x0F;
        minimum = 0x800;
    } else if (lead >= 0xF0 && lead <= 0xF4) {
        length = 4;
        value = lead & 0x07;
        minimum = 0x10000;
    } else {
        return 0;
    }
    if (bytes.size() < length) {
        return 0;
    }
    for (int i = 1; i < length; ++i) {
        if ((byte(i) & 0xC0) != 0x80) {
            return 0;
        }
        value = (value << 6) | (byte(i) & 0x3F);
    }
    if (value < minimum || value > 0x10FFFF || (value >= 0xD800 && value <= 0xDFFF)) {
        return 0;
    }
    *codePoint = value;
    return length;
}

} // namespace

bool isEscapedByteAt(const QString &name, qsizetype i)
{
    const char16_t unit = name[i].unicode();
    return unit >= 0xDC80 && unit <= 0xDCFF && !(i > 0 && name[i - 1].isHighSurrogate());
}

QString decode(QByteArrayView bytes)
{
    QString name;
    name.reserve(bytes.size());
    for (qsizetype i = 0; i < bytes.size();) {
        char32_t codePoint = 0;
        if (const int length = validSequence(bytes.sliced(i), &codePoint)) {
            // Appended by hand: QString::fromUcs4 would take a U+FEFF for a byte-order mark and drop it.
            if (QChar::requiresSurrogates(codePoint)) {
                name.append(QChar(QChar::highSurrogate(codePoint)));
                name.append(QChar(QChar::lowSurrogate(codePoint)));
            } else {
                name.append(QChar(char16_t(codePoint)));
            }
            i += length;
        } else {
            name.append(QChar(char16_t(0xDC00 + static_cast<unsigned char>(bytes[i]))));
            ++i;
        }
    }
    return name;
}

QByteArray encode(const QString &name)
{
    QByteArray bytes;
    bytes.reserve(name.size());
    qsizetype runStart = 0;
    const auto flushRun = [&](qsizetype end) { bytes.append(name.sliced(runStart, end - runStart).toUtf8()); };
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (isEscapedByteAt(name, i)) {
            flushRun(i);
            bytes.append(char(name[i].unicode() - 0xDC00));
            runStart = i + 1;
        }
    }
    flushRun(name.size());
    return bytes;
}

QString printable(const QString &name)
{
    const auto escaped
        = [](unsigned value) { return u"\\x"_s + QString::number(value, 16).toUpper().rightJustified(2, u'0'); };
    QString shown;
    for (qsizetype i = 0; i < name.size(); ++i) {
        const QChar c = name[i];
        if (isEscapedByteAt(name, i)) {
            shown += escaped(c.unicode() - 0xDC00u);
        } else if (c.unicode() < 0x20 || c.unicode() == 0x7F) {
            shown += escaped(c.unicode());
        } else {
            shown += c;
        }
    }
    return shown;
}

} // namespace FileNames
