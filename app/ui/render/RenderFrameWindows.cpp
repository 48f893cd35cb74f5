// Renders the frame windows (About, splash, help viewer, a bottom help dialog)
// to PNG files, so their look can be checked without a desktop:
//     zelbra_render_frame <output dir> <name suffix>
// Run it with QT_QPA_PLATFORM=offscreen, and QT_SCALE_FACTOR=2 for high density.
#include "app/ui/AboutForm.h"
#include "app/ui/BottomHelpDialogForm.h"
#include "app/ui/Help.h"
#include "app/ui/HelpViewer.h"
#include "app/ui/SplashForm.h"

#include <QApplication>
#include <QDir>
#include <QLabel>
#include <QPixmap>
#include <QTextStream>
#include <QVBoxLayout>

#include <cstdio>

namespace {

bool Save(QWidget &window, const QString &path)
{
    window.show();
    QApplication::processEvents();
    const QPixmap picture = window.grab();
    const bool saved = picture.save(path);
    std::printf("%s %s (%dx%d, dpr %.1f)\n", saved ? "wrote" : "FAILED", qPrintable(path), picture.width(),
                picture.height(), picture.devicePixelRatio());
    window.hide();
    return saved;
}

} // namespace

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelbra"));
    const QStringList args = QApplication::arguments();
    const QString outDir = args.size() > 1 ? args.at(1) : QStringLiteral(".");
    const QString suffix = args.size() > 2 ? args.at(2) : QString();
    QDir().mkpath(outDir);
    auto path = [&](const QString &name) { return QDir(outDir).filePath(name + suffix + QStringLiteral(".png")); };

    bool ok = true;
    {
        TForm_About_Form about;
        ok &= Save(about, path(QStringLiteral("about")));
    }
    {
        TForm_Splash_Form splash;
        ok &= Save(splash, path(QStringLiteral("splash")));
    }
    for (const QString &topic : {QStringLiteral("Welcome"), QStringLiteral("Time_Tracker")}) {
        TForm_Help_Form help;
        help.ShowTopic(topic);
        ok &= Save(help, path(QStringLiteral("help-") + topic));
    }
    {
        TBaseFormVRQ_BottomHelpDialogForm dialog;
        dialog.setWindowTitle(QStringLiteral("Select Tasks"));
        auto *layout = new QVBoxLayout(dialog.ClientArea());
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(new QLabel(QStringLiteral("Client area of a bottom help dialog")));
        dialog.resize(504, 152);
        ok &= Save(dialog, path(QStringLiteral("bottom-help-dialog")));
    }
    return ok ? 0 : 1;
}
