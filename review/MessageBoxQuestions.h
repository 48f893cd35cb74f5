#pragma once
// The submission's questions asked in modal Yes/No message boxes.

#include "review/SubmitQuestions.h"

#include <QPointer>
#include <QWidget>

class TMessageBoxQuestions : public TSubmitQuestions
{
public:
    /// The boxes stand over `parent`, or over the active window when it is null.
    explicit TMessageBoxQuestions(QWidget *parent = nullptr);

    /// Yes goes ahead. No is the default button, so a stray Return does not
    /// submit a week twice or ahead of time.
    bool AskYesNo(const QString &question) override;

private:
    QPointer<QWidget> m_parent;
};
