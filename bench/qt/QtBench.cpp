// Prints:
//   pla_host_cold_start_screenshot: <median ms> ms   (pla-host --screenshot, embedded default)
//   qt_grid_1000_rows_render: <median ms> ms         (build the widgets of a 1,000-row grid
//                                                      form and paint it once)
#include "framework/data/ClientDataSet.h"
#include "framework/data/DataSource.h"
#include "framework/data/Field.h"
#include "framework/qt/FormRenderer.h"
#include "framework/ui/TDBGrid.h"
#include "framework/ui/TForm.h"

#include <QApplication>
#include <QElapsedTimer>
#include <QProcess>
#include <QTemporaryDir>
#include <QWidget>
#include <algorithm>
#include <cstdio>
#include <vector>

namespace {

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}

#ifdef PLA_HOST_BIN
double ColdStart(const QTemporaryDir& dir) {
    QProcess p;
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    env.insert("QT_QPA_PLATFORM", "offscreen");
    env.insert("XDG_DATA_HOME", dir.filePath("data"));
    p.setProcessEnvironment(env);
    QElapsedTimer t;
    t.start();
    p.start(PLA_HOST_BIN, {"--modules", PLA_MODULE_DIR, "--screenshot", dir.filePath("tela.png")});
    if (!p.waitForFinished(60000) || p.exitCode() != 0) return -1;
    return static_cast<double>(t.nsecsElapsed()) / 1e6;
}
#endif

double RenderGrid(int rows) {
    TClientDataSet ds("cdsBench");
    ds.AddField({.Name = "NMPRATO", .Type = TFieldType::String, .Size = 40});
    ds.AddField(
        {.Name = "QTCOMENSAIS", .Type = TFieldType::Float, .DisplayFormat = "##0.00000;0; "});
    ds.AddField({.Name = "QTPRATO", .Type = TFieldType::Float, .DisplayFormat = "##0.00000;0; "});
    ds.AddField({.Name = "SGUNIDADE", .Type = TFieldType::String, .Size = 3});
    ds.CreateDataSet();
    for (int i = 0; i < rows; ++i) {
        ds.Append();
        ds.Fields(0).SetAsString(QStringLiteral("Prato %1").arg(i));
        ds.Fields(1).SetAsFloat(i);
        ds.Fields(2).SetAsFloat(i * 0.125);
        ds.Fields(3).SetAsString("KG");
        ds.Post();
    }
    ds.First();
    TDataSource dts("dtsBench", &ds);
    TForm form;
    form.SetBounds(0, 0, 600, 500);
    auto* grid = new TDBGrid(&form);
    grid->SetParent(&form);
    grid->SetAlign(TAlign::alClient);
    grid->SetDataSource(&dts);
    QElapsedTimer t;
    t.start();
    pla::FormRenderer renderer(form);
    renderer.Root()->resize(600, 500);
    const QPixmap shot = renderer.Root()->grab();
    const double ms = static_cast<double>(t.nsecsElapsed()) / 1e6;
    return shot.isNull() ? -1 : ms;
}

} // namespace

int main(int argc, char* argv[]) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
#ifdef PLA_HOST_BIN
    {
        QTemporaryDir dir;
        ColdStart(dir); // the first run creates the demo database
        std::vector<double> runs;
        for (int i = 0; i < 7; ++i)
            runs.push_back(ColdStart(dir));
        std::printf("pla_host_cold_start_screenshot: %.1f ms\n", Median(runs));
    }
#endif
    std::vector<double> grids;
    for (int i = 0; i < 7; ++i)
        grids.push_back(RenderGrid(1000));
    std::printf("qt_grid_1000_rows_render: %.1f ms\n", Median(grids));
    return 0;
}
