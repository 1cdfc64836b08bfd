#pragma once

#include "platform/result.h"

#include <QByteArray>
#include <QString>

#include <optional>

// A profile (INI) file read and written as the home platform's profile functions do.
class ProfileFile {
public:
    virtual ~ProfileFile() = default;
    // The value of key in section, cut to bufferBytes - 1 bytes of code page 932;
    // defaultValue (cut the same way) when the file, section or key is missing. A failure's
    // reason does not name the file.
    virtual Result<QString> getString(const QString &path, const QString &section, const QString &key,
                                      const QString &defaultValue, int bufferBytes)
        = 0;
    // Sets key in section, creating file, section or key as needed.
    virtual Result<> writeString(const QString &path, const QString &section, const QString &key, const QString &value)
        = 0;
};

// Profile files on disk: code page 932, or UTF-8 when the file starts with a byte-order mark.
class IniProfileFile final : public ProfileFile {
public:
    Result<QString> getString(const QString &path, const QString &section, const QString &key,
                              const QString &defaultValue, int bufferBytes) override;
    Result<> writeString(const QString &path, const QString &section, const QString &key,
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
