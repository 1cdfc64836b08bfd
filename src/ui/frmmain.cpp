#include "ui/frmmain.h"

#include "engine/dispatchpass.h"
#include "platform/browser.h"
#include "platform/filesystem.h"
#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "platform/programfolder.h"
#include "platform/settingsstore.h"
#include "ui/datacontrol.h"
#include "ui/enterclicks.h"
#include "ui/fonts.h"
#include "ui/frmctl.h"
#include "ui/frmdbtable.h"
#include "ui/historywindow.h"
#include "ui/pictures.h"
#include "ui/statuspanels.h"
#include "ui/twips.h"
#include "ui/windowlist.h"
#include "ui/windowplacement.h"

#include <QCloseEvent>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QPainter>
#include <QPushButton>
#include <QTimer>

using namespace Qt::StringLiterals;

namespace {

// The client area below the menu bar, with the background picture at its natural size.
class PictureArea : public QWidget {
public:
    using QWidget::QWidget;

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        painter.drawPixmap(0, 0, mainBackground());
    }
};

QLabel *transparentLabel(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setAttribute(Qt::WA_TranslucentBackground);
    return label;
}

QLabel *folderDisplay(const QString &text, QWidget *parent)
{
    auto *label = new QLabel(text, parent);
    label->setFrameShape(QFrame::Panel);
    label->setFrameShadow(QFrame::Sunken);
    label->setBackgroundRole(QPalette::Button);
    label->setAutoFillBackground(true);
    label->setTextInteractionFlags(Qt::TextSelectableByMouse);
    return label;
}

} // namespace

const QString frmMain::StartCaption = u"処理開始"_s;
const QString frmMain::StopCaption = u"処理停止"_s;

frmMain::frmMain(Platform &platform, WindowList &windows, FolderSettings &settings, QWidget *parent)
    : QMainWindow(parent)
    , m_platform(platform)
    , m_windows(windows)
    , m_settings(settings)
    , m_minuteClock(platform.clock)
    , m_history(platform.programFolder.path())
{
    setObjectName(u"frmMain"_s);
    setWindowTitle(u"Fenlow"_s);
    setWindowIcon(fenlowIcon());
    // Every text but the marker's in the window's one font, the named Japanese font at 9 points.
    setFont(japaneseFont(9));
    buildControls();
    buildMenus();
    // Laid out for a client area of 6930 x 4860 twips below the menu bar.
    resize(Twips::toPixels(6930), menuBar()->sizeHint().height() + Twips::toPixels(4860));
}

frmMain::~frmMain() = default;

