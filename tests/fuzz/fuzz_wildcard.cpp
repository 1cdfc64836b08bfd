// The wildcard matcher against a reference built on QRegularExpression, on arbitrary patterns
// and name bytes.

#include "fuzzinput.h"
#include "platform/filenames.h"
#include "platform/wildcard.h"

#include <QRegularExpression>

#include <cstdlib>

using namespace Qt::StringLiterals;

namespace {

// Code points of plane 16 stand in the reference for the bytes of a name that are not UTF-8.
constexpr char32_t kStandIn = 0x100000;

bool usesStandIns(const QString &text)
{
    for (const char32_t c : text.toUcs4()) {
        if (c >= kStandIn) {
            return true;
        }
    }
    return false;
}

// The pattern as a regular expression that cannot backtrack without end: the text before the
// first star is anchored at the start, the text after the last star at the end, and each run
// between two stars is found at its earliest place and kept (an atomic group), which is where a
// wildcard match may always take it.
QString referenceExpression(const QString &pattern)
{
    const auto piece = [](const QString &run) {
        QString expression;
        for (const char32_t c : run.toUcs4()) {
            expression += c == '?' ? u"."_s : QRegularExpression::escape(QStringView(QChar::fromUcs4(c)).toString());
        }
        return expression;
    };
    const QStringList runs = pattern.toCaseFolded().split(u'*');
    if (runs.size() == 1) {
        return u"\\A"_s + piece(runs[0]) + u"\\z"_s;
    }
    QString expression = u"\\A"_s + piece(runs.first());
    for (qsizetype i = 1; i + 1 < runs.size(); ++i) {
        if (!runs[i].isEmpty()) {
            expression += u"(?>.*?"_s + piece(runs[i]) + u')';
        }
    }
    return expression + u".*"_s + piece(runs.last()) + u"\\z"_s;
}

bool referenceMatch(const QString &pattern, const QString &name)
{
    if (pattern.contains(u'/')) {
        return false;
    }
    if (pattern == QLatin1String("*.*")) {
        return true;
    }
    QString subject;
    for (qsizetype i = 0; i < name.size(); ++i) {
        if (FileNames::isEscapedByteAt(name, i)) {
            const char32_t standIn = kStandIn + name[i].unicode();
            subject += QString::fromUcs4(&standIn, 1);
        } else {
            subject += name[i];
        }
    }
    const QRegularExpression regex(referenceExpression(pattern), QRegularExpression::DotMatchesEverythingOption);
    if (!regex.isValid()) {
        std::abort();
    }
    return regex.match(subject.toCaseFolded()).hasMatch();
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t *data, std::size_t size)
{
    FuzzInput input(data, size);
    const QString pattern = QString::fromUtf8(input.field());
    const QByteArray nameBytes = input.rest().left(255);
    const QString name = FileNames::decode(nameBytes);
    if (usesStandIns(pattern) || usesStandIns(name) || pattern.contains(QChar(0))) {
        return 0;
    }
    const WildcardPattern wildcard(pattern);
    const bool expected = referenceMatch(pattern, name);
    if (wildcard.matches(name) != expected || wildcard.matchesUtf8(nameBytes) != expected) {
        std::abort();
    }
    if (FileNames::encode(name) != nameBytes) {
        std::abort();
    }
    return 0;
}
