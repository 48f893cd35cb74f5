#pragma once
// The Yes/No questions a submission asks before it changes anything. The
// review window answers them with message boxes; tests answer them directly.

#include <QString>

class TSubmitQuestions
{
public:
    virtual ~TSubmitQuestions() = default;
    /// Shows the question and returns true when the user answers Yes.
    virtual bool AskYesNo(const QString &question) = 0;
};
