#pragma once

#include <QDate>
#include <QHash>
#include <QString>
#include <QVector>

namespace pla {

// Plain records of a distribution as the server stores it and sends it.

// A container with a capacity for a dish (a row of the dish's transport relation).
struct DishContainer {
    QString code, name, purpose; // purpose "I" / "C"
    double capacity = 0;         // VRQTDEPRATEMB
};

// One dish of a menu, with its dish and container data.
struct MenuDish {
    int sequence = 0;         // NRSEQPRATCAR
    int order = 0;            // NRORDPRATCAR
    QString recipeBranch;     // CDFILAUXPRAT
    QString dish;             // CDPRATO
    QString name;             // NMPRATO
    QString unit;             // SGUNIDADE
    double perPerson = 0;     // QTPORPESSOA
    double extra = 0;         // QTEXTRA per delivery point
    QString defaultContainer; // empty when the dish has none
    QString defaultPurpose;   // "I" / "C" of the default container
    QString defaultContainerName;
    double defaultCapacity = 0;        // VRQTDEPRATEMB of the default container, 0 without relation
    QVector<DishContainer> containers; // every container with a capacity for the dish, by code

    // The container `code` among those with a capacity for the dish; null when it has none.
    const DishContainer* container(const QString& code) const {
        for (const DishContainer& c : containers)
            if (c.code == code) return &c;
        return nullptr;
    }
};

// The menu of one service on one date.
struct Menu {
    QString number;       // NRCARDAPIO
    double dayDiners = 0; // the day's diners of the service
    QVector<MenuDish> dishes;
};

// How a generated distribution packs the dishes of one delivery point.
struct PackingChoice {
    bool fewestContainers = false; // collective dishes in the fewest containers
    QHash<int, QString> ruled;     // menu dish sequence -> the container a packing rule names
};

// Undistributed amounts of one menu dish in a distribution.
struct UndistributedRow {
    int sequence = 0;
    int order = 0;
    QString recipeBranch, dish, name, unit;
    double perPerson = 0;
    double totalDiners = 0, totalQuantity = 0, totalExtra = 0;
    double diners = 0, quantity = 0, extra = 0;
};

// One packaging; `number` is negative until stored.
struct Packaging {
    qint64 number = 0;
    QString container, containerName, purpose;
    double units = 0;
    QString remark;
    double quantity = 0;
};

// One dish in one packaging.
struct DishRow {
    qint64 packaging = 0;
    int sequence = 0;
    double diners = 0, quantity = 0, extra = 0;
    QString principal = QStringLiteral("N");
    double capacity = 0;
};

// Identifies the delivery point of a distribution.
struct DistributionKey {
    QString branch, service;
    QDate date;
    QString client, destination;
};

// A whole distribution.
struct Distribution {
    qint64 number = 0;  // 0 while not stored
    qint64 version = 0; // NRVERSAO: advanced by every change, 0 while not stored
    DistributionKey key;
    QString menuNumber;
    double diners = 0;
    QVector<UndistributedRow> undistributed;
    QVector<Packaging> packagings;
    QVector<DishRow> rows;
};

} // namespace pla
