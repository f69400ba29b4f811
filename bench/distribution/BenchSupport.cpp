#include "bench/distribution/BenchSupport.h"

#include "distribution/DistEmbCard.h"
#include "framework/services/ScriptedDialogs.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/TDBGrid.h"

#include <QDate>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <algorithm>
#include <cstdio>

namespace pla::bench {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

double MsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double, std::milli>(std::chrono::steady_clock::now() - start)
        .count();
}

QJsonObject Ok(const QJsonValue& data) {
    return QJsonObject{{"ok", true}, {"data", data}};
}

QJsonObject Packet(const QStringList& fields, const QJsonArray& rows) {
    return QJsonObject{{"fields", QJsonArray::fromStringList(fields)}, {"rows", rows}};
}

void OpenGeneralDatabase() {
    QSqlDatabase db = QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QStringLiteral("bench"));
    db.setDatabaseName(QStringLiteral(":memory:"));
    db.open();
    QSqlQuery q(db);
    q.exec(
        QStringLiteral("CREATE TABLE FILIAL (CDFILIAL VARCHAR(4), NMFILIAL VARCHAR(30), "
                       "IDCNTRRESC VARCHAR(1), CDFILCENTPME VARCHAR(4), IDFILCENTPME VARCHAR(1))"));
    q.exec(QStringLiteral("INSERT INTO FILIAL VALUES ('0001', 'Cozinha Central', 'N', '', 'N')"));
    Zelvora::SetDatabaseConnectionName(QStringLiteral("bench"));
}

TfrmDistEmbCard* CreateScreen(ScriptedDialogs& dialogs, int port) {
    SetDialogService(&dialogs);
    Zelvora::FiliProc = QStringLiteral("0001");
    Zelvora::WebURL = QStringLiteral("127.0.0.1");
    Zelvora::WebPort = port;
    Zelvora::SetToday(QDate(2026, 12, 8));
    auto* screen = new TfrmDistEmbCard();
    if (!Dispatch([&] { screen->DoCreate(); })) {
        for (const auto& m : dialogs.Messages())
            std::fprintf(stderr, "%s\n", qPrintable(m.text));
        return nullptr;
    }
    return screen;
}

TfrmDistEmbCard* OpenScreen(ScriptedDialogs& dialogs, int port) {
    OpenGeneralDatabase();
    TfrmDistEmbCard* screen = CreateScreen(dialogs, port);
    if (!screen) return nullptr;
    screen->Show();
    Dispatch([&] { screen->dbgPadrao->SetFocus(); });
    return screen;
}

} // namespace pla::bench
