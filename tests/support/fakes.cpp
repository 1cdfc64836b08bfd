#include "support/fakes.h"

using namespace Qt::StringLiterals;

Result<QString> FakeProfileFile::getString(const QString &path, const QString &section, const QString &key,
                                           const QString &defaultValue, int bufferBytes)
{
    if (readFailures.contains(key)) {
        return Result<QString>::failure(readFailures.value(key));
    }
    return m_real.getString(path, section, key, defaultValue, bufferBytes);
}

Result<> FakeProfileFile::writeString(const QString &path, const QString &section, const QString &key,
                                      const QString &value)
{
    if (!writeFailure.isEmpty()) {
        return Result<>::failure(writeFailure);
    }
    return m_real.writeString(path, section, key, value);
}

QStringList FakeFileSystem::listPlainFiles(const QString &folder, const QString &pattern)
{
    if (m_log) {
        m_log->append(u"list %1"_s.arg(pattern));
    }
    return m_real.listPlainFiles(folder, pattern);
}

Result<MoveOutcome> FakeFileSystem::moveFile(const QString &source, const QString &destination,
                                             const SettleRule &settle)
{
    settleRules.append(settle);
    if (beforeMove) {
        beforeMove(source);
    }
    const QString name = source.section(u'/', -1); // as it stands: names need not be valid text
    if (moveFailures.contains(name)) {
        return Result<MoveOutcome>::failure(moveFailures.value(name));
    }
    if (stillBeingWritten.contains(name)) {
        return MoveOutcome::Waiting;
    }
    const Result<MoveOutcome> result = m_real.moveFile(source, destination, settle);
    if (m_log && result && result.value() == MoveOutcome::Moved) {
        m_log->append(u"move %1"_s.arg(name));
    }
    return result;
}

Result<> FakeProcessLauncher::canStart(const QString &commandLine)
{
    if (commandLine.trimmed().isEmpty()) {
        return Result<>::failure(u"empty command line"_s);
    }
    if (problems.contains(commandLine)) {
        return Result<>::failure(problems.value(commandLine));
    }
    return Result<>::success();
}

Result<qint64> FakeProcessLauncher::launch(const QString &commandLine, const LaunchEnvironment &environment)
{
    if (launchFailures.contains(commandLine)) {
        return Result<qint64>::failure(launchFailures.value(commandLine));
    }
    launched.append(commandLine);
    environments.append(environment);
    if (m_log) {
        m_log->append(u"launch %1"_s.arg(commandLine));
    }
    return qint64(10000 + launched.size());
}
