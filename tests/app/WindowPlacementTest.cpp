// Window placement: the portable INI file and the standard per-user settings,
// the state codes, first runs, and windows brought back onto the screen.
#include "app/core/Errors.h"
#include "app/ui/BaseForm.h"
#include "app/ui/BaseFrame.h"
#include "app/ui/BottomDialogForm.h"
#include "app/ui/WindowPlacement.h"

#include <QCloseEvent>
#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <QPushButton>
#include <QScreen>
#include <QSettings>
#include <QTemporaryDir>

#include <gtest/gtest.h>

#include <memory>
#include <ostream>

static void PrintTo(const QRect &rect, std::ostream *out)
{
    *out << "QRect(" << rect.x() << ", " << rect.y() << ", " << rect.width() << " x " << rect.height() << ")";
}

namespace {

// A main window as the program's windows are: named, with a design placement.
class TPlacedWindow : public TBaseFormVRQ_BaseForm
{
public:
    explicit TPlacedWindow(const TPlacementSettings &settings, const QString &name = QStringLiteral("Form_Main_Form"))
    {
        setObjectName(name);
        setGeometry(120, 80, 698, 177);
        SetPlacementSettings(settings);
    }
    QStringList errors;

protected:
    void ReportError(const QString &message) override { errors << message; }
};

class TPlacedDialog : public TBaseFormVRQ_BottomDialogForm
{
public:
    explicit TPlacedDialog(const TPlacementSettings &settings)
    {
        setObjectName(QStringLiteral("Form_Setup_Form"));
        setGeometry(60, 40, 309, 315);
        SetPlacementSettings(settings);
    }
    QStringList errors;

protected:
    void ReportError(const QString &message) override { errors << message; }
};

QString ReadText(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return QString();
    return QString::fromUtf8(file.readAll());
}

void WriteText(const QString &path, const QString &text)
{
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Text));
    file.write(text.toUtf8());
}

class WindowPlacementTest : public ::testing::Test
{
protected:
    void SetUp() override
    {
        ASSERT_TRUE(m_dir.isValid());
        // Standard installations use the native per-user store: point it here.
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, m_dir.filePath(QStringLiteral("native")));
        m_portable = {itPortable, m_dir.filePath(QStringLiteral("Settings")) + QLatin1Char('/'),
                      QStringLiteral("Zelbra")};
        m_standard = {itStandard, QString(), QStringLiteral("ZelbraTest")};
        ASSERT_TRUE(QDir().mkpath(m_portable.settingsDir));
    }

    QString IniPath() const { return m_portable.settingsDir + QStringLiteral("Zelbra.ini"); }

    std::unique_ptr<QSettings> StandardStore() const
    {
        return std::make_unique<QSettings>(QSettings::NativeFormat, QSettings::UserScope, QStringLiteral("Korvanti"),
                                           QStringLiteral("ZelbraTest"));
    }

    // Shows and closes a window, as the user would.
    static void ShowAndClose(TBaseFormVRQ_BaseForm &window)
    {
        window.show();
        window.close();
    }

    QTemporaryDir m_dir;
    TPlacementSettings m_portable;
    TPlacementSettings m_standard;
};

TEST_F(WindowPlacementTest, PortableRoundTripWritesTheLocationsSection)
{
    {
        TPlacedWindow window(m_portable);
        window.show();
        window.setGeometry(40, 50, 300, 200);
        window.close();
        EXPECT_TRUE(window.errors.isEmpty());
        EXPECT_FALSE(window.isVisible());
    }
    EXPECT_EQ(ReadText(IniPath()), QStringLiteral("[Locations]\n"
                                                  "Form_Main_Form_Height=200\n"
                                                  "Form_Main_Form_Left=40\n"
                                                  "Form_Main_Form_Top=50\n"
                                                  "Form_Main_Form_Width=300\n"
                                                  "Form_Main_Form_WindowState=1\n"));

    TPlacedWindow again(m_portable);
    again.RestorePlacement();
    EXPECT_EQ(again.geometry(), QRect(40, 50, 300, 200));
    EXPECT_EQ(again.windowState(), Qt::WindowNoState);
}

TEST_F(WindowPlacementTest, PortableFirstRunKeepsTheDesignPlacementAndCreatesNoFile)
{
    TPlacedWindow window(m_portable);
    window.show();
    EXPECT_EQ(window.geometry(), QRect(120, 80, 698, 177));
    EXPECT_FALSE(QFile::exists(IniPath()));
    window.close();

    const QSettings ini(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.childGroups(), QStringList{QStringLiteral("Locations")});
    EXPECT_EQ(ini.allKeys().size(), 5);
    EXPECT_EQ(ini.value(QStringLiteral("Locations/Form_Main_Form_Width")).toInt(), 698);
}

