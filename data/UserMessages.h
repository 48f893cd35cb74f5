#pragma once
// Messages the data rules show the user themselves (a file that could not be
// read, a row still in use, a manager who still manages others). The program
// shows them in message boxes; tests collect them.

#include <QString>

class TUserMessages
{
public:
    virtual ~TUserMessages() = default;
    virtual void ShowMessage(const QString &text) = 0;
};
