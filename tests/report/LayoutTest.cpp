// Layout rules of labels and packing lists, checked on the drawing commands.
#include "framework/print/TextFitter.h"
#include "report/DistributionReport.h"
#include "report/LabelLayout.h"
#include "report/LabelStock.h"
#include "report/PackingListLayout.h"
#include "tests/report/ReportTestDay.h"

#include <QDateTime>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace pla::test {

namespace {

QVector<const DayPackaging*> All(const DistributionDay& day) {
    QVector<const DayPackaging*> out;
    for (const DayPackaging& p : day.packagings)
        out.push_back(&p);
    return out;
}

// Every text fits its rectangle at its size, and every command lies on the paper.
void ExpectInside(const PrintPage& page) {
    const QRectF paper(QPointF(0, 0), page.Size());
    for (const PrintCommand& c : page.Commands()) {
        if (c.kind == PrintCommand::Kind::Line) continue;
        EXPECT_TRUE(paper.contains(c.rect)) << c.text.toStdString();
        if (c.kind != PrintCommand::Kind::Text) continue;
        EXPECT_LE(TextFitter::Width(c.text, c.fontSize, c.bold), c.rect.width())
            << c.text.toStdString();
        EXPECT_LE(TextFitter::LineHeight(c.fontSize, c.bold), c.rect.height() + 0.05)
            << c.text.toStdString();
    }
}

const QDateTime kPrepared(QDate(2026, 12, 8), QTime(10, 30));

// The packagings' own labels, without the point's header label.
QVector<PrintPage> Labels(const DistributionDay& day, const LabelStock& stock) {
    QString error;
    const QVector<PrintPage> pages =
        LabelLayout::Pages(day, All(day), stock, kPrepared, error, {{}, false});
    EXPECT_TRUE(error.isEmpty()) << error.toStdString();
    return pages;
}

} // namespace

TEST(LabelLayout, APackagingOfThreeUnitsGivesThreeNumberedLabelsWithItsCode) {
    const DistributionDay day = SmallDay({Packaging(731, 3, {QStringLiteral("Arroz branco")})});
    const QVector<PrintPage> pages = Labels(day, *LabelStock::Find("A4-2x7"));
    ASSERT_EQ(pages.size(), 1);
    const QStringList texts = Texts(pages[0]);
    for (const char* unit : {"1/3", "2/3", "3/3"})
        EXPECT_EQ(texts.count(QString::fromLatin1(unit)), 1) << unit;
    int codes = 0;
    for (const PrintCommand& c : pages[0].Commands())
        if (c.kind == PrintCommand::Kind::Code) {
            EXPECT_EQ(c.text, QStringLiteral("731"));
            EXPECT_GT(c.modules, 0);
            ++codes;
        }
    EXPECT_EQ(codes, 3);
    // The amounts are those of one unit, with the decimal comma.
    EXPECT_TRUE(texts.contains(QStringLiteral("0,667 com. 0,333 KG")))
        << texts.join('|').toStdString();
}

