#include "cli/fenlowctl.h"

#include "engine/dispatchpass.h"
#include "engine/history.h"
#include "engine/minuteclock.h"
#include "engine/ruleimport.h"
#include "engine/rulestore.h"
#include "platform/clock.h"
#include "platform/filenames.h"
#include "platform/filesystem.h"
#include "platform/posixfilesystem.h"
#include "platform/posixprocesslauncher.h"
#include "platform/profilefile.h"
#include "platform/programfolder.h"
#include "startup/foldersettings.h"

#include <QCommandLineParser>
#include <QCoreApplication>
#include <QElapsedTimer>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QSocketNotifier>
#include <QTextStream>
#include <QTimer>

#include <csignal>
#include <sys/socket.h>
#include <unistd.h>

using namespace Qt::StringLiterals;

namespace Fenlowctl {

namespace {

// A command that cannot go on: its message, and the status to exit with.
struct Stop {
    int status;
    QString message;
};

const QString kUsage = uR"(Commands:
  status                     the two folders and the rules in pass order
  pass [--dry-run]           one pass now; --dry-run lists what would move and changes nothing
  run                        a pass at each new minute until SIGTERM or SIGINT
  rules list                 the rules, numbered in pass order
  rules add PATTERN COMMAND  a new rule
  rules delete N             the rule that "rules list" numbers N
  set-folders SEARCH WORK    registers the search and work folder in Fenlow.ini
  history                    what happened to each file, newest first
                             (--since YYYY-MM-DDTHH:MM, --file TEXT)
  import-rules FILE          the rules of a legacy Jet AttFile.mdb into this program folder's
                             (--replace an existing table, kept as AttFile.mdb.bak;
                             --code-page for Jet 3 text, CP932 unless given)
status, pass and history print JSON with --json.)"_s;

QJsonValue jsonText(const QVariant &value)
{
    return value.isNull() ? QJsonValue() : QJsonValue(value.toString());
}

QString shownText(const QVariant &value)
{
    return value.isNull() ? u"<null>"_s : value.toString();
}

// The program folder, its configuration and its rules, as start-up reads them.
class Session {
public:
    explicit Session(const QString &folder)
        : m_folder(folder)
    {
    }

    void open()
    {
        if (const Result<> current = m_folder.makeCurrent(); !current) {
            throw Stop{CouldNotRun,
                       u"プログラムのフォルダ %1 に移動できません: %2"_s.arg(m_folder.path(), current.reason())};
        }
        if (const Result<> read = GetInitInfo(m_settings, m_profile, m_folder.path()); !read) {
            throw Stop{CouldNotRun,
                       configurationReadFailedMessage(configurationFilePath(m_folder.path()), read.reason())};
        }
    }

    RuleStore &rules()
    {
        if (!m_rules) {
            m_rules = std::make_unique<RuleStore>(joinPath(m_folder.path(), RuleStore::databaseName));
            QString failure;
            const QMetaObject::Connection failed = QObject::connect(
                m_rules.get(), &RuleStore::Error, [&failure](const QString &description) { failure = description; });
            m_rules->Open();
            QObject::disconnect(failed);
            if (!m_rules->isOpen()) {
                throw Stop{CouldNotRun, failure};
            }
        }
        return *m_rules;
    }

