#include "engine/dispatchpass.h"

#include "engine/rulestore.h"
#include "platform/clock.h"
#include "platform/filenames.h"
#include "platform/filesystem.h"
#include "platform/processlauncher.h"

#include <QDir>
#include <QSet>

using namespace Qt::StringLiterals;

namespace {

// Collects what a pass meets; a rule edit that the cursor writes on leaving its row
// arrives through the store's Error notification.
class PassRun {
public:
    PassRun(RuleStore &rules, const PassSetup &setup)
        : m_rules(rules)
        , m_setup(setup)
        , m_files(setup.files)
        , m_launcher(setup.launcher)
    {
        m_storeErrors = QObject::connect(&rules, &RuleStore::Error, [this](const QString &description) {
            fail(PassFailure::Step::Store, {}, description);
        });
    }
    ~PassRun() { QObject::disconnect(m_storeErrors); }
    PassRun(const PassRun &) = delete;
    PassRun &operator=(const PassRun &) = delete;

    PassReport run(const QString &searchFolder, const QString &workFolder);

private:
    void runRule(const QString &pattern, const QString &searchFolder, const QString &workFolder);
    void fail(PassFailure::Step step, const QString &file, const QString &reason)
    {
        m_report.failures.append({step, m_pattern, file, reason});
    }
    void note(PassEvent::Kind kind, const QString &command, const QString &file, qint64 processId = 0)
    {
        m_report.events.append({kind, m_setup.clock.now(), m_pattern, command, file, processId});
    }

    RuleStore &m_rules;
    const PassSetup &m_setup;
    FileSystem &m_files;
    ProcessLauncher &m_launcher;
    QMetaObject::Connection m_storeErrors;
    PassReport m_report;
    QString m_pattern;
    QSet<QString> m_owned; // names an earlier rule's pattern matched this pass
};

PassReport PassRun::run(const QString &searchFolder, const QString &workFolder)
{
    m_report.startedAt = m_setup.clock.now();
    if (searchFolder.isEmpty() || workFolder.isEmpty()) {
        fail(PassFailure::Step::Folders, {}, u"検索フォルダか作業フォルダが設定されていません。"_s);
        return m_report;
    }
    // Moving a file onto itself would lose it.
    if (m_files.isSameFolder(searchFolder, workFolder)) {
        fail(PassFailure::Step::Folders, {}, u"検索フォルダと作業フォルダが同じフォルダです。"_s);
        return m_report;
    }
    // A folder that is not there, or cannot be listed, would make every pass do nothing, silently.
    if (const Result<> search = m_files.checkFolder(searchFolder, true); !search) {
        fail(PassFailure::Step::Folders, {}, u"検索フォルダ %1 を読めません: %2"_s.arg(searchFolder, search.reason()));
        return m_report;
    }
    if (const Result<> work = m_files.checkFolder(workFolder, false); !work) {
        fail(PassFailure::Step::Folders, {}, u"作業フォルダ %1 を使えません: %2"_s.arg(workFolder, work.reason()));
        return m_report;
    }
    if (!m_setup.dryRun) {
        for (const QString &problem : m_files.recoverAbandoned(searchFolder, workFolder)) {
            fail(PassFailure::Step::Leftover, {}, problem);
        }
    }
    if (m_rules.RecordCount() == 0) {
        return m_report;
    }

    try {
        m_rules.MoveFirst();
        while (!m_rules.Eof()) {
            const QVariant pattern = m_rules.Fields(u"FileName"_s);
            if (!pattern.isNull() && !pattern.toString().isEmpty()) {
                m_pattern = pattern.toString();
                runRule(m_pattern, searchFolder, workFolder);
                m_pattern.clear();
            }
            m_rules.MoveNext();
        }
        m_rules.MoveLast();
    } catch (const StoreError &error) {
        // Only a cursor in a state no window leaves it in gets here; what was done stays done.
        fail(PassFailure::Step::Store, {}, error.description());
    }
    return m_report;
}

void PassRun::runRule(const QString &pattern, const QString &searchFolder, const QString &workFolder)
{
    const QString command = m_rules.Fields(u"BatFile"_s).toString();
    QStringList names;
    const QStringList listed = m_files.listPlainFiles(searchFolder, pattern);
    const SettleRule settle{m_setup.clock.now(), m_setup.settleSeconds};
    for (const QString &name : listed) {
        if (!m_owned.contains(name)) {
            m_owned.insert(name);
            names.append(name);
        }
    }
    // Files moved for a program that cannot run would wait in the work folder for nobody.
    // A rule with no file to move is no problem yet.
    if (const Result<> startable = m_launcher.canStart(command); !startable) {
        if (!names.isEmpty()) {
            fail(PassFailure::Step::Rule, {}, startable.reason());
            m_report.failures.last().waiting = int(names.size());
        }
        return;
    }

    for (const QString &name : names) {
        if (m_setup.dryRun) {
            note(PassEvent::Kind::WouldMove, command, name);
            continue;
        }
        const Result<MoveOutcome> move
            = m_files.moveFile(joinPath(searchFolder, name), joinPath(workFolder, name), settle);
        if (!move) {
            fail(PassFailure::Step::Move, name, move.reason());
            continue;
        }
        if (move.value() == MoveOutcome::SourceGone) {
            continue; // another program took it after the listing
        }
        if (move.value() == MoveOutcome::Waiting) {
            ++m_report.filesWaiting; // still being written: a later pass moves it
            note(PassEvent::Kind::Waiting, command, name);
            continue;
        }
        ++m_report.filesMoved;
        note(PassEvent::Kind::Moved, command, name);
        const Result<qint64> launched
            = m_launcher.launch(command, launchEnvironment(pattern, searchFolder, workFolder, name));
        if (!launched) {
            fail(PassFailure::Step::Launch, name, launched.reason());
        } else {
            ++m_report.programsLaunched;
            note(PassEvent::Kind::Started, command, name, launched.value());
        }
    }
}

} // namespace

