#include "review/MessageBoxQuestions.h"

#include "app/ui/ErrorReporter.h"

#include <QApplication>
#include <QMessageBox>

TMessageBoxQuestions::TMessageBoxQuestions(QWidget *parent)
    : m_parent(parent)
{
}

bool TMessageBoxQuestions::AskYesNo(const QString &question)
{
    QWidget *parent = m_parent ? m_parent.data() : TMessageReporter::BoxParent();
    const QMessageBox::StandardButton answer =
        QMessageBox::question(parent, QApplication::applicationDisplayName(), question,
                              QMessageBox::Yes | QMessageBox::No, QMessageBox::No);
    return answer == QMessageBox::Yes;
}
