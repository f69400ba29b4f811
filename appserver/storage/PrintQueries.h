#pragma once

#include "framework/data/DataPacket.h"

#include <QDate>
#include <QJsonObject>
#include <QSqlDatabase>

namespace pla {

// The read behind the print module: everything distributed for one branch on one menu date,
// in print order, so labels and packing lists of a whole day come from one call.
class PrintQueries {
public:
    explicit PrintQueries(QSqlDatabase db);

    // The result envelope of GetImpressaoDistribuicao(branch, date): data is the array
    // [services, packagings, dish rows, producer] of four packets, read in one snapshot:
    // - services: CDSERVFILI, NMSERVICO, CDGRUPSERV of every transported service of the
    //   branch, by code;
    // - packagings: NREMBDISTCARD, NRDISTCARD, CDSERVFILI, CDCLIENTE, NMRAZSOCCLIE,
    //   CDDESTFILI, NMDESTFILI, CDCONTAINER, NMCONTAINER, IDPROPOSITO, QTCONTAINER,
    //   DSOBSETIQUETA of every stored packaging of the date, and NRVERSAO, the version of its
    //   distribution read in the same snapshot (what a print record names), by service,
    //   delivery point and packaging number;
    // - dish rows: NREMBDISTCARD, NRORDPRATCAR, CDPRATO, NMPRATO, SGUNIDADE, QTCOMENSAIS,
    //   QTPRATO, QTEXTRA and the dish's label data IDCONSERVACAO, QTHORASVALIDADE,
    //   DSALERGENICOS, IDGLUTEN, IDLACTOSE (null where not recorded), by packaging and menu
    //   order;
    // - producer: CDFILIAL, NMFILIAL, NMRAZSOCIAL, NRCNPJ, DSENDERECO, NMRESPTECNICO, NRCRN
    //   of the branch (no row for an unknown branch).
    // A database failure is a refusal with its message; nothing is written.
    QJsonObject GetImpressaoDistribuicao(const QString& branch, const QDate& date);

private:
    TDataPacket services(const QString& branch);
    TDataPacket packagings(const QString& branch, const QString& date);
    TDataPacket dishRows(const QString& branch, const QString& date);
    TDataPacket producer(const QString& branch);

    QSqlDatabase db_;
};

} // namespace pla
