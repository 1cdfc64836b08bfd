#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

// The configuration file's code page (Japanese Windows ANSI, code page 932).
namespace Cp932 {

// The bytes of text; refused when a character has no exact form in the code page. Checked by
// a round trip, so look-alike mappings (such as the yen sign) are refused too.
[[nodiscard]] Result<QByteArray> encode(const QString &text);

// Decodes bytes; a byte that starts no valid character becomes U+FFFD.
[[nodiscard]] QString decode(const QByteArray &bytes);

// Whether a byte opens a two-byte character.
[[nodiscard]] constexpr bool isLeadByte(unsigned char byte)
{
    return (byte >= 0x81 && byte <= 0x9F) || (byte >= 0xE0 && byte <= 0xFC);
}

// The longest prefix of bytes of at most maxBytes that does not split a two-byte character.
[[nodiscard]] QByteArray truncated(const QByteArray &bytes, qsizetype maxBytes);

} // namespace Cp932
