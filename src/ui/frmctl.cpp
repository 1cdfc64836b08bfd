#include "ui/frmctl.h"

#include "ui/enterclicks.h"

#include "platform/messageboxes.h"
#include "platform/platform.h"
#include "platform/programfolder.h"
#include "startup/foldersettings.h"
#include "startup/module1.h"
#include "ui/fonts.h"
#include "ui/pictures.h"
#include "ui/twips.h"

#include <QCloseEvent>
#include <QEventLoop>
#include <QLabel>
#include <QLineEdit>
#include <QPointer>
#include <QPushButton>

using namespace Qt::StringLiterals;

frmCTL::frmCTL(FolderSettings &settings, Platform &platform, MainWindowOps &mainWindow, QWidget *owner)
    : QWidget(owner, Qt::Dialog)
    , m_settings(settings)
    , m_platform(platform)
    , m_mainWindow(mainWindow)
{
    // A plain window rather than a QDialog: the window system places it, and neither Enter
    // nor Escape has a meaning of its own here.
    setObjectName(u"frmCTL"_s);
    setWindowTitle(u"Form1"_s);
    setAttribute(Qt::WA_DeleteOnClose);
    setWindowIcon(fenlowIcon());
    setFont(japaneseFont(9));
    resize(Twips::size(6345, 2685));

    Label1 = Twips::place(new QLabel(u"検索フォルダ"_s, this), u"Label1"_s, 240, 720, 1095, 255);
    Label2 = Twips::place(new QLabel(u"作業フォルダ"_s, this), u"Label2"_s, 240, 1200, 1095, 375);
    Text1 = Twips::place(new QLineEdit(this), u"Text1"_s, 1440, 600, 4575, 375);
    Text2 = Twips::place(new QLineEdit(this), u"Text2"_s, 1440, 1080, 4575, 375);
    Command1 = Twips::place(new QPushButton(u"登録"_s, this), u"Command1"_s, 5280, 2040, 735, 375);
    Label2->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    Text1->setMaxLength(32767);
    Text2->setMaxLength(32767);

    setTabOrder(Text1, Text2);
    setTabOrder(Text2, Command1);
    connect(Command1, &QPushButton::clicked, this, &frmCTL::onCommand1Clicked);
    clickButtonsOnEnter(this);
}

void frmCTL::showModal()
{
    Text1->setText(m_settings.SearchFolder);
    Text2->setText(m_settings.WorkFolder);
    setWindowModality(Qt::ApplicationModal);
    show();
    Text1->setFocus();
    QEventLoop loop;
    connect(this, &frmCTL::unloaded, &loop, &QEventLoop::quit);
    loop.exec();
}

void frmCTL::closeEvent(QCloseEvent *event)
{
    event->accept();
    emit unloaded();
}

void frmCTL::onCommand1Clicked()
{
    m_settings.SearchFolder = Text1->text();
    m_settings.WorkFolder = Text2->text();
    const Result<> saved = SaveInitInfo(m_settings, m_platform.profile, m_platform.programFolder.path());
    close();
    m_mainWindow.setSearchFolderDisplay(m_settings.SearchFolder);
    m_mainWindow.setWorkFolderDisplay(m_settings.WorkFolder);
    if (!saved) {
        // The new folders apply for the rest of the run all the same; the operator learns
        // that the next start will read the old ones.
        m_platform.messages.show(
            configurationWriteFailedMessage(configurationFilePath(m_platform.programFolder.path()), saved.reason()));
    }
}
