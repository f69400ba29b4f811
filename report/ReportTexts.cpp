#include "report/ReportTexts.h"

#include "framework/data/NumberFormat.h"
#include "framework/services/Consiste.h"
#include "labelling/Cnpj.h"

namespace pla {

QString ReportTexts::CodeName(const QString& code, const QString& name) {
    return name.isEmpty() ? code : code + QStringLiteral(" - ") + name;
}

QString ReportTexts::DateAndWeekDay(const QDate& date) {
    // The week-day names count from Sunday = 1; Qt counts from Monday = 1.
    const QString digit = QString::number(date.dayOfWeek() % 7 + 1);
    return NumberFormat::FormatDate(date) + QLatin1Char(' ') + Consiste::DiaSemana(digit);
}

QString ReportTexts::Service(const DistributionDay& day, const QString& code) {
    const DayService* s = day.Service(code);
    return CodeName(code, s ? s->name : QString());
}

QString ReportTexts::Point(const DayPackaging& p) {
    if (p.client.trimmed().isEmpty() && p.destination.trimmed().isEmpty())
        return QStringLiteral("Sem ponto de entrega");
    const QString client = p.clientName.isEmpty() ? p.client : p.clientName;
    const QString point = p.destinationName.isEmpty() ? p.destination : p.destinationName;
    return client + QStringLiteral(" · ") + point;
}

QString ReportTexts::PointHeader(const DayPackaging& p, int volumes) {
    return QStringLiteral("Ponto: %1 — %2 %3")
        .arg(Point(p))
        .arg(volumes)
        .arg(volumes == 1 ? QStringLiteral("volume") : QStringLiteral("volumes"));
}

QStringList ReportTexts::Producer(const DayProducer& f) {
    QStringList first, lines;
    if (!f.legalName.trimmed().isEmpty()) first << f.legalName.trimmed();
    if (!f.cnpj.trimmed().isEmpty()) first << QStringLiteral("CNPJ ") + Cnpj::Format(f.cnpj);
    if (!first.isEmpty()) lines << first.join(QStringLiteral(" · "));
    if (!f.address.trimmed().isEmpty()) lines << f.address.trimmed();
    if (!f.nutritionist.trimmed().isEmpty())
        lines << QStringLiteral("RT: ") + f.nutritionist.trimmed() +
                     (f.crn.trimmed().isEmpty() ? QString()
                                                : QStringLiteral(" — ") + f.crn.trimmed());
    return lines;
}

QString ReportTexts::Amount(double v) {
    return NumberFormat::Format(QStringLiteral("#,##0.###"), v);
}

QString ReportTexts::AmountUnit(double v, const QString& unit) {
    return unit.isEmpty() ? Amount(v) : Amount(v) + QLatin1Char(' ') + unit;
}

QDateTime ReportTexts::Preparation(const QDate& date, const QString& time) {
    QString hour = time.trimmed();
    if (hour.size() == 4 && !hour.contains(QLatin1Char(':'))) hour.insert(2, QLatin1Char(':'));
    const QTime at = QTime::fromString(hour, QStringLiteral("H:mm"));
    return date.isValid() && at.isValid() ? QDateTime(date, at) : QDateTime();
}

} // namespace pla
