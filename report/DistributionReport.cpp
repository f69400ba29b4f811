#include "report/DistributionReport.h"

#include "framework/data/NumberFormat.h"
#include "report/LabelContents.h"
#include "report/LabelLayout.h"
#include "report/LabelStock.h"
#include "report/PackingListLayout.h"
#include "report/ReportTexts.h"

#include <QSet>

namespace pla {

DistributionReport::Result DistributionReport::Build(const DistributionDay& day,
                                                     const ReportRequest& request) {
    Result r;
    const QString date = NumberFormat::FormatDate(day.date);
    const LabelStock* stock = LabelStock::Find(request.stock);
    if (request.contents != ReportContents::PackingList && !stock) {
        r.error = UnknownStock(request.stock);
        return r;
    }
    const QVector<const DayPackaging*> chosen = Select(day, request, r);
    if (!r.error.isEmpty()) return r;

    r.document.title = QStringLiteral("Distribuição %1 %2").arg(day.branch, date);
    const QDateTime prepared = Prepared(day, request);
    if (request.contents != ReportContents::PackingList) {
        const QString missing = LabelContents::Missing(day, chosen);
        if (!missing.isEmpty() && request.contents == ReportContents::Labels) {
            r.error = missing;
            return r;
        }
        r.labelsRefused = missing;
        if (missing.isEmpty()) {
            r.document.pages += LabelLayout::Pages(day, chosen, *stock, prepared, r.error);
            if (!r.error.isEmpty()) {
                r.document.pages.clear();
                return r;
            }
        }
    }
    r.labels = request.contents != ReportContents::PackingList && r.labelsRefused.isEmpty();
    r.packingLists = request.contents != ReportContents::Labels;
    if (r.packingLists) r.document.pages += PackingListLayout::Pages(day, chosen, prepared);
    r.prepared = prepared;
    for (const DayPackaging* p : chosen)
        r.versions.insert(p->distribution, p->version);
    return r;
}

QVector<const DayPackaging*> DistributionReport::Select(const DistributionDay& day,
                                                        const ReportRequest& request, Result& r) {
    const QString date = NumberFormat::FormatDate(day.date);
    if (request.services.isEmpty()) {
        r.error = QStringLiteral("Pelo menos um serviço deve ser selecionado para a impressão.");
        return {};
    }
    if (day.packagings.isEmpty()) {
        r.error = QStringLiteral("Não há embalagens distribuídas na filial %1 em %2.")
                      .arg(day.branch, date);
        return {};
    }

    const QSet<QString> wanted(request.services.begin(), request.services.end());
    QVector<const DayPackaging*> chosen;
    QSet<QString> printed;
    for (const DayPackaging& p : day.packagings) {
        if (!wanted.contains(p.service)) continue;
        if (!request.pointKey.isEmpty() && p.PointKey() != request.pointKey) continue;
        printed.insert(p.service);
        if (request.only && !request.only->contains(p.distribution)) continue;
        chosen.push_back(&p);
    }
    chosen = InLoadingOrder(chosen);
    for (const QString& s : request.services)
        if (!printed.contains(s)) r.without.push_back(ReportTexts::Service(day, s));
    if (chosen.isEmpty() && request.only && !printed.isEmpty()) {
        r.error = QStringLiteral("Nenhuma distribuição selecionada foi alterada desde a última "
                                 "impressão das etiquetas.");
        return {};
    }
    if (chosen.isEmpty()) {
        r.error = request.pointKey.isEmpty()
                      ? QStringLiteral("Os serviços selecionados não têm embalagens distribuídas "
                                       "em %1.")
                            .arg(date)
                      : QStringLiteral("Os serviços selecionados não têm embalagens distribuídas "
                                       "para o ponto de entrega escolhido em %1.")
                            .arg(date);
        return {};
    }
    return chosen;
}

QString DistributionReport::UnknownStock(const QString& name) {
    QStringList names;
    for (const LabelStock& s : LabelStock::All())
        names.push_back(s.name);
    return QStringLiteral("Etiqueta desconhecida: \"%1\". Use uma destas: %2.")
        .arg(name, names.join(QStringLiteral(", ")));
}

QDateTime DistributionReport::Prepared(const DistributionDay& day, const ReportRequest& request) {
    if (request.prepared.isValid()) return request.prepared;
    const QTime now = QTime::currentTime();
    return QDateTime(day.date, QTime(now.hour(), now.minute()));
}

QString DistributionReport::FileName(const DistributionDay& day) {
    return QStringLiteral("PLA15500-%1-%2.pdf")
        .arg(day.branch, day.date.toString(QStringLiteral("yyyy-MM-dd")));
}

QString DistributionReport::WithoutMessage(const Result& result) {
    if (result.without.isEmpty()) return {};
    return QStringLiteral("Sem embalagens distribuídas, fora da impressão: %1.")
        .arg(result.without.join(QStringLiteral("; ")));
}

PrintJob DistributionReport::Job(const DistributionDay& day, const Result& result) {
    PrintJob job;
    job.branch = day.branch;
    job.date = day.date;
    job.contents = result.labels && result.packingLists ? QLatin1Char('A')
                   : result.labels                      ? QLatin1Char('E')
                                                        : QLatin1Char('R');
    if (result.labels) job.prepared = result.prepared;
    job.versions = result.versions;
    return job;
}

PrintJob DistributionReport::LabelsJob(const DistributionDay& day,
                                       const QVector<const DayPackaging*>& packagings,
                                       const QDateTime& prepared) {
    Result labels;
    labels.labels = true;
    labels.prepared = prepared;
    for (const DayPackaging* p : packagings)
        labels.versions.insert(p->distribution, p->version);
    return Job(day, labels);
}

} // namespace pla
