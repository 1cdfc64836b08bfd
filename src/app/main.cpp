#include "filesystem.h"
#include "module1.h"
#include "profilefile.h"
#include "programfolder.h"
#include "widgetmessageboxes.h"

#include <QApplication>
#include <QLabel>
#include <QVBoxLayout>
#include <QWidget>

namespace {

// Shows the two folders until the main window is built.
class FolderWindow final : public MainWindowOps {
public:
    void Load() override
    {
        m_window = std::make_unique<QWidget>();
        m_window->setWindowTitle(QStringLiteral("Fenlow"));
        auto *layout = new QVBoxLayout(m_window.get());
        m_search = new QLabel(QStringLiteral("Label3"));
        m_work = new QLabel(QStringLiteral("Label4"));
        layout->addWidget(m_search);
        layout->addWidget(m_work);
    }
    void Unload() override { m_window.reset(); }
    void Show() override { m_window->show(); }
    void SetSearchFolderDisplay(const QString &folder) override { m_search->setText(folder); }
    void SetWorkFolderDisplay(const QString &folder) override { m_work->setText(folder); }

private:
    std::unique_ptr<QWidget> m_window;
    QLabel *m_search = nullptr;
    QLabel *m_work = nullptr;
};

} // namespace

int main(int argc, char *argv[])
{
    QApplication app(argc, argv);
    ApplicationProgramFolder programFolder;
    IniProfileFile profile;
    WidgetMessageBoxes messages;
    Module1 module({programFolder, profile, messages, [] { return std::make_unique<FolderWindow>(); }});
    if (!module.Main()) {
        return 1;
    }
    return app.exec();
}
