// Zelbra entry point.
#include <QApplication>
#include <QLabel>

int main(int argc, char **argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Zelbra"));
    QLabel placeholder(QStringLiteral("Zelbra is being built: the timesheet window is not there yet."));
    placeholder.setWindowTitle(QStringLiteral("Zelbra (in construction)"));
    placeholder.setMargin(24);
    placeholder.show();
    return QApplication::exec();
}
