#include "app/ui/HelpViewer.h"

#include "app/ui/Help.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QPushButton>
#include <QTextBrowser>
#include <QVBoxLayout>

TForm_Help_Form::TForm_Help_Form(QWidget *parent)
    : QDialog(parent, Qt::Window)
{
    setObjectName(QStringLiteral("Form_Help_Form"));
    setAttribute(Qt::WA_DeleteOnClose);
    setModal(false);
    resize(720, 560);

    auto *layout = new QVBoxLayout(this);
    layout->setContentsMargins(8, 8, 8, 8);
    layout->setSpacing(6);

    auto *bar = new QHBoxLayout;
    bar->setSpacing(5);
    auto makeButton = [this, bar](const QString &name, const QString &caption) {
        auto *button = new QPushButton(caption, this);
        button->setObjectName(name);
        button->setAutoDefault(false);
        bar->addWidget(button);
        return button;
    };
    btnContents = makeButton(QStringLiteral("btnContents"), tr("&Contents"));
    btnBack = makeButton(QStringLiteral("btnBack"), tr("&Back"));
    btnForward = makeButton(QStringLiteral("btnForward"), tr("&Forward"));
    bar->addStretch(1);
    btnOnlineHelp = makeButton(QStringLiteral("btnOnlineHelp"), tr("&Online Help"));
    layout->addLayout(bar);

    tbHelp = new QTextBrowser(this);
    tbHelp->setObjectName(QStringLiteral("tbHelp"));
    tbHelp->setOpenExternalLinks(true);
    layout->addWidget(tbHelp, 1);

    auto *bottom = new QHBoxLayout;
    bottom->addStretch(1);
    btnClose = new QPushButton(tr("Close"), this);
    btnClose->setObjectName(QStringLiteral("btnClose"));
    btnClose->setFixedSize(75, 25);
    btnClose->setDefault(true);
    bottom->addWidget(btnClose);
    layout->addLayout(bottom);

    btnBack->setEnabled(false);
    btnForward->setEnabled(false);
    connect(btnContents, &QPushButton::clicked, this, [this] { ShowTopic(kWelcomeTopic); });
    connect(btnBack, &QPushButton::clicked, tbHelp, &QTextBrowser::backward);
    connect(btnForward, &QPushButton::clicked, tbHelp, &QTextBrowser::forward);
    connect(btnOnlineHelp, &QPushButton::clicked, this, [] { OpenOnlineHelp(); });
    connect(btnClose, &QPushButton::clicked, this, &QDialog::close);
    connect(tbHelp, &QTextBrowser::backwardAvailable, btnBack, &QPushButton::setEnabled);
    connect(tbHelp, &QTextBrowser::forwardAvailable, btnForward, &QPushButton::setEnabled);
    connect(tbHelp, &QTextBrowser::sourceChanged, this, &TForm_Help_Form::UpdateCaption);
}

void TForm_Help_Form::ShowTopic(const QString &topic)
{
    const QUrl url = HelpTopicUrl(topic);
    if (tbHelp->source() == url)
        tbHelp->reload();
    else
        tbHelp->setSource(url);
    UpdateCaption();
}

QString TForm_Help_Form::CurrentTopic() const
{
    return QFileInfo(tbHelp->source().path()).completeBaseName();
}

void TForm_Help_Form::UpdateCaption()
{
    const QString title = tbHelp->documentTitle();
    const QString application = QStringLiteral("Zelbra Help");
    setWindowTitle(title.isEmpty() ? application : application + QStringLiteral(" - ") + title);
}