void frmMain::buildControls()
{
    auto *area = new PictureArea(this);
    area->setObjectName(u"clientArea"_s);
    setCentralWidget(area);

    Label3 = Twips::place(folderDisplay(u"Label3"_s, area), u"Label3"_s, 1680, 360, 5055, 375);
    Label1 = Twips::place(transparentLabel(u"検索フォルダ"_s, area), u"Label1"_s, 360, 480, 1095, 255);
    Label4 = Twips::place(folderDisplay(u"Label4"_s, area), u"Label4"_s, 1680, 840, 5055, 375);
    Label2 = Twips::place(transparentLabel(u"作業フォルダ"_s, area), u"Label2"_s, 360, 960, 1215, 255);
    Command3 = Twips::place(new QPushButton(u"環境設定"_s, area), u"Command3"_s, 5400, 1440, 1335, 495);
    Command1 = Twips::place(new QPushButton(u"テーブル一覧"_s, area), u"Command1"_s, 5400, 2040, 1335, 495);
    Command2 = Twips::place(new QPushButton(StartCaption, area), u"Command2"_s, 5400, 2640, 1335, 495);

    Label5 = Twips::place(transparentLabel(u"処理中"_s, area), u"Label5"_s, 4080, 2760, 1095, 375);
    Label5->setAlignment(Qt::AlignCenter);
    Label5->setFont(japaneseFont(15.75, QFont::Bold));
    QPalette marker = Label5->palette();
    marker.setColor(QPalette::WindowText, marker.color(QPalette::Highlight));
    Label5->setPalette(marker);
    Label5->hide();

    lblLabels[0] = Twips::place(transparentLabel(u"検索ファイル"_s, area), u"lblLabels(0)"_s, 240, 3480, 1575, 255);
    lblLabels[1] = Twips::place(transparentLabel(u"プログラムまたはバッチファイル"_s, area), u"lblLabels(1)"_s, 2520,
                                3480, 2535, 255);
    txtFields[0] = Twips::place(new QLineEdit(area), u"txtFields(0)"_s, 120, 3720, 2175, 285);
    txtFields[1] = Twips::place(new QLineEdit(area), u"txtFields(1)"_s, 2280, 3720, 4455, 285);

    datPrimaryRS = new DataControl(m_platform.messages, DataControl::OwnErrorBox::Shown, area);
    datPrimaryRS->setGeometry(Twips::rect(120, 4080, 1200, 360));

    sbStatusBar = new StatusPanels(m_platform.clock, this);
    setStatusBar(sbStatusBar);

    Timer1 = new QTimer(this);
    Timer1->setObjectName(u"Timer1"_s);

    clickButtonsOnEnter(this);
    // The keyboard's order: the labels and the status bar take no focus.
    setTabOrder(Command1, Command2);
    setTabOrder(Command2, txtFields[0]);
    setTabOrder(txtFields[0], txtFields[1]);
    setTabOrder(txtFields[1], Command3);

    connect(Command2, &QPushButton::clicked, this, &frmMain::onCommand2Clicked);
    connect(Command1, &QPushButton::clicked, this, &frmMain::openRuleTableEditor);
    connect(Command3, &QPushButton::clicked, this, &frmMain::openFolderSettings);
    connect(Timer1, &QTimer::timeout, this, &frmMain::onTimer1Tick);
    connect(datPrimaryRS, &DataControl::MoveComplete, this, &frmMain::showCurrentRule);
    for (int column : {0, 1}) {
        connect(txtFields[column], &QLineEdit::textEdited, this,
                [this, column](const QString &text) { storeTypedValue(column, text); });
    }
}

void frmMain::buildMenus()
{
    const auto addMenu = [this](const char *name, const QString &title) {
        QMenu *menu = menuBar()->addMenu(title);
        menu->setObjectName(QLatin1String(name));
        return menu;
    };
    const auto addItem = [this](QMenu *menu, const char *name, const QString &text, void (frmMain::*handler)()) {
        QAction *action = menu->addAction(text);
        action->setObjectName(QLatin1String(name));
        connect(action, &QAction::triggered, this, handler);
    };
    addItem(addMenu("mnuFile", u"ﾌｧｲﾙ(&F)"_s), "mnuFileExit", u"終了(&X)"_s, &frmMain::Unload);
    QMenu *data = addMenu("mnuData", u"ﾃﾞｰﾀ(&D)"_s);
    addItem(data, "mnuDatafrmDBTable", u"frmDBTable"_s, &frmMain::openRuleTableEditor);
    addItem(data, "mnuDataHistory", u"処理履歴(&L)"_s, &frmMain::openHistory);
    addItem(addMenu("mnuHelp", u"ﾍﾙﾌﾟ(&H)"_s), "mnyHelpDetel", u"ﾏﾆｭｱﾙ"_s, &frmMain::openManual);
}

template <typename Window> Window *frmMain::loadWindow(Window *window)
{
    m_windows.add(window);
    return window;
}

void frmMain::Load()
{
    loadWindow(this);
    datPrimaryRS->Open();
    showCurrentRule(); // also when the rules could not be opened
    RestoreWindowPlacement();
}

void frmMain::Unload()
{
    close();
}

