#include "report/PackingListLayout.h"

#include "amounts/DishAmounts.h"
#include "framework/print/TextFitter.h"
#include "labelling/Conservation.h"
#include "report/ReportTexts.h"

#include <QHash>
#include <algorithm>

namespace pla {

namespace {

const QSizeF kA4(210, 297);
constexpr double kLeft = 12, kRight = 198, kTop = 12;
constexpr double kBodyBottom = 279;
constexpr double kRow = 4.5;
constexpr double kText = 7.5;

// Columns of the packaging lines: left edge and width. The two temperatures are left blank
// for whoever loads and whoever receives the packaging to write down.
struct Column {
    double x, w;
};
const Column kNumber{kLeft, 10}, kContainer{22, 30}, kUnits{52, 9}, kTempOut{62, 16},
    kTempIn{78, 16}, kDish{95, 35}, kConservation{130, 15}, kValidity{145, 19}, kDiners{164, 11},
    kQuantity{175, 14}, kExtra{189, 9};

QRectF Cell(const Column& c, double y, double h = kRow) {
    return QRectF(c.x, y, c.w, h);
}

const Qt::Alignment kRightAlign = Qt::AlignRight | Qt::AlignVCenter;

// Writes one list's pages: the header on each, lines kept together, footers at the end.
class ListWriter {
public:
    ListWriter(const DistributionDay& day, const DayPackaging& first, const QDateTime& prepared)
        : day_(day), first_(first), prepared_(prepared) {}

    // Starts a new page when a block of height h does not fit on the current one.
    void Reserve(double h) {
        if (pages_.isEmpty() || y_ + h > kBodyBottom) NewPage();
    }
    PrintPage& Page() { return pages_.back(); }
    double& Y() { return y_; }

    void Packaging(const DayPackaging& p) {
        const double width = kRight - kDish.x;
        const QString remark = p.remark.simplified();
        const int remarkLines =
            remark.isEmpty()
                ? 0
                : static_cast<int>(TextFitter::FitBlock(QStringLiteral("Obs.: ") + remark, width,
                                                        1e6, kText, kText, false)
                                       .lines.size());
        const int dishLines = std::max<int>(1, static_cast<int>(p.dishes.size()));
        const double height = (dishLines + remarkLines) * kRow + 1;
        Reserve(height);
        PrintPage& page = Page();
        const double top = y_;
        page.AddText(Cell(kNumber, y_), QString::number(p.number), kText, 5);
        page.AddText(Cell(kContainer, y_), ReportTexts::CodeName(p.container, p.containerName),
                     kText, 5);
        page.AddText(Cell(kUnits, y_), ReportTexts::Amount(p.units), kText, 5, false, kRightAlign);
        page.AddBox(Cell(kTempOut, y_ + 0.3, kRow - 0.6).adjusted(1, 0, -1, 0), 0.15);
        page.AddBox(Cell(kTempIn, y_ + 0.3, kRow - 0.6).adjusted(1, 0, -1, 0), 0.15);
        for (const DayDish& d : p.dishes) {
            page.AddText(Cell(kDish, y_), d.name, kText, 5);
            page.AddText(Cell(kConservation, y_), Conservation::Short(d.conservation), kText, 5);
            if (d.shelfHours > 0)
                page.AddText(Cell(kValidity, y_),
                             prepared_.addSecs(qint64(d.shelfHours) * 3600)
                                 .toString(QStringLiteral("dd/MM/yy HH:mm")),
                             kText, 5);
            page.AddText(Cell(kDiners, y_), ReportTexts::Amount(d.diners), kText, 5, false,
                         kRightAlign);
            page.AddText(Cell(kQuantity, y_), ReportTexts::AmountUnit(d.quantity, d.unit), kText, 5,
                         false, kRightAlign);
            page.AddText(Cell(kExtra, y_), ReportTexts::Amount(d.extra), kText, 5, false,
                         kRightAlign);
            y_ += kRow;
        }
        if (p.dishes.isEmpty()) y_ += kRow;
        if (remarkLines > 0) {
            page.AddTextBlock(QRectF(kDish.x, y_, width, remarkLines * kRow),
                              QStringLiteral("Obs.: ") + remark, kText, kText);
            y_ += remarkLines * kRow;
        }
        y_ = top + height;
        page.AddLine({kLeft, y_ - 0.5}, {kRight, y_ - 0.5}, 0.1);
    }

    // A section title with the room for its first rows.
    void Section(const QString& title, int firstRows) {
        Reserve(kRow * (firstRows + 2) + 2);
        y_ += 2;
        Page().AddText(QRectF(kLeft, y_, kRight - kLeft, kRow + 1), title, 10, 6, true);
        y_ += kRow + 1;
    }

