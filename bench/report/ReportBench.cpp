// The PDF of a whole branch day: the demo day scaled to 40 services of 30 packagings each,
// 5 units on average (6,000 labels), with their packing lists, on A4 2 × 7 labels; every
// dish with its conservation, shelf life and allergens, so labels carry all they must.
// Prints:
//   report_day_labels: <n> labels
//   report_day_layout: <s> s            (drawing commands of every page)
//   report_day_pdf_write: <s> s         (QPdfWriter)
//   report_day_pages: <n> pages
//   report_day_pages_per_second: <n> pages/s (layout and PDF together)
//   report_day_pdf_size: <MB> MB
//   report_day_peak_memory: <MB> MB     (peak resident set of the whole run)
// and the same day's labels in ZPL for a thermal printer, 100 × 60 mm roll at 203 dpi (the
// points' header labels included):
//   report_day_zpl_labels: <n> labels
//   report_day_zpl_time: <s> s          (layout and ZPL together)
//   report_day_zpl_size: <MB> MB
#include "framework/qt/QtPrintOutput.h"
#include "report/DistributionReport.h"
#include "report/ZplLabels.h"

#include <QElapsedTimer>
#include <QFileInfo>
#include <QGuiApplication>
#include <QTemporaryDir>
#include <cstdio>
#include <sys/resource.h>

namespace {

pla::DistributionDay ScaledDay() {
    // Name, unit, conservation, shelf hours, allergens, lactose.
    static const char* const dishes[][6] = {
        {"Arroz branco", "KG", "Q", "6", "", ""},
        {"Feijão carioca", "KG", "Q", "6", "", ""},
        {"Frango grelhado", "KG", "Q", "6", "", ""},
        {"Purê de batata", "KG", "Q", "6", "leite", "S"},
        {"Salada verde", "KG", "R", "24", "", ""},
        {"Pudim de leite", "UN", "R", "72", "ovos, leite", "S"},
        {"Suco de laranja", "LT", "R", "24", "", ""},
        {"Farofa de cenoura", "KG", "Q", "6", "trigo, leite", "S"}};
    pla::DistributionDay day;
    day.branch = QStringLiteral("0001");
    day.branchName = QStringLiteral("Cozinha Central São Paulo");
    day.date = QDate(2026, 12, 8);
    day.producer = {QStringLiteral("Nutriplena Alimentação Coletiva Ltda."),
                    QStringLiteral("47381265000140"),
                    QStringLiteral("Rua dos Andradas, 1200 - Santa Ifigênia, São Paulo - SP, "
                                   "01208-000"),
                    QStringLiteral("Mariana Costa Ribeiro"), QStringLiteral("CRN-3 12345")};
    qint64 number = 0;
    for (int s = 1; s <= 40; ++s) {
        const QString code = QStringLiteral("%1").arg(s, 5, 10, QLatin1Char('0'));
        day.services.push_back({code, QStringLiteral("Almoço Cliente %1").arg(s),
                                QStringLiteral("00%1").arg(s % 5 + 1)});
        for (int k = 0; k < 30; ++k) {
            pla::DayPackaging p;
            p.number = ++number;
            p.service = code;
            p.client = QStringLiteral("1%1").arg(s, 4, 10, QLatin1Char('0'));
            p.clientName = QStringLiteral("Cliente %1 Refeições Coletivas Ltda.").arg(s);
            p.destination = QStringLiteral("%1").arg(k / 10 + 1, 3, 10, QLatin1Char('0'));
            p.destinationName = QStringLiteral("Refeitório %1").arg(k / 10 + 1);
            p.container = k % 2 ? QStringLiteral("00010") : QStringLiteral("00001");
            p.containerName = k % 2 ? QStringLiteral("Cuba gastronômica GN 1/1")
                                    : QStringLiteral("Marmita térmica 3 divisões");
            p.units = k % 2 ? 7 : 3; // 5 on average
            if (k % 4 == 0) p.remark = QStringLiteral("Manter aquecido até a entrega");
            for (int d = 0; d < (k % 2 ? 1 : 3); ++d) {
                const auto& dish = dishes[(s + k + d) % 8];
                p.dishes.push_back({d + 1, QStringLiteral("PR%1").arg((s + k + d) % 8),
                                    QString::fromUtf8(dish[0]), QString::fromLatin1(dish[1]),
                                    p.units * 2, p.units * 0.35, 0.1, QString::fromLatin1(dish[2]),
                                    QString::fromLatin1(dish[3]).toInt(),
                                    QString::fromLatin1(dish[4]), false, *dish[5] == 'S'});
            }
            day.packagings.push_back(std::move(p));
        }
    }
    return day;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    const pla::DistributionDay day = ScaledDay();
    int labels = 0;
    for (const pla::DayPackaging& p : day.packagings)
        labels += p.LabelCount();
    pla::ReportRequest request;
    for (const pla::DayService& s : day.services)
        request.services.push_back(s.code);
    request.prepared = QDateTime(day.date, QTime(10, 30));

    QElapsedTimer t;
    t.start();
    const pla::DistributionReport::Result r = pla::DistributionReport::Build(day, request);
    const double layout = t.nsecsElapsed() / 1e9;
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("dia.pdf"));
    QString error;
    t.restart();
    if (!pla::QtPrintOutput().WritePdf(r.document, file, error)) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    const double write = t.nsecsElapsed() / 1e9;
    rusage usage{};
    getrusage(RUSAGE_SELF, &usage);
    std::printf("report_day_labels: %d labels\n", labels);
    std::printf("report_day_layout: %.2f s\n", layout);
    std::printf("report_day_pdf_write: %.2f s\n", write);
    std::printf("report_day_pages: %d pages\n", static_cast<int>(r.document.pages.size()));
    std::printf("report_day_pages_per_second: %.0f pages/s\n",
                r.document.pages.size() / (layout + write));
    std::printf("report_day_pdf_size: %.1f MB\n", QFileInfo(file).size() / 1e6);
    std::printf("report_day_peak_memory: %.0f MB\n", usage.ru_maxrss / 1024.0);

    QVector<const pla::DayPackaging*> all;
    for (const pla::DayPackaging& p : day.packagings)
        all.push_back(&p);
    t.restart();
    const QByteArray zpl =
        pla::ZplLabels::Build(day, pla::InLoadingOrder(all), *pla::LabelStock::Find("ROLO-100x60"),
                              203, request.prepared, error);
    const double zplTime = t.nsecsElapsed() / 1e9;
    if (!error.isEmpty()) {
        std::fprintf(stderr, "%s\n", error.toLocal8Bit().constData());
        return 1;
    }
    std::printf("report_day_zpl_labels: %d labels\n", static_cast<int>(zpl.count("^XA")));
    std::printf("report_day_zpl_time: %.2f s\n", zplTime);
    std::printf("report_day_zpl_size: %.1f MB\n", zpl.size() / 1e6);
    return 0;
}
