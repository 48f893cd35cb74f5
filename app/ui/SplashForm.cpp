#include "app/ui/SplashForm.h"

#include "app/ui/ProductArt.h"
#include "app/ui/VersionInfo.h"

#include <QFont>
#include <QLabel>
#include <QTimer>

namespace {

// 24-pixel Tahoma, or the nearest sans-serif face the system has.
QFont TitleFont()
{
    QFont font;
    font.setFamilies({QStringLiteral("Tahoma"), QStringLiteral("DejaVu Sans"), QStringLiteral("Liberation Sans"),
                      QStringLiteral("Arial")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(24);
    font.setBold(true);
    return font;
}

void SetTextColour(QLabel *label, const QColor &colour)
{
    QPalette palette = label->palette();
    palette.setColor(QPalette::WindowText, colour);
    label->setPalette(palette);
}

} // namespace

TForm_Splash_Form::TForm_Splash_Form(QWidget *parent)
    : QFrame(parent, Qt::SplashScreen | Qt::FramelessWindowHint | Qt::WindowStaysOnTopHint)
{
    setObjectName(QStringLiteral("Form_Splash_Form"));
    // The caption is never visible: the window has no title bar.
    setWindowTitle(QStringLiteral("Time "));
    setFrameStyle(QFrame::Box | QFrame::Plain);
    setLineWidth(kBorder);
    QPalette framePalette = palette();
    framePalette.setColor(QPalette::WindowText, QColor(0x10, 0x2a, 0x4a));
    setPalette(framePalette);
    setFixedSize(kClientWidth + 2 * kBorder, kClientHeight + 2 * kBorder);
    move(335, 9);

    Splash = new TPictureBox(PaintSplashPicture, this);
    Splash->setObjectName(QStringLiteral("Splash"));
    Splash->setGeometry(kBorder, kBorder, kClientWidth, kClientHeight);

    // The title sits in the picture's white band (its top 8 % to 32 %).
    lblTitle = new QLabel(Splash);
    lblTitle->setObjectName(QStringLiteral("lblTitle"));
    lblTitle->setFont(TitleFont());
    lblTitle->setAutoFillBackground(true);
    QPalette titlePalette = lblTitle->palette();
    titlePalette.setColor(QPalette::Window, Qt::white);
    titlePalette.setColor(QPalette::WindowText, QColor(0x1b, 0x4f, 0x8a));
    lblTitle->setPalette(titlePalette);
    lblTitle->setGeometry(16, 20, 200, 40);

    lblVersion = new QLabel(tr("Version"), Splash);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));
    SetTextColour(lblVersion, Qt::white);
    QFont versionFont = lblVersion->font();
    versionFont.setBold(true);
    lblVersion->setFont(versionFont);
    lblVersion->setGeometry(16, 148, 190, 20);

    lblCopyright = new QLabel(Splash);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    SetTextColour(lblCopyright, Qt::white);
    lblCopyright->setGeometry(16, 168, 190, 20);

    TimerSplash = new QTimer(this);
    TimerSplash->setObjectName(QStringLiteral("TimerSplash"));
    TimerSplash->setInterval(5000);
    TimerSplash->setSingleShot(true);
    connect(TimerSplash, &QTimer::timeout, this, &TForm_Splash_Form::TimerSplashTimer);

    FormCreate();
    TimerSplash->start();
}

void TForm_Splash_Form::FormCreate()
{
    lblTitle->setText(QStringLiteral("Zelbra 2008"));
    QStringList versionList;
    GetProjectVersionInfo(versionList, QString(), false);
    lblVersion->setText(lblVersion->text() + QLatin1Char(' ') + VersionListValue(versionList, vpProductVersion));
    lblCopyright->setText(VersionListValue(versionList, vpLegalCopyright));
}

void TForm_Splash_Form::TimerSplashTimer()
{
    hide();
}
