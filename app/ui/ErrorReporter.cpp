#include "app/ui/ErrorReporter.h"

#include <QApplication>
#include <QMessageBox>
#include <QPushButton>
#include <QWidget>

QWidget *TMessageReporter::BoxParent()
{
    if (QWidget *active = QApplication::activeModalWidget())
        return active;
    return QApplication::activeWindow();
}

void TMessageReporter::ShowMessage(const QString &text)
{
    QMessageBox::information(BoxParent(), QApplication::applicationDisplayName(), text);
}

void TMessageReporter::ShowError(const QString &text)
{
    QMessageBox::warning(BoxParent(), QApplication::applicationDisplayName(), text);
}

TMessageReporter::TSaveFailedChoice TMessageReporter::AskSaveFailed(const QString &message)
{
    QMessageBox box(QMessageBox::Warning, QApplication::applicationDisplayName(),
                    QStringLiteral("Your changes could not be saved."), QMessageBox::NoButton, BoxParent());
    box.setInformativeText(message + QStringLiteral("\n\nRetry the save, keep Zelbra open, or quit and lose the "
                                                    "changes made since the last save."));
    QPushButton *retry = box.addButton(QStringLiteral("&Retry"), QMessageBox::AcceptRole);
    QPushButton *quit = box.addButton(QStringLiteral("&Quit Anyway"), QMessageBox::DestructiveRole);
    QPushButton *cancel = box.addButton(QStringLiteral("&Cancel"), QMessageBox::RejectRole);
    box.setDefaultButton(retry);
    box.setEscapeButton(cancel);
    box.exec();
    if (box.clickedButton() == retry)
        return sfRetry;
    if (box.clickedButton() == quit)
        return sfQuitAnyway;
    return sfCancelClose;
}

TMessageReporter &TMessageReporter::Default()
{
    static TMessageReporter reporter;
    return reporter;
}
