#include "appserver/DemoData.h"

#include "appserver/storage/DistributionStore.h"
#include "appserver/storage/SqlUtil.h"
#include "appserver/storage/StorageError.h"
#include "appserver/transfer/DataImporter.h"

#include <QVector>
#include <cstdint>
#include <iterator>

namespace pla {

namespace {

// Recipes are kept by the central kitchen, so every dish belongs to branch 0001.
const QString kRecipeBranch = QStringLiteral("0001");

enum class Course {
    Rice,
    Beans,
    Protein,
    Side,
    Salad,
    Dessert,
    Drink,
    Sauce,
    Breakfast,
    BreakfastDrink
};

struct DemoDish {
    const char* code;
    const char* name;
    const char* unit;
    double perPerson;
    double extra;
    Course course;
    const char* defaultContainer; // nullptr: none
};

// Container capacities: dish code, container code, capacity of one unit.
struct DemoCapacity {
    const char* dish;
    const char* container;
    double capacity;
};

const DemoDish kDishes[] = {
    {"PR00001", "Arroz branco", "KG", 0.12, 0.5, Course::Rice, "00010"},
    {"PR00002", "Arroz integral", "KG", 0.10, 0.3, Course::Rice, "00010"},
    {"PR00003", "Feijão carioca", "KG", 0.10, 0.5, Course::Beans, "00010"},
    {"PR00004", "Feijão preto", "KG", 0.10, 0.5, Course::Beans, "00010"},
    {"PR00005", "Frango grelhado", "KG", 0.12, 0.4, Course::Protein, "00001"},
    {"PR00006", "Carne assada", "KG", 0.12, 0.4, Course::Protein, "00001"},
    {"PR00007", "Bife acebolado", "KG", 0.12, 0.4, Course::Protein, "00001"},
    {"PR00008", "Peixe ao molho de ervas", "KG", 0.12, 0.3, Course::Protein, "00001"},
    {"PR00009", "Strogonoff de frango", "KG", 0.15, 0.4, Course::Protein, "00010"},
    {"PR00010", "Farofa de cenoura", "KG", 0.03, 0.1, Course::Side, "00011"},
    {"PR00011", "Purê de batata", "KG", 0.10, 0.3, Course::Side, "00011"},
    {"PR00012", "Legumes no vapor", "KG", 0.08, 0.2, Course::Side, "00011"},
    {"PR00013", "Macarrão ao sugo", "KG", 0.12, 0.3, Course::Side, "00010"},
    {"PR00014", "Batata sauté", "KG", 0.08, 0.2, Course::Side, "00011"},
    {"PR00015", "Salada verde", "KG", 0.05, 0.2, Course::Salad, "00011"},
    {"PR00016", "Salada de repolho com cenoura", "KG", 0.05, 0.2, Course::Salad, "00011"},
    {"PR00017", "Vinagrete", "KG", 0.03, 0.1, Course::Salad, "00011"},
    {"PR00018", "Pudim de leite", "UN", 1, 2, Course::Dessert, "00004"},
    {"PR00019", "Mousse de maracujá", "UN", 1, 2, Course::Dessert, "00004"},
    {"PR00020", "Fruta da estação", "UN", 1, 3, Course::Dessert, "00012"},
    {"PR00021", "Gelatina de morango", "UN", 1, 2, Course::Dessert, "00004"},
    {"PR00022", "Suco de laranja", "LT", 0.25, 1, Course::Drink, "00013"},
    {"PR00023", "Suco de uva", "LT", 0.25, 1, Course::Drink, "00013"},
    {"PR00024", "Refresco de caju", "LT", 0.25, 1, Course::Drink, "00003"},
    // Served at will: no quantity per person on the recipe.
    {"PR00025", "Molho de pimenta", "LT", 0, 0.2, Course::Sauce, "00013"},
    {"PR00026", "Pão francês", "UN", 1, 5, Course::Breakfast, "00014"},
    {"PR00027", "Pão de queijo", "UN", 2, 10, Course::Breakfast, "00014"},
    {"PR00028", "Bolo de fubá", "KG", 0.06, 0.2, Course::Breakfast, "00011"},
    {"PR00029", "Misto quente", "UN", 1, 2, Course::Breakfast, "00014"},
    {"PR00030", "Biscoito de polvilho", "KG", 0.03, 0.1, Course::Breakfast, "00012"},
    {"PR00031", "Iogurte natural", "UN", 1, 2, Course::Breakfast, "00012"},
    {"PR00032", "Banana prata", "UN", 1, 3, Course::Breakfast, "00012"},
    {"PR00033", "Café com leite", "LT", 0.2, 1, Course::BreakfastDrink, "00003"},
    {"PR00034", "Chá mate", "LT", 0.2, 1, Course::BreakfastDrink, "00013"},
    {"PR00035", "Achocolatado", "LT", 0.2, 1, Course::BreakfastDrink, "00003"},
};

// What each dish's labels declare, in the order of kDishes: conservation, shelf life in hours,
// allergens, gluten and lactose.
struct DemoLabel {
    const char* dish;
    char conservation;
    int shelfHours;
    const char* allergens;
    char gluten, lactose;
};

const DemoLabel kLabels[] = {
    {"PR00001", 'Q', 6, "", 'N', 'N'},
    {"PR00002", 'Q', 6, "", 'N', 'N'},
    {"PR00003", 'Q', 6, "", 'N', 'N'},
    {"PR00004", 'Q', 6, "", 'N', 'N'},
    {"PR00005", 'Q', 6, "", 'N', 'N'},
    {"PR00006", 'Q', 6, "soja", 'N', 'N'},
    {"PR00007", 'Q', 6, "", 'N', 'N'},
    {"PR00008", 'Q', 6, "peixes, leite", 'N', 'S'},
    {"PR00009", 'Q', 6, "leite", 'N', 'S'},
    {"PR00010", 'Q', 6, "leite", 'N', 'S'},
    {"PR00011", 'Q', 6, "leite", 'N', 'S'},
    {"PR00012", 'Q', 6, "", 'N', 'N'},
    {"PR00013", 'Q', 6, "trigo, ovos", 'S', 'N'},
    {"PR00014", 'Q', 6, "leite", 'N', 'S'},
    {"PR00015", 'R', 24, "", 'N', 'N'},
    {"PR00016", 'R', 24, "ovos", 'N', 'N'},
    {"PR00017", 'R', 24, "", 'N', 'N'},
    {"PR00018", 'R', 72, "ovos, leite", 'N', 'S'},
    {"PR00019", 'R', 48, "leite", 'N', 'S'},
    {"PR00020", 'R', 48, "", 'N', 'N'},
    {"PR00021", 'R', 72, "", 'N', 'N'},
    {"PR00022", 'R', 24, "", 'N', 'N'},
    {"PR00023", 'R', 24, "", 'N', 'N'},
    {"PR00024", 'R', 24, "", 'N', 'N'},
    {"PR00025", 'A', 168, "", 'N', 'N'},
    {"PR00026", 'A', 24, "trigo", 'S', 'N'},
    {"PR00027", 'A', 12, "ovos, leite", 'N', 'S'},
    {"PR00028", 'A', 72, "trigo, ovos, leite", 'S', 'S'},
    {"PR00029", 'Q', 4, "trigo, leite", 'S', 'S'},
    {"PR00030", 'A', 720, "ovos", 'N', 'N'},
    {"PR00031", 'R', 120, "leite", 'N', 'S'},
    {"PR00032", 'A', 72, "", 'N', 'N'},
    {"PR00033", 'Q', 4, "leite", 'N', 'S'},
    {"PR00034", 'Q', 4, "", 'N', 'N'},
    {"PR00035", 'R', 24, "leite", 'N', 'S'},
};
static_assert(std::size(kLabels) == std::size(kDishes));

const DemoCapacity kCapacities[] = {
    // Rice, beans, pasta and stews travel in full-size steam-table pans or individual boxes.
    {"PR00001", "00010", 6},   {"PR00001", "00011", 3},   {"PR00001", "00001", 0.5},
    {"PR00001", "00002", 0.6}, {"PR00002", "00010", 6},   {"PR00002", "00011", 3},
    {"PR00002", "00001", 0.5}, {"PR00003", "00010", 7},   {"PR00003", "00011", 3.5},
    {"PR00003", "00001", 0.5}, {"PR00004", "00010", 7},   {"PR00004", "00011", 3.5},
    {"PR00004", "00001", 0.5}, {"PR00005", "00001", 0.5}, {"PR00005", "00002", 0.6},
    {"PR00005", "00010", 5},   {"PR00006", "00001", 0.5}, {"PR00006", "00002", 0.6},
    {"PR00006", "00010", 5},   {"PR00007", "00001", 0.5}, {"PR00007", "00002", 0.6},
    {"PR00007", "00010", 5},   {"PR00008", "00001", 0.5}, {"PR00008", "00010", 4.5},
    {"PR00009", "00010", 6},   {"PR00009", "00001", 0.5}, {"PR00009", "00002", 0.6},
    {"PR00010", "00011", 2},   {"PR00010", "00001", 0.5}, {"PR00011", "00011", 3},
    {"PR00011", "00010", 6},   {"PR00012", "00011", 2.5}, {"PR00012", "00010", 5},
    {"PR00012", "00001", 0.5}, {"PR00013", "00010", 6},   {"PR00013", "00011", 3},
    {"PR00014", "00011", 2.5}, {"PR00014", "00010", 5},   {"PR00015", "00011", 1.5},
    {"PR00015", "00012", 4},   {"PR00016", "00011", 2},   {"PR00016", "00012", 5},
    {"PR00017", "00011", 2},   {"PR00018", "00004", 1},   {"PR00018", "00012", 40},
    {"PR00019", "00004", 1},   {"PR00019", "00012", 40},  {"PR00020", "00012", 40},
    {"PR00021", "00004", 1},   {"PR00021", "00012", 40},  {"PR00022", "00013", 5},
    {"PR00022", "00003", 0.3}, {"PR00023", "00013", 5},   {"PR00023", "00003", 0.3},
    {"PR00024", "00003", 0.3}, {"PR00024", "00013", 5},   {"PR00025", "00013", 1},
    {"PR00026", "00014", 60},  {"PR00026", "00012", 80},  {"PR00027", "00014", 100},
    {"PR00027", "00012", 120}, {"PR00028", "00011", 2.5}, {"PR00029", "00014", 40},
    {"PR00030", "00012", 3},   {"PR00031", "00012", 50},  {"PR00032", "00012", 60},
    {"PR00033", "00003", 0.3}, {"PR00033", "00013", 5},   {"PR00034", "00013", 5},
    {"PR00034", "00003", 0.3}, {"PR00035", "00003", 0.3}, {"PR00035", "00013", 5},
};

struct DemoService {
    const char* branch;
    const char* code;
    const char* name;
    const char* group;
    bool transported;
    bool breakfast;    // breakfast or snack menu instead of a full meal
    double dayDiners;  // for services without delivery points
    int closedWeekday; // 0: open every day; otherwise Qt day of week with no diners
};

const DemoService kServices[] = {
    {"0001", "00001", "Almoço Hospital Santa Clara", "001", true, false, 0, 0},
    {"0001", "00002", "Jantar Hospital Santa Clara", "001", true, false, 0, 0},
    {"0001", "00003", "Almoço Metalúrgica Paulista", "002", true, false, 0, 0},
    {"0001", "00004", "Lanche Escola Monteiro Lobato", "003", true, true, 0, Qt::Sunday},
    {"0001", "00005", "Almoço Escritório Faria Lima", "004", true, false, 0, Qt::Sunday},
    {"0001", "00006", "Coquetel Eventos Corporativos", "005", true, true, 150, 0},
    {"0001", "00007", "Refeitório Interno Cozinha Central", "004", false, false, 60, 0},
    {"0002", "00001", "Almoço Indústria Têxtil Campinas", "002", true, false, 0, 0},
    {"0002", "00002", "Ceia Indústria Têxtil Campinas", "002", true, true, 0, 0},
    {"0002", "00003", "Almoço Colégio Bandeirantes", "003", true, false, 0, Qt::Sunday},
    {"0002", "00004", "Desjejum Hospital Regional", "001", true, true, 0, 0},
    {"0002", "00005", "Refeitório Local Campinas", "004", false, false, 40, 0},
    {"0003", "00001", "Almoço Refeitório Sede", "004", false, false, 80, 0},
};

struct DemoPoint {
    const char* branch;
    const char* service;
    const char* client;
    const char* destination;
    double diners;
    int loadingOrder = 0; // 0: none set
};

const DemoPoint kPoints[] = {
    {"0001", "00001", "10001", "001", 120},
    {"0001", "00001", "10001", "002", 85},
    {"0001", "00001", "10001", "003", 24},
    {"0001", "00002", "10001", "001", 110},
    {"0001", "00002", "10001", "002", 80},
    // A ward closed for renovation: a delivery point without diners.
    {"0001", "00002", "10001", "004", 0},
    // The vans are loaded for the state school first and the steelworks' second site next;
    // the other points follow by code.
    {"0001", "00003", "10002", "001", 340},
    {"0001", "00003", "10002", "002", 95, 2},
    {"0001", "00004", "10003", "001", 260, 1},
    {"0001", "00005", "10004", "001", 180},
    {"0001", "00005", "10004", "002", 45},
    {"0002", "00001", "10005", "001", 410},
    {"0002", "00001", "10005", "002", 130},
    {"0002", "00002", "10005", "001", 90},
    {"0002", "00003", "10006", "001", 520},
    {"0002", "00004", "10007", "001", 150},
    {"0002", "00004", "10007", "002", 60},
};

// The branch that packs collective dishes in the fewest pans (GN 1/1 and GN 1/2) and whose
// lunch service packs each of its two delivery points its own way.
const char* const kFewestBranch = "0002";
const QString kCopiedService = QStringLiteral("00001");

struct DemoRule {
    const char* branch;
    const char* service;
    const char* client;
    const char* destination;
    const char* dish;
    const char* container;
};

const DemoRule kRules[] = {
    // The main dining hall takes everything that fits in full-size pans, each dish alone.
    {"0002", "00001", "10005", "001", "", "00010"},
    // The weaving hall takes its main dishes in individual boxes.
    {"0002", "00001", "10005", "002", "PR00005", "00001"},
    {"0002", "00001", "10005", "002", "PR00006", "00001"},
    {"0002", "00001", "10005", "002", "PR00007", "00001"},
    {"0002", "00001", "10005", "002", "PR00008", "00001"},
    // Green salad travels in cool boxes from this branch.
    {"0002", "", "", "", "PR00015", "00012"},
};

// The services packet of a branch generation with one service ticked.
TDataPacket tickedService(const char* branch, const QString& service) {
    TDataPacket p;
    p.Fields = {{QStringLiteral("IDMARCADO"), TFieldType::String, 1},
                {QStringLiteral("CDFILIAL"), TFieldType::String, 4},
                {QStringLiteral("CDSERVFILI"), TFieldType::String, 5}};
    p.Rows.push_back({QStringLiteral("S"), QString::fromLatin1(branch), service});
    return p;
}

// Small deterministic generator, so that the same date always gives the same menus.
class Lcg {
public:
    explicit Lcg(std::uint64_t seed)
        : state_(seed * 6364136223846793005ULL + 1442695040888963407ULL) {}
    int below(int n) {
        state_ = state_ * 6364136223846793005ULL + 1442695040888963407ULL;
        return static_cast<int>((state_ >> 33) % static_cast<std::uint64_t>(n));
    }

private:
    std::uint64_t state_;
};

QVector<const DemoDish*> dishesOf(Course c) {
    QVector<const DemoDish*> out;
    for (const DemoDish& d : kDishes)
        if (d.course == c) out.push_back(&d);
    return out;
}

// Picks `count` dishes of a course in a date-dependent order, none already on the menu.
void pick(QVector<const DemoDish*>& menu, Course c, int count, Lcg& rng) {
    QVector<const DemoDish*> pool = dishesOf(c);
    pool.removeIf([&](const DemoDish* d) { return menu.contains(d); });
    for (int i = 0; i < count && !pool.isEmpty(); ++i)
        menu.push_back(pool.takeAt(rng.below(pool.size())));
}

QVector<const DemoDish*> menuDishes(const DemoService& s, const QDate& date, int serviceIndex) {
    Lcg rng(static_cast<std::uint64_t>(date.toJulianDay()) * 31u +
            static_cast<std::uint64_t>(serviceIndex));
    QVector<const DemoDish*> menu;
    if (s.breakfast) {
        pick(menu, Course::Breakfast, 6 + rng.below(2), rng);      // 6..7
        pick(menu, Course::BreakfastDrink, 2 + rng.below(2), rng); // 2..3
        pick(menu, Course::Drink, rng.below(2), rng);              // 0..1 juice
    } else {
        pick(menu, Course::Rice, 1, rng);
        pick(menu, Course::Beans, 1, rng);
        pick(menu, Course::Protein, 1 + rng.below(2), rng);
        pick(menu, Course::Side, 2 + rng.below(2), rng);
        pick(menu, Course::Salad, 1 + rng.below(2), rng);
        pick(menu, Course::Dessert, 1 + rng.below(2), rng);
        pick(menu, Course::Drink, 1, rng);
        pick(menu, Course::Sauce, 1, rng);
        if (rng.below(3) == 0) pick(menu, Course::Rice, 1, rng);
    }
    return menu;
}

// The demo data goes in as the rows of import files, through the same checks as a kitchen's.
class DemoTable {
public:
    DemoTable(DataKind kind, const QStringList& header) {
        table_.kind = &ExchangeFormat::of(kind);
        table_.file = QStringLiteral("demo:%1").arg(table_.kind->file);
        add(header);
    }
    void add(const QStringList& fields) {
        CsvRecord r;
        r.line = table_.document.records.size() + 1;
        for (int i = 0; i < fields.size(); ++i)
            r.fields.push_back({fields[i], r.line, i + 1});
        r.end = fields.size() + 1;
        table_.document.records.push_back(r);
    }
    const ImportTable& table() const { return table_; }

private:
    ImportTable table_;
};

QString num(double v) {
    return ExchangeFormat::number(v);
}

QString utf(const char* s) {
    return QString::fromUtf8(s);
}

} // namespace

bool DemoData::fill(const QSqlDatabase& db, const QDate& today) {
    {
        QSqlQuery q = SqlUtil::exec(db, QStringLiteral("SELECT COUNT(*) FROM FILIAL"));
        if (q.next() && q.value(0).toLongLong() > 0) return false;
    }
    auto header = [](const char* columns) { return utf(columns).split(QLatin1Char(';')); };
    DemoTable branches(DataKind::Branches,
                       header("CDFILIAL;NMFILIAL;IDCNTRRESC;CDFILCENTPME;IDFILCENTPME;"
                              "NMRAZSOCIAL;NRCNPJ;DSENDERECO;NMRESPTECNICO;NRCRN;IDPROPOSTAEMB"));
    const QString company = QStringLiteral("Nutriplena Alimentação Coletiva Ltda.");
    branches.add({"0001", QStringLiteral("Cozinha Central São Paulo"), "S", "0001", "S", company,
                  "47.381.265/0001-40",
                  QStringLiteral("Rua dos Andradas, 1200 - Santa Ifigênia, São Paulo - SP, "
                                 "01208-000"),
                  QStringLiteral("Mariana Costa Ribeiro"), "CRN-3 12345", "P"});
    branches.add({"0002", QStringLiteral("Cozinha Campinas"), "S", "0001", "N", company,
                  "47.381.265/0002-21",
                  QStringLiteral("Av. John Boyd Dunlop, 3500 - Jardim Ipaussurama, Campinas - SP, "
                                 "13060-000"),
                  QStringLiteral("Rafael Nunes Pereira"), "CRN-3 23456", "V"});
    branches.add({"0003", QStringLiteral("Restaurante da Sede"), "N", "0001", "N", company,
                  "47.381.265/0003-02",
                  QStringLiteral("Rua Funchal, 418 - Vila Olímpia, São Paulo - SP, 04551-060"),
                  QStringLiteral("Carla Mendes Duarte"), "CRN-3 34567", "P"});

    DemoTable groups(DataKind::ServiceGroups, header("CDGRUPSERV;NMGRUPSERV"));
    groups.add({"001", QStringLiteral("Hospitais")});
    groups.add({"002", QStringLiteral("Indústrias")});
    groups.add({"003", QStringLiteral("Escolas")});
    groups.add({"004", QStringLiteral("Escritórios")});
    groups.add({"005", QStringLiteral("Eventos")});

    DemoTable clients(DataKind::Clients, header("CDCLIENTE;NMRAZSOCCLIE"));
    clients.add({"10001", QStringLiteral("Hospital Santa Clara Ltda.")});
    clients.add({"10002", QStringLiteral("Metalúrgica Paulista S.A.")});
    clients.add({"10003", QStringLiteral("Escola Estadual Monteiro Lobato")});
    clients.add({"10004", QStringLiteral("Faria Lima Empreendimentos e Participações S.A.")});
    clients.add({"10005", QStringLiteral("Indústria Têxtil Campinas Ltda.")});
    clients.add({"10006", QStringLiteral("Colégio Bandeirantes")});
    clients.add({"10007", QStringLiteral("Hospital Regional de Campinas")});

    DemoTable destinations(DataKind::Destinations, header("CDCLIENTE;CDDESTFILI;NMDESTFILI"));
    destinations.add({"10001", "001", QStringLiteral("Ala Norte")});
    destinations.add({"10001", "002", QStringLiteral("Ala Sul")});
    destinations.add({"10001", "003", QStringLiteral("UTI Adulto")});
    destinations.add({"10001", "004", QStringLiteral("Ala Leste (em reforma)")});
    destinations.add({"10002", "001", QStringLiteral("Refeitório Fábrica")});
    destinations.add({"10002", "002", QStringLiteral("Refeitório Administrativo")});
    destinations.add({"10003", "001", QStringLiteral("Cantina")});
    destinations.add({"10004", "001", QStringLiteral("Torre A - 12º andar")});
    destinations.add({"10004", "002", QStringLiteral("Torre B - Térreo")});
    destinations.add({"10005", "001", QStringLiteral("Refeitório Principal")});
    destinations.add({"10005", "002", QStringLiteral("Refeitório Tecelagem")});
    destinations.add({"10006", "001", QStringLiteral("Refeitório dos Alunos")});
    destinations.add({"10007", "001", QStringLiteral("Internação")});
    destinations.add({"10007", "002", QStringLiteral("Pronto-Socorro")});

    DemoTable containers(DataKind::Containers, header("CDCONTAINER;NMCONTAINER;IDPROPOSITO"));
    containers.add({"00001", QStringLiteral("Marmita térmica 3 divisões"), "I"});
    containers.add({"00002", QStringLiteral("Marmitex alumínio nº 8"), "I"});
    containers.add({"00003", QStringLiteral("Copo descartável 300 ml"), "I"});
    containers.add({"00004", QStringLiteral("Pote de sobremesa 150 ml"), "I"});
    containers.add({"00010", QStringLiteral("Cuba gastronômica GN 1/1"), "C"});
    containers.add({"00011", QStringLiteral("Cuba gastronômica GN 1/2"), "C"});
    containers.add({"00012", QStringLiteral("Caixa térmica 12 L"), "C"});
    containers.add({"00013", QStringLiteral("Garrafa térmica 5 L"), "C"});
    containers.add({"00014", QStringLiteral("Monobloco de pães"), "C"});

    DemoTable dishes(DataKind::Dishes,
                     header("CDFILAUXPRAT;CDPRATO;NMPRATO;SGUNIDADE;QTPORPESSOA;QTEXTRA;"
                            "CDCONTPADRAO;IDCONSERVACAO;QTHORASVALIDADE;DSALERGENICOS;IDGLUTEN;"
                            "IDLACTOSE"));
    for (std::size_t i = 0; i < std::size(kDishes); ++i) {
        const DemoDish& d = kDishes[i];
        const DemoLabel& l = kLabels[i];
        dishes.add({kRecipeBranch, utf(d.code), utf(d.name), utf(d.unit), num(d.perPerson),
                    num(d.extra), d.defaultContainer ? utf(d.defaultContainer) : QString(),
                    QString(QLatin1Char(l.conservation)), QString::number(l.shelfHours),
                    utf(l.allergens), QString(QLatin1Char(l.gluten)),
                    QString(QLatin1Char(l.lactose))});
    }
    DemoTable capacities(DataKind::Capacities,
                         header("CDFILAUXPRAT;CDPRATO;CDCONTAINER;VRQTDEPRATEMB"));
    for (const DemoCapacity& c : kCapacities)
        capacities.add({kRecipeBranch, utf(c.dish), utf(c.container), num(c.capacity)});

    DemoTable services(DataKind::Services,
                       header("CDFILIAL;CDSERVFILI;NMSERVICO;CDGRUPSERV;IDTRANSPORTADO"));
    for (const DemoService& s : kServices)
        services.add(
            {utf(s.branch), utf(s.code), utf(s.name), utf(s.group), s.transported ? "S" : "N"});
    DemoTable points(DataKind::DeliveryPoints,
                     header("CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;QTCOMENSAIS;NRORDEMENTREGA"));
    for (const DemoPoint& p : kPoints)
        points.add({utf(p.branch), utf(p.service), utf(p.client), utf(p.destination), num(p.diners),
                    p.loadingOrder ? num(p.loadingOrder) : QString()});

    DemoTable menus(DataKind::Menus, header("CDFILIAL;CDSERVFILI;DTCARDAPIO;NRCARDAPIO;"
                                            "QTCOMENSAIS;NRORDPRATCAR;CDFILAUXPRAT;CDPRATO"));
    int menuNumber = 0;
    for (QDate date = firstMenuDate(today); date <= lastMenuDate(today); date = date.addDays(1)) {
        int serviceIndex = 0;
        for (const DemoService& s : kServices) {
            ++serviceIndex;
            double diners = s.dayDiners;
            for (const DemoPoint& p : kPoints)
                if (qstrcmp(p.branch, s.branch) == 0 && qstrcmp(p.service, s.code) == 0)
                    diners += p.diners;
            if (s.closedWeekday != 0 && date.dayOfWeek() == s.closedWeekday) diners = 0;
            const QString number = QStringLiteral("%1").arg(++menuNumber, 10, 10, QLatin1Char('0'));
            int order = 0;
            for (const DemoDish* d : menuDishes(s, date, serviceIndex))
                menus.add({utf(s.branch), utf(s.code), date.toString(Qt::ISODate), number,
                           num(diners), QString::number(++order), kRecipeBranch, utf(d->code)});
        }
    }

    DemoTable rules(DataKind::PackingRules,
                    header("CDFILIAL;CDSERVFILI;CDCLIENTE;CDDESTFILI;CDPRATO;CDCONTAINER"));
    for (const DemoRule& r : kRules)
        rules.add({utf(r.branch), utf(r.service), utf(r.client), utf(r.destination), utf(r.dish),
                   utf(r.container)});

    const ImportReport report = DataImporter(db).run(
        {branches.table(), groups.table(), clients.table(), destinations.table(),
         containers.table(), dishes.table(), capacities.table(), services.table(), points.table(),
         menus.table(), rules.table()});
    if (!report.errors.isEmpty())
        throw StorageError(QStringLiteral("Dados de demonstração recusados: %1")
                               .arg(report.errors.first().text()));

    // Last week's plan of the branch with the rules, to be copied to a day of this week. It is
    // part of the demo, not anybody's change: the audit trail starts empty all the same.
    DistributionStore(db).generate(copySourceDate(today),
                                   tickedService(kFewestBranch, kCopiedService), false);
    SqlUtil::exec(db, QStringLiteral("DELETE FROM DISTAUDIT"));
    return true;
}

} // namespace pla
