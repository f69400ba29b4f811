// Import and export of a year of menus for one branch: 365 days x 12 services x 15 dishes
// (65,700 menu dish rows) with its master data, on SQLite and on PostgreSQL; then the same
// files again (nothing changes) and the export of it all. Prints one "name: value unit" line
// per figure.
#include "CsvFolder.h"
#include "TestDatabase.h"
#include "appserver/transfer/CsvWriter.h"
#include "appserver/transfer/DataExporter.h"
#include "appserver/transfer/DataImporter.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>
#include <cstdio>

using namespace pla;

namespace {

constexpr int kServices = 12, kDishesPerMenu = 15, kDishes = 60, kDays = 365;

// Writes the year's files; returns the number of data rows.
int writeYear(const QDir& dir) {
    bench::CsvFolder folder(dir);
    folder.file("filiais.csv", {"CDFILIAL", "NMFILIAL", "CDFILCENTPME"}, [](CsvWriter& w) {
        w.add({"0009", "Cozinha do Ano", "0009"});
    });
    folder.file("grupos.csv", {"CDGRUPSERV", "NMGRUPSERV"}, [](CsvWriter& w) {
        w.add({"901", "Contratos"});
    });
    folder.file("servicos.csv", {"CDFILIAL", "CDSERVFILI", "NMSERVICO", "CDGRUPSERV"},
                [](CsvWriter& w) {
                    for (int s = 1; s <= kServices; ++s)
                        w.add({"0009", bench::paddedCode(s, 5), QStringLiteral("Serviço %1").arg(s),
                               "901"});
                });
    folder.file("clientes.csv", {"CDCLIENTE", "NMRAZSOCCLIE"}, [](CsvWriter& w) {
        for (int s = 1; s <= kServices; ++s)
            w.add({QStringLiteral("C9%1").arg(bench::paddedCode(s, 3)),
                   QStringLiteral("Cliente %1").arg(s)});
    });
    folder.file("destinos.csv", {"CDCLIENTE", "CDDESTFILI", "NMDESTFILI"}, [](CsvWriter& w) {
        for (int s = 1; s <= kServices; ++s)
            for (int d = 1; d <= 2; ++d)
                w.add({QStringLiteral("C9%1").arg(bench::paddedCode(s, 3)), bench::paddedCode(d, 3),
                       QStringLiteral("Destino %1").arg(d)});
    });
    folder.file("pontos.csv", {"CDFILIAL", "CDSERVFILI", "CDCLIENTE", "CDDESTFILI", "QTCOMENSAIS"},
                [](CsvWriter& w) {
                    for (int s = 1; s <= kServices; ++s)
                        for (int d = 1; d <= 2; ++d)
                            w.add({"0009", bench::paddedCode(s, 5),
                                   QStringLiteral("C9%1").arg(bench::paddedCode(s, 3)),
                                   bench::paddedCode(d, 3), QString::number(50 * d + s)});
                });
    folder.file("embalagens.csv", {"CDCONTAINER", "NMCONTAINER", "IDPROPOSITO"}, [](CsvWriter& w) {
        w.add({"90001", "Marmita", "I"});
        w.add({"90002", "Cuba", "C"});
    });
    folder.file("pratos.csv",
                {"CDFILAUXPRAT", "CDPRATO", "NMPRATO", "SGUNIDADE", "QTPORPESSOA", "QTEXTRA",
                 "CDCONTPADRAO"},
                [](CsvWriter& w) {
                    for (int d = 1; d <= kDishes; ++d)
                        w.add({"0009", QStringLiteral("P9%1").arg(bench::paddedCode(d, 4)),
                               QStringLiteral("Prato %1").arg(d), "KG", "0,12", "0,5", "90002"});
                });
    folder.file(
        "capacidades.csv", {"CDFILAUXPRAT", "CDPRATO", "CDCONTAINER", "VRQTDEPRATEMB"},
        [](CsvWriter& w) {
            for (int d = 1; d <= kDishes; ++d) {
                w.add(
                    {"0009", QStringLiteral("P9%1").arg(bench::paddedCode(d, 4)), "90001", "0,5"});
                w.add({"0009", QStringLiteral("P9%1").arg(bench::paddedCode(d, 4)), "90002", "6"});
            }
        });
    folder.file(
        "cardapios.csv",
        {"CDFILIAL", "CDSERVFILI", "DTCARDAPIO", "NRCARDAPIO", "QTCOMENSAIS", "NRORDPRATCAR",
         "CDPRATO"},
        [](CsvWriter& w) {
            const QDate first(2027, 1, 1);
            int number = 0;
            for (int day = 0; day < kDays; ++day)
                for (int s = 1; s <= kServices; ++s) {
                    const QString n = QStringLiteral("Y%1").arg(bench::paddedCode(++number, 9));
                    const QString date = first.addDays(day).toString(QStringLiteral("dd/MM/yyyy"));
                    for (int k = 0; k < kDishesPerMenu; ++k)
                        w.add({"0009", bench::paddedCode(s, 5), date, n, QString::number(100 + s),
                               QString::number(k + 1),
                               QStringLiteral("P9%1").arg(
                                   bench::paddedCode((day * 7 + s * 3 + k) % kDishes + 1, 4))});
                }
        });
    return folder.rows();
}

double seconds(const QElapsedTimer& t) {
    return t.nsecsElapsed() / 1e9;
}

void run(test::Backend backend, const char* label, const QString& folder, int rows) {
    test::TestDatabase db(backend, false);
    if (!db.available()) {
        std::printf("# %s indisponível: %s\n", label, db.skipReason().toLocal8Bit().constData());
        return;
    }
    ImportReport read;
    const QVector<ImportTable> tables = DataImporter::read({folder}, read);
    QElapsedTimer t;
    t.start();
    const ImportReport first = DataImporter(db.connection()).run(tables);
    const double imported = seconds(t);
    if (!first.stored) {
        std::fprintf(stderr, "importação recusada: %s\n",
                     first.errors.value(0).text().toLocal8Bit().constData());
        return;
    }
    t.restart();
    DataImporter(db.connection()).run(tables);
    const double again = seconds(t);
    QTemporaryDir out;
    ExportFilter filter;
    filter.branch = QStringLiteral("0009");
    t.restart();
    int exported = 0;
    for (const ExportedFile& f : DataExporter(db.connection()).write(out.path(), filter))
        exported += f.rows;
    const double exportSeconds = seconds(t);
    std::printf("%s_import_year_seconds: %.2f s\n", label, imported);
    std::printf("%s_import_year_rate: %.0f rows/s\n", label, rows / imported);
    std::printf("%s_import_year_again_seconds: %.2f s\n", label, again);
    std::printf("%s_export_year_seconds: %.2f s\n", label, exportSeconds);
    std::printf("%s_export_year_rate: %.0f rows/s\n", label, exported / exportSeconds);
}

} // namespace

int main() {
    test::ensureApplication();
    QTemporaryDir dir;
    QElapsedTimer t;
    t.start();
    const int rows = writeYear(QDir(dir.path()));
    std::printf("# %d linhas nos arquivos de um ano (%.2f s para escrevê-los)\n", rows, seconds(t));
    run(test::Backend::Sqlite, "sqlite", dir.path(), rows);
    run(test::Backend::Postgres, "postgres", dir.path(), rows);
    return 0;
}
