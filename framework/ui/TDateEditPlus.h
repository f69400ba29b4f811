#pragma once

#include "framework/ui/TCustomEdit.h"

#include <QDate>

// A date edit: text "dd/mm/aaaa" (typed with or without the slashes), a valid date shown in
// blue, a date-change event and the week-day name of the date.
class TDateEditPlus : public TCustomEdit {
public:
    explicit TDateEditPlus(TComponent* owner);

    // The date of the text; a null QDate when the text is empty or not a valid date.
    QDate GetDate() const;
    // Writes the date as "dd/mm/aaaa" (a null date empties the text); the change events run
    // as for typing.
    void SetDate(const QDate& date);
    // An empty text passes. A text that is not a valid date puts the focus here (when the
    // form is shown) and throws EConvertError with a Portuguese message.
    void CheckValidDate();
    // True when the text holds only blanks and separators.
    bool IsEmpty() const;

    // The week-day name of the date ("Domingo" ... "Sábado"), empty without a valid date.
    QString WeekDayName() const;
    // Week-day names by number, 1 Sunday ... 7 Saturday; empty outside 1..7.
    static QString DayName(int dayOfWeekSundayFirst);

    // Fired when the text comes to hold a valid date other than the last one reported, and
    // when it stops holding one (emptied or made invalid), so the date shown never lingers.
    TNotifyEvent OnDateChange;

protected:
    void Change() override;
    bool AcceptChar(QChar ch, int pos) const override;
    void DefaultKeyPress(QChar& ch) override;

private:
    QDate reported_;
};
