#include "app/ui/AboutForm.h"

#include "app/ui/Help.h"
#include "app/ui/ProductArt.h"
#include "app/ui/VersionInfo.h"

#include <QEvent>
#include <QFrame>
#include <QGridLayout>
#include <QGuiApplication>
#include <QLabel>
#include <QMouseEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>

namespace {

QString AcknowledgementText()
{
    return TForm_About_Form::tr(
               "Built with the Qt toolkit %1, used under the GNU Lesser General Public License "
               "version 3.\n"
               "Tool bar icons drawn for Zelbra; where the desktop's freedesktop.org icon theme "
               "has every one of them, the theme's icons are used instead.\n"
               "XML data files read and written with the pugixml library (MIT licence).\n"
               "Product image and splash picture drawn for Zelbra.")
        .arg(QString::fromLatin1(qVersion()));
}

} // namespace

TForm_About_Form::TForm_About_Form(QWidget *parent)
    : QDialog(parent, Qt::Dialog | Qt::MSWindowsFixedSizeDialogHint)
{
    setObjectName(QStringLiteral("Form_About_Form"));
    setFixedSize(377, 308);

    Panel1 = new QFrame(this);
    Panel1->setObjectName(QStringLiteral("Panel1"));
    Panel1->setFrameShape(QFrame::StyledPanel);
    Panel1->setFrameShadow(QFrame::Sunken);

    ZelbraBitmap = new TPictureBox(PaintProductImage, Panel1);
    ZelbraBitmap->setObjectName(QStringLiteral("ZelbraBitmap"));
    ZelbraBitmap->setFixedSize(71, 67);

    lblProductName = new QLabel(Panel1);
    lblProductName->setObjectName(QStringLiteral("lblProductName"));
    QFont nameFont = lblProductName->font();
    nameFont.setPixelSize(18);
    nameFont.setBold(true);
    lblProductName->setFont(nameFont);

    lblVersion = new QLabel(tr("Version"), Panel1);
    lblVersion->setObjectName(QStringLiteral("lblVersion"));

    lblhomelink = new QLabel(MakerHomeAddress(), Panel1);
    lblhomelink->setObjectName(QStringLiteral("lblhomelink"));
    QPalette linkPalette = lblhomelink->palette();
    linkPalette.setColor(QPalette::WindowText, Qt::blue);
    lblhomelink->setPalette(linkPalette);
    QFont linkFont = lblhomelink->font();
    linkFont.setUnderline(true);
    lblhomelink->setFont(linkFont);
    lblhomelink->setToolTip(tr("Visit the maker's web site"));
    lblhomelink->installEventFilter(this);

    lblCopyright = new QLabel(Panel1);
    lblCopyright->setObjectName(QStringLiteral("lblCopyright"));
    lblCopyright->setWordWrap(true);

    Comments = new QLabel(tr("Comments"), Panel1);
    Comments->setObjectName(QStringLiteral("Comments"));
    QFont headingFont = Comments->font();
    headingFont.setBold(true);
    Comments->setFont(headingFont);

    mComments = new QPlainTextEdit(Panel1);
    mComments->setObjectName(QStringLiteral("mComments"));
    mComments->setReadOnly(true);
    mComments->setEnabled(false);
    mComments->setPlainText(AcknowledgementText());

    auto *panelLayout = new QGridLayout(Panel1);
    panelLayout->setContentsMargins(10, 10, 10, 10);
    panelLayout->setHorizontalSpacing(12);
    panelLayout->setVerticalSpacing(4);
    panelLayout->addWidget(ZelbraBitmap, 0, 0, 3, 1, Qt::AlignTop);
    panelLayout->addWidget(lblProductName, 0, 1);
    panelLayout->addWidget(lblVersion, 1, 1);
    panelLayout->addWidget(lblhomelink, 2, 1, Qt::AlignLeft);
    panelLayout->setRowMinimumHeight(3, 6);
    panelLayout->addWidget(lblCopyright, 4, 0, 1, 2);
    panelLayout->setRowMinimumHeight(5, 4);
    panelLayout->addWidget(Comments, 6, 0, 1, 2);
    panelLayout->addWidget(mComments, 7, 0, 1, 2);
    panelLayout->setRowStretch(7, 1);
    panelLayout->setColumnStretch(1, 1);

    OKButton = new QPushButton(tr("OK"), this);
    OKButton->setObjectName(QStringLiteral("OKButton"));
    OKButton->setDefault(true);
    OKButton->setFixedSize(75, 25);
    connect(OKButton, &QPushButton::clicked, this, &QDialog::accept);

    auto *layout = new QGridLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setVerticalSpacing(8);
    layout->addWidget(Panel1, 0, 0);
    layout->addWidget(OKButton, 1, 0, Qt::AlignRight);
    layout->setRowStretch(0, 1);

    FormCreate();

    // Centred on the screen of the window it belongs to, or the primary one.
    const QScreen *screen = parent ? parent->screen() : QGuiApplication::primaryScreen();
    if (screen)
        move(screen->availableGeometry().center() - rect().center());
}

void TForm_About_Form::FormCreate()
{
    QStringList versionList;
    GetProjectVersionInfo(versionList, QString(), false);
    const QString productName = VersionListValue(versionList, vpProductName);
    lblProductName->setText(productName);
    setWindowTitle(tr("About ") + productName);
    lblVersion->setText(lblVersion->text() + QLatin1Char(' ') + VersionListValue(versionList, vpProductVersion));
    lblCopyright->setText(VersionListValue(versionList, vpLegalCopyright));
}

void TForm_About_Form::lblhomelinkClick()
{
    OpenWebAddress(lblhomelink->text());
}

void TForm_About_Form::lblhomelinkMouseEnter()
{
    FPrevCursor = lblhomelink->cursor();
    lblhomelink->setCursor(Qt::PointingHandCursor);
}

void TForm_About_Form::lblhomelinkMouseLeave()
{
    lblhomelink->setCursor(FPrevCursor);
}

bool TForm_About_Form::eventFilter(QObject *watched, QEvent *event)
{
    if (watched == lblhomelink) {
        switch (event->type()) {
        case QEvent::Enter:
            lblhomelinkMouseEnter();
            break;
        case QEvent::Leave:
            lblhomelinkMouseLeave();
            break;
        case QEvent::MouseButtonRelease:
            if (static_cast<QMouseEvent *>(event)->button() == Qt::LeftButton
                && lblhomelink->rect().contains(static_cast<QMouseEvent *>(event)->position().toPoint())) {
                lblhomelinkClick();
                return true;
            }
            break;
        default:
            break;
        }
    }
    return QDialog::eventFilter(watched, event);
}
