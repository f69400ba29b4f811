#pragma once

#include "framework/print/PrintDocument.h"
#include "remote/DistEmbCardMethods.h"
#include "remote/DistributionDay.h"

#include <QDateTime>
#include <QHash>
#include <QSet>
#include <QString>
#include <QStringList>
#include <optional>

namespace pla {

// What to print.
enum class ReportContents { Labels, PackingList, Both };

// The user's choice on the print screen (or the command line).
struct ReportRequest {
    QStringList services; // service codes to print
    QString pointKey;     // DayPackaging::PointKey() of one delivery point; empty for all
    ReportContents contents = ReportContents::Both;
    QString stock = QStringLiteral("A4-2x7"); // LabelStock name
    QDateTime prepared; // when the food was prepared; invalid: the menu date at this time
    // Only these distributions (those changed since their last labels print); none: all.
    std::optional<QSet<qint64>> only;
};

// Turns a branch day and a request into the pages to print: every label first, then the
// packing lists, both in loading order (InLoadingOrder: per delivery point in the kitchen's
// delivery order, then service and packaging). Labels are only printed when
// every dish and the producer have what the law asks a label to state.
class DistributionReport {
public:
    struct Result {
        PrintDocument document; // no pages when error is set
        QString error;          // why nothing can be printed
        QStringList without;    // requested services that have nothing distributed
        // Why the labels were left out although the packing lists were laid out (the dishes
        // and the producer data they lack); with labels alone this is the error instead.
        QString labelsRefused;
        // What the pages hold, for the print record: each distribution laid out with the
        // version it was read at, whether labels and packing lists are among the pages, and
        // the preparation the labels state.
        QHash<qint64, qint64> versions;
        bool labels = false, packingLists = false;
        QDateTime prepared;
    };

    static Result Build(const DistributionDay& day, const ReportRequest& request);
    // The packagings the request names, in loading order; none with r.error set when there
    // is nothing to print, and r.without listing the services that have nothing.
    static QVector<const DayPackaging*> Select(const DistributionDay& day,
                                               const ReportRequest& request, Result& r);
    // The message for a label stock of no known name, listing the known ones.
    static QString UnknownStock(const QString& name);
    // When the request's food was prepared: as asked, or the menu date at the current time.
    static QDateTime Prepared(const DistributionDay& day, const ReportRequest& request);
    // The name proposed for the PDF: "PLA15500-0001-2026-12-09.pdf".
    static QString FileName(const DistributionDay& day);
    // The text that tells the user which services were left out (empty when none).
    static QString WithoutMessage(const Result& result);
    // What the print record keeps of a document of `day` once it came out.
    static PrintJob Job(const DistributionDay& day, const Result& result);
    // What the print record keeps of the labels of `packagings` (of `day`) sent to a label
    // printer or its file.
    static PrintJob LabelsJob(const DistributionDay& day,
                              const QVector<const DayPackaging*>& packagings,
                              const QDateTime& prepared);
};

} // namespace pla
