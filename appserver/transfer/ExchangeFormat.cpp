#include "appserver/transfer/ExchangeFormat.h"

#include "appserver/rpc/InputAmount.h"
#include "appserver/rpc/InputLimits.h"
#include "appserver/rpc/InputText.h"
#include "labelling/Allergens.h"
#include "labelling/Cnpj.h"
#include "labelling/Conservation.h"

#include <QFileInfo>
#include <QLocale>
#include <QRegularExpression>

namespace pla {

namespace {

const QString kIso = QStringLiteral("yyyy-MM-dd");

// A spreadsheet runs a cell that starts with one of these as a formula. The export writes such a
// text behind an apostrophe, which a spreadsheet shows as text; texts that already start with
// apostrophes before one of these get one more, so the import can take exactly one away.
bool startsAsFormula(const QString& text) {
    qsizetype i = 0;
    while (i < text.size() && text[i] == QLatin1Char('\''))
        ++i;
    static const QString formulaStarts = QStringLiteral("=+-@\t\r");
    return i < text.size() && formulaStarts.contains(text[i]);
}

ExchangeColumn code(const char* name, int size, bool required = true, bool pad = true) {
    return {QString::fromLatin1(name), ValueType::Code, size, required, {}, {}, false, pad};
}
// Codes of free width (client, dish, unit) are taken as written.
ExchangeColumn freeCode(const char* name, int size, bool required = true) {
    return code(name, size, required, false);
}
ExchangeColumn text(const char* name, int size) {
    return {QString::fromLatin1(name), ValueType::Text, size, true, {}, {}, false};
}
ExchangeColumn optionalText(const char* name, int size) {
    return {QString::fromLatin1(name), ValueType::Text, size, false, {}, {}, false};
}
ExchangeColumn number(const char* name, bool required, QVariant fallback = {}) {
    return {QString::fromLatin1(name), ValueType::Number, 0, required, {}, fallback, false};
}
ExchangeColumn flag(const char* name, const char* letters, bool required, QVariant fallback = {}) {
    return {QString::fromLatin1(name),    ValueType::Flag, 1,    required,
            QString::fromLatin1(letters), fallback,        false};
}
ExchangeColumn integer(const char* name, bool required) {
    return {QString::fromLatin1(name), ValueType::Integer, 0, required, {}, {}, false};
}
// An optional code whose blank means "any": stored as an empty text, never NULL.
ExchangeColumn anyCode(ExchangeColumn column) {
    column.fallback = QStringLiteral("");
    return column;
}
ExchangeColumn special(const char* name, ValueType type, int size) {
    return {QString::fromLatin1(name), type, size, false, {}, {}, false};
}

QVector<ExchangeKind> buildKinds() {
    const QString branch = QStringLiteral("filial %1 não cadastrada");
    const QString service = QStringLiteral("serviço %2 da filial %1 não cadastrado");
    const QString client = QStringLiteral("cliente %1 não cadastrado");
    const QString container = QStringLiteral("embalagem %1 não cadastrada");
    const QStringList cdFilial{QStringLiteral("CDFILIAL")};
    const QStringList servKey{QStringLiteral("CDFILIAL"), QStringLiteral("CDSERVFILI")};
    ExchangeColumn capacity = number("VRQTDEPRATEMB", true);
    capacity.positive = true;
    ExchangeColumn shelfLife = integer("QTHORASVALIDADE", false);
    shelfLife.positive = true;
    return {
        {DataKind::Branches,
         QStringLiteral("filiais"),
         QStringLiteral("FILIAL"),
         {code("CDFILIAL", 4), text("NMFILIAL", 30), flag("IDCNTRRESC", "SN", false),
          code("CDFILCENTPME", 4, false), flag("IDFILCENTPME", "SN", false),
          // The producer every label of the branch names.
          optionalText("NMRAZSOCIAL", 60), special("NRCNPJ", ValueType::Cnpj, 14),
          optionalText("DSENDERECO", 120), optionalText("NMRESPTECNICO", 60),
          optionalText("NRCRN", 20),
          // How generation packs collective dishes: default containers or the fewest.
          flag("IDPROPOSTAEMB", "PV", false, QStringLiteral("P"))},
         cdFilial,
         {{{QStringLiteral("CDFILCENTPME")},
           DataKind::Branches,
           QStringLiteral("filial central %1 não cadastrada")}}},
        {DataKind::ServiceGroups,
         QStringLiteral("grupos"),
         QStringLiteral("GRUPSERV"),
         {code("CDGRUPSERV", 3), text("NMGRUPSERV", 40)},
         {QStringLiteral("CDGRUPSERV")},
         {}},
        {DataKind::Services,
         QStringLiteral("servicos"),
         QStringLiteral("SERVFILI"),
         {code("CDFILIAL", 4), code("CDSERVFILI", 5), text("NMSERVICO", 40), code("CDGRUPSERV", 3),
          flag("IDTRANSPORTADO", "SN", false, QStringLiteral("S"))},
         servKey,
         {{cdFilial, DataKind::Branches, branch},
          {{QStringLiteral("CDGRUPSERV")},
           DataKind::ServiceGroups,
           QStringLiteral("grupo de serviço %1 não cadastrado")}}},
        {DataKind::Clients,
         QStringLiteral("clientes"),
         QStringLiteral("CLIENTE"),
         {freeCode("CDCLIENTE", 21), text("NMRAZSOCCLIE", 60)},
         {QStringLiteral("CDCLIENTE")},
         {}},
        {DataKind::Destinations,
         QStringLiteral("destinos"),
         QStringLiteral("DESTFILI"),
         {freeCode("CDCLIENTE", 21), code("CDDESTFILI", 3), text("NMDESTFILI", 40)},
         {QStringLiteral("CDCLIENTE"), QStringLiteral("CDDESTFILI")},
         {{{QStringLiteral("CDCLIENTE")}, DataKind::Clients, client}}},
        {DataKind::DeliveryPoints,
         QStringLiteral("pontos"),
         QStringLiteral("PONTENTREGA"),
         {code("CDFILIAL", 4), code("CDSERVFILI", 5), freeCode("CDCLIENTE", 21),
          code("CDDESTFILI", 3), number("QTCOMENSAIS", true),
          // Where the point comes in the vans' loading order (optional).
          integer("NRORDEMENTREGA", false)},
         {QStringLiteral("CDFILIAL"), QStringLiteral("CDSERVFILI"), QStringLiteral("CDCLIENTE"),
          QStringLiteral("CDDESTFILI")},
         {{cdFilial, DataKind::Branches, branch},
          {servKey, DataKind::Services, service},
          {{QStringLiteral("CDCLIENTE")}, DataKind::Clients, client},
          {{QStringLiteral("CDCLIENTE"), QStringLiteral("CDDESTFILI")},
           DataKind::Destinations,
           QStringLiteral("destino %2 do cliente %1 não cadastrado")}}},
        {DataKind::Containers,
         QStringLiteral("embalagens"),
         QStringLiteral("CONTAINER"),
         {code("CDCONTAINER", 5), text("NMCONTAINER", 40), flag("IDPROPOSITO", "IC", true)},
         {QStringLiteral("CDCONTAINER")},
         {}},
        {DataKind::Dishes,
         QStringLiteral("pratos"),
         QStringLiteral("PRATO"),
         {code("CDFILAUXPRAT", 4), freeCode("CDPRATO", 10), text("NMPRATO", 40),
          freeCode("SGUNIDADE", 10), number("QTPORPESSOA", false, 0.0),
          number("QTEXTRA", false, 0.0), code("CDCONTPADRAO", 5, false),
          // What the dish's labels declare.
          flag("IDCONSERVACAO", Conservation::kCodes, false), shelfLife,
          special("DSALERGENICOS", ValueType::Allergens, 250), flag("IDGLUTEN", "SN", false),
          flag("IDLACTOSE", "SN", false), optionalText("DSINGREDIENTES", 1000)},
         {QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")},
         {{{QStringLiteral("CDFILAUXPRAT")}, DataKind::Branches, branch},
          {{QStringLiteral("CDCONTPADRAO")}, DataKind::Containers, container}}},
        {DataKind::Capacities,
         QStringLiteral("capacidades"),
         QStringLiteral("PRATOEMB"),
         {code("CDFILAUXPRAT", 4), freeCode("CDPRATO", 10), code("CDCONTAINER", 5), capacity},
         {QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO"), QStringLiteral("CDCONTAINER")},
         {{{QStringLiteral("CDFILAUXPRAT"), QStringLiteral("CDPRATO")},
           DataKind::Dishes,
           QStringLiteral("prato %2 da filial %1 não cadastrado")},
          {{QStringLiteral("CDCONTAINER")}, DataKind::Containers, container}}},
        // One row per menu dish; the menu's own values repeat on each of its rows.
        {DataKind::Menus,
         QStringLiteral("cardapios"),
         QStringLiteral("CARDAPIO"),
         {code("CDFILIAL", 4),
          code("CDSERVFILI", 5),
          {QStringLiteral("DTCARDAPIO"), ValueType::Date, 0, true, {}, {}, false},
          code("NRCARDAPIO", 10),
          number("QTCOMENSAIS", true),
          integer("NRORDPRATCAR", true),
          code("CDFILAUXPRAT", 4, false),
          freeCode("CDPRATO", 10),
          number("QTPORPESSOA", false),
          number("QTEXTRA", false),
          integer("NRSEQPRATCAR", false)},
         {QStringLiteral("CDFILIAL"), QStringLiteral("CDSERVFILI"), QStringLiteral("DTCARDAPIO")},
         {{cdFilial, DataKind::Branches, branch}, {servKey, DataKind::Services, service}}},
        // The container a delivery point, a service or the branch takes for a dish or for
        // every dish; a blank code means any and is stored as an empty text, part of the key.
        {DataKind::PackingRules,
         QStringLiteral("regras_embalagem"),
         QStringLiteral("REGRAEMB"),
         {code("CDFILIAL", 4), anyCode(code("CDSERVFILI", 5, false)),
          anyCode(freeCode("CDCLIENTE", 21, false)), anyCode(code("CDDESTFILI", 3, false)),
          anyCode(freeCode("CDPRATO", 10, false)), code("CDCONTAINER", 5)},
         {QStringLiteral("CDFILIAL"), QStringLiteral("CDSERVFILI"), QStringLiteral("CDCLIENTE"),
          QStringLiteral("CDDESTFILI"), QStringLiteral("CDPRATO")},
         {{cdFilial, DataKind::Branches, branch},
          {servKey, DataKind::Services, service},
          {{QStringLiteral("CDCLIENTE"), QStringLiteral("CDDESTFILI")},
           DataKind::Destinations,
           QStringLiteral("destino %2 do cliente %1 não cadastrado")},
          {{QStringLiteral("CDFILIAL"), QStringLiteral("CDSERVFILI"), QStringLiteral("CDCLIENTE"),
            QStringLiteral("CDDESTFILI")},
           DataKind::DeliveryPoints,
           QStringLiteral("o destino %4 do cliente %3 não é ponto de entrega do serviço %2 da "
                          "filial %1")},
          {{QStringLiteral("CDCONTAINER")}, DataKind::Containers, container}}},
        // One row per dish in a packaging, for reading in a spreadsheet.
        {DataKind::Distributions,
         QStringLiteral("distribuicoes"),
         QString(),
         {code("CDFILIAL", 4),
          code("CDSERVFILI", 5),
          text("NMSERVICO", 40),
          {QStringLiteral("DTCARDAPIO"), ValueType::Date, 0, true, {}, {}, false},
          freeCode("CDCLIENTE", 21, false),
          text("NMRAZSOCCLIE", 60),
          code("CDDESTFILI", 3, false),
          text("NMDESTFILI", 40),
          integer("NRDISTCARD", true),
          integer("NREMBDISTCARD", true),
          code("CDCONTAINER", 5),
          text("NMCONTAINER", 40),
          flag("IDPROPOSITO", "IC", true),
          number("QTCONTAINER", true),
          text("DSOBSETIQUETA", 250),
          integer("NRSEQPRATCAR", true),
          code("CDFILAUXPRAT", 4),
          freeCode("CDPRATO", 10),
          text("NMPRATO", 40),
          freeCode("SGUNIDADE", 10),
          number("QTCOMENSAIS", true),
          number("QTPRATO", true),
          number("QTEXTRA", true),
          flag("IDPRINCIPAL", "SN", true)},
         {},
         {}},
    };
}

// What a packing rule must name: a whole delivery point or none, and something narrower than
// the whole branch (whose dishes already go to their default containers).
QString packingRuleShape(const ExchangeKind& kind, const QVariantList& values, int& column) {
    const int client = kind.indexOf(QStringLiteral("CDCLIENTE"));
    const int destination = kind.indexOf(QStringLiteral("CDDESTFILI"));
    const int service = kind.indexOf(QStringLiteral("CDSERVFILI"));
    const int dish = kind.indexOf(QStringLiteral("CDPRATO"));
    const bool noClient = values[client].toString().isEmpty();
    if (noClient != values[destination].toString().isEmpty()) {
        column = noClient ? client : destination;
        return QStringLiteral("%1 não informado: um ponto de entrega é o cliente e o destino, "
                              "informe os dois ou nenhum")
            .arg(kind.columns[column].name);
    }
    if (noClient && values[service].toString().isEmpty() && values[dish].toString().isEmpty()) {
        column = service;
        return QStringLiteral("regra sem serviço, ponto de entrega nem prato: informe ao menos "
                              "um deles (sem regra, cada prato vai na sua embalagem padrão)");
    }
    return {};
}

} // namespace

int ExchangeKind::indexOf(const QString& name) const {
    for (int i = 0; i < columns.size(); ++i)
        if (columns[i].name.compare(name, Qt::CaseInsensitive) == 0) return i;
    return -1;
}

const QVector<ExchangeKind>& ExchangeFormat::kinds() {
    static const QVector<ExchangeKind> all = buildKinds();
    return all;
}

const ExchangeKind& ExchangeFormat::of(DataKind kind) {
    return kinds()[static_cast<int>(kind)];
}

const ExchangeKind* ExchangeFormat::forFileName(const QString& fileName) {
    const QString name = QFileInfo(fileName).fileName().toLower();
    for (const ExchangeKind& k : kinds()) {
        if (!name.startsWith(k.file)) continue;
        // "cardapios.csv", "cardapios_2026-12-08.csv", "cardapios-dezembro.csv"
        const QChar next = name.size() > k.file.size() ? name[k.file.size()] : QChar();
        if (next.isNull() || !next.isLetter()) return &k;
    }
    return nullptr;
}

std::optional<QVariant> ExchangeFormat::parse(const ExchangeColumn& column, const QString& raw,
                                              QString& error) {
    QString t = raw.trimmed();
    if (t.isEmpty()) {
        if (column.required) {
            error = QStringLiteral("%1 não informado").arg(column.name);
            return std::nullopt;
        }
        return column.fallback;
    }
    switch (column.type) {
    case ValueType::Code:
    case ValueType::Text:
        if (t.startsWith(QLatin1Char('\'')) && startsAsFormula(t)) t.remove(0, 1);
        if (const QString problem = InputText::problem(t); !problem.isEmpty()) {
            error = QStringLiteral("%1 %2").arg(column.name, problem);
            return std::nullopt;
        }
        if (column.type == ValueType::Code) {
            t = t.toUpper();
            static const QRegularExpression digits(QStringLiteral("^[0-9]+$"));
            if (column.pad && t.size() < column.size && digits.match(t).hasMatch())
                t = t.rightJustified(column.size, QLatin1Char('0'));
        }
        if (t.size() > column.size) {
            error = QStringLiteral("%1 \"%2\" tem mais de %3 caracteres")
                        .arg(column.name, InputText::quoted(t))
                        .arg(column.size);
            return std::nullopt;
        }
        return QVariant(t);
    case ValueType::Flag:
        t = t.toUpper();
        if (t.size() != 1 || !column.letters.contains(t)) {
            QStringList letters;
            for (const QChar c : column.letters)
                letters << QString(c);
            const QString last = letters.takeLast();
            error = QStringLiteral("%1 deve ser %2 ou %3, não \"%4\"")
                        .arg(column.name, letters.join(QStringLiteral(", ")), last,
                             InputText::quoted(t));
            return std::nullopt;
        }
        return QVariant(t);
    case ValueType::Cnpj: {
        QString reason;
        const QString digits = Cnpj::Digits(t, reason);
        if (digits.isEmpty()) {
            error = QStringLiteral("%1 \"%2\" %3").arg(column.name, t, reason);
            return std::nullopt;
        }
        return QVariant(digits);
    }
    case ValueType::Allergens: {
        QString unknown;
        const auto names = Allergens::Parse(t, unknown);
        if (!names) {
            error = QStringLiteral("%1: \"%2\" não é um alergênico da lista legal (%3)")
                        .arg(column.name, unknown, Allergens::Names().join(QStringLiteral(", ")));
            return std::nullopt;
        }
        return names->isEmpty() ? column.fallback : QVariant(names->join(QStringLiteral(", ")));
    }
    case ValueType::Number:
    case ValueType::Integer: {
        const bool whole = column.type == ValueType::Integer;
        static const QRegularExpression decimal(QStringLiteral("^-?[0-9]+([.,][0-9]+)?$"));
        static const QRegularExpression integral(QStringLiteral("^-?[0-9]+$"));
        if (!(whole ? integral : decimal).match(t).hasMatch()) {
            error = QStringLiteral("%1 \"%2\" não é um número%3")
                        .arg(column.name, InputText::quoted(t),
                             whole ? QStringLiteral(" inteiro") : QString());
            return std::nullopt;
        }
        const double v = QString(t).replace(QLatin1Char(','), QLatin1Char('.')).toDouble();
        if (v < 0 || (column.positive && v == 0)) {
            error = QStringLiteral("%1 %2 não pode ser %3")
                        .arg(column.name, InputText::quoted(t),
                             v < 0 ? QStringLiteral("negativo") : QStringLiteral("zero"));
            return std::nullopt;
        }
        if (whole) {
            bool ok = false;
            const int i = t.toInt(&ok);
            if (ok) return QVariant(i);
            error = QStringLiteral("%1 %2 é grande demais").arg(column.name, InputText::quoted(t));
            return std::nullopt;
        }
        if (const QString problem = InputAmount::problem(v, InputLimits::maxAmount);
            !problem.isEmpty()) {
            error = QStringLiteral("%1 %2 %3").arg(column.name, InputText::quoted(t), problem);
            return std::nullopt;
        }
        return QVariant(v);
    }
    case ValueType::Date: {
        static const QRegularExpression br(
            QStringLiteral("^([0-9]{1,2})/([0-9]{1,2})/([0-9]{4})$"));
        static const QRegularExpression iso(QStringLiteral("^([0-9]{4})-([0-9]{2})-([0-9]{2})$"));
        int d = 0, m = 0, y = 0;
        if (const auto b = br.match(t); b.hasMatch()) {
            d = b.captured(1).toInt();
            m = b.captured(2).toInt();
            y = b.captured(3).toInt();
        } else if (const auto i = iso.match(t); i.hasMatch()) {
            y = i.captured(1).toInt();
            m = i.captured(2).toInt();
            d = i.captured(3).toInt();
        } else {
            error = QStringLiteral("%1 \"%2\" não é uma data (use dd/mm/aaaa)")
                        .arg(column.name, InputText::quoted(t));
            return std::nullopt;
        }
        const QDate date(y, m, d);
        if (!date.isValid()) {
            error = QStringLiteral("%1 %2 é uma data que não existe").arg(column.name, t);
            return std::nullopt;
        }
        return QVariant(date.toString(kIso));
    }
    }
    return std::nullopt;
}

QString ExchangeFormat::number(double value) {
    QString s = QString::number(value, 'f', QLocale::FloatingPointShortest);
    return s.replace(QLatin1Char('.'), QLatin1Char(','));
}

QString ExchangeFormat::date(const QString& iso) {
    const QDate d = QDate::fromString(iso, kIso);
    return d.isValid() ? d.toString(QStringLiteral("dd/MM/yyyy")) : iso;
}

QString ExchangeFormat::format(const ExchangeColumn& column, const QVariant& value) {
    if (value.isNull()) return QString();
    switch (column.type) {
    case ValueType::Number:
        return number(value.toDouble());
    case ValueType::Integer:
        return QString::number(value.toLongLong());
    case ValueType::Date:
        return date(value.toString());
    case ValueType::Code:
    case ValueType::Text:
        if (const QString t = value.toString(); startsAsFormula(t)) return QLatin1Char('\'') + t;
        return value.toString();
    case ValueType::Cnpj:
        // Punctuated, so that a spreadsheet keeps it as text with its leading zeros.
        return Cnpj::Format(value.toString());
    default:
        return value.toString();
    }
}

QString ExchangeFormat::rowRule(const ExchangeKind& kind, const QVariantList& values, int& column) {
    if (kind.kind == DataKind::PackingRules) return packingRuleShape(kind, values, column);
    if (kind.kind != DataKind::Dishes) return {};
    const int conservation = kind.indexOf(QStringLiteral("IDCONSERVACAO"));
    const int hours = kind.indexOf(QStringLiteral("QTHORASVALIDADE"));
    const QString code = values[conservation].toString();
    const int limit = Conservation::MaxHours(code);
    if (limit == 0 || values[hours].isNull() || values[hours].toInt() <= limit) return {};
    column = hours;
    QString instruction = Conservation::Instruction(code);
    instruction[0] = instruction[0].toLower();
    return QStringLiteral("QTHORASVALIDADE %1 passa do limite de %2 horas para prato %3 (%4): "
                          "%5 por no máximo %2 horas após o preparo")
        .arg(values[hours].toInt())
        .arg(limit)
        .arg(Conservation::Short(code).toLower(), code, instruction);
}

} // namespace pla
