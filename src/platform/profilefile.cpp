#include "platform/profilefile.h"

#include "platform/cp932.h"

#include <QFile>
#include <QFileInfo>
#include <QSaveFile>

#include <vector>

using namespace Qt::StringLiterals;

namespace {

const QByteArray kUtf8Bom("\xEF\xBB\xBF");
const QByteArray kCrLf("\r\n");

bool isBlank(char c)
{
    return c == ' ' || c == '\t';
}

QByteArrayView trimmedBlanks(QByteArrayView bytes)
{
    qsizetype begin = 0;
    qsizetype end = bytes.size();
    while (begin < end && isBlank(bytes[begin])) {
        ++begin;
    }
    while (end > begin && isBlank(bytes[end - 1])) {
        --end;
    }
    return bytes.sliced(begin, end - begin);
}

bool sameName(const QString &a, const QString &b)
{
    return a.compare(b, Qt::CaseInsensitive) == 0;
}

// One line of the file: where it lies, and what it is. Blanks, "=" and the brackets are
// single bytes in both encodings and never the second byte of a character, so the line
// is split on its bytes and only names and values are decoded.
struct Line {
    enum class Kind { Other, Section, Key };
    qsizetype begin = 0;
    qsizetype end = 0; // before the line end
    qsizetype next = 0; // after the line end
    Kind kind = Kind::Other;
    QByteArrayView name; // section name, or key as spelled in the file
    QByteArrayView value; // after "=", blanks trimmed
};

std::vector<Line> splitLines(const QByteArray &content)
{
    std::vector<Line> lines;
    qsizetype pos = ProfileText::isUtf8(content) ? kUtf8Bom.size() : 0;
    while (pos < content.size()) {
        Line line;
        line.begin = pos;
        qsizetype end = pos;
        while (end < content.size() && content[end] != '\r' && content[end] != '\n') {
            ++end;
        }
        line.end = end;
        if (end < content.size()) {
            end += (content[end] == '\r' && end + 1 < content.size() && content[end + 1] == '\n') ? 2 : 1;
        }
        line.next = end;

        const QByteArrayView text = trimmedBlanks(QByteArrayView(content).sliced(line.begin, line.end - line.begin));
        const qsizetype close = text.indexOf(']');
        const qsizetype equals = text.indexOf('=');
        if (text.startsWith('[') && close > 0) {
            line.kind = Line::Kind::Section;
            line.name = trimmedBlanks(text.sliced(1, close - 1));
        } else if (equals >= 0) {
            line.kind = Line::Kind::Key;
            line.name = trimmedBlanks(text.first(equals));
            QByteArrayView value = text.sliced(equals + 1);
            const qsizetype nul = value.indexOf('\0');
            if (nul >= 0) {
                value = value.first(nul);
            }
            line.value = trimmedBlanks(value);
        }
        lines.push_back(line);
        pos = line.next;
    }
    return lines;
}

QString decoded(const QByteArray &content, QByteArrayView bytes)
{
    return ProfileText::isUtf8(content) ? QString::fromUtf8(bytes) : Cp932::decode(bytes.toByteArray());
}

Result<QByteArray> encoded(const QByteArray &content, const QString &text)
{
    if (ProfileText::isUtf8(content)) {
        return text.toUtf8();
    }
    return Cp932::encode(text);
}

QByteArray encodedOr(const QByteArray &content, const QString &text)
{
    const Result<QByteArray> bytes = encoded(content, text);
    return bytes ? bytes.value() : text.toUtf8();
}

// Indexes of the first section named section and of its lines: [first, last).
struct SectionRange {
    qsizetype header = -1;
    qsizetype last = -1;
};

SectionRange findSection(const QByteArray &content, const std::vector<Line> &lines, const QString &section)
{
    SectionRange range;
    for (qsizetype i = 0; i < qsizetype(lines.size()); ++i) {
        if (lines[i].kind != Line::Kind::Section) {
            continue;
        }
        if (range.header >= 0) {
            range.last = i;
            return range;
        }
        if (sameName(decoded(content, lines[i].name), section)) {
            range.header = i;
        }
    }
    range.last = qsizetype(lines.size());
    return range;
}

qsizetype findKey(const QByteArray &content, const std::vector<Line> &lines, SectionRange range, const QString &key)
{
    for (qsizetype i = range.header + 1; i < range.last; ++i) {
        if (lines[i].kind == Line::Kind::Key && sameName(decoded(content, lines[i].name), key)) {
            return i;
        }
    }
    return -1;
}

QString unquoted(const QString &value)
{
    if (value.size() >= 2 && value.front() == value.back() && (value.front() == u'"' || value.front() == u'\'')) {
        return value.mid(1, value.size() - 2);
    }
    return value;
}

} // namespace

