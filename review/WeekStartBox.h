#pragma once
// The review window's "Week Start Date :" box: a masked date edit with an
// up/down spin button at its right end. The box only shows and takes text;
// the window owns the week start it stands for.

#include <QAbstractSpinBox>
#include <QString>

/// Dates are written in the user's short date with the day and month padded
/// to two digits and a four-digit year ("06/01/2008" in the United Kingdom,
/// "01/06/2008" in the United States, "2008-01-06" in Sweden), so every date
/// fills the same mask. Short dates with month or day names, or written in
/// other digits than 0-9, get the plain short date and no mask. What the box
/// writes, the submission's week start parser reads back.
class TWeekStartBox : public QAbstractSpinBox
{
    Q_OBJECT

public:
    explicit TWeekStartBox(QWidget *parent = nullptr);

    /// The date pattern of the box in the current locale.
    static QString DatePattern();
    /// The input mask for that pattern ("99/99/9999;_"); empty when none fits.
    static QString InputMask();
    /// A date as the box shows it.
    static QString TextOf(double date);

    /// Writes a date into the box.
    void SetDate(double date);
    /// The text as typed, mask blanks left out.
    QString Text() const;
    /// Replaces the text as if typed (the week start is not changed).
    void SetText(const QString &text);

    void stepBy(int steps) override;
    QSize sizeHint() const override;
    QSize minimumSizeHint() const override { return sizeHint(); }

signals:
    /// The spin button, the arrow keys or the wheel: +1 per step up, -1 down.
    void Spun(int steps);
    /// The box was left or Return was pressed.
    void Left();

protected:
    StepEnabled stepEnabled() const override;
};