TEST(LabelLayout, LabelsAndPackingListsGoInLoadingOrderEachPointOpenedByAHeaderLabel) {
    // Point, delivery order (0: none), service, units.
    struct Row {
        const char* client;
        int order;
        const char* service;
        double units;
    } rows[] = {{"10001", 0, "00001", 2},
                {"10002", 2, "00001", 1},
                {"10003", 1, "00001", 3},
                {"10000", 0, "00002", 1},
                {"10002", 2, "00002", 2}};
    QVector<DayPackaging> packagings;
    for (const Row& r : rows) {
        DayPackaging p = Packaging(packagings.size() + 1, r.units, {QStringLiteral("Arroz")});
        p.client = p.clientName = QString::fromLatin1(r.client);
        p.service = QString::fromLatin1(r.service);
        if (r.order) p.deliveryOrder = r.order;
        packagings.push_back(p);
    }
    const DistributionDay day = SmallDay(packagings);
    ReportRequest request;
    request.services = {QStringLiteral("00001"), QStringLiteral("00002")};
    request.contents = ReportContents::Both;
    request.stock = QStringLiteral("ROLO-100x60");
    const DistributionReport::Result r = DistributionReport::Build(day, request);
    ASSERT_TRUE(r.error.isEmpty()) << r.error.toStdString();

    // Per roll label: its code, or the header's text.
    QStringList labels, lists;
    for (const PrintPage& page : r.document.pages) {
        QString code;
        for (const PrintCommand& c : page.Commands())
            if (c.kind == PrintCommand::Kind::Code) code = c.text;
        const QStringList texts = Texts(page);
        if (page.Size() == QSizeF(100, 60))
            labels << (code.isEmpty() ? texts.mid(1).join(QLatin1Char(' ')) : code);
        else
            lists << texts.filter(QStringLiteral(" · 100")).value(0);
    }
    EXPECT_EQ(labels, (QStringList{"Ponto: 10003 · Ala Norte — 3 volumes", "3", "3", "3",
                                   "Ponto: 10002 · Ala Norte — 3 volumes", "2", "5", "5",
                                   "Ponto: 10000 · Ala Norte — 1 volume", "4",
                                   "Ponto: 10001 · Ala Norte — 2 volumes", "1", "1"}));
    // One packing list per service and point, in the same order.
    EXPECT_EQ(lists.size(), 5);
    for (const auto& [i, client] :
         {std::pair{0, "10003"}, {1, "10002"}, {2, "10002"}, {3, "10000"}, {4, "10001"}})
        EXPECT_TRUE(lists.value(i).contains(QString::fromLatin1(client)))
            << lists.join('|').toStdString();

    // A reprint of units 1 and 3 of one packaging: just those, no header.
    QString error;
    const QVector<PrintPage> reprint =
        LabelLayout::Pages(day, {&day.packagings[2]}, *LabelStock::Find("ROLO-100x60"), kPrepared,
                           error, {{1, 3}, false});
    ASSERT_EQ(reprint.size(), 2);
    EXPECT_TRUE(Texts(reprint[0]).contains(QStringLiteral("1/3")));
    EXPECT_TRUE(Texts(reprint[1]).contains(QStringLiteral("3/3")));
}

TEST(LabelLayout, EveryStockFillsItsPagesAndKeepsEachLabelInsideItsRectangle) {
    for (const LabelStock& stock : LabelStock::All()) {
        SCOPED_TRACE(stock.name.toStdString());
        const DistributionDay day =
            SmallDay({Packaging(1, 2 * stock.PerPage() + 1,
                                {QStringLiteral("Arroz branco"), QStringLiteral("Feijão carioca"),
                                 QStringLiteral("Frango grelhado")},
                                QStringLiteral("Manter aquecido"))});
        const QVector<PrintPage> pages = Labels(day, stock);
        ASSERT_EQ(pages.size(), 3);
        EXPECT_EQ(pages[0].Size(), stock.page);
        for (const PrintPage& page : pages) {
            ExpectInside(page);
            for (const PrintCommand& c : page.Commands()) {
                const bool line = c.kind == PrintCommand::Kind::Line;
                bool inOne = false;
                for (int i = 0; i < stock.PerPage(); ++i) {
                    const QRectF label = stock.LabelRect(i);
                    inOne =
                        inOne || (line ? label.contains(c.line.p1()) && label.contains(c.line.p2())
                                       : label.contains(c.rect));
                }
                EXPECT_TRUE(inOne) << c.text.toStdString();
            }
        }
    }
}