namespace ProfileText {

bool isUtf8(const QByteArray &content)
{
    return content.startsWith(kUtf8Bom);
}

std::optional<QString> findValue(const QByteArray &content, const QString &section, const QString &key)
{
    const auto lines = splitLines(content);
    const SectionRange range = findSection(content, lines, section);
    if (range.header < 0) {
        return std::nullopt;
    }
    const qsizetype index = findKey(content, lines, range, key);
    if (index < 0) {
        return std::nullopt;
    }
    return unquoted(decoded(content, lines[index].value));
}

QByteArray withValue(const QByteArray &content, const QString &section, const QString &key,
                     const QByteArray &encodedValue)
{
    const auto lines = splitLines(content);
    const SectionRange range = findSection(content, lines, section);
    const QByteArray keyBytes = encodedOr(content, key);

    if (range.header >= 0) {
        const qsizetype index = findKey(content, lines, range, key);
        if (index >= 0) {
            const Line &line = lines[index];
            if (line.value == encodedValue) {
                return content;
            }
            QByteArray result = content.left(line.begin);
            result += line.name.toByteArray() + '=' + encodedValue;
            result += content.mid(line.end);
            return result;
        }
        // A new key goes after the last key line of its section, or right after the header.
        qsizetype after = range.header;
        for (qsizetype i = range.header + 1; i < range.last; ++i) {
            if (lines[i].kind == Line::Kind::Key) {
                after = i;
            }
        }
        const Line &anchor = lines[after];
        QByteArray result = content.left(anchor.next);
        if (anchor.next == anchor.end) {
            result += kCrLf;
        }
        result += keyBytes + '=' + encodedValue + kCrLf;
        result += content.mid(anchor.next);
        return result;
    }

    QByteArray result = content;
    if (!lines.empty() && lines.back().next == lines.back().end) {
        result += kCrLf;
    }
    result += '[' + encodedOr(content, section) + ']' + kCrLf;
    result += keyBytes + '=' + encodedValue + kCrLf;
    return result;
}

} // namespace ProfileText

Result<QString> IniProfileFile::getString(const QString &path, const QString &section, const QString &key,
                                          const QString &defaultValue, int bufferBytes)
{
    using Read = Result<QString>;
    QString value = defaultValue;
    QFile file(path);
    if (file.exists()) {
        if (QFileInfo(path).isDir()) {
            return Read::failure(u"フォルダです"_s);
        }
        if (!file.open(QIODevice::ReadOnly)) {
            return Read::failure(file.errorString());
        }
        const QByteArray content = file.readAll();
        if (file.error() != QFileDevice::NoError) {
            return Read::failure(file.errorString());
        }
        value = ProfileText::findValue(content, section, key).value_or(defaultValue);
    }

    // The caller's buffer holds bufferBytes bytes of code page 932, the last for the NUL.
    const Result<QByteArray> bytes = Cp932::encode(value);
    if (!bytes) {
        return Read::failure(u"%1 の値にコードページ 932 の文字でないものがあります"_s.arg(key));
    }
    return Cp932::decode(Cp932::truncated(bytes.value(), bufferBytes - 1));
}

Result<> IniProfileFile::writeString(const QString &path, const QString &section, const QString &key,
                                     const QString &value)
{
    QByteArray content;
    QFile existing(path);
    if (existing.exists()) {
        if (!existing.open(QIODevice::ReadOnly)) {
            return Result<>::failure(existing.errorString());
        }
        content = existing.readAll();
        existing.close();
    }

    // A section or key name the file's code page cannot hold would be written as other bytes,
    // and read back as another name: refused like such a value.
    for (const QString &text : {section, key, value}) {
        if (!encoded(content, text)) {
            return Result<>::failure(u"「%1」はコードページ 932 で表せない文字を含みます"_s.arg(text));
        }
    }
    const Result<QByteArray> encodedValue = encoded(content, value);
    const QByteArray updated = ProfileText::withValue(content, section, key, encodedValue.value());
    if (existing.exists() && updated == content) {
        return Result<>::success();
    }

    // Written beside the file and renamed over it, so a failed write never leaves half a file.
    QSaveFile file(path);
    file.setDirectWriteFallback(false);
    if (!file.open(QIODevice::WriteOnly) || file.write(updated) != updated.size() || !file.commit()) {
        return Result<>::failure(file.errorString());
    }
    return Result<>::success();
}
