// Prints, one "name: value unit" line each: confirming a changed distribution of 60 dishes,
// 30 packagings and 300 dish rows against the reference application server on SQLite, from
// the click to the screen showing the distribution reloaded, and the remote calls it makes.
#include "appserver/EmbeddedServer.h"
#include "bench/distribution/BenchSupport.h"
#include "distribution/DistEmbCard.h"
#include "framework/net/RemoteCallLog.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TButtonFlat.h"
#include "framework/ui/TDBGrid.h"

#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlError>
#include <QSqlQuery>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <vector>

namespace {

using pla::bench::Median;

constexpr int kDishes = 60;
constexpr int kPackagings = 30;
constexpr int kDishesPerPackaging = 10; // 300 dish rows; every dish lies in 5 packagings
constexpr double kDiners = 100;

bool Exec(QSqlDatabase& db, const QString& sql, const QVariantList& values = {}) {
    QSqlQuery q(db);
    q.prepare(sql);
    for (int i = 0; i < values.size(); ++i)
        q.bindValue(i, values[i]);
    if (q.exec()) return true;
    std::fprintf(stderr, "%s: %s\n", qPrintable(sql), qPrintable(q.lastError().text()));
    return false;
}

// One branch, one transported service with one delivery point of 100 diners, one individual
// container and a menu of 60 dishes on 2026-12-08.
bool FillMenu(QSqlDatabase& db) {
    bool ok = db.transaction();
    ok = ok &&
         Exec(db, "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0001', 'Cozinha Central')");
    ok = ok && Exec(db, "INSERT INTO GRUPSERV VALUES ('001', 'Hospitais')");
    ok = ok && Exec(db, "INSERT INTO SERVFILI (CDFILIAL, CDSERVFILI, NMSERVICO, CDGRUPSERV, "
                        "IDTRANSPORTADO) VALUES ('0001', '00001', 'Almoço', '001', 'S')");
    ok = ok && Exec(db, "INSERT INTO CLIENTE VALUES ('10001', 'Hospital')");
    ok = ok && Exec(db, "INSERT INTO DESTFILI VALUES ('10001', '001', 'Ala Norte')");
    ok = ok && Exec(db,
                    "INSERT INTO PONTENTREGA (CDFILIAL, CDSERVFILI, CDCLIENTE, CDDESTFILI, "
                    "QTCOMENSAIS) VALUES ('0001', '00001', '10001', '001', ?)",
                    {kDiners});
    ok = ok && Exec(db, "INSERT INTO CONTAINER VALUES ('00001', 'Marmita', 'I')");
    ok = ok && Exec(db,
                    "INSERT INTO CARDAPIO (NRCARDAPIO, CDFILIAL, CDSERVFILI, DTCARDAPIO, "
                    "QTCOMENSAIS) VALUES ('0000000001', '0001', '00001', '2026-12-08', ?)",
                    {kDiners});
    for (int d = 1; ok && d <= kDishes; ++d) {
        const QString code = QStringLiteral("B%1").arg(d, 5, 10, QLatin1Char('0'));
        ok = Exec(db,
                  "INSERT INTO PRATO (CDFILAUXPRAT, CDPRATO, NMPRATO, SGUNIDADE) VALUES "
                  "('0001', ?, ?, 'KG')",
                  {code, QStringLiteral("Prato %1").arg(d)}) &&
             Exec(db,
                  "INSERT INTO PRATCARD (NRCARDAPIO, NRSEQPRATCAR, NRORDPRATCAR, "
                  "CDFILAUXPRAT, CDPRATO, QTPORPESSOA, QTEXTRA, SGUNIDADE) VALUES "
                  "('0000000001', ?, ?, '0001', ?, 0.1, 0.5, 'KG')",
                  {d * 10, d, code});
    }
    return ok && db.commit();
}

int Col(const TDataPacket& p, const char* name) {
    for (int i = 0; i < p.Fields.size(); ++i)
        if (p.Fields[i].Name == QLatin1String(name)) return i;
    std::fprintf(stderr, "campo %s ausente\n", name);
    std::exit(1);
}

// Every dish of the loaded (undistributed) distribution split in five equal parts over the 30
// packagings, stored through the server's own save so the screen can then load it.
void StoreDistribution(TfrmDistEmbCard& screen) {
    TDataPacket dishes = screen.cdsCardapioDisponivel->Data();
    TDataPacket packagings = screen.cdsEmbDistCard->Data();
    TDataPacket rows = screen.cdsItEmbDistCard->Data();
    const int dSeq = Col(dishes, "NRSEQPRATCAR"), dDiners = Col(dishes, "QTCOMENSAIS"),
              dQty = Col(dishes, "QTPRATO"), dExtra = Col(dishes, "QTEXTRA"),
              dName = Col(dishes, "NMPRATO"), dCode = Col(dishes, "CDPRATO");

    std::vector<double> packed(kPackagings, 0);
    auto row = [](const TDataPacket& p) { return QVector<QVariant>(p.Fields.size()); };
    for (int d = 0; d < dishes.Rows.size(); ++d) {
        QVector<QVariant>& dish = dishes.Rows[d];
        const double diners = dish[dDiners].toDouble() / 5, qty = dish[dQty].toDouble() / 5,
                     extra = dish[dExtra].toDouble() / 5;
        for (int j = 0; j < 5; ++j) {
            const int p = (d * 5 + j) % kPackagings;
            QVector<QVariant> r = row(rows);
            r[Col(rows, "NRSEQPRATCAR")] = dish[dSeq];
            r[Col(rows, "NREMBDISTCARD")] = double(-(p + 1));
            r[Col(rows, "QTCOMENSAIS")] = diners;
            r[Col(rows, "QTPRATO")] = qty;
            r[Col(rows, "QTEXTRA")] = extra;
            r[Col(rows, "CDPRATO")] = dish[dCode];
            r[Col(rows, "NMPRATO")] = dish[dName];
            r[Col(rows, "IDPRINCIPAL")] = QStringLiteral("N");
            rows.Rows.append(r);
            packed[p] += qty;
        }
        dish[dDiners] = 0.0;
        dish[dQty] = 0.0;
        dish[dExtra] = 0.0;
    }
    for (int p = 0; p < kPackagings; ++p) {
        QVector<QVariant> r = row(packagings);
        r[Col(packagings, "NREMBDISTCARD")] = double(-(p + 1));
        r[Col(packagings, "CDCONTAINER")] = QStringLiteral("00001");
        r[Col(packagings, "QTCONTAINER")] = kDiners;
        r[Col(packagings, "NMCONTAINER")] = QStringLiteral("Marmita");
        r[Col(packagings, "IDPROPOSITO")] = QStringLiteral("I");
        r[Col(packagings, "QTPRATO")] = packed[p];
        packagings.Rows.append(r);
    }
    screen.Server().SetDistribuicao(
        screen.cdsDistCard->FieldByName(QStringLiteral("NRDISTCARD")).AsFloat(), dishes, packagings,
        rows);
}

} // namespace

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QTemporaryDir dir;
    const QString file = dir.filePath(QStringLiteral("bench.sqlite"));

    pla::EmbeddedServer server;
    try {
        server.start(file, false);
    } catch (const std::exception& e) {
        std::fprintf(stderr, "%s\n", e.what());
        return 1;
    }
    // The general database is the server's file, as the desktop host's embedded default does.
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(file);
    if (!db.open() || !FillMenu(db)) return 1;
    Zelvora::SetDatabaseConnectionName(QStringLiteral("bench"));

    pla::ScriptedDialogs dialogs;
    pla::SetDialogService(&dialogs);
    Zelvora::FiliProc = QStringLiteral("0001");
    Zelvora::WebURL = QStringLiteral("127.0.0.1");
    Zelvora::WebPort = server.port();
    Zelvora::SetToday(QDate(2026, 12, 8));

    auto* screen = new TfrmDistEmbCard();
    auto fail = [&](const char* what) {
        std::fprintf(stderr, "%s\n", what);
        for (const auto& m : dialogs.Messages())
            std::fprintf(stderr, "  %s\n", qPrintable(m.text));
        return 1;
    };
    if (!pla::Dispatch([&] { screen->DoCreate(); })) return fail("criação");
    screen->Show();
    pla::Dispatch([&] { screen->dbgPadrao->SetFocus(); });
    if (!pla::Dispatch([&] { StoreDistribution(*screen); })) return fail("gravação inicial");
    pla::Dispatch([&] { screen->sbtVerificar->Click(); });
    if (screen->cdsEmbDistCard->RecordCount() != kPackagings ||
        screen->cdsItEmbDistCard->TotalRecordCount() != kPackagings * kDishesPerPackaging ||
        screen->cdsCardapioDisponivel->TotalRecordCount() != kDishes)
        return fail("distribuição inicial");
    pla::Dispatch([&] { screen->dbgEmbalagens->SetFocus(); });

    pla::RemoteCallLog log;
    TNetConnection::AddGlobalCallObserver(
        [&log](const QString& m, const QJsonArray& p) { log.Record(m, p); });

    std::vector<double> confirm;
    int calls = 0, saves = 0;
    for (int i = 0; i < 30; ++i) {
        // A change: the first packaging's units, so each save stores something new.
        if (!pla::Dispatch([&] {
                screen->cdsEmbDistCard->First();
                screen->cdsEmbDistCard->Edit();
                screen->cdsEmbDistCard->FieldByName(QStringLiteral("QTCONTAINER"))
                    .SetAsFloat(kDiners + i % 2);
                screen->cdsEmbDistCard->Post();
            }))
            return fail("alteração");
        log.Reset();
        const auto start = std::chrono::steady_clock::now();
        const bool ok = pla::Dispatch([&] { screen->sbtConfirmar->Click(); });
        confirm.push_back(
            std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
                .count());
        if (!ok || screen->cdsDistCard->State() != TDataSetState::Browse)
            return fail("confirmação");
        calls = log.Total();
        saves = log.Count(QStringLiteral("SetDistribuicao"));
    }

    std::printf("confirm_60_dishes_30_packagings_300_rows_median: %.3f ms\n", Median(confirm));
    std::printf("confirm_remote_calls: %d calls\n", calls);
    std::printf("confirm_SetDistribuicao_calls: %d calls\n", saves);
    for (const char* m : {"GetServicos", "GetPontosEntrega", "GetDistribuicao"})
        std::printf("confirm_%s_calls: %d calls\n", m, log.Count(QString::fromLatin1(m)));
    const bool clean = dialogs.UncheckedCount() == 0;
    TForm::Free(screen);
    server.stop();
    return clean && saves == 1 ? 0 : 1;
}