void frmMain::Show()
{
    showNormal(); // whatever state the window was last closed in
}

void frmMain::setSearchFolderDisplay(const QString &folder)
{
    Label3->setText(folder);
}

void frmMain::setWorkFolderDisplay(const QString &folder)
{
    Label4->setText(folder);
}

void frmMain::closeEvent(QCloseEvent *event)
{
    if (!m_unloaded) {
        m_unloaded = true;
        setTimer1Interval(0);
        m_windows.closeAllButFirst();
        SaveWindowPlacement();
    }
    event->accept();
}

void frmMain::ShowProcessingLabel()
{
    Label5->setVisible(true);
}

void frmMain::HideProcessingLabel()
{
    Label5->setVisible(false);
}

void frmMain::ProcessFileList()
{
    PassReport report;
    {
        // A rule edit that the table refuses while the pass moves the cursor goes into the
        // pass's report; meanwhile the data control must not stop the tick with a box of its own.
        const DataControl::OwnErrorBoxSuppressed reportedByThePass(*datPrimaryRS);
        report = runDispatchPass(datPrimaryRS->Recordset(),
                                 {Label3->text(), Label4->text(), m_platform.files, m_platform.launcher,
                                  m_platform.clock, m_settings.settleSeconds});
    }
    // A tick never waits on the operator: the report stays up while processing goes on.
    const ProblemMemory::Decision shown = m_problems.take(report, Label3->text(), Label4->text());
    switch (shown.attention) {
    case ProblemMemory::Attention::None:
        break;
    case ProblemMemory::Attention::Quiet:
        m_platform.messages.updateReport(describe(shown.report));
        break;
    case ProblemMemory::Attention::Raise:
        m_platform.messages.showWithoutBlocking(describe(shown.report));
        break;
    }
    // A history that cannot be written never stops processing: it is told once, in a box of its own
    // when the pass had nothing to show.
    if (const QString problem = m_history.record(report, Label3->text(), Label4->text()); !problem.isEmpty()) {
        m_platform.messages.showWithoutBlocking(
            shown.attention == ProblemMemory::Attention::None ? problem : describe(shown.report) + u"\n"_s + problem);
    }
    m_lastPass = report.startedAt.toString(u"HH:mm"_s) + u' ' + describeCounts(report);
    m_lastFiles = describeFiles(report, 20).join(u'\n');
    showStatus();
    emit passFinished();
}

void frmMain::showStatus()
{
    QStringList parts;
    if (!m_lastPass.isEmpty()) {
        parts.append(m_lastPass);
    }
    if (m_switchedOff) {
        parts.append(u"停止中"_s);
    }
    if (m_rulesChanged) {
        // The passes use the rules read at the start.
        parts.append(u"規則の変更は再起動後に反映されます"_s);
    }
    sbStatusBar->showStatus(parts.isEmpty() ? u"ｽﾃｰﾀｽ"_s : parts.join(u"　"_s), m_lastFiles);
}

void frmMain::onCommand2Clicked()
{
    if (Command2->text() == StartCaption) {
        Command2->setText(StopCaption);
        m_minuteClock.switchedOn();
        setTimer1Interval(1000);
        m_switchedOff = false;
        showStatus();
    } else {
        Command2->setText(StartCaption);
        setTimer1Interval(0);
        HideProcessingLabel();
        m_switchedOff = true;
        showStatus();
    }
}

void frmMain::onTimer1Tick()
{
    const MinuteClock::Tick tick = m_minuteClock.begin(Command2->text() == StopCaption);
    if (tick.processingOn) {
        if (tick.markerVisible) {
            ShowProcessingLabel();
        } else {
            HideProcessingLabel();
        }
        if (tick.runPass) {
            ProcessFileList();
        }
    }
    m_minuteClock.end(tick);
    setTimer1Interval(1000);
}

