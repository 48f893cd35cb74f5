#pragma once
// The splash window shown while the main window is being built: the title,
// version and copyright over the splash picture. It hides itself 5 seconds
// after it was created.

#include <QFrame>

class QLabel;
class QTimer;
class TPictureBox;

/// Frameless and always on top, client area 330 × 198 inside a 2-pixel border,
/// at its design position (335, 9). Version values missing from the version
/// list show as empty text.
class TForm_Splash_Form : public QFrame
{
    Q_OBJECT

public:
    static constexpr int kClientWidth = 330;
    static constexpr int kClientHeight = 198;
    static constexpr int kBorder = 2;

    explicit TForm_Splash_Form(QWidget *parent = nullptr);

    TPictureBox *Splash = nullptr;
    QLabel *lblTitle = nullptr;
    QLabel *lblCopyright = nullptr;
    QLabel *lblVersion = nullptr;
    /// 5000 ms, started on creation.
    QTimer *TimerSplash = nullptr;

public slots:
    /// Hides the window.
    void TimerSplashTimer();

private:
    void FormCreate();
};
