#include "support/fakes.h"

#include <QFileInfo>

ProfileRead FakeProfileFile::getString(const QString &path, const QString &section, const QString &key,
                                       const QString &defaultValue, int bufferBytes)
{
    if (readFailures.contains(key)) {
        return {{}, readFailures.value(key)};
    }
    return m_real.getString(path, section, key, defaultValue, bufferBytes);
}

ProfileWrite FakeProfileFile::writeString(const QString &path, const QString &section, const QString &key,
                                          const QString &value)
{
    if (!writeFailure.isEmpty()) {
        return {writeFailure};
    }
    return m_real.writeString(path, section, key, value);
}

QStringList FakeFileSystem::listPlainFiles(const QString &folder, const QString &pattern)
{
    if (m_log) {
        m_log->append(QStringLiteral("list %1").arg(pattern));
    }
    return m_real.listPlainFiles(folder, pattern);
}

MoveResult FakeFileSystem::moveFile(const QString &source, const QString &destination)
{
    if (beforeMove) {
        beforeMove(source);
    }
    const QString name = QFileInfo(source).fileName();
    if (moveFailures.contains(name)) {
        return {MoveResult::Outcome::Failed, moveFailures.value(name)};
    }
    const MoveResult result = m_real.moveFile(source, destination);
    if (m_log && result.outcome == MoveResult::Outcome::Moved) {
        m_log->append(QStringLiteral("move %1").arg(name));
    }
    return result;
}

QString FakeProcessLauncher::problemWith(const QString &commandLine)
{
    if (commandLine.trimmed().isEmpty()) {
        return QStringLiteral("empty command line");
    }
    return problems.value(commandLine);
}

QString FakeProcessLauncher::launch(const QString &commandLine)
{
    if (launchFailures.contains(commandLine)) {
        return launchFailures.value(commandLine);
    }
    launched.append(commandLine);
    if (m_log) {
        m_log->append(QStringLiteral("launch %1").arg(commandLine));
    }
    return {};
}
