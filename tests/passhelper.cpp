// One Fenlow process for the tests that run several at once on one search folder: passes over
// the rules of DATABASE until the search folder has nothing left to move, noting each program
// start as a line in STARTS instead of starting it.
// Usage: fenlow_pass_helper DATABASE SEARCH WORK STARTS

#include "engine/dispatchpass.h"
#include "engine/rulestore.h"
#include "platform/clock.h"
#include "platform/posixfilesystem.h"
#include "platform/processlauncher.h"

#include <QCoreApplication>
#include <QFile>

#include <cstdio>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace {

class NotingLauncher final : public ProcessLauncher {
public:
    explicit NotingLauncher(QFile &starts)
        : m_starts(starts)
    {
    }
    Result<> canStart(const QString &) override { return Result<>::success(); }
    Result<qint64> launch(const QString &commandLine, const LaunchEnvironment &) override
    {
        m_starts.write(commandLine.toUtf8() + '\n');
        m_starts.flush();
        return qint64(::getpid());
    }

private:
    QFile &m_starts;
};

} // namespace

int main(int argc, char *argv[])
{
    QCoreApplication app(argc, argv);
    const QStringList args = app.arguments();
    if (args.size() != 5) {
        std::fprintf(stderr, "usage: fenlow_pass_helper DATABASE SEARCH WORK STARTS\n");
        return 2;
    }
    QFile starts(args[4]);
    if (!starts.open(QIODevice::Append)) {
        return 2;
    }
    RuleStore rules(args[1]);
    rules.Open();
    PosixFileSystem files;
    NotingLauncher launcher(starts);
    SystemClock clock;
    int failures = 0;
    for (int pass = 0; pass < 20 && !files.listPlainFiles(args[2], u"*"_s).isEmpty(); ++pass) {
        const PassReport report = runDispatchPass(rules, {args[2], args[3], files, launcher, clock, 0});
        failures += int(report.failures.size());
    }
    return failures == 0 ? 0 : 1;
}