    [[nodiscard]] QString path() const { return m_folder.path(); }
    [[nodiscard]] FolderSettings &settings() { return m_settings; }
    [[nodiscard]] ProfileFile &profile() { return m_profile; }

private:
    ApplicationProgramFolder m_folder;
    IniProfileFile m_profile;
    FolderSettings m_settings;
    std::unique_ptr<RuleStore> m_rules;
};

// Every rule in pass order, numbered from 1.
QList<std::pair<QVariant, QVariant>> allRules(RuleStore &rules)
{
    QList<std::pair<QVariant, QVariant>> all;
    for (int row = 0; row < rules.RecordCount(); ++row) {
        all.append({rules.valueAt(row, RuleStore::FileName), rules.valueAt(row, RuleStore::BatFile)});
    }
    return all;
}

void printRules(RuleStore &rules, QTextStream &out)
{
    int number = 0;
    for (const auto &[pattern, command] : allRules(rules)) {
        out << ++number << '\t' << shownText(pattern) << '\t' << shownText(command) << '\n';
    }
}

int status(Session &session, bool json, QTextStream &out)
{
    RuleStore &rules = session.rules();
    const FolderSettings &settings = session.settings();
    if (json) {
        QJsonArray list;
        int number = 0;
        for (const auto &[pattern, command] : allRules(rules)) {
            list.append(QJsonObject{
                {u"number"_s, ++number}, {u"pattern"_s, jsonText(pattern)}, {u"command"_s, jsonText(command)}});
        }
        out << QJsonDocument(QJsonObject{{u"searchFolder"_s, settings.SearchFolder},
                                         {u"workFolder"_s, settings.WorkFolder},
                                         {u"settleSeconds"_s, settings.settleSeconds},
                                         {u"rules"_s, list}})
                   .toJson();
        return Done;
    }
    out << u"検索フォルダ\t"_s << settings.SearchFolder << '\n';
    out << u"作業フォルダ\t"_s << settings.WorkFolder << '\n';
    printRules(rules, out);
    return Done;
}

QString eventWord(PassEvent::Kind kind)
{
    switch (kind) {
    case PassEvent::Kind::Moved:
        return u"移動"_s;
    case PassEvent::Kind::Started:
        return u"起動"_s;
    case PassEvent::Kind::Waiting:
        return u"待機"_s;
    case PassEvent::Kind::WouldMove:
        return u"移動予定"_s;
    }
    return {};
}

// The start of the program for the file moved at events[i], when one followed it.
const PassEvent *startAfter(const QList<PassEvent> &events, qsizetype i)
{
    if (i + 1 < events.size() && events[i + 1].kind == PassEvent::Kind::Started
        && events[i + 1].file == events[i].file) {
        return &events[i + 1];
    }
    return nullptr;
}

// One line per file: moved (with the start that followed), waiting, or would move.
void printFiles(const PassReport &report, QTextStream &out)
{
    const QList<PassEvent> &events = report.events;
    for (qsizetype i = 0; i < events.size(); ++i) {
        const PassEvent &event = events[i];
        QStringList fields{eventWord(event.kind), FileNames::printable(event.file), event.pattern};
        if (event.kind == PassEvent::Kind::WouldMove) {
            fields.append(event.command);
        }
        if (const PassEvent *start = event.kind == PassEvent::Kind::Moved ? startAfter(events, i) : nullptr) {
            fields.append(start->command);
            fields.append(QString::number(start->processId));
            ++i;
        }
        out << fields.join(u'\t') << '\n';
    }
}

QJsonObject passJson(const PassReport &report, bool dryRun)
{
    QJsonArray files;
    for (qsizetype i = 0; i < report.events.size(); ++i) {
        const PassEvent &event = report.events[i];
        if (event.kind == PassEvent::Kind::Started) {
            continue;
        }
        QJsonObject file{{u"file"_s, FileNames::printable(event.file)},
                         {u"pattern"_s, event.pattern},
                         {u"command"_s, event.command},
                         {u"outcome"_s,
                          event.kind == PassEvent::Kind::Moved         ? u"moved"_s
                              : event.kind == PassEvent::Kind::Waiting ? u"waiting"_s
                                                                       : u"would move"_s}};
        if (const PassEvent *start = startAfter(report.events, i)) {
            file.insert(u"processId"_s, start->processId);
        }
        files.append(file);
    }
    QJsonArray failures;
    for (const PassFailure &failure : report.failures) {
        failures.append(QJsonObject{{u"pattern"_s, failure.pattern},
                                    {u"file"_s, FileNames::printable(failure.file)},
                                    {u"reason"_s, failure.reason},
                                    {u"message"_s, describe(failure)}});
    }
    return {{u"dryRun"_s, dryRun},
            {u"moved"_s, report.filesMoved},
            {u"started"_s, report.programsLaunched},
            {u"waiting"_s, report.filesWaiting},
            {u"files"_s, files},
            {u"failures"_s, failures}};
}

// The services a pass works with, as the window has them.
struct PassServices {
    explicit PassServices(const QString &folder)
        : launcher(folder)
        , history(folder)
    {
    }
    PosixFileSystem files;
    PosixProcessLauncher launcher;
    HistoryRecorder history;
};

PassReport runPass(Session &session, PassServices &services, const Clock &clock, bool dryRun, QTextStream &err)
{
    const FolderSettings &settings = session.settings();
    const PassReport report = runDispatchPass(session.rules(),
                                              {settings.SearchFolder, settings.WorkFolder, services.files,
                                               services.launcher, clock, settings.settleSeconds, dryRun});
    if (!dryRun) {
        if (const QString problem = services.history.record(report, settings.SearchFolder, settings.WorkFolder);
            !problem.isEmpty()) {
            err << problem << '\n';
        }
    }
    return report;
}

int pass(Session &session, bool dryRun, bool json, QTextStream &out, QTextStream &err)
{
    session.rules();
    PassServices services(session.path());
    SystemClock clock;
    const PassReport report = runPass(session, services, clock, dryRun, err);
    if (json) {
        out << QJsonDocument(passJson(report, dryRun)).toJson();
    } else {
        printFiles(report, out);
        out << describeCounts(report) << '\n';
    }
    for (const PassFailure &failure : report.failures) {
        err << describe(failure) << '\n';
    }
    return report.failures.isEmpty() ? Done : DoneWithFailures;
}

// A clock whose minute lasts minuteSeconds real seconds, for trying the minute rule quickly.
class ShortMinuteClock final : public Clock {
public:
    explicit ShortMinuteClock(int minuteSeconds)
        : m_start(QDateTime::currentDateTime())
        , m_scale(60.0 / minuteSeconds)
    {
        m_elapsed.start();
    }
    QDateTime now() const override { return m_start.addMSecs(qint64(double(m_elapsed.elapsed()) * m_scale)); }

private:
    QDateTime m_start;
    double m_scale;
    QElapsedTimer m_elapsed;
};

int g_signalPipe[2] = {-1, -1};

void onStopSignal(int)
{
    const char byte = 1;
    [[maybe_unused]] const ssize_t written = ::write(g_signalPipe[1], &byte, 1);
}

int runMinuteClock(Session &session, int minuteSeconds, QTextStream &err)
{
    session.rules();
    PassServices services(session.path());
    std::unique_ptr<Clock> clock;
    if (minuteSeconds == 60) {
        clock = std::make_unique<SystemClock>();
    } else {
        clock = std::make_unique<ShortMinuteClock>(minuteSeconds);
    }
    MinuteClock minuteClock(*clock);
    minuteClock.switchedOn();

    // SIGTERM and SIGINT only ask to stop: the event loop sees them once the pass in progress is done.
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_signalPipe) != 0) {
        throw Stop{CouldNotRun, u"シグナルを受ける準備ができません"_s};
    }
    struct sigaction action { };
    action.sa_handler = onStopSignal;
    action.sa_flags = SA_RESTART;
    ::sigaction(SIGTERM, &action, nullptr);
    ::sigaction(SIGINT, &action, nullptr);
    QSocketNotifier stopRequest(g_signalPipe[0], QSocketNotifier::Read);
    QObject::connect(&stopRequest, &QSocketNotifier::activated, QCoreApplication::instance(), &QCoreApplication::quit);

    const auto stamp = [&clock] { return clock->now().toString(u"yyyy-MM-dd HH:mm:ss"_s); };
    QTimer timer;
    timer.setInterval(std::max(10, minuteSeconds * 1000 / 60));
    QObject::connect(&timer, &QTimer::timeout, [&] {
        const MinuteClock::Tick tick = minuteClock.begin(true);
        if (tick.runPass) {
            const PassReport report = runPass(session, services, *clock, false, err);
            for (const PassEvent &event : report.events) {
                err << stamp() << ' ' << eventWord(event.kind) << '\t' << FileNames::printable(event.file) << '\t'
                    << event.pattern;
                if (event.kind == PassEvent::Kind::Started) {
                    err << '\t' << event.command << '\t' << event.processId;
                }
                err << '\n';
            }
            for (const PassFailure &failure : report.failures) {
                err << stamp() << ' ' << describe(failure) << '\n';
            }
            err.flush();
        }
        minuteClock.end(tick);
    });
    timer.start();
    err << stamp() << u" 処理を開始しました ("_s << session.path() << ")\n";
    err.flush();
    QCoreApplication::exec();
    err << stamp() << u" 処理を終了しました"_s << '\n';
    err.flush();
    return Done;
}