TEST(LabelLayout, ALongRemarkIsShrunkThenCutWithAnEllipsisNeverOutsideItsBox) {
    const QString shortRemark = QStringLiteral("Frágil");
    const QString longRemark = QStringLiteral("Entregar na copa do terceiro andar ao lado do "
                                              "elevador de serviço, manter aquecido até a hora "
                                              "do almoço e não empilhar sobre as caixas de "
                                              "sobremesa nem sobre as garrafas de suco. ")
                                   .repeated(3);
    const LabelStock& stock = *LabelStock::Find("A4-3x8");
    auto remarkTexts = [&](const QString& remark) {
        const DistributionDay day = SmallDay({Packaging(9, 1, {QStringLiteral("Arroz")}, remark)});
        const PrintPage page = Labels(day, stock).value(0);
        ExpectInside(page);
        QVector<PrintCommand> out;
        for (const PrintCommand& c : page.Commands())
            if (c.kind == PrintCommand::Kind::Text && c.bold && remark.contains(c.text.left(4)))
                out.push_back(c);
        return out;
    };
    const QVector<PrintCommand> small = remarkTexts(shortRemark);
    const QVector<PrintCommand> large = remarkTexts(longRemark);
    ASSERT_EQ(small.size(), 1);
    ASSERT_FALSE(large.isEmpty());
    EXPECT_LT(large.first().fontSize, small.first().fontSize);
    EXPECT_TRUE(large.last().text.endsWith(QChar(0x2026))) << large.last().text.toStdString();
    for (const PrintCommand& c : large)
        EXPECT_TRUE(stock.LabelRect(0).contains(c.rect));
}

TEST(LabelLayout, RequiredTextsAreWholeOrTheStockIsRefusedWithALargerOne) {
    QVector<DayPackaging> packagings;
    for (int n = 1; n <= 4; ++n) {
        QStringList names;
        for (int d = 1; d <= n; ++d)
            names << QStringLiteral("Prato de nome comprido número %1").arg(d);
        packagings.push_back(Packaging(n, 1, names, QStringLiteral("Frágil")));
        packagings.back().dishes.first().allergens = QStringLiteral("trigo, ovos, leite, soja");
    }
    DistributionDay day = SmallDay(packagings);
    // The common case fits the usual sheet and the roll (the small 3 × 8 may refuse it).
    for (const char* name : {"A4-2x7", "A4-2x4", "ROLO-100x60"}) {
        const LabelStock& stock = *LabelStock::Find(QString::fromLatin1(name));
        SCOPED_TRACE(name);
        // A required text may wrap, never lose a word.
        const QString texts = Texts(Labels(day, stock).value(0)).join(QLatin1Char(' '));
        for (const char* line :
             {"Preparo: 08/12/2026 10:30 · Validade: 08/12/2026 16:30",
              "Conservar aquecido acima de 60 °C", "Lote: 20261208-0001-00001",
              "Cozinha Central Ltda. · CNPJ 11.222.333/0001-81", "RT: Ana Lima — CRN-3 1"})
            EXPECT_TRUE(texts.contains(QString::fromUtf8(line))) << line;
        EXPECT_FALSE(texts.contains(QChar(0x2026))) << texts.toStdString();
    }
    // An address that leaves no room on a small label: refused there, with what would do.
    day.producer.address = QStringLiteral("Rodovia dos Bandeirantes, km 23, galpão 4 ").repeated(4);
    QString error;
    EXPECT_TRUE(
        LabelLayout::Pages(day, All(day), *LabelStock::Find("A4-3x8"), kPrepared, error).isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("A4-3x8"))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("Use uma etiqueta maior: "))) << error.toStdString();
    EXPECT_TRUE(error.contains(QStringLiteral("ROLO-100x60"))) << error.toStdString();
}

