// The code page 932 conversion: what encode accepts decodes back to the same text, and any
// bytes decode without harm.

#include "platform/cp932.h"

#include <cstdint>
#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    const QByteArray bytes(reinterpret_cast<const char *>(data), qsizetype(size));
    const QString decoded = Cp932::decode(bytes);
    for (const QString &text : {decoded, QString::fromUtf8(bytes)}) {
        if (const Result<QByteArray> encoded = Cp932::encode(text); encoded) {
            if (Cp932::decode(encoded.value()) != text) {
                std::abort();
            }
            const QByteArray cut = Cp932::truncated(encoded.value(), 127);
            if (cut.size() > 127 || Cp932::decode(cut).contains(QChar::ReplacementCharacter)) {
                std::abort();
            }
        }
    }
    return 0;
}
