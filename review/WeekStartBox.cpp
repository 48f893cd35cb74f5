#include "review/WeekStartBox.h"

#include "app/core/DateTimeValue.h"
#include "review/Submission.h"

#include <QLineEdit>
#include <QLocale>
#include <QStyle>
#include <QStyleOptionSpinBox>

namespace {

// Characters an input mask treats as commands; literal ones need a backslash.
bool IsMaskCommand(QChar c)
{
    return QStringView(u"AaNnXx90Dd#HhBb<>!\\[]{};").contains(c);
}

// The short date turned into fixed-width numeric fields, with the mask that
// fits it; an empty mask when the short date has a part of varying width.
struct TBoxFormat
{
    QString pattern;
    QString mask;
};

TBoxFormat MakeBoxFormat()
{
    const QString shortDate = DateTimeValue::ShortDateFormat();
    const TBoxFormat unmasked{shortDate, QString()};
    if (QLocale().zeroDigit() != QStringLiteral("0"))
        return unmasked;

    TBoxFormat box;
    for (qsizetype i = 0; i < shortDate.size();) {
        const QChar c = shortDate.at(i);
        if (c == u'\'') {
            // Quoted text stays quoted in the pattern and literal in the mask;
            // two quotes in a row stand for one.
            qsizetype end = i + 1;
            QString literal;
            while (end < shortDate.size()) {
                if (shortDate.at(end) == u'\'') {
                    if (end + 1 < shortDate.size() && shortDate.at(end + 1) == u'\'') {
                        literal += u'\'';
                        end += 2;
                        continue;
                    }
                    break;
                }
                literal += shortDate.at(end++);
            }
            box.pattern += shortDate.mid(i, end + 1 - i);
            for (const QChar l : literal) {
                if (IsMaskCommand(l))
                    box.mask += u'\\';
                box.mask += l;
            }
            i = end + 1;
            continue;
        }
        if (c.isLetter()) {
            qsizetype run = 1;
            while (i + run < shortDate.size() && shortDate.at(i + run) == c)
                ++run;
            if ((c == u'd' || c == u'M') && run <= 2) {
                box.pattern += QString(2, c);
                box.mask += QStringLiteral("99");
            } else if (c == u'y') {
                box.pattern += QStringLiteral("yyyy");
                box.mask += QStringLiteral("9999");
            } else {
                return unmasked; // day or month names, eras: no fixed width
            }
            i += run;
            continue;
        }
        box.pattern += c;
        if (IsMaskCommand(c))
            box.mask += u'\\';
        box.mask += c;
        ++i;
    }
    box.mask += QStringLiteral(";_");
    return box;
}

} // namespace

TWeekStartBox::TWeekStartBox(QWidget *parent)
    : QAbstractSpinBox(parent)
{
    setObjectName(QStringLiteral("edtWeekStart"));
    setButtonSymbols(QAbstractSpinBox::UpDownArrows);
    setAccelerated(false);
    setKeyboardTracking(false);
    lineEdit()->setInputMask(InputMask());
    connect(this, &QAbstractSpinBox::editingFinished, this, &TWeekStartBox::Left);
}

QString TWeekStartBox::DatePattern()
{
    return MakeBoxFormat().pattern;
}

QString TWeekStartBox::InputMask()
{
    return MakeBoxFormat().mask;
}

QString TWeekStartBox::TextOf(double date)
{
    const QDate day = DateTimeValue::ToDate(date);
    const QString pattern = DatePattern();
    const QString text = QLocale().toString(day, pattern);
    double back = 0.0;
    if (TSubmission::TryParseWeekStart(text, back) && DateTimeValue::ToDate(back) == day)
        return text;
    // Digits the date parser cannot read (outside the basic plane): the same
    // date with 0-9.
    return QLocale::c().toString(day, pattern);
}

void TWeekStartBox::SetDate(double date)
{
    SetText(TextOf(date));
}

QString TWeekStartBox::Text() const
{
    return lineEdit()->text();
}

void TWeekStartBox::SetText(const QString &text)
{
    lineEdit()->setText(text);
}

void TWeekStartBox::stepBy(int steps)
{
    if (steps != 0)
        emit Spun(steps);
}

QAbstractSpinBox::StepEnabled TWeekStartBox::stepEnabled() const
{
    return isReadOnly() ? StepNone : (StepUpEnabled | StepDownEnabled);
}

QSize TWeekStartBox::sizeHint() const
{
    // Room for the widest date the box can show, plus the spin button.
    ensurePolished();
    const QFontMetrics metrics(font());
    const QString widest = QLocale().toString(QDate(2088, 12, 28), DatePattern()) + u' ';
    QStyleOptionSpinBox option;
    initStyleOption(&option);
    const QSize text(metrics.horizontalAdvance(widest), lineEdit()->sizeHint().height());
    return style()->sizeFromContents(QStyle::CT_SpinBox, &option, text, this);
}
