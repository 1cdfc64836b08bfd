#include "startup/foldersettings.h"

#include "platform/cp932.h"
#include "platform/profilefile.h"
#include "platform/filesystem.h"

namespace {

const QString kSection = QStringLiteral("Center");
const QString kSearchKey = QStringLiteral("serch");
const QString kWorkKey = QStringLiteral("remove");
const QString kSearchDefault = QStringLiteral("C:\\Program File\\ZEZERU\\xxxxxx.attach");
const QString kWorkDefault = QStringLiteral("C:\\remove");
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
    return joinPath(programFolder, QStringLiteral("Fenlow.ini"));
}

bool GetInitInfo(FolderSettings &settings, ProfileFile &profile, const QString &programFolder, QString *error)
{
    const QString path = configurationFilePath(programFolder);
    const ProfileRead search = profile.getString(path, kSection, kSearchKey, kSearchDefault, kBufferBytes);
    if (!search.ok()) {
        if (error) {
            *error = search.error;
        }
        return false;
    }
    settings.SearchFolder = trimmedSpaces(search.value);

    const ProfileRead work = profile.getString(path, kSection, kWorkKey, kWorkDefault, kBufferBytes);
    if (!work.ok()) {
        if (error) {
            *error = work.error;
        }
        return false;
    }
    settings.WorkFolder = trimmedSpaces(work.value);
    return true;
}

SaveResult SaveInitInfo(const FolderSettings &settings, ProfileFile &profile, const QString &programFolder)
{
    // A folder written as "?" in place of a character would name another folder at the next
    // start, so neither key is written unless both values keep every character.
    for (const QString &folder : {settings.SearchFolder, settings.WorkFolder}) {
        if (!Cp932::encode(folder)) {
            return {QStringLiteral("「%1」にはコードページ 932 で表せない文字があります").arg(folder)};
        }
    }
    const QString path = configurationFilePath(programFolder);
    if (const ProfileWrite write = profile.writeString(path, kSection, kSearchKey, settings.SearchFolder);
        !write.ok()) {
        return {write.error};
    }
    if (const ProfileWrite write = profile.writeString(path, kSection, kWorkKey, settings.WorkFolder); !write.ok()) {
        return {write.error};
    }
    return {};
}

QString configurationReadFailedMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("設定ファイル %1 を読み込めません。\n%2").arg(path, reason);
}

QString configurationWriteFailedMessage(const QString &path, const QString &reason)
{
    return QStringLiteral("設定ファイル %1 に書き込めません。\n%2").arg(path, reason);
}