QString describeCounts(const PassReport &report)
{
    QString text = u"移動 %1 件・起動 %2 回"_s.arg(report.filesMoved).arg(report.programsLaunched);
    if (report.filesWaiting > 0) {
        text += u"・待機 %1 件"_s.arg(report.filesWaiting);
    }
    if (!report.failures.isEmpty()) {
        text += u"・問題 %1 件"_s.arg(report.failures.size());
    }
    return text;
}

QStringList describeFiles(const PassReport &report, int max)
{
    QStringList lines;
    for (const PassEvent &event : report.events) {
        if (event.kind == PassEvent::Kind::Moved) {
            lines.append(u"移動 "_s + FileNames::printable(event.file));
        } else if (event.kind == PassEvent::Kind::Waiting) {
            lines.append(u"待機 "_s + FileNames::printable(event.file));
        }
    }
    for (const PassFailure &failure : report.failures) {
        if (!failure.file.isEmpty()) {
            lines.append(u"問題 "_s + FileNames::printable(failure.file));
        }
    }
    return lines.mid(0, max);
}

LaunchEnvironment launchEnvironment(const QString &pattern, const QString &searchFolder, const QString &workFolder,
                                    const QString &name)
{
    // The folders as the operator set them may be relative to the program folder, which is
    // the current directory; the program is told absolute paths.
    const auto absolute
        = [](const QString &path) { return QDir::isAbsolutePath(path) ? path : QDir::currentPath() + u'/' + path; };
    return {{u"FENLOW_FILE"_s, absolute(joinPath(workFolder, name))},
            {u"FENLOW_NAME"_s, name},
            {u"FENLOW_RULE"_s, pattern},
            {u"FENLOW_SEARCH_FOLDER"_s, absolute(searchFolder)},
            {u"FENLOW_WORK_FOLDER"_s, absolute(workFolder)}};
}

QString describe(const PassFailure &failure)
{
    switch (failure.step) {
    case PassFailure::Step::Folders:
        return failure.reason;
    case PassFailure::Step::Rule:
        return u"規則「%1」のプログラムを起動できないため、ファイル %2 件を検索フォルダに残しました: %3"_s
            .arg(failure.pattern)
            .arg(failure.waiting)
            .arg(failure.reason);
    case PassFailure::Step::Move:
        return u"%1 を作業フォルダへ移動できません (検索フォルダに残しました): %2"_s.arg(
            FileNames::printable(failure.file), failure.reason);
    case PassFailure::Step::Launch:
        return u"%1 は作業フォルダへ移動しましたが、規則「%2」のプログラムを起動できません: %3"_s.arg(
            FileNames::printable(failure.file), failure.pattern, failure.reason);
    case PassFailure::Step::Store:
        return u"規則の変更を書き込めません: %1"_s.arg(failure.reason);
    case PassFailure::Step::Leftover:
        return failure.reason;
    }
    return failure.reason;
}

QString describe(const PassReport &report)
{
    // A pass over thousands of files can fail for each of them; the first ones tell the story.
    constexpr qsizetype kListed = 20;
    QStringList lines{u"振り分け処理で %1 件の問題がありました。"_s.arg(report.failures.size())};
    for (qsizetype i = 0; i < std::min(kListed, report.failures.size()); ++i) {
        lines.append(u"・"_s + describe(report.failures[i]));
    }
    if (report.failures.size() > kListed) {
        lines.append(u"ほか %1 件"_s.arg(report.failures.size() - kListed));
    }
    QString counts
        = u"移動したファイル %1 件、起動したプログラム %2 回"_s.arg(report.filesMoved).arg(report.programsLaunched);
    if (report.filesWaiting > 0) {
        counts += u"、待機中 %1 件"_s.arg(report.filesWaiting);
    }
    lines.append(counts);
    return lines.join(u'\n');
}

PassReport runDispatchPass(RuleStore &rules, const PassSetup &setup)
{
    return PassRun(rules, setup).run(setup.searchFolder, setup.workFolder);
}
