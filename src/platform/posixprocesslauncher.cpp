#include "platform/posixprocesslauncher.h"

#include "platform/filenames.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QProcess>
#include <QStandardPaths>

#include <algorithm>
#include <spawn.h>
#include <sys/wait.h>

using namespace Qt::StringLiterals;

extern char **environ;

namespace {

// How many earlier programs each launch looks at, so a long-running batch of programs
// costs each launch a bounded amount.
constexpr std::size_t kReapPerLaunch = 8;

// posix_spawn's attributes and file actions, released on every path.
class SpawnSettings {
public:
    SpawnSettings()
    {
        posix_spawnattr_init(&attributes);
        posix_spawn_file_actions_init(&actions);
    }
    ~SpawnSettings()
    {
        posix_spawnattr_destroy(&attributes);
        posix_spawn_file_actions_destroy(&actions);
    }
    SpawnSettings(const SpawnSettings &) = delete;
    SpawnSettings &operator=(const SpawnSettings &) = delete;
    posix_spawnattr_t attributes;
    posix_spawn_file_actions_t actions;
};

} // namespace

PosixProcessLauncher::PosixProcessLauncher(QString workingFolder, QObject *parent)
    : QObject(parent)
    , m_workingFolder(std::move(workingFolder))
{
    m_reaper.setInterval(1000);
    connect(&m_reaper, &QTimer::timeout, this, &PosixProcessLauncher::reapAll);
}

PosixProcessLauncher::~PosixProcessLauncher()
{
    reapAll(); // those still running are taken over by the system when the program ends
}

Result<> PosixProcessLauncher::canStart(const QString &commandLine)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        return Result<>::failure(u"コマンドラインが空です"_s);
    }
    const QString &program = words.first();
    if (!program.contains(u'/')) {
        if (QStandardPaths::findExecutable(program).isEmpty()) {
            return Result<>::failure(u"プログラム %1 が見つかりません"_s.arg(program));
        }
        return Result<>::success();
    }
    const QFileInfo info(QDir(m_workingFolder), program);
    if (!info.exists()) {
        return Result<>::failure(u"プログラム %1 が見つかりません"_s.arg(program));
    }
    if (!info.isFile() || !info.isExecutable()) {
        return Result<>::failure(u"プログラム %1 は実行できません"_s.arg(program));
    }
    return Result<>::success();
}

Result<qint64> PosixProcessLauncher::launch(const QString &commandLine, const LaunchEnvironment &environment)
{
    const QStringList words = QProcess::splitCommand(commandLine);
    if (words.isEmpty()) {
        return Result<qint64>::failure(u"コマンドラインが空です"_s);
    }
    reapSome(kReapPerLaunch);

    std::vector<QByteArray> encoded;
    encoded.reserve(std::size_t(words.size()));
    for (const QString &word : words) {
        encoded.push_back(QFile::encodeName(word));
    }
    std::vector<char *> argv;
    for (QByteArray &word : encoded) {
        argv.push_back(word.data());
    }
    argv.push_back(nullptr);
    const QByteArray folder = QFile::encodeName(m_workingFolder);

    // The inherited environment, less the names given, then the given ones. Values are bytes
    // as file names are (FileNames), so a path with any bytes reaches the program unchanged.
    std::vector<QByteArray> added;
    for (const auto &[name, value] : environment) {
        added.push_back(name.toUtf8() + '=' + FileNames::encode(value));
    }
    std::vector<char *> envp;
    for (char **entry = environ; *entry; ++entry) {
        const QByteArrayView text(*entry);
        const bool replaced = std::any_of(environment.begin(), environment.end(), [&](const auto &variable) {
            const QByteArray prefix = variable.first.toUtf8() + '=';
            return text.startsWith(prefix);
        });
        if (!replaced) {
            envp.push_back(*entry);
        }
    }
    for (QByteArray &variable : added) {
        envp.push_back(variable.data());
    }
    envp.push_back(nullptr);

    SpawnSettings settings;
    posix_spawnattr_setflags(&settings.attributes, POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    sigset_t mask;
    sigemptyset(&mask);
    posix_spawnattr_setsigmask(&settings.attributes, &mask);
    sigfillset(&mask);
    posix_spawnattr_setsigdefault(&settings.attributes, &mask);
    posix_spawn_file_actions_addchdir_np(&settings.actions, folder.constData());
    posix_spawn_file_actions_addclosefrom_np(&settings.actions, 3);

    pid_t pid = 0;
    const int error = ::posix_spawnp(&pid, argv[0], &settings.actions, &settings.attributes, argv.data(), envp.data());
    if (error != 0) {
        return Result<qint64>::failure(u"%1: %2"_s.arg(words.first(), systemErrorText(error)));
    }
    m_running.push_back(pid);
    if (!m_reaper.isActive()) {
        m_reaper.start();
    }
    return qint64(pid);
}

void PosixProcessLauncher::reapSome(std::size_t budget)
{
    for (std::size_t looked = 0; looked < budget && !m_running.empty(); ++looked) {
        m_nextToReap %= m_running.size();
        if (::waitpid(m_running[m_nextToReap], nullptr, WNOHANG) != 0) {
            m_running[m_nextToReap] = m_running.back(); // ended (or not ours any more)
            m_running.pop_back();
        } else {
            ++m_nextToReap;
        }
    }
}

void PosixProcessLauncher::reapAll()
{
    reapSome(m_running.size());
    if (m_running.empty()) {
        m_reaper.stop();
    }
}