TEST_F(WindowPlacementTest, PortableSectionWithoutTheWindowsKeysOpensAtTheCorner)
{
    WriteText(IniPath(), QStringLiteral("[Locations]\nForm_Other_Form_Left=300\n"));
    TPlacedWindow window(m_portable);
    window.setWindowState(Qt::WindowMaximized);
    window.RestorePlacement();
    EXPECT_EQ(window.geometry(), QRect(0, 0, 698, 177));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST_F(WindowPlacementTest, PortableFileWithoutTheSectionIsIgnored)
{
    WriteText(IniPath(), QStringLiteral("[Other]\nForm_Main_Form_Left=300\n"));
    TPlacedWindow window(m_portable);
    window.RestorePlacement();
    EXPECT_EQ(window.geometry(), QRect(120, 80, 698, 177));
}

TEST_F(WindowPlacementTest, PortableValueThatIsNotANumberReadsAsItsDefault)
{
    WriteText(IniPath(), QStringLiteral("[Locations]\n"
                                        "Form_Main_Form_Left=12\nForm_Main_Form_Top=abc\n"
                                        "Form_Main_Form_Height=\nForm_Main_Form_Width=400\n"
                                        "Form_Main_Form_WindowState=x\n"));
    TPlacedWindow window(m_portable);
    window.RestorePlacement();
    EXPECT_EQ(window.geometry(), QRect(12, 0, 400, 177));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST_F(WindowPlacementTest, PortableWriteKeepsOtherWindowsAndSections)
{
    WriteText(IniPath(), QStringLiteral("[Locations]\nForm_Submit_Form_Left=7\n\n[Other]\nKeep=1\n"));
    TPlacedWindow window(m_portable);
    ShowAndClose(window);
    const QSettings ini(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Locations/Form_Submit_Form_Left")).toInt(), 7);
    EXPECT_EQ(ini.value(QStringLiteral("Other/Keep")).toInt(), 1);
    EXPECT_TRUE(ini.contains(QStringLiteral("Locations/Form_Main_Form_WindowState")));
}

TEST_F(WindowPlacementTest, StandardRoundTripWritesTheWindowsGroup)
{
    {
        TPlacedWindow window(m_standard);
        window.show();
        window.setGeometry(33, 44, 555, 266);
        window.close();
    }
    const auto store = StandardStore();
    store->beginGroup(QStringLiteral("Forms/Form_Main_Form"));
    EXPECT_EQ(store->childKeys(), (QStringList{QStringLiteral("Height"), QStringLiteral("Left"), QStringLiteral("Top"),
                                               QStringLiteral("Width"), QStringLiteral("WindowState")}));
    EXPECT_EQ(store->value(QStringLiteral("Left")).toInt(), 33);
    EXPECT_EQ(store->value(QStringLiteral("Top")).toInt(), 44);
    EXPECT_EQ(store->value(QStringLiteral("Height")).toInt(), 266);
    EXPECT_EQ(store->value(QStringLiteral("Width")).toInt(), 555);
    EXPECT_EQ(store->value(QStringLiteral("WindowState")).toInt(), 1);

    TPlacedWindow again(m_standard);
    again.RestorePlacement();
    EXPECT_EQ(again.geometry(), QRect(33, 44, 555, 266));
}

TEST_F(WindowPlacementTest, StandardMissingGroupKeepsTheDesignPlacementAndIsNotCreatedByReading)
{
    {
        const auto store = StandardStore();
        store->setValue(QStringLiteral("Forms/Form_Other_Form/Left"), 5);
    }
    TPlacedWindow window(m_standard);
    window.RestorePlacement();
    EXPECT_EQ(window.geometry(), QRect(120, 80, 698, 177));
    const auto store = StandardStore();
    store->beginGroup(QStringLiteral("Forms"));
    EXPECT_EQ(store->childGroups(), QStringList{QStringLiteral("Form_Other_Form")});
}

TEST_F(WindowPlacementTest, StandardMissingValueKeepsTheCurrentOne)
{
    {
        const auto store = StandardStore();
        store->setValue(QStringLiteral("Forms/Form_Main_Form/Left"), 15);
        store->setValue(QStringLiteral("Forms/Form_Main_Form/Top"), 25);
    }
    TPlacedWindow window(m_standard);
    window.RestorePlacement();
    EXPECT_EQ(window.geometry(), QRect(15, 25, 698, 177));
    EXPECT_EQ(window.windowState(), Qt::WindowNoState);
}

TEST(WindowStateMapping, CodesBothWays)
{
    EXPECT_EQ(WindowStateToInteger(Qt::WindowNoState), 1);
    EXPECT_EQ(WindowStateToInteger(Qt::WindowMaximized), 2);
    EXPECT_EQ(WindowStateToInteger(Qt::WindowMinimized), 3);
    // A minimised window that was maximised before is still minimised.
    EXPECT_EQ(WindowStateToInteger(Qt::WindowMinimized | Qt::WindowMaximized), 3);
    EXPECT_EQ(WindowStateToInteger(Qt::WindowActive), 1);

    const struct {
        int code;
        Qt::WindowStates state;
    } cases[] = {{1, Qt::WindowNoState},  {2, Qt::WindowMaximized}, {3, Qt::WindowMinimized},
                 {0, Qt::WindowMinimized}, {7, Qt::WindowMinimized}, {-1, Qt::WindowMinimized}};
    for (const auto &c : cases)
        EXPECT_EQ(IntegerToWindowState(c.code), c.state) << "code " << c.code;
}

// A window closed maximised or minimised opens so again; stored codes 0 and 7
// open it minimised. Both kinds of installation.
TEST_F(WindowPlacementTest, WindowStateSurvivesAClose)
{
    for (const TPlacementSettings &settings : {m_portable, m_standard}) {
        SCOPED_TRACE(settings.installType == itPortable ? "portable" : "standard");
        for (const Qt::WindowState state : {Qt::WindowMaximized, Qt::WindowMinimized, Qt::WindowNoState}) {
            {
                TPlacedWindow window(settings);
                window.show();
                window.setWindowState(state);
                window.close();
            }
            TPlacedWindow again(settings);
            again.RestorePlacement();
            EXPECT_EQ(again.windowState(), Qt::WindowStates(state)) << "state " << int(state);
        }
    }
    for (const int code : {0, 7}) {
        const QString name = QStringLiteral("Form_Main_Form");
        const TPlacementRecord record{.left = 10, .top = 10, .height = 100, .width = 100, .windowState = code};
        ASSERT_TRUE(TWindowPlacement(m_portable).Write(name, record));
        ASSERT_TRUE(TWindowPlacement(m_standard).Write(name, record));
        TPlacedWindow portable(m_portable);
        portable.RestorePlacement();
        EXPECT_EQ(portable.windowState(), Qt::WindowMinimized) << "portable code " << code;
        TPlacedWindow standard(m_standard);
        standard.RestorePlacement();
        EXPECT_EQ(standard.windowState(), Qt::WindowMinimized) << "standard code " << code;
    }
}

TEST_F(WindowPlacementTest, PlacementIsRestoredOnceAtTheFirstShowing)
{
    ASSERT_TRUE(TWindowPlacement(m_portable).Write(QStringLiteral("Form_Main_Form"),
                                                   {.left = 30, .top = 40, .height = 300, .width = 500}));
    TPlacedWindow window(m_portable);
    EXPECT_FALSE(window.PlacementRestored());
    window.show();
    EXPECT_TRUE(window.PlacementRestored());
    EXPECT_EQ(window.geometry(), QRect(30, 40, 500, 300));
    // Moved by the user, hidden and shown again: it stays where the user put it.
    window.setGeometry(60, 70, 500, 300);
    window.hide();
    window.show();
    EXPECT_EQ(window.geometry(), QRect(60, 70, 500, 300));
    window.close();
}

TEST_F(WindowPlacementTest, PositionOffEveryScreenIsMovedBackOntoThePrimaryScreen)
{
    const QRect available = QGuiApplication::primaryScreen()->availableGeometry();
    ASSERT_TRUE(TWindowPlacement(m_portable).Write(QStringLiteral("Form_Main_Form"),
                                                   {.left = available.right() + 2000,
                                                    .top = available.bottom() + 1500,
                                                    .height = 177,
                                                    .width = 698}));
    TPlacedWindow window(m_portable);
    window.RestorePlacement();
    EXPECT_TRUE(available.contains(window.geometry())) << window.geometry().x() << "," << window.geometry().y();
    EXPECT_EQ(window.geometry().size(), QSize(698, 177));
}

TEST(FitOnScreens, KeepsShowingBoundsAndMovesLostOnes)
{
    const QRect left(0, 0, 1920, 1040);
    const QRect right(1920, 0, 1280, 984);
    const QList<QRect> screens{left, right};
    const struct {
        const char *what;
        QRect bounds;
        QRect expected;
    } cases[] = {
        {"inside the primary screen", {100, 100, 400, 300}, {100, 100, 400, 300}},
        {"on the second screen", {2500, 200, 400, 300}, {2500, 200, 400, 300}},
        {"across both screens", {1800, 100, 400, 300}, {1800, 100, 400, 300}},
        {"hanging off the left edge by most of its width", {-340, 100, 400, 300}, {-340, 100, 400, 300}},
        {"on a third screen that is gone", {3400, 100, 400, 300}, {1520, 100, 400, 300}},
        {"left of every screen", {-2000, 300, 400, 300}, {0, 300, 400, 300}},
        {"above every screen", {100, -500, 400, 300}, {100, 0, 400, 300}},
        {"title strip above the screen", {100, -10, 400, 300}, {100, 0, 400, 300}},
        {"only a sliver of the title strip visible", {-380, 100, 400, 300}, {0, 100, 400, 300}},
        {"below the short second screen", {2000, 1000, 400, 300}, {1520, 740, 400, 300}},
        {"larger than the primary screen", {5000, 5000, 2500, 1500}, {0, 0, 1920, 1040}},
    };
    for (const auto &c : cases)
        EXPECT_EQ(TWindowPlacement::FitOnScreens(c.bounds, screens, left), c.expected) << c.what;
}

TEST_F(WindowPlacementTest, SettingsDirectoryThatCannotBeMadeStopsTheClose)
{
    // A file stands where the settings directory should be made.
    const QString blocker = m_dir.filePath(QStringLiteral("blocked"));
    WriteText(blocker, QStringLiteral("x"));
    TPlacementSettings settings = m_portable;
    settings.settingsDir = blocker + QStringLiteral("/Settings/");

    TPlacedWindow window(settings);
    window.show();
    EXPECT_FALSE(window.close());
    EXPECT_TRUE(window.isVisible());
    EXPECT_EQ(window.errors, QStringList{QStringLiteral("Cannot create ") + settings.settingsDir});
    EXPECT_THROW(window.StorePlacement(), EVRQException);

    TPlacedDialog dialog(settings);
    dialog.show();
    dialog.accept();
    EXPECT_TRUE(dialog.isVisible());
    EXPECT_EQ(dialog.errors.size(), 1);
    dialog.SetPlacementSettings(m_portable);
    dialog.accept();
    EXPECT_FALSE(dialog.isVisible());
    EXPECT_EQ(dialog.result(), QDialog::Accepted);
}

TEST_F(WindowPlacementTest, DialogStoresItsPlacementHoweverItCloses)
{
    const QString key = QStringLiteral("Locations/Form_Setup_Form_Left");
    const struct {
        const char *how;
        void (*close)(TPlacedDialog &);
        int left;
    } cases[] = {
        {"OK", [](TPlacedDialog &d) { d.btnOk->click(); }, 11},
        {"Cancel", [](TPlacedDialog &d) { d.btnCancel->click(); }, 12},
        {"title-bar button", [](TPlacedDialog &d) { d.close(); }, 13},
    };
    for (const auto &c : cases) {
        TPlacedDialog dialog(m_portable);
        dialog.show();
        dialog.move(c.left, 20);
        const int left = dialog.geometry().left();
        c.close(dialog);
        EXPECT_FALSE(dialog.isVisible()) << c.how;
        EXPECT_EQ(QSettings(IniPath(), QSettings::IniFormat).value(key).toInt(), left) << c.how;
    }
}

TEST_F(WindowPlacementTest, WindowWithoutSettingsKeepsNoPlacement)
{
    TWindowPlacement::ClearApplicationSettings();
    TBaseFormVRQ_BaseForm window;
    window.setObjectName(QStringLiteral("Form_Main_Form"));
    window.setGeometry(1, 2, 300, 200);
    window.show();
    EXPECT_TRUE(window.close());
    EXPECT_EQ(window.geometry(), QRect(1, 2, 300, 200));
    EXPECT_TRUE(QDir(m_dir.path()).entryList({QStringLiteral("*.ini")}, QDir::Files).isEmpty());
}

TEST_F(WindowPlacementTest, ApplicationSettingsServeEveryWindowWithoutItsOwn)
{
    TWindowPlacement::SetApplicationSettings(m_portable);
    {
        TBaseFormVRQ_BaseForm window;
        window.setObjectName(QStringLiteral("Form_Submit_Form"));
        window.setGeometry(9, 8, 300, 200);
        window.show();
        window.close();
    }
    TWindowPlacement::ClearApplicationSettings();
    const QSettings ini(IniPath(), QSettings::IniFormat);
    EXPECT_EQ(ini.value(QStringLiteral("Locations/Form_Submit_Form_Left")).toInt(), 9);
}

TEST(PlacementName, ObjectNameOrClassNameWithoutTheT)
{
    TBaseFormVRQ_BaseForm window;
    EXPECT_EQ(window.PlacementName(), QStringLiteral("BaseFormVRQ_BaseForm"));
    window.setObjectName(QStringLiteral("Form_Main_Form"));
    EXPECT_EQ(window.PlacementName(), QStringLiteral("Form_Main_Form"));
}

} // namespace
