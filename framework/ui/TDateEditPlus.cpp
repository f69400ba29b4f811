#include "framework/ui/TDateEditPlus.h"

#include "framework/ui/Colors.h"
#include "framework/ui/EConvertError.h"
#include "framework/ui/TForm.h"

TDateEditPlus::TDateEditPlus(TComponent* owner) : TCustomEdit(owner) {
    SetMaxLength(10);
    SetBounds(0, 0, 106, 21);
}

QDate TDateEditPlus::GetDate() const {
    const QString t = Text().trimmed();
    if (t.size() != 10) return {};
    return QDate::fromString(t, QStringLiteral("dd/MM/yyyy"));
}

void TDateEditPlus::SetDate(const QDate& date) {
    SetText(date.isValid() ? date.toString(QStringLiteral("dd/MM/yyyy")) : QString());
}

bool TDateEditPlus::IsEmpty() const {
    for (QChar c : Text())
        if (c != QLatin1Char(' ') && c != QLatin1Char('/') && c != QLatin1Char('_')) return false;
    return true;
}

void TDateEditPlus::CheckValidDate() {
    if (IsEmpty() || GetDate().isValid()) return;
    TForm* f = ParentForm();
    if (f && f->Showing() && CanFocus()) SetFocus();
    throw EConvertError(QStringLiteral("'%1' não é uma data válida").arg(Text()));
}

QString TDateEditPlus::DayName(int d) {
    static const char* names[] = {"Domingo", "Segunda", "Terça", "Quarta",
                                  "Quinta",  "Sexta",   "Sábado"};
    if (d < 1 || d > 7) return {};
    return QString::fromUtf8(names[d - 1]);
}

QString TDateEditPlus::WeekDayName() const {
    QDate d = GetDate();
    if (!d.isValid()) return {};
    return DayName(d.dayOfWeek() % 7 + 1); // Qt: Monday 1 ... Sunday 7
}

void TDateEditPlus::Change() {
    QDate d = GetDate();
    SetFontColor(d.isValid() ? clBlue : clWindowText);
    TCustomEdit::Change();
    // Losing the date is a change too: whatever shows the date (its week day) must not keep
    // showing the last one.
    if (d == reported_) return;
    reported_ = d;
    OnDateChange(*this);
}

bool TDateEditPlus::AcceptChar(QChar ch, int pos) const {
    if (ch == QLatin1Char('/')) return pos == 2 || pos == 5;
    return ch.isDigit() && pos != 2 && pos != 5;
}

void TDateEditPlus::DefaultKeyPress(QChar& ch) {
    // Typing the digits alone fills in the slashes.
    int n = static_cast<int>(Text().size());
    if (ch.isDigit() && SelLength() == 0 && SelStart() == n && (n == 2 || n == 5)) {
        QChar slash(QLatin1Char('/'));
        TCustomEdit::DefaultKeyPress(slash);
        if (Text().size() == n) return; // the slash was refused: so is the digit
    }
    TCustomEdit::DefaultKeyPress(ch);
}
