#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/qt/DataSetTableModel.h"
#include "framework/qt/FormRenderer.h"
#include "framework/qt/GridBinding.h"
#include "framework/qt/QtFormHost.h"
#include "framework/ui/Colors.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TForm.h"

#include <QApplication>
#include <QHeaderView>
#include <QTableView>
#include <QTest>
#include <gtest/gtest.h>

namespace {

// A service list like the screens': code, name, quantity with the list format, and a status
// column drawn as a light.
struct ServiceGrid {
    TClientDataSet ds{"cdsServicos"};
    TDataSource dts{"dtsServicos", &ds};
    TForm form;
    TDBGrid* grid;

    ServiceGrid() {
        form.SetBounds(0, 0, 420, 240);
        ds.AddField({.Name = "CDSERVFILI", .Type = TFieldType::String, .Size = 5});
        ds.AddField(
            {.Name = "QTPRATO", .Type = TFieldType::Float, .DisplayFormat = "##0.00000;0; "});
        ds.AddField({.Name = "IDSITUACAO", .Type = TFieldType::String, .Size = 1});
        ds.CreateDataSet();
        const struct {
            const char* code;
            double qty;
            const char* status;
        } rows[] = {{"00001", 1.5, "N"},
                    {"00002", 0, "I"},
                    {"00003", 12.25, "S"},
                    {"00004", 3, "N"},
                    {"00005", 7, "I"}};
        for (const auto& row : rows) {
            ds.Append();
            ds.FieldByName("CDSERVFILI").SetAsString(row.code);
            ds.FieldByName("QTPRATO").SetAsFloat(row.qty);
            ds.FieldByName("IDSITUACAO").SetAsString(row.status);
            ds.Post();
        }
        grid = new TDBGrid(&form);
        grid->SetName("dbgPadrao");
        grid->SetParent(&form);
        grid->SetAlign(TAlign::alClient);
        grid->SetColor(clInfoBk);
        grid->SetDataSource(&dts);
        grid->AddColumn("CDSERVFILI", 80, "Serviço");
        grid->AddColumn("QTPRATO", 100, "Quantidade");
        grid->AddColumn("IDSITUACAO", 25, "");
    }
};

class GridRenderTest : public ::testing::Test {
protected:
    void SetUp() override {
        host.Install();
        g.form.Show();
        binding = dynamic_cast<pla::GridBinding*>(host.RendererFor(g.form)->BindingFor(g.grid));
        ASSERT_NE(binding, nullptr);
        view = binding->View();
    }
    QString Shown(int row, int col) const {
        return view->model()->index(row, col).data().toString();
    }

