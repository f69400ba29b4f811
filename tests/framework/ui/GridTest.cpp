#include "framework/data/Abort.h"
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/DatabaseError.h"
#include "framework/ui/Colors.h"
#include "framework/ui/DialogService.h"
#include "framework/ui/Dispatch.h"
#include "framework/ui/ModalResult.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TEdit.h"
#include "framework/ui/TForm.h"
#include "framework/ui/ToolGlyphs.h"

#include <QImage>
#include <QStringList>
#include <gtest/gtest.h>

namespace {

// Packagings: code, units, and a principal flag.
struct PackagingSet {
    TClientDataSet cds{QStringLiteral("cdsEmb")};
    TDataSource dts{QStringLiteral("dtsEmb"), &cds};
    PackagingSet() {
        cds.AddField({QStringLiteral("CDCONTAINER"), TFieldType::String, 5});
        cds.AddField({QStringLiteral("QTCONTAINER"), TFieldType::Float});
        cds.AddField({QStringLiteral("IDPRINCIPAL"), TFieldType::String, 1});
        cds.CreateDataSet();
        Add("00001", 3, "S");
        Add("00002", 5, "N");
    }
    void Add(const char* code, double units, const char* principal) {
        cds.Append();
        cds.FieldByName(QStringLiteral("CDCONTAINER")).SetAsString(QLatin1String(code));
        cds.FieldByName(QStringLiteral("QTCONTAINER")).SetAsFloat(units);
        cds.FieldByName(QStringLiteral("IDPRINCIPAL")).SetAsString(QLatin1String(principal));
        cds.Post();
    }
    double Units() const { return cds.FieldByName(QStringLiteral("QTCONTAINER")).AsFloat(); }
};

struct GridForm {
    PackagingSet data;
    TForm form;
    TDBGrid* grid = new TDBGrid(&form);
    TEdit* other = new TEdit(&form);
    GridForm() {
        grid->SetParent(&form);
        other->SetParent(&form);
        grid->SetDataSource(&data.dts);
        grid->AddColumn(QStringLiteral("CDCONTAINER"), 63, QStringLiteral("Código"));
        grid->AddColumn(QStringLiteral("QTCONTAINER"), 70, QStringLiteral("Unidades"));
        grid->AddColumn(QStringLiteral("IDPRINCIPAL"), 48, QStringLiteral("Principal"));
        form.Show();
    }
    void Type(const QString& s) {
        for (QChar c : s)
            form.DeliverChar(c);
    }
};

TEST(Grid, TypingNeedsTheEditingOptionAndTheDataSetsConsent) {
    GridForm f;
    ASSERT_EQ(f.form.ActiveControl(), f.grid);
    f.grid->SetSelectedIndex(1);

    f.grid->SetOption(dgEditing, false);
    f.Type(QStringLiteral("7"));
    EXPECT_EQ(f.data.cds.State(), TDataSetState::Browse);
    EXPECT_FALSE(f.grid->EditorModified());

    f.grid->SetOption(dgEditing, true);
    f.data.cds.BeforeEdit = [](TClientDataSet&) { throw Abort(); };
    EXPECT_FALSE(pla::Dispatch([&] { f.Type(QStringLiteral("7")); }));
    EXPECT_EQ(f.data.cds.State(), TDataSetState::Browse);
    EXPECT_FALSE(f.grid->EditorModified());

    f.data.cds.BeforeEdit = nullptr;
    f.Type(QStringLiteral("7"));
    EXPECT_EQ(f.data.cds.State(), TDataSetState::Edit);
    EXPECT_EQ(f.grid->EditorText(), QStringLiteral("7")); // the typed key replaces the cell
    f.Type(QStringLiteral("x2"));                         // a letter never enters a number
    EXPECT_EQ(f.grid->EditorText(), QStringLiteral("72"));
    EXPECT_DOUBLE_EQ(f.data.Units(), 5); // not in the field yet
}

TEST(Grid, TypedTextReachesTheFieldBeforeTheColumnExitEvent) {
    GridForm f;
    f.grid->SetSelectedIndex(1);
    QStringList log;
    f.grid->OnColExit = [&](TComponent&) {
        log << QStringLiteral("exit %1 units=%2").arg(f.grid->SelectedIndex()).arg(f.data.Units());
    };
    f.grid->OnColEnter = [&](TComponent&) {
        log << QStringLiteral("enter %1").arg(f.grid->SelectedIndex());
    };
    f.Type(QStringLiteral("12"));
    f.form.DeliverKey(VK_BACK);
    f.Type(QStringLiteral("5"));
    EXPECT_EQ(f.grid->EditorText(), QStringLiteral("15"));
    EXPECT_TRUE(f.grid->UserSelectColumn(QStringLiteral("IDPRINCIPAL")));
    EXPECT_EQ(log, QStringList({"exit 1 units=15", "enter 2"}));

    // An exit handler that refuses stops the move; the typed text is already stored.
    f.grid->OnColExit = [](TComponent&) { throw Abort(); };
    EXPECT_FALSE(pla::Dispatch([&] { f.grid->SetSelectedIndex(0); }));
    EXPECT_EQ(f.grid->SelectedIndex(), 2);

    // Leaving the grid writes pending text too, before the grid's own exit event.
    f.grid->OnColExit = nullptr;
    f.grid->SetSelectedIndex(1);
    f.Type(QStringLiteral("9"));
    double unitsAtExit = -1;
    f.grid->OnExit = [&](TComponent&) { unitsAtExit = f.data.Units(); };
    f.other->SetFocus();
    EXPECT_DOUBLE_EQ(unitsAtExit, 9);
}

TEST(Grid, ATextTheFieldRefusesKeepsTheCellAndTheFocus) {
    GridForm f;
    f.grid->SetSelectedIndex(1);
    f.Type(QStringLiteral("1,2,3"));
    EXPECT_ANY_THROW(f.grid->SetSelectedIndex(2));
    EXPECT_EQ(f.grid->SelectedIndex(), 1);
    EXPECT_ANY_THROW(f.other->SetFocus());
    EXPECT_EQ(f.form.ActiveControl(), f.grid);
    f.form.DeliverChar(QChar(27)); // Escape drops the typing
    EXPECT_FALSE(f.grid->EditorModified());
}

TEST(Grid, APostFromCodeTakesTheTextTypedInTheCell) {
    GridForm f;
    f.grid->SetSelectedIndex(1);
    QStringList log;
    f.data.cds.BeforePost = [&](TClientDataSet&) { log << QStringLiteral("before post"); };

    // A tool button that never takes the focus posts while the cell is still being typed in.
    f.Type(QStringLiteral("12"));
    ASSERT_TRUE(f.grid->EditorModified());
    f.data.cds.Post();
    EXPECT_EQ(f.data.cds.State(), TDataSetState::Browse);
    EXPECT_DOUBLE_EQ(f.data.Units(), 12);
    EXPECT_FALSE(f.grid->EditorModified());
    EXPECT_EQ(log, QStringList({"before post"}));

    // A new record built in code and typed into is posted with the typed text.
    f.data.cds.Append();
    f.data.cds.FieldByName(QStringLiteral("CDCONTAINER")).SetAsString(QStringLiteral("00003"));
    f.Type(QStringLiteral("4,5"));
    f.data.cds.Post();
    ASSERT_EQ(f.data.cds.RecordCount(), 3);
    EXPECT_DOUBLE_EQ(f.data.Units(), 4.5);

    // Moving the cursor from code posts, and the typed text goes to the record it was typed
    // into, not the next one.
    f.data.cds.First();
    f.Type(QStringLiteral("8"));
    f.data.cds.Next();
    EXPECT_DOUBLE_EQ(f.data.Units(), 12);
    f.data.cds.First();
    EXPECT_DOUBLE_EQ(f.data.Units(), 8);
}

TEST(Grid, APostFromCodeStopsAtATextTheFieldRefuses) {
    GridForm f;
    f.grid->SetSelectedIndex(1);
    bool beforePost = false;
    f.data.cds.BeforePost = [&](TClientDataSet&) { beforePost = true; };
    f.Type(QStringLiteral("1,2,3"));
    try {
        f.data.cds.Post();
        ADD_FAILURE() << "the post went through";
    } catch (const EDatabaseError& e) {
        EXPECT_EQ(e.Message(), QStringLiteral("'1,2,3' não é um valor numérico válido para o campo "
                                              "'QTCONTAINER'."));
    }
    EXPECT_FALSE(beforePost);
    EXPECT_EQ(f.data.cds.State(), TDataSetState::Edit);
    EXPECT_DOUBLE_EQ(f.data.Units(), 5);
    EXPECT_EQ(f.grid->EditorText(), QStringLiteral("1,2,3")); // kept for the user to fix

    // Once corrected the same post goes through.
    f.form.DeliverKey(VK_BACK);
    f.form.DeliverKey(VK_BACK);
    f.data.cds.Post();
    EXPECT_TRUE(beforePost);
    EXPECT_DOUBLE_EQ(f.data.Units(), 1.2);
}

TEST(Grid, RowsCellsTitlesAndTheEditButton) {
    GridForm f;
    QStringList log;
    f.grid->OnCellClick = [&](TColumn& c) {
        log << QStringLiteral("cell %1 row %2").arg(c.FieldName()).arg(f.grid->CurrentRow());
    };
    f.grid->OnTitleClick = [&](TColumn& c) { log << "title " + c.FieldName(); };
    f.grid->OnEditButtonClick = [&](TComponent&) { log << "button"; };
    f.grid->UserClickCell(0, 2);
    f.grid->UserClickTitle(2);
    EXPECT_EQ(log, QStringList({"cell IDPRINCIPAL row 0", "title IDPRINCIPAL"}));

    f.grid->SetSelectedIndex(0);
    EXPECT_FALSE(f.grid->UserClickEditButton());
    f.grid->Column(0).SetButtonStyle(TColumnButtonStyle::cbsEllipsis);
    EXPECT_TRUE(f.grid->UserClickEditButton());
    f.form.DeliverKey(VK_RETURN, ssCtrl);
    EXPECT_EQ(log.count("button"), 2);
    f.grid->SetOption(dgEditing, false); // no editor, no button
    EXPECT_FALSE(f.grid->HasEditButton());

    f.grid->UserSelectRow(1);
    EXPECT_EQ(f.data.cds.RecNo(), 2);
    f.form.DeliverKey(VK_UP);
    EXPECT_EQ(f.data.cds.RecNo(), 1);
}

class RefusingDialogs : public pla::DialogService {
public:
    QStringList asked;
    int MessageBox(const QString& text, pla::MsgDlgType, pla::MsgDlgButtons) override {
        asked << text;
        return mrCancel;
    }
    bool PickList(TDataSource&, const QString&) override { return false; }
    void Find(TClientDataSet&) override {}
    void BusyBegin(int) override {}
    void BusyEnd() override {}
};

TEST(Grid, CtrlDeleteAsksAndItsKeyDownHandlerCanSwallowIt) {
    GridForm f;
    RefusingDialogs dialogs;
    pla::SetDialogService(&dialogs);
    f.form.DeliverKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(dialogs.asked.size(), 1);
    EXPECT_EQ(f.data.cds.RecordCount(), 2);

    f.grid->OnKeyDown = [](TComponent&, int& key, TShiftState) {
        if (key == VK_DELETE) key = 0;
    };
    f.form.DeliverKey(VK_DELETE, ssCtrl);
    EXPECT_EQ(dialogs.asked.size(), 1);
    pla::SetDialogService(nullptr);
}

TEST(Grid, CustomDrawingPaintsTheGlyphCentredWithOliveTransparent) {
    GridForm f;
    f.grid->SetOptions(dgEditing | dgColLines | dgRowLines); // no titles, no indicator
    const QImage checked = pla::ToolGlyphs::CheckBox(true);
    const QImage unchecked = pla::ToolGlyphs::CheckBox(false);
    QStringList drawnFlags;
    f.grid->OnDrawColumnCell = [&](TComponent&, const QRect& rect, int, TColumn& column,
                                   TGridDrawState) {
        if (column.FieldName() != QLatin1String("IDPRINCIPAL")) return;
        QString flag = f.grid->DrawingValue(QStringLiteral("IDPRINCIPAL")).toString();
        drawnFlags << flag;
        const QImage& img = flag == QLatin1String("S") ? checked : unchecked;
        TCanvas& canvas = f.grid->Canvas();
        canvas.Brush.Color = clInfoBk;
        canvas.FillRect(rect);
        int left = rect.left() + (rect.width() - img.width()) / 2;
        canvas.BrushCopy(QRect(left, rect.top(), img.width(), rect.height()), img,
                         QRect(0, 0, img.width(), rect.height()), clOlive);
    };
    QImage image(300, 60, QImage::Format_RGB32);
    f.grid->PaintTo(image);
    EXPECT_EQ(drawnFlags, QStringList({"S", "N"}));

    const QRect cell = f.grid->CellRect(0, 2);
    EXPECT_EQ(cell.left(), 63 + 1 + 70 + 1);
    const int left = cell.left() + (cell.width() - 16) / 2;
    auto at = [&](int x, int y) { return QColor(image.pixel(x, y)); };
    // Olive never shows: the glyph's corner takes the brush colour.
    EXPECT_EQ(at(left, cell.top()), clInfoBk);
    EXPECT_EQ(at(left + 15, cell.top() + 15), clInfoBk);
    // The box is white inside; the tick is black in the first row only.
    EXPECT_EQ(at(left + 3, cell.top() + 12), clWhite);
    auto darkPixels = [&](const QRect& r) {
        int n = 0;
        for (int y = r.top() + 3; y < r.top() + 12; ++y)
            for (int x = left + 3; x < left + 12; ++x)
                n += qGray(image.pixel(x, y)) < 64;
        return n;
    };
    EXPECT_GT(darkPixels(cell), 5);
    EXPECT_EQ(darkPixels(f.grid->CellRect(1, 2)), 0);
    // Olive nowhere in the picture.
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_NE(at(x, y), clOlive) << x << "," << y;
}

TEST(Grid, WithoutColumnsItShowsTheVisibleFields) {
    PackagingSet data;
    data.cds.FieldByName(QStringLiteral("IDPRINCIPAL")).Visible = false;
    TForm form;
    auto* grid = new TDBGrid(&form);
    grid->SetDataSource(&data.dts);
    ASSERT_EQ(grid->ColumnCount(), 2);
    EXPECT_EQ(grid->Column(1).FieldName(), QStringLiteral("QTCONTAINER"));
    EXPECT_EQ(grid->ColumnOf(QStringLiteral("qtcontainer")), 1);
    EXPECT_EQ(grid->RowCount(), 2);
}

} // namespace
