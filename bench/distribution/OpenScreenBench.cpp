// Prints, one "name: value unit" line each: the time from IniProc to the distribution screen
// created and shown (median and worst of the runs), and the remote calls creation makes.
#include "distribution/DistEmbCard.h"
#include "framework/net/NetConnection.h"
#include "framework/net/RemoteCallLog.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/services/Zelvora.h"
#include "host/scenario/FixtureServer.h"

#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <dlfcn.h>
#include <vector>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);

    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.open();
    QSqlQuery q(db);
    q.exec(
        QStringLiteral("CREATE TABLE FILIAL (CDFILIAL VARCHAR(4), NMFILIAL VARCHAR(30), "
                       "IDCNTRRESC VARCHAR(1), CDFILCENTPME VARCHAR(4), IDFILCENTPME VARCHAR(1))"));
    q.exec(QStringLiteral(
        "INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES ('0001', 'Cozinha Central')"));
    Zelvora::SetDatabaseConnectionName(QStringLiteral("bench"));

    pla::ScriptedDialogs dialogs;
    pla::SetDialogService(&dialogs);

    pla::FixtureServer fixture(R"({"methods": {"GetGruposServico": [{"result": {"ok": true,
        "data": {"fields": ["CDGRUPSERV", "NMGRUPSERV"],
                 "rows": [["001", "Hospitais"], ["002", "Escolas"], ["003", "Empresas"]]}}}]}})");
    Zelvora::FiliProc = QStringLiteral("0001");
    Zelvora::ModuFili = false;
    Zelvora::WebURL = QStringLiteral("127.0.0.1");
    Zelvora::WebPort = fixture.Start();

    void* module = dlopen(PLA_MODULE_FILE, RTLD_NOW);
    if (!module) {
        std::fprintf(stderr, "%s\n", dlerror());
        return 1;
    }
    auto iniProc = reinterpret_cast<void (*)()>(dlsym(module, "IniProc"));
    auto* screen = static_cast<TfrmDistEmbCard**>(dlsym(module, "frmDistEmbCard"));

    pla::RemoteCallLog log;
    const int observer = TNetConnection::AddGlobalCallObserver(
        [&log](const QString& method, const QJsonArray& params) { log.Record(method, params); });

    constexpr int runs = 50;
    std::vector<double> ms;
    int callsPerCreation = -1, groupCalls = -1;
    for (int i = 0; i < runs; ++i) {
        log.Reset();
        const auto start = std::chrono::steady_clock::now();
        iniProc();
        const auto end = std::chrono::steady_clock::now();
        if (!*screen || dialogs.UncheckedCount() > 0) {
            std::fprintf(stderr, "a criação da tela falhou\n");
            return 1;
        }
        ms.push_back(std::chrono::duration<double, std::milli>(end - start).count());
        callsPerCreation = log.Total();
        groupCalls = log.Count(QStringLiteral("GetGruposServico"));
        TForm::Free(*screen); // the next IniProc creates it anew
    }
    TNetConnection::RemoveGlobalCallObserver(observer);
    std::sort(ms.begin(), ms.end());

    std::printf("open_screen_median: %.3f ms\n", ms[ms.size() / 2]);
    std::printf("open_screen_max: %.3f ms\n", ms.back());
    std::printf("open_screen_remote_calls: %d calls\n", callsPerCreation);
    std::printf("open_screen_GetGruposServico_calls: %d calls\n", groupCalls);
    fixture.Stop();
    return callsPerCreation == 1 && groupCalls == 1 ? 0 : 1;
}