void frmMain::setTimer1Interval(int milliseconds)
{
    // An interval of 0 stops the timer, as the window's timer always has.
    if (milliseconds == 0) {
        Timer1->stop();
    } else {
        Timer1->start(milliseconds);
    }
}

void frmMain::openRuleTableEditor()
{
    // Modeless, without an owner, and nothing kept of it: the window list closes it at the end.
    auto *editor = loadWindow(new frmDBTable(m_platform));
    connect(&editor->dataControl()->Recordset(), &RuleStore::rowsWritten, this, [this] {
        m_rulesChanged = true;
        showStatus();
    });
    editor->show();
}

void frmMain::openFolderSettings()
{
    loadWindow(new frmCTL(m_settings, m_platform, *this, this))->showModal();
}

void frmMain::openFolderSettingsSoon()
{
    QTimer::singleShot(0, this, &frmMain::openFolderSettings);
}

void frmMain::openHistory()
{
    auto *history
        = loadWindow(new HistoryWindow(joinPath(m_platform.programFolder.path(), History::FileName), m_platform.clock));
    connect(this, &frmMain::passFinished, history, &HistoryWindow::refresh);
    history->show();
}

void frmMain::openManual()
{
    // The program folder's own copy, else the one installed with the program.
    QString path = joinPath(m_platform.programFolder.path(), u"Fenguide.htm"_s);
    if (!QFileInfo::exists(path)) {
        path = m_platform.programFolder.installedManual();
    }
    if (const Result<> opened = m_platform.browser.open(path); !opened) {
        m_platform.messages.show(u"マニュアル %1 を開けません。\n%2"_s.arg(path, opened.reason()));
    }
}

void frmMain::showCurrentRule()
{
    RuleStore &rules = datPrimaryRS->Recordset();
    const bool onRow = rules.AbsolutePosition() > 0;
    for (int column : {0, 1}) {
        txtFields[column]->setText(onRow ? rules.value(RuleStore::Column(column)).toString() : QString());
        // With no rule under the cursor there is nothing for a typed value to go into.
        txtFields[column]->setReadOnly(!onRow);
    }
}

void frmMain::storeTypedValue(int column, const QString &text)
{
    RuleStore &rules = datPrimaryRS->Recordset();
    if (rules.AbsolutePosition() > 0) {
        rules.setValue(RuleStore::Column(column), text);
    }
}

void frmMain::RestoreWindowPlacement()
{
    const WindowPlacement placement = readWindowPlacement(m_platform.settings);
    move(Twips::toPixels(placement.left), Twips::toPixels(placement.top));
    const QSize outer(Twips::toPixels(placement.width), Twips::toPixels(placement.height));
    resize(outer);
    m_pendingOuterSize = outer;
}

void frmMain::SaveWindowPlacement()
{
    if (isMinimized()) {
        return; // the entries of the last run that wrote them stay
    }
    const QRect outer = frameGeometry();
    // A failed write leaves the earlier entries; the program ends normally all the same.
    (void)writeWindowPlacement(m_platform.settings,
                               {float(Twips::fromPixels(outer.x())), float(Twips::fromPixels(outer.y())),
                                float(Twips::fromPixels(outer.width())), float(Twips::fromPixels(outer.height()))});
}

bool frmMain::event(QEvent *event)
{
    switch (event->type()) {
    case QEvent::Show:
    case QEvent::Move:
    case QEvent::Resize:
        fitOuterSize();
        break;
    default:
        break;
    }
    return QMainWindow::event(event);
}

void frmMain::fitOuterSize()
{
    // The frame's size is known only once the window system has framed the shown window;
    // then the client size is made smaller so that the outer size is the one remembered.
    if (!m_pendingOuterSize || !isVisible()) {
        return;
    }
    const QSize frame = frameGeometry().size() - size();
    if (frame.isEmpty()) {
        return;
    }
    const QSize outer = *m_pendingOuterSize;
    m_pendingOuterSize.reset();
    resize(outer - frame);
}