TEST(PackingList, PageBreaksKeepAPackagingsLinesTogetherAndNumberThePages) {
    QVector<DayPackaging> packagings;
    for (int k = 1; k <= 60; ++k) {
        QStringList dishes;
        for (int d = 1; d <= 4; ++d)
            dishes.push_back(QStringLiteral("P%1-D%2").arg(k).arg(d));
        packagings.push_back(Packaging(
            k, 2, dishes, k % 7 == 0 ? QStringLiteral("Obs. longa ").repeated(30) : QString()));
    }
    const DistributionDay day = SmallDay(packagings);
    const QVector<PrintPage> pages = PackingListLayout::Pages(day, All(day), kPrepared);
    ASSERT_GE(pages.size(), 3);
    // The dish totals take the first packaging's names, so the others appear only in their
    // own lines.
    for (int k = 2; k <= 60; ++k) {
        const QRegularExpression own(QStringLiteral("^P%1-D\\d$").arg(k));
        int found = 0;
        for (const PrintPage& page : pages) {
            const int n = Texts(page).filter(own).size();
            EXPECT_TRUE(n == 0 || n == 4) << "embalagem " << k;
            found += n;
        }
        EXPECT_EQ(found, 4) << "embalagem " << k;
    }
    for (int i = 0; i < pages.size(); ++i) {
        ExpectInside(pages[i]);
        EXPECT_TRUE(Texts(pages[i]).contains(
            QStringLiteral("Página %1 de %2").arg(i + 1).arg(pages.size())));
    }
    EXPECT_TRUE(Texts(pages.last()).contains(QStringLiteral("Assinatura do recebedor")));
    const QStringList first = Texts(pages[0]);
    for (const char* t : {"Temp. saída", "Temp. chegada", "Quente", "08/12/26 16:30",
                          "Cozinha Central Ltda. · CNPJ 11.222.333/0001-81"})
        EXPECT_TRUE(first.contains(QString::fromUtf8(t))) << t;
}

TEST(DistributionReport, NothingToPrintIsAnErrorAndServicesLeftOutAreNamed) {
    const DistributionDay empty = SmallDay({});
    ReportRequest request;
    request.services = {QStringLiteral("00001"), QStringLiteral("00002")};
    EXPECT_EQ(DistributionReport::Build(empty, request).error,
              QStringLiteral("Não há embalagens distribuídas na filial 0001 em 08/12/2026."));

    const DistributionDay day = SmallDay({Packaging(1, 1, {QStringLiteral("Arroz")})});
    DistributionReport::Result r = DistributionReport::Build(day, request);
    EXPECT_TRUE(r.error.isEmpty());
    EXPECT_EQ(r.without, QStringList{QStringLiteral("00002 - Jantar Hospital")});
    EXPECT_EQ(r.document.pages.size(), 2); // one label sheet, one packing list page

    request.services = {QStringLiteral("00002")};
    r = DistributionReport::Build(day, request);
    EXPECT_EQ(r.error, QStringLiteral("Os serviços selecionados não têm embalagens distribuídas "
                                      "em 08/12/2026."));
    EXPECT_TRUE(r.document.pages.isEmpty());
}

TEST(DistributionReport, MissingLabelDataNamesEveryDishAndLeavesThePackingListsAlone) {
    DistributionDay day = SmallDay(
        {Packaging(1, 1, {QStringLiteral("Arroz"), QStringLiteral("Suco")}),
         Packaging(2, 1,
                   {QStringLiteral("Arroz"), QStringLiteral("Pudim"), QStringLiteral("Salada")})});
    day.packagings[0].dishes[1].conservation.clear();
    day.packagings[1].dishes[1].shelfHours = 0;
    day.packagings[1].dishes[2].conservation.clear();
    day.packagings[1].dishes[2].shelfHours = 0;
    day.producer.cnpj.clear();
    ReportRequest request;
    request.services = {QStringLiteral("00001")};
    const DistributionReport::Result both = DistributionReport::Build(day, request);
    EXPECT_TRUE(both.error.isEmpty());
    EXPECT_EQ(both.labelsRefused,
              QStringLiteral("As etiquetas não foram impressas: faltam dados obrigatórios no "
                             "cadastro.\n"
                             "Prato D2 - Suco: falta conservação.\n"
                             "Prato D2 - Pudim: falta prazo de validade (horas).\n"
                             "Prato D3 - Salada: falta conservação e prazo de validade (horas).\n"
                             "Filial 0001: falta CNPJ."));
    ASSERT_EQ(both.document.pages.size(), 1);
    EXPECT_TRUE(Texts(both.document.pages[0]).contains(QStringLiteral("Romaneio de Entrega")));
    request.contents = ReportContents::Labels;
    const DistributionReport::Result labels = DistributionReport::Build(day, request);
    EXPECT_EQ(labels.error, both.labelsRefused);
    EXPECT_TRUE(labels.document.pages.isEmpty());
}

} // namespace pla::test