    void Signature() {
        Reserve(24);
        y_ += 14;
        PrintPage& page = Page();
        page.AddLine({kLeft, y_}, {kLeft + 100, y_}, 0.3);
        page.AddLine({kLeft + 115, y_}, {kRight, y_}, 0.3);
        page.AddText(QRectF(kLeft, y_ + 0.5, 100, kRow), QStringLiteral("Assinatura do recebedor"),
                     kText, 5);
        page.AddText(QRectF(kLeft + 115, y_ + 0.5, kRight - kLeft - 115, kRow),
                     QStringLiteral("Data e hora do recebimento"), kText, 5);
        y_ += kRow + 1;
    }

    QVector<PrintPage> Finish() {
        const int count = static_cast<int>(pages_.size());
        for (int i = 0; i < count; ++i) {
            PrintPage& page = pages_[i];
            page.AddLine({kLeft, 285}, {kRight, 285}, 0.1);
            page.AddText(QRectF(kLeft, 286, 130, kRow),
                         ReportTexts::Service(day_, first_.service) + QStringLiteral(" · ") +
                             ReportTexts::Point(first_),
                         7, 5);
            page.AddText(QRectF(kRight - 50, 286, 50, kRow),
                         QStringLiteral("Página %1 de %2").arg(i + 1).arg(count), 8, 5, false,
                         kRightAlign);
        }
        return pages_;
    }

private:
    void NewPage() {
        pages_.push_back(PrintPage(kA4));
        PrintPage& page = pages_.back();
        const double half = (kRight - kLeft) / 2;
        page.AddText(QRectF(kLeft, kTop, 70, 7), QStringLiteral("Romaneio de Entrega"), 14, 8,
                     true);
        // The producer, as on the labels: who answers for the food on the way.
        const QStringList producer = ReportTexts::Producer(day_.producer);
        for (int i = 0; i < producer.size(); ++i)
            page.AddText(QRectF(kLeft + 72, kTop - 1 + i * 2.8, kRight - kLeft - 72, 2.8),
                         producer[i], 7, 5, false, kRightAlign);
        page.AddText(QRectF(kLeft, 20, half + 30, 5),
                     QStringLiteral("Filial: ") +
                         ReportTexts::CodeName(day_.branch, day_.branchName),
                     10, 6);
        page.AddText(QRectF(kLeft + half + 30, 20, half - 30, 5),
                     QStringLiteral("Data: ") + ReportTexts::DateAndWeekDay(day_.date), 10, 6,
                     false, kRightAlign);
        page.AddText(QRectF(kLeft, 25, kRight - kLeft, 5),
                     QStringLiteral("Serviço: ") + ReportTexts::Service(day_, first_.service), 10,
                     6, true);
        page.AddText(QRectF(kLeft, 30, half, 5),
                     QStringLiteral("Cliente: ") +
                         ReportTexts::CodeName(first_.client, first_.clientName),
                     10, 6);
        page.AddText(QRectF(kLeft + half, 30, half, 5),
                     QStringLiteral("Ponto de entrega: ") +
                         ReportTexts::CodeName(first_.destination, first_.destinationName),
                     10, 6);
        const double y = 38;
        page.AddText(Cell(kNumber, y), QStringLiteral("Nº"), kText, 5, true);
        page.AddText(Cell(kContainer, y), QStringLiteral("Embalagem"), kText, 5, true);
        page.AddText(Cell(kUnits, y), QStringLiteral("Unid."), kText, 5, true, kRightAlign);
        page.AddText(Cell(kTempOut, y - 2.2), QStringLiteral("Temp. saída"), kText, 5, true,
                     Qt::AlignCenter);
        page.AddText(Cell(kTempOut, y), QStringLiteral("(°C)"), kText, 5, true, Qt::AlignCenter);
        page.AddText(Cell(kTempIn, y - 2.2), QStringLiteral("Temp. chegada"), kText, 5, true,
                     Qt::AlignCenter);
        page.AddText(Cell(kTempIn, y), QStringLiteral("(°C)"), kText, 5, true, Qt::AlignCenter);
        page.AddText(Cell(kDish, y), QStringLiteral("Prato"), kText, 5, true);
        page.AddText(Cell(kConservation, y), QStringLiteral("Conservação"), kText, 5, true);
        page.AddText(Cell(kValidity, y), QStringLiteral("Validade"), kText, 5, true);
        page.AddText(Cell(kDiners, y), QStringLiteral("Comensais"), kText, 5, true, kRightAlign);
        page.AddText(Cell(kQuantity, y), QStringLiteral("Quantidade"), kText, 5, true, kRightAlign);
        page.AddText(Cell(kExtra, y), QStringLiteral("Extra"), kText, 5, true, kRightAlign);
        page.AddLine({kLeft, y + kRow + 0.5}, {kRight, y + kRow + 0.5}, 0.3);
        y_ = y + kRow + 1.5;
    }

