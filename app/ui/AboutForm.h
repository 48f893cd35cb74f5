#pragma once
// The About window: product name, version, copyright, a link to the maker's
// site and the acknowledgements, from the program's version record.

#include <QCursor>
#include <QDialog>

class QFrame;
class QLabel;
class QPlainTextEdit;
class QPushButton;
class TPictureBox;

/// Opened modally and deleted by its caller. Values missing from the version
/// list (a record with fewer keys) show as empty text: the caption is then
/// "About " alone and the version label "Version ".
class TForm_About_Form : public QDialog
{
    Q_OBJECT

public:
    explicit TForm_About_Form(QWidget *parent = nullptr);

    QFrame *Panel1 = nullptr;
    TPictureBox *ZelbraBitmap = nullptr;
    QLabel *lblProductName = nullptr;
    QLabel *lblVersion = nullptr;
    QLabel *lblhomelink = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *Comments = nullptr;
    QPlainTextEdit *mComments = nullptr;
    QPushButton *OKButton = nullptr;

public slots:
    /// Opens the link label's address in the browser.
    void lblhomelinkClick();
    void lblhomelinkMouseEnter();
    void lblhomelinkMouseLeave();

protected:
    bool eventFilter(QObject *watched, QEvent *event) override;

private:
    void FormCreate();

    /// The link label's cursor from before the pointer entered it.
    QCursor FPrevCursor;
};
