#include "platform/wildcard.h"

#include "platform/filenames.h"

#include <QDir>

namespace {

bool isAscii(QByteArrayView bytes)
{
    for (char c : bytes) {
        if (static_cast<unsigned char>(c) >= 0x80) {
            return false;
        }
    }
    return true;
}

char asciiFolded(char c)
{
    return (c >= 'A' && c <= 'Z') ? char(c - 'A' + 'a') : c;
}

// The text's characters as code points, case-folded. A lone surrogate (an escaped byte of a
// name) stays itself, so it stays apart from every character a pattern can hold.
std::u32string foldedCodePoints(const QString &text)
{
    std::u32string points;
    points.reserve(std::size_t(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t unit = text[i].unicode();
        if (QChar::isHighSurrogate(unit) && i + 1 < text.size() && text[i + 1].isLowSurrogate()) {
            points.push_back(QChar::toCaseFolded(QChar::surrogateToUcs4(unit, text[i + 1].unicode())));
            ++i;
        } else if (QChar::isSurrogate(unit)) {
            points.push_back(unit);
        } else {
            points.push_back(QChar::toCaseFolded(char32_t(unit)));
        }
    }
    return points;
}

// Greedy match with one remembered star: linear for the usual patterns. same(p, n) tells
// whether pattern character p, neither "*" nor "?", matches name character n.
template <typename Text, typename Same> bool wildcardMatch(const Text &pattern, const Text &name, Same same)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    const auto patternSize = qsizetype(pattern.size());
    const auto nameSize = qsizetype(name.size());
    while (n < nameSize) {
        if (p < patternSize && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < patternSize && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < patternSize && pattern[p] == '*') {
        ++p;
    }
    return p == patternSize;
}

} // namespace

WildcardPattern::WildcardPattern(const QString &pattern)
    : m_folded(foldedCodePoints(pattern))
{
    m_matchesAll = pattern == QLatin1String("*.*");
    m_matchesNothing = pattern.contains(u'/') || pattern.contains(QDir::separator());
    const QByteArray utf8 = pattern.toUtf8();
    if (isAscii(utf8)) {
        m_asciiFolded.reserve(utf8.size());
        for (char c : utf8) {
            m_asciiFolded.append(asciiFolded(c));
        }
    } else {
        m_asciiOnly = false;
    }
}

bool WildcardPattern::matches(const QString &name) const
{
    if (m_matchesNothing) {
        return false;
    }
    if (m_matchesAll) {
        return true;
    }
    // A byte that was not valid UTF-8 is one character that only "*" and "?" match.
    return wildcardMatch(m_folded, foldedCodePoints(name),
                         [](char32_t p, char32_t n) { return p == n && !(n >= 0xDC80 && n <= 0xDCFF); });
}

bool WildcardPattern::matchesUtf8(QByteArrayView name) const
{
    if (m_matchesNothing) {
        return false;
    }
    if (m_matchesAll) {
        return true;
    }
    if (!m_asciiOnly || !isAscii(name)) {
        return matches(FileNames::decode(name));
    }
    return wildcardMatch(QByteArrayView(m_asciiFolded), name, [](char p, char n) { return p == asciiFolded(n); });
}
