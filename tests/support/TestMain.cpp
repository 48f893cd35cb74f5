// Test entry point shared by every test program: an offscreen application object,
// a fixed locale, and a private home so no test touches the real user's files.
#include <QApplication>
#include <QDir>
#include <QLocale>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char **argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");

    QTemporaryDir home(QDir::tempPath() + QStringLiteral("/zelbra-test-home-XXXXXX"));
    if (!home.isValid())
        return 2;
    const QByteArray homePath = home.path().toLocal8Bit();
    for (const char *name : {"HOME", "XDG_DATA_HOME", "XDG_CONFIG_HOME", "XDG_CACHE_HOME", "XDG_STATE_HOME",
                             "XDG_RUNTIME_DIR"})
        qputenv(name, homePath);
    qputenv("XDG_DATA_DIRS", homePath);
    qputenv("XDG_CONFIG_DIRS", homePath);

    QApplication app(argc, argv);
    QLocale::setDefault(QLocale(QLocale::English, QLocale::UnitedKingdom));

    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
