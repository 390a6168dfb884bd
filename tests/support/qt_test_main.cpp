#include <gtest/gtest.h>

#include <QApplication>
#include <QByteArray>

// Window tests run on the offscreen platform unless the caller chose another one. Its own
// screen is narrower than the main window, and the platform shifts windows that would start
// left of the screen, so the tests get a screen of a common desktop size instead.
int main(int argc, char** argv)
{
    const QByteArray platform = qgetenv("QT_QPA_PLATFORM");
    if (platform.isEmpty() || platform == "offscreen")
        qputenv("QT_QPA_PLATFORM", "offscreen:configfile=" VANTREL_OFFSCREEN_CONFIG);
    QApplication application(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
