#include "TestDatabase.h"
#include "TestDistributions.h"
#include "appserver/storage/DistributionStore.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/transfer/DataExporter.h"
#include "appserver/transfer/DataImporter.h"

#include <QDir>
#include <QFile>
#include <QSqlRecord>
#include <QTemporaryDir>
#include <gtest/gtest.h>

using namespace pla;
using test::Backend;

namespace {

const char* kDocs = PLA_SOURCE_DIR "/docs/import";

// Every row of every table, sorted: equal dumps mean nothing was stored.
QString dump(const QSqlDatabase& db) {
    QStringList lines;
    for (const char* table :
         {"FILIAL", "GRUPSERV", "SERVFILI", "CLIENTE", "DESTFILI", "PONTENTREGA", "CONTAINER",
          "PRATO", "PRATOEMB", "CARDAPIO", "PRATCARD", "REGRAEMB", "DISTCARD", "CARDDISP",
          "EMBDISTCARD", "ITEMBDISTCARD"}) {
        QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT * FROM %1").arg(table));
        while (q.next()) {
            QStringList values{QString::fromLatin1(table)};
            for (int i = 0; i < q.record().count(); ++i)
                values << q.value(i).toString();
            lines << values.join(QLatin1Char('|'));
        }
    }
    lines.sort();
    return lines.join(QLatin1Char('\n'));
}

ImportTable table(const QString& file, const QByteArray& bytes) {
    return {ExchangeFormat::forFileName(file), file, CsvReader::read(bytes)};
}

QVector<ImportTable> readFolder(const QString& folder) {
    ImportReport r;
    const auto tables = DataImporter::read({folder}, r);
    EXPECT_TRUE(r.errors.isEmpty());
    return tables;
}

QStringList texts(const QVector<ImportIssue>& issues) {
    QStringList out;
    for (const ImportIssue& i : issues)
        out << i.text();
    return out;
}

QByteArray readAll(const QString& path) {
    QFile f(path);
    f.open(QIODevice::ReadOnly);
    return f.readAll();
}

class ImportTest : public ::testing::TestWithParam<Backend> {
protected:
    void SetUp() override {
        db_ = std::make_unique<test::TestDatabase>(GetParam());
        if (!db_->available()) GTEST_SKIP() << db_->skipReason().toStdString();
    }
    ImportReport import(const QVector<ImportTable>& tables, ImportOptions options = {}) {
        return DataImporter(db_->connection(), options).run(tables);
    }
    // The generated distributions of the lunch of the metal works on the demo's today.
    void distribute() {
        DistributionStore(db_->connection())
            .generate(test::demoToday(),
                      test::tickedServices(QStringLiteral("0001"), QStringLiteral("00003")), false);
    }
    std::unique_ptr<test::TestDatabase> db_;
};

TEST_P(ImportTest, ExportThenImportIsTheIdentityAndASecondImportChangesNothing) {
    // Names with the separator, quotes and a line break travel whole, and so do names a
    // spreadsheet would run as formulas.
    ASSERT_TRUE(import({table("clientes.csv", "CDCLIENTE;NMRAZSOCCLIE\r\n"
                                              "20001;\"Bar; Café \"\"Sol\"\"\r\nFilial\"\r\n"
                                              "20002;=1+1\r\n20003;@SOMA(A1)\r\n20004;-2\r\n"
                                              "20005;+x\r\n20006;''=já com apóstrofo\r\n")})
                    .stored);
    distribute();
    QTemporaryDir first, second;
    DataExporter(db_->connection()).write(first.path(), {});
    EXPECT_TRUE(readAll(first.filePath("distribuicoes.csv")).contains("Marmita"));
    EXPECT_TRUE(
        readAll(first.filePath("clientes.csv")).contains("\"Bar; Café \"\"Sol\"\"\nFilial\""));
    for (const char* neutral : {"20002;\"'=1+1\"", "20003;\"'@SOMA(A1)\"", "20004;\"'-2\"",
                                "20005;\"'+x\"", "20006;\"''=já com apóstrofo\""})
        EXPECT_TRUE(readAll(first.filePath("clientes.csv")).contains(neutral)) << neutral;

    const QString before = dump(db_->connection());
    const ImportReport again = import(readFolder(first.path()));
    EXPECT_TRUE(again.errors.isEmpty()) << texts(again.errors).join('\n').toStdString();
    for (const ImportCount& c : again.counts)
        EXPECT_EQ(c.unchanged > 0 && c.inserted == 0 && c.updated == 0, true)
            << c.kind.toStdString();
    EXPECT_EQ(dump(db_->connection()), before);

    test::TestDatabase empty(GetParam(), false);
    ASSERT_TRUE(DataImporter(empty.connection()).run(readFolder(first.path())).stored);
    DataExporter(empty.connection()).write(second.path(), {});
    for (const ExchangeKind& k : ExchangeFormat::kinds()) {
        if (k.kind == DataKind::Distributions) continue;
        const QString name = k.file + QStringLiteral(".csv");
        EXPECT_EQ(readAll(second.filePath(name)), readAll(first.filePath(name)))
            << name.toStdString();
    }
}

TEST_P(ImportTest, EveryBadLineIsRefusedWithItsPlaceAndNothingIsStored) {
    const QByteArray kRules("CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;CDPRATO;CDCONTAINER\n"
                            "0001;00001;10001;001;PR00005;00001\n");
    const struct {
        const char* file;
        QByteArray content; // a good line 2, the bad one after it
        const char* where;  // file:line:column
        const char* reason;
    } cases[] = {
        {"servicos.csv",
         "CDFILIAL;CDSERVFILI;NMSERVICO;CDGRUPSERV\n0001;00020;Novo;001\n0009;00021;Outro;001\n",
         "servicos.csv:3:1", "filial 0009 não cadastrada"},
        {"cardapios.csv",
         "CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;QTCOMENSAIS;NRORDPRATCAR;CDFILAUXPRAT;CDPRATO\n"
         "0001;00001;15/01/2027;X1;10;1;0001;PR00001\n"
         "0001;00001;15/01/2027;X1;10;2;0002;PR00003\n",
         "cardapios.csv:3:31", "prato de outra filial"},
        {"pontos.csv",
         "CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;QTCOMENSAIS\n0001;00001;10001;001;5\n"
         "0001;00001;10001;002;-5\n",
         "pontos.csv:3:22", "QTCOMENSAIS -5 não pode ser negativo"},
        {"capacidades.csv",
         "CDFILAUXPRAT;CDPRATO;CDCONTAINER;VRQTDEPRATEMB\n0001;PR00001;00012;2,5\n"
         "0001;PR00002;00012;muito\n",
         "capacidades.csv:3:20", "não é um número"},
        {"grupos.csv", "CDGRUPSERV;NMGRUPSERV\n006;Clubes\n6;Clubes de novo\n", "grupos.csv:3:1",
         "código repetido: já informado em grupos.csv:2"},
        {"cardapios.csv",
         "CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;QTCOMENSAIS;NRORDPRATCAR;CDPRATO\n"
         "0001;00001;2027-01-15;X2;10;1;PR00001\n0001;00002;31/02/2027;X3;10;1;PR00001\n",
         "cardapios.csv:3:12", "é uma data que não existe"},
        {"filiais.csv", "CDFILIAL;NMFILIAL\n0004;Nova\nABCDE;Longa\n", "filiais.csv:3:1",
         "tem mais de 4 caracteres"},
        {"cardapios.csv",
         "CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;QTCOMENSAIS;NRORDPRATCAR;CDPRATO\n"
         "0001;00001;15/01/2027;X4;10;1;PR00001\n0001;00001;15/01/2027;X4;10;2;PR99999\n",
         "cardapios.csv:3:31", "PR99999 não é um prato cadastrado da filial 0001"},
        {"cardapios.csv",
         "CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;QTCOMENSAIS;NRORDPRATCAR;CDPRATO\n"
         "0001;00001;15/01/2027;X5;10;1;PR00001\n0001;00001;15/01/2027;X5;10;2;PR00001\n",
         "cardapios.csv:3:31", "já está neste cardápio (linha 2)"},
        {"embalagens.csv", "CDCONTAINER;NMCONTAINER;IDPROPOSITO;COR\n00020;Caixa;C;azul\n",
         "embalagens.csv:1:37", "coluna desconhecida \"COR\""},
        {"embalagens.csv", "CDCONTAINER;NMCONTAINER;IDPROPOSITO\n00020;Caixa;C\n00021;Copo;X\n",
         "embalagens.csv:3:12", "IDPROPOSITO deve ser I ou C"},
        {"clientes.csv", "CDCLIENTE;NMRAZSOCCLIE\n20001;Bom\n20002;\"Sem fim\n", "clientes.csv:3:7",
         "aspas sem fechamento"},
        // What a save would refuse is not imported either.
        {"pratos.csv",
         "CDFILAUXPRAT;CDPRATO;NMPRATO;SGUNIDADE\n0001;PRN1;Bom;KG\n0001;PRN2;A\x1b[2J;KG\n",
         "pratos.csv:3:11", "NMPRATO contém caracteres de controle"},
        {"clientes.csv", QByteArray("CDCLIENTE;NMRAZSOCCLIE\n20001;Bom\n20002;A") + '\0' + "B\n",
         "clientes.csv:3:7", "NMRAZSOCCLIE contém caracteres de controle"},
        {"pontos.csv",
         "CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;QTCOMENSAIS\n0001;00001;10001;001;5\n"
         "0001;00001;10001;002;2000000000\n",
         "pontos.csv:3:22", "QTCOMENSAIS 2000000000 passa do limite de 1.000.000.000"},
        // Over-long fields and lines stop the reading and are quoted cut short.
        {"clientes.csv",
         "CDCLIENTE;NMRAZSOCCLIE\n20001;Bom\n20002;\"" + QByteArray(5000, 'x') + "\"\n",
         "clientes.csv:3:7", "campo com mais de 4.000 caracteres"},
        {"clientes.csv",
         "CDCLIENTE;NMRAZSOCCLIE\n20001;Bom\n20002;" + QByteArray(70000, 'y') + "\n",
         "clientes.csv:3:1", "linha com mais de 65.536 bytes"},
        {"pratos.csv",
         "CDFILAUXPRAT;CDPRATO;NMPRATO;SGUNIDADE;IDCONSERVACAO;QTHORASVALIDADE\n"
         "0001;PR90001;Sopa;KG;Q;6\n0001;PR90002;Caldo;KG;Q;7\n",
         "pratos.csv:3:25", "passa do limite de 6 horas para prato quente (Q)"},
        {"pratos.csv",
         "CDFILAUXPRAT;CDPRATO;NMPRATO;SGUNIDADE;IDCONSERVACAO;QTHORASVALIDADE\n"
         "0001;PR90001;Salada;KG;R;120\n0001;PR90002;Maionese;KG;R;121\n",
         "pratos.csv:3:28", "passa do limite de 120 horas para prato refrigerado (R)"},
        {"pratos.csv",
         "CDFILAUXPRAT;CDPRATO;NMPRATO;SGUNIDADE;DSALERGENICOS\n0001;PR90001;Bolo;KG;Trigo, "
         "OVOS\n0001;PR90002;Broa;KG;trigo, glúten\n",
         "pratos.csv:3:22", "\"glúten\" não é um alergênico da lista legal"},
        {"filiais.csv",
         "CDFILIAL;NMFILIAL;NRCNPJ\n0004;Nova;11.222.333/0001-81\n0005;Outra;11.222.333/0001-82\n",
         "filiais.csv:3:12", "NRCNPJ \"11.222.333/0001-82\" tem dígitos verificadores errados"},
        {"filiais.csv", "CDFILIAL;NMFILIAL;IDPROPOSTAEMB\n0004;Nova;V\n0005;Outra;X\n",
         "filiais.csv:3:12", "IDPROPOSTAEMB deve ser P ou V"},
        // Packing rules: what they name must exist and be able to carry the dish.
        {"regras_embalagem.csv", kRules + "0001;00001;10001;001;PR00022;00010\n",
         "regras_embalagem.csv:3:30", "a embalagem 00010 não tem capacidade para o prato PR00022"},
        {"regras_embalagem.csv", kRules + "0001;;;;PR99999;00010\n", "regras_embalagem.csv:3:9",
         "prato PR99999 não cadastrado na filial 0001"},
        {"regras_embalagem.csv", kRules + "0001;00001;10001;;;00010\n", "regras_embalagem.csv:3:18",
         "CDDESTFILI não informado"},
        {"regras_embalagem.csv", kRules + "0001;;;;;00010\n", "regras_embalagem.csv:3:6",
         "regra sem serviço, ponto de entrega nem prato"},
        {"regras_embalagem.csv", kRules + "0001;00002;10002;001;;00010\n",
         "regras_embalagem.csv:3:18",
         "o destino 001 do cliente 10002 não é ponto de entrega do serviço 00002 da filial 0001"},
    };
    const QString before = dump(db_->connection());
    for (const auto& c : cases) {
        const ImportReport r = import({table(QString::fromLatin1(c.file), c.content)});
        EXPECT_FALSE(r.stored) << c.where;
        ASSERT_EQ(r.errors.size(), 1) << c.where << "\n"
                                      << texts(r.errors).join('\n').toStdString();
        const QString text = r.errors[0].text();
        EXPECT_TRUE(text.startsWith(QString::fromUtf8(c.where) + QLatin1Char(':')))
            << text.toStdString();
        EXPECT_TRUE(text.contains(QString::fromUtf8(c.reason))) << text.toStdString();
        EXPECT_LT(text.size(), 400) << text.toStdString(); // input is quoted cut short
    }
    EXPECT_EQ(dump(db_->connection()), before);
}

TEST_P(ImportTest, ADailyMenuUnderADistributionIsKeptUnlessReplacingIsAsked) {
    distribute(); // the lunch of the metal works (00003) is distributed, the hospital's is not
    QTemporaryDir dir;
    ExportFilter day;
    day.kinds = {DataKind::Menus};
    day.branch = QStringLiteral("0001");
    day.from = day.to = test::demoToday();
    DataExporter(db_->connection()).write(dir.path(), day);
    // The day's file with the last dish of both menus left out.
    const QList<QByteArray> lines = readAll(dir.filePath("cardapios.csv")).split('\n');
    QByteArray file = lines[0] + '\n';
    for (const char* service : {"0001;00001;", "0001;00003;"}) {
        QList<QByteArray> menu;
        for (const QByteArray& l : lines)
            if (l.startsWith(service)) menu << l;
        menu.removeLast();
        file += menu.join('\n') + '\n';
    }
    const QVector<ImportTable> tables{table("cardapios_2026-12-08.csv", file)};
    const DistributionKey lunch{QStringLiteral("0001"), QStringLiteral("00003"), test::demoToday(),
                                QStringLiteral("10002"), QStringLiteral("001")};
    DistributionStore store(db_->connection());

    const QString before = dump(db_->connection());
    ImportOptions dry;
    dry.dryRun = true;
    EXPECT_EQ(import(tables, dry).keptMenus(), 1);
    EXPECT_EQ(dump(db_->connection()), before);

    const ImportReport kept = import(tables);
    ASSERT_TRUE(kept.stored);
    EXPECT_EQ(kept.counts[0].updated, 1);
    EXPECT_EQ(kept.keptMenus(), 1);
    ASSERT_EQ(kept.notices.size(), 1);
    EXPECT_TRUE(kept.notices[0].text().startsWith("cardapios_2026-12-08.csv:"));
    EXPECT_TRUE(kept.notices[0].reason.contains("mantido como estava"))
        << kept.notices[0].text().toStdString();
    EXPECT_TRUE(kept.notices[0].reason.contains("ponto 10002/001"));
    EXPECT_TRUE(store.findByKey(lunch));

    ImportOptions replace;
    replace.replaceDistributed = true;
    const ImportReport replaced = import(tables, replace);
    ASSERT_TRUE(replaced.stored);
    EXPECT_EQ(replaced.counts[0].updated, 1);
    EXPECT_EQ(replaced.counts[0].unchanged, 1);
    ASSERT_EQ(replaced.notices.size(), 1);
    EXPECT_TRUE(replaced.notices[0].reason.contains("substituído"));
    EXPECT_FALSE(store.findByKey(lunch));
    // The screen builds it again from the new menu.
    EXPECT_TRUE(store.load(lunch, false).message.isEmpty());
}

TEST_P(ImportTest, TheTemplatesOfTheGuideImportIntoAnEmptyDatabase) {
    test::TestDatabase empty(GetParam(), false);
    const QVector<ImportTable> tables = readFolder(QString::fromLatin1(kDocs));
    EXPECT_EQ(tables.size(), ExchangeFormat::kinds().size() - 1);
    for (const ImportTable& t : tables) {
        // Every template shows every column, in the order export writes them.
        ASSERT_EQ(t.document.records.size(), 3) << t.file.toStdString();
        QStringList header, columns;
        for (const CsvField& f : t.document.records[0].fields)
            header << f.text;
        for (const ExchangeColumn& c : t.kind->columns)
            columns << c.name;
        EXPECT_EQ(header, columns) << t.file.toStdString();
    }
    const ImportReport r = DataImporter(empty.connection()).run(tables);
    EXPECT_TRUE(r.stored) << texts(r.errors).join('\n').toStdString();
}

INSTANTIATE_TEST_SUITE_P(Backends, ImportTest,
                         ::testing::Values(Backend::Sqlite, Backend::Postgres),
                         [](const auto& info) {
                             return info.param == Backend::Sqlite ? std::string("SQLite")
                                                                  : std::string("PostgreSQL");
                         });

} // namespace
