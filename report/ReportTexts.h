#pragma once

#include "remote/DistributionDay.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

namespace pla {

// The texts labels and packing lists share, so both name things the same way.
class ReportTexts {
public:
    // "0001 - Cozinha Central" (the code alone without a name).
    static QString CodeName(const QString& code, const QString& name);
    // "09/12/2026 Quarta".
    static QString DateAndWeekDay(const QDate& date);
    // The service's code and name (the code alone for a service the day does not list).
    static QString Service(const DistributionDay& day, const QString& code);
    // "Cliente · Ponto de entrega" by name (codes where a name is missing); blank delivery
    // point: "Sem ponto de entrega".
    static QString Point(const DayPackaging& p);
    // The header label of a delivery point: "Ponto: Cliente · Destino — 12 volumes".
    static QString PointHeader(const DayPackaging& p, int volumes);
    // An amount with the decimal comma and at most three decimals ("1.234,5").
    static QString Amount(double v);
    // The producer's identification in lines, leaving out what is not recorded: legal name
    // and "CNPJ 00.000.000/0000-00"; address; "RT: NAME — CRN NUMBER".
    static QStringList Producer(const DayProducer& producer);
    // The preparation a user types: a date and a time "hh:mm" or "hhmm"; invalid when either
    // is missing or wrong.
    static QDateTime Preparation(const QDate& date, const QString& time);
    // Amount followed by the unit ("3,4 KG").
    static QString AmountUnit(double v, const QString& unit);
};

} // namespace pla
