// Writes a picture of the whole screen of the display it runs on (the drive
// checks under a virtual X server look at the real program through it).
//     zelbra_grab_screen <file.png>
#include <QApplication>
#include <QPixmap>
#include <QScreen>

#include <cstdio>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    if (argc < 2)
        return 2;
    QScreen *screen = QGuiApplication::primaryScreen();
    if (!screen)
        return 1;
    const bool ok = screen->grabWindow(0).save(QString::fromLocal8Bit(argv[1]));
    std::printf("%s %s\n", ok ? "wrote" : "FAILED", argv[1]);
    return ok ? 0 : 1;
}