    pla::QtFormHost host;
    ServiceGrid g;
    pla::GridBinding* binding = nullptr;
    QTableView* view = nullptr;
};

TEST_F(GridRenderTest, ShowsExactlyTheVisibleRecordsWithTheirFormats) {
    ASSERT_EQ(view->model()->rowCount(), 5);
    EXPECT_EQ(view->model()->columnCount(), 3);
    EXPECT_EQ(Shown(0, 1), "1,50000");
    EXPECT_EQ(Shown(1, 1).trimmed(), ""); // the zero section of the format is blank
    EXPECT_EQ(Shown(2, 1), "12,25000");
    EXPECT_EQ(view->model()->headerData(1, Qt::Horizontal).toString(), "Quantidade");
    // The room the columns leave goes to the widest, so long texts are not cut; a list too
    // narrow for its columns narrows the widest, so the others stay in sight.
    EXPECT_EQ(view->columnWidth(0), 80);
    EXPECT_GT(view->columnWidth(1), 100);
    for (int width : {0, 500, 300, 200}) {
        if (width) view->resize(width, 200);
        EXPECT_EQ(view->columnWidth(0) + view->columnWidth(1) + view->columnWidth(2),
                  view->viewport()->width())
            << width;
    }

    g.ds.SetFilter("IDSITUACAO = 'N'");
    g.ds.SetFiltered(true);
    ASSERT_EQ(view->model()->rowCount(), 2);
    EXPECT_EQ(Shown(0, 0), "00001");
    EXPECT_EQ(Shown(1, 0), "00004");

    // A change in a record shows at once; a hidden column disappears.
    g.ds.Last();
    g.ds.Edit();
    g.ds.FieldByName("QTPRATO").SetAsFloat(2.125);
    g.ds.Post();
    EXPECT_EQ(Shown(1, 1), "2,12500");
    g.grid->Column(1).SetVisible(false);
    EXPECT_EQ(view->model()->columnCount(), 2);

    g.ds.SetFiltered(false);
    EXPECT_EQ(view->model()->rowCount(), 5);
    g.ds.EmptyDataSet();
    EXPECT_EQ(view->model()->rowCount(), 0);
}

TEST_F(GridRenderTest, ClicksAndKeysMoveTheGridsCursor) {
    view->resize(400, 200);
    g.form.FocusControl(g.grid);
    const QRect cell = view->visualRect(view->model()->index(3, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, cell.center());
    EXPECT_EQ(g.ds.RecNo(), 4);
    QTest::keyClick(view, Qt::Key_Up);
    EXPECT_EQ(g.ds.RecNo(), 3);

    int titleClicks = -1;
    g.grid->OnTitleClick = [&](TColumn& c) { titleClicks = c.Index(); };
    view->horizontalHeader()->sectionClicked(1);
    EXPECT_EQ(titleClicks, 1);
}

TEST_F(GridRenderTest, WhileTheDisplayIsSuspendedTheGridShowsWhatItShowedLast) {
    view->resize(400, 200);
    const QImage before = view->viewport()->grab().toImage();
    g.ds.DisableControls();
    g.ds.EmptyDataSet(); // rows rewritten in code, behind a dialog that makes the grid repaint
    EXPECT_EQ(view->viewport()->grab().toImage(), before);
    g.ds.EnableControls();
    EXPECT_EQ(view->model()->rowCount(), 0);
    EXPECT_NE(view->viewport()->grab().toImage(), before);
}

QImage Light(const QColor& colour) {
    // 17 by 17 on olive: a filled disc of the light's colour.
    QImage img(17, 17, QImage::Format_RGB32);
    img.fill(clOlive);
    for (int y = 0; y < 17; ++y)
        for (int x = 0; x < 17; ++x)
            if ((x - 8) * (x - 8) + (y - 8) * (y - 8) <= 36) img.setPixelColor(x, y, colour);
    return img;
}

TEST_F(GridRenderTest, CustomCellDrawingShowsOnScreenWithOliveTransparent) {
    const QImage green = Light(QColor(0, 160, 0));
    const QImage red = Light(QColor(220, 0, 0));
    g.grid->OnDrawColumnCell = [&](TComponent&, const QRect& rect, int, TColumn& column,
                                   TGridDrawState) {
        if (column.FieldName() != "IDSITUACAO") return;
        const QImage& pic = g.grid->DrawingValue("IDSITUACAO").toString() == "I" ? red : green;
        g.grid->Canvas().Brush.Color = clInfoBk;
        g.grid->Canvas().FillRect(rect);
        const QRect dest(rect.left() + (rect.width() - pic.width()) / 2, rect.top(), pic.width(),
                         rect.height());
        g.grid->Canvas().BrushCopy(dest, pic, QRect(0, 0, pic.width(), rect.height()), clOlive);
    };
    view->resize(400, 200);
    view->viewport()->update();
    QImage shot = view->viewport()->grab().toImage();
    auto centre = [&](int row) { return view->visualRect(view->model()->index(row, 2)).center(); };
    // Row 1 ("I") shows red, row 2 ("S") green; no olive anywhere in the status cells.
    EXPECT_EQ(shot.pixelColor(centre(1)), QColor(220, 0, 0));
    EXPECT_EQ(shot.pixelColor(centre(2)), QColor(0, 160, 0));
    for (int row = 0; row < 5; ++row) {
        const QRect cell = view->visualRect(view->model()->index(row, 2));
        for (int y = cell.top(); y <= cell.bottom(); ++y)
            for (int x = cell.left(); x <= cell.right(); ++x)
                ASSERT_NE(shot.pixelColor(x, y), clOlive)
                    << "row " << row << " at " << x << "," << y;
        // The letter the grid drew itself is hidden: the cell corner is the background.
        EXPECT_EQ(shot.pixelColor(cell.left() + 1, cell.bottom() - 1), clInfoBk);
    }
}

} // namespace
