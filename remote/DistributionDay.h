#pragma once

#include <QDate>
#include <QString>
#include <QVector>
#include <optional>

namespace pla {

// One dish in one packaging, with the packaging's whole amounts (all its units together).
struct DayDish {
    int order = 0; // menu order
    QString code, name, unit;
    double diners = 0, quantity = 0, extra = 0;
    // What its labels declare, as the dish records it (empty or 0 where it records nothing).
    QString conservation; // Q, R, C or A
    int shelfHours = 0;   // after preparation
    QString allergens;    // legal names, comma-separated
    bool gluten = false, lactose = false;
};

// Who produces the food of a branch, as its labels name it.
struct DayProducer {
    QString legalName, cnpj, address, nutritionist, crn;
};

// One stored packaging of a distribution, with where it goes and what it holds.
struct DayPackaging {
    qint64 number = 0;
    qint64 distribution = 0;
    qint64 version = 0; // of its distribution when the day was read; 0 from an older server
    QString service;
    QString client, clientName;
    QString destination, destinationName;
    QString container, containerName, purpose;
    double units = 0;
    QString remark;
    QVector<DayDish> dishes;
    // Where its delivery point comes in the vans' loading order, as the kitchen set it for the
    // point of its service; none when it set none.
    std::optional<int> deliveryOrder;

    // How many labels the packaging takes: its units as a whole number, at least one.
    int LabelCount() const;
    // Key of its delivery point (client and destination).
    QString PointKey() const { return client + QLatin1Char('\x1f') + destination; }
};

// A transported service of the branch.
struct DayService {
    QString code, name, group;
};

// Everything distributed for one branch on one menu date, in print order (service, delivery
// point, packaging number; dishes in menu order).
struct DistributionDay {
    QString branch, branchName;
    QDate date;
    DayProducer producer;
    QVector<DayService> services;
    QVector<DayPackaging> packagings;

    // The service of that code, or nullptr.
    const DayService* Service(const QString& code) const;
};

// Packagings in loading order: grouped per delivery point, the points in the delivery order
// the kitchen set (a point's lowest among the packagings given), those without one after them
// by client and destination code; within a point the order they came in.
QVector<const DayPackaging*> InLoadingOrder(QVector<const DayPackaging*> packagings);

} // namespace pla
