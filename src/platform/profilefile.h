#pragma once

#include <QByteArray>
#include <QString>

#include <optional>

// What one read of a profile value gave: the value, or the reason (without the path) it could not be read.
struct ProfileRead {
    QString value;
    QString error;
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// The reason a write was refused or failed; empty when the file holds the value.
struct ProfileWrite {
    QString error;
    [[nodiscard]] bool ok() const { return error.isEmpty(); }
};

// A profile (INI) file read and written as the home platform's profile functions do.
class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // The value of key in section, cut to bufferBytes - 1 bytes of code page 932;
    // defaultValue (cut the same way) when the file, section or key is missing.
    [[nodiscard]] virtual ProfileRead getString(const QString &path, const QString &section, const QString &key,
                                                const QString &defaultValue, int bufferBytes) = 0;
    // Sets key in section, creating file, section or key as needed.
    [[nodiscard]] virtual ProfileWrite writeString(const QString &path, const QString &section, const QString &key,
                                                   const QString &value) = 0;
};

// Profile files on disk: code page 932, or UTF-8 when the file starts with a byte-order mark.
class IniProfileFile final : public ProfileFile {
public:
    ProfileRead getString(const QString &path, const QString &section, const QString &key,
                          const QString &defaultValue, int bufferBytes) override;
    ProfileWrite writeString(const QString &path, const QString &section, const QString &key,
                             const QString &value) override;
};

// The file's text rules, on the file's bytes.
namespace ProfileText {

// The value of key in the first section named section, blanks and one pair of
// enclosing quotes removed; nothing when the section or the key is missing.
[[nodiscard]] std::optional<QString> findValue(const QByteArray &content, const QString &section, const QString &key);

// content with key set to the already encoded value; every other line stays byte for byte,
// and content comes back unchanged when the key already holds that value.
[[nodiscard]] QByteArray withValue(const QByteArray &content, const QString &section, const QString &key,
                                   const QByteArray &encodedValue);

// Whether the file's text is UTF-8 (it starts with a byte-order mark) rather than code page 932.
[[nodiscard]] bool isUtf8(const QByteArray &content);

} // namespace ProfileText
