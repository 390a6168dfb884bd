// Photographs the main window after listing a forum of the bundled sample forum and
// extracting its picture addresses, as a user would.
//   vantrel_screenshot <out.png>       (scripts/screenshot runs it under Xvfb)

#include "app/component_system.h"
#include "app/shared_objects.h"
#include "sample_forum.h"
#include "ui/main_window.h"

#include <cstdio>
#include <cstdlib>

#include <QApplication>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QTest>
#include <QTimer>

namespace {

const char kForumName[] = "风景";

// The commands end with a message box; it is dismissed as soon as it is up.
void dismissMessageBoxes(QTimer& poll)
{
    QObject::connect(&poll, &QTimer::timeout, [] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            box->done(QMessageBox::Ok);
    });
    poll.start(10);
}

bool fail(const char* what)
{
    std::fprintf(stderr, "vantrel_screenshot: %s\n", what);
    return false;
}

bool photograph(vantrel::MainWindow& window, const char* path)
{
    window.showCentred();
    if (!QTest::qWaitForWindowExposed(&window, 10000))
        return fail("the window was never shown");

    window.findChild<QLineEdit*>(QStringLiteral("编辑框1"))->setText(QString::fromUtf8(kForumName));
    window.findChild<QPushButton*>(QStringLiteral("按钮1"))->click();
    window.findChild<QPushButton*>(QStringLiteral("按钮4"))->click();
    if (window.RowCount(vantrel::超级列表框2) == 0)
        return fail("the sample forum gave no pictures");

    // Rendered from the window itself: what the X server shows may still hold the
    // message box that has just been dismissed.
    const QPixmap picture = window.grab();
    if (!picture.save(QString::fromLocal8Bit(path), "PNG"))
        return fail("cannot write the picture");
    return true;
}

} // namespace

int main(int argc, char** argv)
{
    if (argc != 2) {
        std::fprintf(stderr, "usage: vantrel_screenshot <out.png>\n");
        return 2;
    }
    vantrel::SampleForum forum;
    if (!forum.start()) {
        std::fprintf(stderr, "vantrel_screenshot: sample forum: %s\n", forum.error().c_str());
        return 1;
    }
    for (const char* variable : {"no_proxy", "NO_PROXY", "all_proxy", "ALL_PROXY"})
        unsetenv(variable);
    for (const char* variable : {"http_proxy", "https_proxy", "HTTPS_PROXY"})
        setenv(variable, forum.proxyUrl().c_str(), 1);

    vantrel::StartComponentSystem();
    vantrel::InitGlobals();
    bool done = false;
    {
        QApplication application(argc, argv);
        QTimer poll;
        dismissMessageBoxes(poll);
        vantrel::MainWindow window;
        done = photograph(window, argv[1]);
    }
    vantrel::ReleaseGlobals();
    vantrel::StopComponentSystem();
    return done ? 0 : 1;
}
