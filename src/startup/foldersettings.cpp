#include "startup/foldersettings.h"

#include "platform/cp932.h"
#include "platform/filesystem.h"
#include "platform/profilefile.h"

using namespace Qt::StringLiterals;

namespace {

const QString kSection = u"Center"_s;
const QString kSearchKey = u"serch"_s;
const QString kWorkKey = u"remove"_s;
const QString kSettleKey = u"settle"_s;
constexpr int kSettleDefault = 2;
const QString kSearchDefault = u"C:\\Program File\\ZEZERU\\xxxxxx.attach"_s;
const QString kWorkDefault = u"C:\\remove"_s;
// The read buffer of the profile function, in bytes: at most 127 bytes of value and a NUL.
constexpr int kBufferBytes = 128;

// Spaces only, as the read always trimmed them; tabs were already dropped by the profile read.
QString trimmedSpaces(const QString &text)
{
    qsizetype begin = 0;
    qsizetype end = text.size();
    while (begin < end && text[begin] == u' ') {
        ++begin;
    }
    while (end > begin && text[end - 1] == u' ') {
        --end;
    }
    return text.mid(begin, end - begin);
}

} // namespace

QString configurationFilePath(const QString &programFolder)
{
    return joinPath(programFolder, u"Fenlow.ini"_s);
}

Result<> GetInitInfo(FolderSettings &settings, ProfileFile &profile, const QString &programFolder)
{
    const QString path = configurationFilePath(programFolder);
    // Each folder in turn, as the profile function reads them: one read that fails ends it.
    const std::pair<QString FolderSettings::*, std::pair<QString, QString>> folders[] = {
        {&FolderSettings::SearchFolder, {kSearchKey, kSearchDefault}},
        {&FolderSettings::WorkFolder, {kWorkKey, kWorkDefault}},
    };
    for (const auto &[field, keyAndDefault] : folders) {
        const Result<QString> read
            = profile.getString(path, kSection, keyAndDefault.first, keyAndDefault.second, kBufferBytes);
        if (!read) {
            return Result<>::failure(read.reason());
        }
        settings.*field = trimmedSpaces(read.value());
    }
    const Result<QString> settle = profile.getString(path, kSection, kSettleKey, {}, kBufferBytes);
    if (!settle) {
        return Result<>::failure(settle.reason());
    }
    bool whole = false;
    const int seconds = settle.value().trimmed().toInt(&whole);
    settings.settleSeconds = whole && seconds >= 0 ? seconds : kSettleDefault;
    return Result<>::success();
}

Result<> SaveInitInfo(const FolderSettings &settings, ProfileFile &profile, const QString &programFolder)
{
    // A folder written as "?" in place of a character would name another folder at the next
    // start, so neither key is written unless both values keep every character.
    for (const QString &folder : {settings.SearchFolder, settings.WorkFolder}) {
        if (const Result<QByteArray> encoded = Cp932::encode(folder); !encoded) {
            return Result<>::failure(encoded.reason());
        }
    }
    const QString path = configurationFilePath(programFolder);
    for (const auto &[key, folder] :
         {std::pair{kSearchKey, settings.SearchFolder}, std::pair{kWorkKey, settings.WorkFolder}}) {
        if (const Result<> written = profile.writeString(path, kSection, key, folder); !written) {
            return written;
        }
    }
    return Result<>::success();
}

QString configurationReadFailedMessage(const QString &path, const QString &reason)
{
    return u"設定ファイル %1 を読み込めません。\n%2"_s.arg(path, reason);
}

QString configurationWriteFailedMessage(const QString &path, const QString &reason)
{
    return u"設定ファイル %1 に書き込めません。\n%2"_s.arg(path, reason);
}