int rulesCommand(Session &session, const QStringList &args, QTextStream &out, QTextStream &err)
{
    const QString action = args.value(1);
    RuleStore &rules = session.rules();
    if (action == u"list"_s && args.size() == 2) {
        printRules(rules, out);
        return Done;
    }
    try {
        if (action == u"add"_s && args.size() == 4) {
            rules.AddNew();
            rules.setValue(RuleStore::FileName, args[2]);
            rules.setValue(RuleStore::BatFile, args[3]);
            rules.UpdateBatch();
            return Done;
        }
        if (action == u"delete"_s && args.size() == 3) {
            bool ok = false;
            const int number = args[2].toInt(&ok);
            if (!ok || number < 1 || number > rules.RecordCount()) {
                throw Stop{CouldNotRun,
                           u"規則 %1 はありません (rules list の番号は 1 から %2 まで)"_s.arg(args[2]).arg(
                               rules.RecordCount())};
            }
            rules.moveTo(number - 1);
            rules.Delete();
            return Done;
        }
    } catch (const StoreError &error) {
        err << error.description() << '\n';
        return DoneWithFailures;
    }
    throw Stop{CouldNotRun, u"使い方: fenlowctl rules list | add PATTERN COMMAND | delete N"_s};
}

int setFolders(Session &session, const QStringList &args, QTextStream &err)
{
    if (args.size() != 3) {
        throw Stop{CouldNotRun, u"使い方: fenlowctl set-folders SEARCH WORK"_s};
    }
    // What "登録" does: the record, then the configuration file, neither key unless both can be.
    const FolderSettings folders{args[1], args[2], session.settings().settleSeconds};
    if (const Result<> saved = SaveInitInfo(folders, session.profile(), session.path()); !saved) {
        err << configurationWriteFailedMessage(configurationFilePath(session.path()), saved.reason()) << '\n';
        return DoneWithFailures;
    }
    session.settings() = folders;
    return Done;
}

