#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

// File names are bytes on Linux and need not be valid UTF-8 (a Latin-1 name, a code page 932
// name from a Windows share). In memory a name is a QString in which each byte that is not
// part of a valid UTF-8 sequence is kept as one character U+DC80 + byte - 0x80 (a lone
// surrogate, which valid text never holds), so that encoding it gives back the same bytes.
namespace FileNames {

[[nodiscard]] QString decode(QByteArrayView bytes);
[[nodiscard]] QByteArray encode(const QString &name);

// Whether name[i] stands for a byte that was not valid UTF-8: a lone surrogate in the escape
// range, not the second half of a character outside the BMP.
[[nodiscard]] bool isEscapedByteAt(const QString &name, qsizetype i);

// The name as a report shows it: an escaped byte and a control character as \xNN.
[[nodiscard]] QString printable(const QString &name);

} // namespace FileNames
