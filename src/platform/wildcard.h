#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>

#include <string>

// A file-name pattern of the listing: "*" any run of characters, "?" exactly one (a code
// point), matched against the whole name without regard to case (simple case folding).
// "*.*" matches every name, and a pattern that holds a path separator matches nothing.
class WildcardPattern {
public:
    explicit WildcardPattern(const QString &pattern);

    [[nodiscard]] bool matches(const QString &name) const;
    // The same test on a name's bytes: quick for plain ASCII names, decoded (FileNames) otherwise.
    [[nodiscard]] bool matchesUtf8(QByteArrayView name) const;

private:
    std::u32string m_folded;
    QByteArray m_asciiFolded; // the folded pattern, when it is plain ASCII
    bool m_asciiOnly = true;
    bool m_matchesAll = false;
    bool m_matchesNothing = false;
};
