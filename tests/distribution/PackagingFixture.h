#pragma once

#include "dish_dialog/DadosPrato.h"
#include "framework/ui/FormHost.h"
#include "tests/distribution/ScreenFixture.h"

#include <deque>
#include <functional>

namespace pla::test {

// A distribution ready to be edited: one service, one delivery point (40 diners), four menu
// dishes nothing of which is packed yet, an individual packaging 101 (container 00001,
// 40 units) and a collective one 102 (container 00007, no units), capacities per dish and
// container, and three registered containers (00001, 00007, 00012).
//   dish 1 Arroz   P1 40 diners 4,8 KG extra 0,5  0,12/person  capacity 0,5 (00001) 5 (00007)
//   dish 2 Feijão  P2 40 diners 4   KG extra 0    0,1/person   capacity 0,5 (00001) 5 (00007)
//   dish 3 Suco    P3 40 diners 10  LT extra 2    0,25/person  capacity 2   (00001) 5 (00007)
//   dish 4 Salada  P4 40 diners 0   KG extra 1    0/person     no capacity anywhere
// refusedCapacity names a dish code whose capacity call the server refuses.
QByteArray PackagingFixture(const QString& refusedCapacity = QString());

// Plays the user inside the dish dialog: each modal run takes the next script (none: the
// dialog is closed unused, as a cancel).
class DishDialogHost : public FormHost {
public:
    std::deque<std::function<void(TfrmDadosPrato&)>> scripts;
    int runs = 0;
    void Show(TForm&) override {}
    void Close(TForm&) override {}
    int RunModal(TForm& form) override;
};

// The amounts of one dish in one place.
struct Amounts {
    double diners = 0, quantity = 0, extra = 0;
};

// The screen open on the packaging fixture, its distribution loaded, the dish dialog played
// by a script.
class PackagingTest : public ScreenTest {
protected:
    void SetUp() override;
    void TearDown() override;
    // Serves fixture instead of the standard one and opens the screen on it.
    void OpenOn(const QByteArray& fixture);

    // User actions, each dispatched as the front end does.
    void Click(TControl* c);
    void Focus(TWinControl* c);
    // Types text into the grid's column of field in the current row.
    void TypeInGrid(TDBGrid* grid, const QString& field, const QString& text);
    static void Retype(TEdit* edit, const QString& text);
    static void ClickIn(TControl* c);

    // Makes packaging number current / the undistributed dish current (filter applies).
    void GoToPackaging(double number);
    void GoToDish(double dish);
    // Undistributed amounts of a dish, whatever the filter.
    Amounts Available(double dish) const;
    // Sum of the dish's amounts over the dish rows of every packaging.
    Amounts Packed(double dish) const;
    // Dish rows of one packaging: NRSEQPRATCAR -> row values.
    int RowCount(double packaging) const;
    // A field of the packaging numbered number.
    double PackagingValue(double number, const QString& field) const;

    // Queues a dialog script.
    void Dialog(std::function<void(TfrmDadosPrato&)> script) {
        host.scripts.push_back(std::move(script));
    }
    // Queues a dialog confirmed as proposed.
    void ConfirmDialog();

    DishDialogHost host;
};

} // namespace pla::test
