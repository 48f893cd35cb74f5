#pragma once
// The help viewer: the program's help pages in a browser pane with contents,
// back and forward buttons. Opened through OpenHelp (Help.h).

#include <QDialog>

class QPushButton;
class QTextBrowser;

class TForm_Help_Form : public QDialog
{
    Q_OBJECT

public:
    /// A modeless window that deletes itself when closed.
    explicit TForm_Help_Form(QWidget *parent = nullptr);

    /// Shows a topic's page ("Welcome" for an empty or unknown topic).
    void ShowTopic(const QString &topic);
    /// The topic of the page on show.
    QString CurrentTopic() const;

    QTextBrowser *tbHelp = nullptr;
    QPushButton *btnContents = nullptr;
    QPushButton *btnBack = nullptr;
    QPushButton *btnForward = nullptr;
    QPushButton *btnOnlineHelp = nullptr;
    QPushButton *btnClose = nullptr;

private:
    void UpdateCaption();
};