int importRules(Session &session, const QString &file, bool replace, const QString &codePage, QTextStream &out,
                QTextStream &err)
{
    const QString target = joinPath(session.path(), RuleStore::databaseName);
    if (QFileInfo::exists(target) && !replace) {
        throw Stop{
            CouldNotRun,
            u"規則のデータベース %1 がすでにあります。置き換えるときは --replace を付けてください。"_s.arg(target)};
    }
    const Result<QString> converted = RuleImport::convert(file, target, target + u".bak"_s, codePage);
    if (!converted) {
        err << converted.reason() << '\n';
        return DoneWithFailures;
    }
    out << u"%1 の規則 %2 件を %3 に取り込みました。"_s.arg(file).arg(session.rules().RecordCount()).arg(target);
    if (!converted.value().isEmpty()) {
        out << u" それまでの規則は %1 に残しました。"_s.arg(converted.value());
    }
    out << '\n';
    return Done;
}

int history(Session &session, const QString &since, const QString &fileText, bool json, QTextStream &out)
{
    QDateTime from;
    if (!since.isEmpty()) {
        from = QDateTime::fromString(since, u"yyyy-MM-ddTHH:mm"_s);
        if (!from.isValid()) {
            throw Stop{CouldNotRun, u"--since は YYYY-MM-DDTHH:MM の形で指定してください: %1"_s.arg(since)};
        }
    }
    History store(joinPath(session.path(), History::FileName));
    if (const Result<> opened = store.open(QDateTime::currentDateTime()); !opened) {
        throw Stop{CouldNotRun, opened.reason()};
    }
    const Result<QList<HistoryEntry>> entries = store.entries(from, fileText);
    if (!entries) {
        throw Stop{CouldNotRun, entries.reason()};
    }
    if (json) {
        QJsonArray list;
        for (const HistoryEntry &entry : entries.value()) {
            QJsonObject object{{u"time"_s, entry.time.toString(Qt::ISODateWithMs)},
                               {u"kind"_s, entry.kind},
                               {u"file"_s, FileNames::printable(entry.file)},
                               {u"pattern"_s, entry.pattern},
                               {u"command"_s, entry.command},
                               {u"searchFolder"_s, entry.searchFolder},
                               {u"workFolder"_s, entry.workFolder}};
            if (entry.processId > 0) {
                object.insert(u"processId"_s, entry.processId);
            }
            if (!entry.reason.isEmpty()) {
                object.insert(u"step"_s, entry.step);
                object.insert(u"reason"_s, entry.reason);
            }
            list.append(object);
        }
        out << QJsonDocument(list).toJson();
        return Done;
    }
    for (const HistoryEntry &entry : entries.value()) {
        QStringList fields{entry.time.toString(u"yyyy-MM-dd HH:mm:ss"_s), entry.kind, FileNames::printable(entry.file),
                           entry.pattern};
        if (entry.processId > 0) {
            fields << entry.command << QString::number(entry.processId);
        } else if (!entry.reason.isEmpty()) {
            fields << entry.reason;
        }
        out << fields.join(u'\t') << '\n';
    }
    return Done;
}

} // namespace

