#pragma once
// The program's exceptions. Each carries the message the user sees; the
// outermost handler shows it. EAbort abandons an operation without a message.

#include <QString>

#include <exception>
#include <stdexcept>

/// Base of every error that carries a message for the user.
class EZelbraError : public std::runtime_error
{
public:
    explicit EZelbraError(const QString &message)
        : std::runtime_error(message.toStdString())
    {
    }
    QString Message() const { return QString::fromStdString(what()); }
};

/// The program's own exception class (for example "Cannot create " + a directory).
class EVRQException : public EZelbraError
{
public:
    using EZelbraError::EZelbraError;
};

/// An error of the record table store: a bad operation, field, filter or file.
class EDatabaseError : public EZelbraError
{
public:
    using EZelbraError::EZelbraError;
};

/// A text that cannot be converted to a field's value ("'%s' is not a valid time").
class EConvertError : public EZelbraError
{
public:
    using EZelbraError::EZelbraError;
};

/// Abandons the current operation silently: the outermost handler shows nothing.
class EAbort : public std::exception
{
public:
    const char *what() const noexcept override { return "Operation aborted"; }
};
