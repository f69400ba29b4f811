#include "report/LabelContents.h"

#include "labelling/Allergens.h"
#include "labelling/Conservation.h"
#include "report/ReportTexts.h"

#include <QSet>

namespace pla {

namespace {

const QString kDot = QStringLiteral(" · ");

QString DateTime(const QDateTime& t) {
    return t.toString(QStringLiteral("dd/MM/yyyy HH:mm"));
}

// Cereals that hold gluten: a dish listing one contains gluten whatever its flag says.
bool HasGluten(const DayDish& d) {
    if (d.gluten) return true;
    QString unknown;
    const auto names = Allergens::Parse(d.allergens, unknown).value_or(QStringList());
    for (const char* cereal : {"trigo", "centeio", "cevada", "aveia"})
        if (names.contains(QLatin1String(cereal))) return true;
    return false;
}

} // namespace

QDateTime LabelContents::Validity(const DayPackaging& p, const QDateTime& prepared) {
    QDateTime earliest;
    for (const DayDish& d : p.dishes) {
        const QDateTime until = prepared.addSecs(qint64(d.shelfHours) * 3600);
        if (!earliest.isValid() || until < earliest) earliest = until;
    }
    return earliest;
}

QString LabelContents::Lot(const DistributionDay& day, const QString& service) {
    return QStringLiteral("%1-%2-%3")
        .arg(day.date.toString(QStringLiteral("yyyyMMdd")), day.branch, service);
}

LabelContents LabelContents::Of(const DistributionDay& day, const DayPackaging& p,
                                const QDateTime& prepared) {
    LabelContents c;
    c.dates = QStringLiteral("Preparo: ") + DateTime(prepared) + kDot +
              QStringLiteral("Validade: ") + DateTime(Validity(p, prepared));

    // Instructions in the order their first dish comes, each with its dishes.
    QStringList codes;
    QVector<QStringList> dishesOf;
    QStringList allergens;
    bool gluten = false, lactose = false;
    for (const DayDish& d : p.dishes) {
        int at = codes.indexOf(d.conservation);
        if (at < 0) {
            at = static_cast<int>(codes.size());
            codes.push_back(d.conservation);
            dishesOf.push_back({});
        }
        dishesOf[at].push_back(d.name);
        allergens.push_back(d.allergens);
        gluten = gluten || HasGluten(d);
        lactose = lactose || d.lactose;
    }
    for (int i = 0; i < codes.size(); ++i)
        c.conservation.push_back(codes.size() == 1
                                     ? Conservation::Instruction(codes[i])
                                     : Conservation::Instruction(codes[i]) + QStringLiteral(": ") +
                                           dishesOf[i].join(QStringLiteral(", ")));
    c.allergens = Allergens::Declaration(allergens);
    c.glutenLactose =
        gluten ? QStringLiteral("CONTÉM GLÚTEN") : QStringLiteral("NÃO CONTÉM GLÚTEN");
    if (lactose) c.glutenLactose += kDot + QStringLiteral("CONTÉM LACTOSE");
    c.lot = QStringLiteral("Lote: ") + Lot(day, p.service);

    c.producer = ReportTexts::Producer(day.producer);
    return c;
}

QString LabelContents::Missing(const DistributionDay& day,
                               const QVector<const DayPackaging*>& packagings) {
    QStringList lines;
    QSet<QString> seen;
    for (const DayPackaging* p : packagings) {
        if (p->dishes.isEmpty())
            lines << QStringLiteral("Embalagem %1: não tem pratos.").arg(p->number);
        for (const DayDish& d : p->dishes) {
            const QString key = d.code + QLatin1Char('\x1f') + d.name;
            if (seen.contains(key)) continue;
            seen.insert(key);
            QStringList lacks;
            if (Conservation::Instruction(d.conservation).isEmpty()) lacks << "conservação";
            if (d.shelfHours <= 0) lacks << "prazo de validade (horas)";
            if (!lacks.isEmpty())
                lines << QStringLiteral("Prato %1 - %2: falta %3.")
                             .arg(d.code, d.name, lacks.join(QStringLiteral(" e ")));
        }
    }
    QStringList lacks;
    if (day.producer.legalName.trimmed().isEmpty()) lacks << "razão social";
    if (day.producer.cnpj.trimmed().isEmpty()) lacks << "CNPJ";
    if (!lacks.isEmpty())
        lines << QStringLiteral("Filial %1: falta %2.").arg(day.branch, lacks.join(" e "));
    if (lines.isEmpty()) return {};
    return QStringLiteral("As etiquetas não foram impressas: faltam dados obrigatórios no "
                          "cadastro.\n") +
           lines.join(QLatin1Char('\n'));
}

} // namespace pla
