#pragma once
// Where the windows' message boxes go: plain notices, errors, and the question
// asked when the data could not be saved at close. The program shows real
// message boxes; tests put a recorder in their place.

#include <QString>

class QWidget;

class TMessageReporter
{
public:
    /// The answer to a save that failed while the main window closes.
    enum TSaveFailedChoice {
        sfRetry,       ///< try the save again
        sfQuitAnyway,  ///< close without the unsaved changes, knowingly
        sfCancelClose, ///< keep the window open
    };

    virtual ~TMessageReporter() = default;

    /// A notice with an OK button ("Task does not exist.").
    virtual void ShowMessage(const QString &text);
    /// An error's message with an OK button.
    virtual void ShowError(const QString &text);
    /// Tells the user what could not be saved and asks how to go on.
    virtual TSaveFailedChoice AskSaveFailed(const QString &message);

    /// The boxes' parent: the active window when there is one.
    static QWidget *BoxParent();
    /// The reporter of the running program (real message boxes).
    static TMessageReporter &Default();
};
