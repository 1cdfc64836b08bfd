// The profile reader on arbitrary file bytes, section and key: it never fails on the file's
// text, and a value never holds more than 127 bytes of code page 932.

#include "fuzzinput.h"
#include "platform/cp932.h"
#include "platform/profilefile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("Fenlow.ini"));
    FuzzInput input(data, size);
    const QString section = QString::fromUtf8(input.field());
    const QString key = QString::fromUtf8(input.field());
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(input.rest()) != input.rest().size()) {
        std::abort();
    }
    file.close();

    IniProfileFile profile;
    const Result<QString> read = profile.getString(path, section, key, QStringLiteral("default"), 128);
    if (read) {
        const Result<QByteArray> bytes = Cp932::encode(read.value());
        if (bytes && bytes.value().size() > 127) {
            std::abort();
        }
    }
    return 0;
}