int run(const QStringList &arguments, QTextStream &out, QTextStream &err)
{
    QCommandLineParser parser;
    parser.setApplicationDescription(u"Fenlow without a window."_s);
    const QCommandLineOption help({u"h"_s, u"help"_s}, u"Shows this help."_s);
    const QCommandLineOption version({u"v"_s, u"version"_s}, u"Shows the version."_s);
    const QCommandLineOption folder(
        u"folder"_s,
        u"The program folder (Fenlow.ini, AttFile.mdb, the history); by default the executable's folder."_s, u"DIR"_s);
    const QCommandLineOption json(u"json"_s, u"Prints JSON."_s);
    const QCommandLineOption dryRun(u"dry-run"_s, u"pass: lists what would move and changes nothing."_s);
    const QCommandLineOption since(u"since"_s, u"history: entries from this local time on."_s, u"YYYY-MM-DDTHH:MM"_s);
    const QCommandLineOption file(u"file"_s, u"history: entries whose file name holds this text."_s, u"TEXT"_s);
    const QCommandLineOption replace(u"replace"_s,
                                     u"import-rules: replaces an existing rule table (kept as AttFile.mdb.bak)."_s);
    const QCommandLineOption codePage(u"code-page"_s, u"import-rules: the code page of Jet 3 text."_s, u"NAME"_s,
                                      u"CP932"_s);
    QCommandLineOption minute(u"minute-seconds"_s, u"run: the length of a minute, for trying it out."_s, u"SECONDS"_s,
                              u"60"_s);
    minute.setFlags(QCommandLineOption::HiddenFromHelp);
    parser.addOptions({help, version, folder, json, dryRun, since, file, replace, codePage, minute});
    parser.addPositionalArgument(u"command"_s, kUsage, u"COMMAND [ARGUMENTS]"_s);

    if (!parser.parse(arguments)) {
        err << parser.errorText() << '\n';
        return CouldNotRun;
    }
    if (parser.isSet(help)) {
        out << parser.helpText();
        return Done;
    }
    if (parser.isSet(version)) {
        out << "fenlowctl " << QCoreApplication::applicationVersion() << '\n';
        return Done;
    }
    const QStringList args = parser.positionalArguments();
    const QString command = args.value(0);
    try {
        Session session(parser.value(folder));
        const auto expect = [&](qsizetype count) {
            if (args.size() != count) {
                throw Stop{CouldNotRun, u"%1 の引数が違います。fenlowctl --help を見てください。"_s.arg(command)};
            }
        };
        bool minuteOk = false;
        const int minuteSeconds = parser.value(minute).toInt(&minuteOk);
        if (command == u"status"_s) {
            expect(1);
            session.open();
            return status(session, parser.isSet(json), out);
        }
        if (command == u"pass"_s) {
            expect(1);
            session.open();
            return pass(session, parser.isSet(dryRun), parser.isSet(json), out, err);
        }
        if (command == u"run"_s) {
            expect(1);
            if (!minuteOk || minuteSeconds < 1 || minuteSeconds > 60) {
                throw Stop{CouldNotRun, u"--minute-seconds は 1 から 60 までです"_s};
            }
            session.open();
            return runMinuteClock(session, minuteSeconds, err);
        }
        if (command == u"rules"_s) {
            session.open();
            return rulesCommand(session, args, out, err);
        }
        if (command == u"set-folders"_s) {
            session.open();
            return setFolders(session, args, err);
        }
        if (command == u"history"_s) {
            expect(1);
            session.open();
            return history(session, parser.value(since), parser.value(file), parser.isSet(json), out);
        }
        if (command == u"import-rules"_s) {
            expect(2);
            session.open();
            return importRules(session, QFileInfo(args[1]).absoluteFilePath(), parser.isSet(replace),
                               parser.value(codePage), out, err);
        }
        throw Stop{CouldNotRun,
                   command.isEmpty() ? u"コマンドがありません。fenlowctl --help を見てください。"_s
                                     : u"コマンド %1 はありません。fenlowctl --help を見てください。"_s.arg(command)};
    } catch (const Stop &stop) {
        err << stop.message << '\n';
        return stop.status;
    }
}

} // namespace Fenlowctl