    const DistributionDay& day_;
    const DayPackaging& first_;
    const QDateTime prepared_;
    QVector<PrintPage> pages_;
    double y_ = 0;
};

QVector<PrintPage> OneList(const DistributionDay& day,
                           const QVector<const DayPackaging*>& packagings,
                           const QDateTime& prepared) {
    ListWriter w(day, *packagings.first(), prepared);
    for (const DayPackaging* p : packagings)
        w.Packaging(*p);

    const QVector<PackingListLayout::DishTotal> dishes = PackingListLayout::DishTotals(packagings);
    w.Section(QStringLiteral("Totais por prato"), std::min<int>(3, dishes.size()));
    for (const PackingListLayout::DishTotal& d : dishes) {
        w.Reserve(kRow);
        double& y = w.Y();
        PrintPage& page = w.Page();
        page.AddText(QRectF(kContainer.x, y, kDish.x + kDish.w - kContainer.x, kRow), d.name, kText,
                     5);
        page.AddText(Cell(kDiners, y), ReportTexts::Amount(d.diners), kText, 5, false, kRightAlign);
        page.AddText(Cell(kQuantity, y), ReportTexts::AmountUnit(d.quantity, d.unit), kText, 5,
                     false, kRightAlign);
        page.AddText(Cell(kExtra, y), ReportTexts::Amount(d.extra), kText, 5, false, kRightAlign);
        y += kRow;
    }

    // Per container: how many packagings and how many units leave in it.
    struct ContainerTotal {
        QString caption;
        int packagings = 0;
        double units = 0;
    };
    QVector<ContainerTotal> containers;
    QHash<QString, int> index;
    for (const DayPackaging* p : packagings) {
        auto it = index.constFind(p->container);
        if (it == index.constEnd()) {
            it = index.insert(p->container, static_cast<int>(containers.size()));
            containers.push_back({ReportTexts::CodeName(p->container, p->containerName)});
        }
        containers[*it].packagings += 1;
        containers[*it].units += p->units;
    }
    w.Section(QStringLiteral("Totais por embalagem"), std::min<int>(3, containers.size()));
    for (const ContainerTotal& c : containers) {
        w.Reserve(kRow);
        double& y = w.Y();
        PrintPage& page = w.Page();
        page.AddText(QRectF(kContainer.x, y, kDish.x + kDish.w - kContainer.x, kRow), c.caption,
                     kText, 5);
        page.AddText(QRectF(kDiners.x, y, kDiners.w + kQuantity.w, kRow),
                     QStringLiteral("%1 embalage%2")
                         .arg(c.packagings)
                         .arg(c.packagings == 1 ? QStringLiteral("m") : QStringLiteral("ns")),
                     kText, 5, false, kRightAlign);
        page.AddText(Cell(kExtra, y), ReportTexts::Amount(c.units) + QStringLiteral(" un."), kText,
                     5, false, kRightAlign);
        y += kRow;
    }
    w.Signature();
    return w.Finish();
}

} // namespace

QVector<PackingListLayout::DishTotal>
PackingListLayout::DishTotals(const QVector<const DayPackaging*>& packagings) {
    QVector<DishTotal> totals;
    QHash<QString, int> index;
    for (const DayPackaging* p : packagings)
        for (const DayDish& d : p->dishes) {
            const QString key = d.code + QLatin1Char('\x1f') + d.unit;
            auto it = index.constFind(key);
            if (it == index.constEnd()) {
                it = index.insert(key, static_cast<int>(totals.size()));
                totals.push_back({d.code, d.name, d.unit, d.order});
            }
            DishTotal& t = totals[*it];
            t.diners = DishAmounts::Round5(t.diners + d.diners);
            t.quantity = DishAmounts::Round5(t.quantity + d.quantity);
            t.extra = DishAmounts::Round5(t.extra + d.extra);
        }
    std::stable_sort(totals.begin(), totals.end(),
                     [](const DishTotal& a, const DishTotal& b) { return a.order < b.order; });
    return totals;
}

QVector<PrintPage> PackingListLayout::Pages(const DistributionDay& day,
                                            const QVector<const DayPackaging*>& packagings,
                                            const QDateTime& prepared) {
    QVector<PrintPage> pages;
    for (int begin = 0; begin < packagings.size();) {
        int end = begin + 1;
        while (end < packagings.size() && packagings[end]->service == packagings[begin]->service &&
               packagings[end]->PointKey() == packagings[begin]->PointKey())
            ++end;
        pages += OneList(day, packagings.mid(begin, end - begin), prepared);
        begin = end;
    }
    return pages;
}

} // namespace pla
