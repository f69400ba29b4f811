#include "tests/remote/TestEnvironment.h"

#include "framework/data/DatabaseError.h"
#include "framework/services/Zelvora.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"

#include <QGuiApplication>
#include <QSqlDatabase>
#include <QSqlQuery>
#include <stdexcept>

namespace pla::test {

namespace {

const char* kConnection = "screen_tests_geral";

QSqlDatabase Database() {
    return QSqlDatabase::database(QString::fromLatin1(kConnection));
}

} // namespace

ScriptedDialogs& TestEnvironment::Install() {
    static int argc = 1;
    static char name[] = "screen_tests";
    static char* argv[] = {name, nullptr};
    static bool installed = false;
    static ScriptedDialogs dialogs;
    if (!installed) {
        installed = true;
        // Never destroyed: Qt's own globals are gone by the time static destructors run. A
        // test of the real widgets brings its own QApplication.
        if (!QCoreApplication::instance()) {
            qputenv("QT_QPA_PLATFORM", "offscreen");
            new QGuiApplication(argc, argv);
        }
        QSqlDatabase db =
            QSqlDatabase::addDatabase(QStringLiteral("QSQLITE"), QString::fromLatin1(kConnection));
        db.setDatabaseName(QStringLiteral(":memory:"));
        db.open();
        QSqlQuery(db).exec(QStringLiteral(
            "CREATE TABLE FILIAL (CDFILIAL VARCHAR(4) PRIMARY KEY, NMFILIAL VARCHAR(30), "
            "IDCNTRRESC VARCHAR(1), CDFILCENTPME VARCHAR(4), IDFILCENTPME VARCHAR(1))"));
        Zelvora::SetDatabaseConnectionName(QString::fromLatin1(kConnection));
        SetDialogService(&dialogs);
        // Failures of user actions reach the user as an error box, as in the front end.
        SetErrorHandler([](std::exception_ptr failure) {
            try {
                std::rethrow_exception(failure);
            } catch (const EDatabaseError& e) {
                Dialogs().ShowError(e.Message());
            } catch (const std::exception& e) {
                Dialogs().ShowError(QString::fromUtf8(e.what()));
            }
        });
    }
    dialogs.Reset();
    return dialogs;
}

void TestEnvironment::Login(const QString& branch, bool tied, int port, const QDate& today) {
    Zelvora::FiliProc = branch;
    Zelvora::ModuFili = tied;
    Zelvora::WebURL = QStringLiteral("127.0.0.1");
    Zelvora::WebPort = port;
    Zelvora::SetToday(today);
}

void TestEnvironment::SetBranches(const QVector<QPair<QString, QString>>& rows) {
    QSqlQuery q(Database());
    q.exec(QStringLiteral("DELETE FROM FILIAL"));
    for (const auto& [code, name] : rows) {
        q.prepare(QStringLiteral("INSERT INTO FILIAL (CDFILIAL, NMFILIAL) VALUES (?, ?)"));
        q.addBindValue(code);
        q.addBindValue(name);
        if (!q.exec()) throw std::runtime_error("não foi possível preparar a tabela FILIAL");
    }
}

} // namespace pla::test
