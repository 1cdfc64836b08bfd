#include "processlauncher.h"

#include <QDir>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

DetachedProcessLauncher::DetachedProcessLauncher(QString workingFolder)
    : m_workingFolder(std::move(workingFolder))
{
}

QString DetachedProcessLauncher::problemWith(const QString &commandLine)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        return QStringLiteral("コマンドラインが空です");
    }
    const QString &program = words.first();
    if (!program.contains(u'/')) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            return QStringLiteral("プログラム %1 が見つかりません").arg(program);
        }
        return {};
    }
    const QFileInfo info(QDir(m_workingFolder), program);
    if (!info.exists()) {
        return QStringLiteral("プログラム %1 が見つかりません").arg(program);
    }
    if (!info.isFile() || !info.isExecutable()) {
        return QStringLiteral("プログラム %1 は実行できません").arg(program);
    }
    return {};
}

QString DetachedProcessLauncher::launch(const QString &commandLine)
{
    QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        return QStringLiteral("コマンドラインが空です");
    }
    QProcess process;
    process.setProgram(words.takeFirst());
    process.setArguments(words);
    process.setWorkingDirectory(m_workingFolder);
    if (!process.startDetached()) {
        return process.errorString();
    }
    return {};
}
