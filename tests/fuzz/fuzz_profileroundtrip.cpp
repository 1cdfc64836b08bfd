// Write, then read, on an arbitrary starting file: the value written is the value read, and
// every other section's and key's value stays as it was.

#include "fuzzinput.h"
#include "platform/cp932.h"
#include "platform/profilefile.h"

#include <QFile>
#include <QTemporaryDir>

#include <cstdlib>

namespace {

// The (section, key) pairs the file's lines name, as a reader would find them.
QList<std::pair<QString, QString>> namedKeys(const QByteArray &content)
{
    QList<std::pair<QString, QString>> keys;
    QString section;
    for (QByteArray line : content.split('\n')) {
        line = line.trimmed();
        if (line.startsWith('[') && line.contains(']')) {
            section = QString::fromUtf8(line.mid(1, line.indexOf(']') - 1)).trimmed();
        } else if (const qsizetype equals = line.indexOf('='); equals > 0) {
            keys.append({section, QString::fromUtf8(line.left(equals)).trimmed()});
        }
    }
    return keys;
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const QString section = QString::fromUtf8(input.field()).trimmed();
    const QString key = QString::fromUtf8(input.field()).trimmed();
    const QString value = QString::fromUtf8(input.field()).trimmed();
    const QByteArray content = input.rest();
    // A value is read back as written only when the reader keeps it whole: no line break or
    // NUL, no enclosing quotes, no more than the buffer holds, and a name the file can hold.
    const auto plain = [](const QString &text) {
        return !text.contains(u'\n') && !text.contains(u'\r') && !text.contains(QChar(0)) && !text.contains(u'[')
            && !text.contains(u']') && !text.contains(u'=') && !text.contains(u';') && !text.startsWith(u'#');
    };
    const Result<QByteArray> encoded = Cp932::encode(value);
    if (section.isEmpty() || key.isEmpty() || !plain(section) || !plain(key) || !plain(value) || !encoded
        || encoded.value().size() > 127 || value.startsWith(u'"') || value.startsWith(u'\'')) {
        return 0;
    }

    static QTemporaryDir dir;
    static const QString path = dir.filePath(QStringLiteral("Fenlow.ini"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly) || file.write(content) != content.size()) {
        std::abort();
    }
    file.close();

    IniProfileFile profile;
    QList<std::pair<std::pair<QString, QString>, Result<QString>>> before;
    for (const auto &[otherSection, otherKey] : namedKeys(content)) {
        if (!sameName(otherSection, section) || !sameName(otherKey, key)) {
            before.append({{otherSection, otherKey}, profile.getString(path, otherSection, otherKey, {}, 128)});
        }
    }
    if (!profile.writeString(path, section, key, value)) {
        return 0; // refused (a value the file's code page cannot hold): nothing to read back
    }
    const Result<QString> read = profile.getString(path, section, key, QStringLiteral("<missing>"), 128);
    if (!read || read.value() != value) {
        std::abort();
    }
    for (const auto &[name, earlier] : before) {
        const Result<QString> now = profile.getString(path, name.first, name.second, {}, 128);
        if (earlier.ok() != now.ok() || (earlier && earlier.value() != now.value())) {
            std::abort();
        }
    }
    return 0;
}
