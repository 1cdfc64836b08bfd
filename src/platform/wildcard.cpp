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

// Greedy match with one remembered star: linear for the usual patterns. same(p, n) tells
// whether pattern character p, neither "*" nor "?", matches name character n.
template <typename Text, typename Same> bool wildcardMatch(const Text &pattern, const Text &name, Same same)
{
    qsizetype p = 0;
    qsizetype n = 0;
    qsizetype starP = -1;
    qsizetype starN = 0;
    while (n < name.size()) {
        if (p < pattern.size() && pattern[p] == '*') {
            starP = p++;
            starN = n;
        } else if (p < pattern.size() && (pattern[p] == '?' || same(pattern[p], name[n]))) {
            ++p;
            ++n;
        } else if (starP >= 0) {
            p = starP + 1;
            n = ++starN;
        } else {
            return false;
        }
    }
    while (p < pattern.size() && pattern[p] == '*') {
        ++p;
    }
    return p == pattern.size();
}

} // namespace

WildcardPattern::WildcardPattern(const QString &pattern)
    : m_folded(pattern.toCaseFolded())
{
    m_matchesAll = pattern == QLatin1String("*.*");
    m_matchesNothing = pattern.contains(u'/') || pattern.contains(QDir::separator());
    const QByteArray utf8 = m_folded.toUtf8();
    if (isAscii(utf8)) {
        m_asciiFolded = utf8;
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
    return wildcardMatch(m_folded, name,
                         [](QChar p, QChar n) { return !FileNames::isEscapedByte(n) && p == n.toCaseFolded(); });
}

bool WildcardPattern::matchesUtf8(QByteArrayView name) const
{
    if (m_matchesNothing) {
        return false;
    }
    if (m_matchesAll) {
        return true;
    }
    if (m_asciiFolded.size() != m_folded.size() || !isAscii(name)) {
        return matches(FileNames::decode(name));
    }
    return wildcardMatch(QByteArrayView(m_asciiFolded), name, [](char p, char n) { return p == asciiFolded(n); });
}
