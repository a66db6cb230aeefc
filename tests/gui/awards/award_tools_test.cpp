#include <sys/stat.h>

#include <QFile>
#include <QFileInfo>
#include <QTableView>

#include "core/awards/award_progress.h"
#include "core/prefixes/entity_data.h"
#include "running_log.h"
#include "windows/awards/dxcc_table_window.h"
#include "windows/awards/progress_chart_window.h"
#include "windows/awards/world_map_window.h"
#include "windows/search/search_window.h"

namespace {

using testing_support::logLine;

#define EXPECT_EQ_PREFIX(actual, expected) EXPECT_EQ((actual).toStdString(), expected)

// Three entities in the prefix file (France, Japan, Brazil), one worked entity
// it no longer has (Y9), and a station at JN18du.
class AwardToolsTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writePrefixes({
            dxcc::buildPrefixEntry("F", "France", "F"),
            dxcc::buildPrefixEntry("TM", "France", "F"),
            dxcc::buildPrefixEntry("JA", "Japan", "JA"),
            dxcc::buildPrefixEntry("PY", "Brazil", "PY"),
        });
        write("Entites_DXCC.txt",
              dxcc::formatEntityData({{"F", "France", 46.0, 2.0, "EU", 14, 27, 1},
                                      {"JA", "Japan", 36.0, 138.0, "AS", 25, 45, 9},
                                      {"PY", "Brazil", -10.0, -53.0, "SA", 11, 15, -3}}));
        writeLog({
            logLine("F5ABC", "01/02/08", "SSB", "14 Mhz ", "F", "France", '*'),
            logLine("TM5XX", "03/02/08", "CW", "7.0 Mhz", "F", "France"),
            logLine("JA1AA", "05/02/09", "PSK", "21 Mhz ", "JA", "Japan"),
            logLine("Y91AA", "06/02/09", "SAT", "144 Mhz", "Y9", "Old entity", '*'),
        });
        t.settings->set("Setup F6XYZ", "Locator", "jn18du");
        start();
    }

    ui::DxccTableWindow* openTable() {
        w->Mnu_Tableau_DXCC->trigger();
        return window<ui::DxccTableWindow>("Tableau_DXCC");
    }

    // Each shown row as "prefix cells" (cells: one character each, '.' for none).
    static QStringList shown(ui::DxccTableWindow* t) {
        QStringList out;
        ui::DxccTableModel* m = t->model();
        for (int r = 0; r < m->rowCount(); ++r) {
            QString line = m->index(r, 0).data().toString() + " ";
            for (int c = ui::DxccTableModel::kLeadColumns; c < m->columnCount(); ++c) {
                const QString cell = m->index(r, c).data().toString();
                line += cell.isEmpty() ? "." : cell.size() == 1 ? cell : "[" + cell + "]";
            }
            out << line;
        }
        return out;
    }
};

TEST_F(AwardToolsTest, TableShowsEveryEntityItsCellsAndTotals) {
    ui::DxccTableWindow* table = openTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->windowTitle(), "Tableau DXCC");
    // Columns: Mixed SSB CW RTTY Satellite, then 1.8 3.5 7 10 14 18 21 24 28 50 144.
    EXPECT_EQ(shown(table).join("|").toStdString(),
              "F CCW....W.C......|"
              "JA W..W.......W....|"
              "PY ................|"
              "Y9 C...C..........C|"
              " 2100100001000001|"
              " 3111100101010001");
    ui::DxccTableModel* m = table->model();
    EXPECT_EQ(m->index(0, 1).data().toString(), "France");
    EXPECT_EQ(m->index(1, 2).data().toString(), "AS");
    EXPECT_EQ(m->index(4, 1).data().toString(), "Total confirmé");
    EXPECT_EQ(m->index(0, 3).data(Qt::BackgroundRole).value<QColor>(),
              m->index(3, 3).data(Qt::BackgroundRole).value<QColor>());
    EXPECT_NE(m->index(0, 3).data(Qt::BackgroundRole), m->index(1, 3).data(Qt::BackgroundRole));
    EXPECT_FALSE(m->index(2, 3).data(Qt::BackgroundRole).isValid());
}

TEST_F(AwardToolsTest, FilterSortDoubleClickAndCsv) {
    ui::DxccTableWindow* table = openTable();
    ASSERT_NE(table, nullptr);
    // Only what is missing in CW: every entity without a C there.
    table->Colonne->setCurrentIndex(2);
    table->Seulement->setChecked(true);
    EXPECT_EQ(table->model()->shownRows().size(), 4u);
    table->Colonne->setCurrentIndex(0);
    EXPECT_EQ(table->model()->shownRows().size(), 2u);
    EXPECT_EQ(table->Compte->text(), "2 contrées affichées");
    table->Seulement->setChecked(false);
    table->Tri->setCurrentIndex(1);  // by entity name
    EXPECT_EQ_PREFIX(table->model()->prefixAt(0), "PY");
    EXPECT_EQ_PREFIX(table->model()->prefixAt(1), "F");
    EXPECT_EQ_PREFIX(table->model()->prefixAt(2), "JA");
    EXPECT_EQ_PREFIX(table->model()->prefixAt(3), "Y9");  // named as its QSO names it
    EXPECT_EQ(table->model()->index(3, 1).data().toString().toStdString(), "Old entity");
    table->Tri->setCurrentIndex(2);  // by continent
    EXPECT_EQ_PREFIX(table->model()->prefixAt(0), "JA");
    EXPECT_EQ_PREFIX(table->model()->prefixAt(3), "Y9");

    // Enter (as a double-click) on France lists its two QSOs in the search.
    table->Tri->setCurrentIndex(0);
    table->Table->setCurrentIndex(table->model()->index(table->model()->rowOfPrefix("F"), 1));
    QTest::keyClick(table->Table, Qt::Key_Return);
    auto* search = window<ui::SearchWindow>("Recherche_Indicatif");
    ASSERT_NE(search, nullptr);
    ASSERT_EQ(search->QSO_Effectues->model()->rowCount(), 2);
    EXPECT_TRUE(search->QSO_Effectues->model()->index(1, 0).data().toString().contains("TM5XX"));

    // Export: the file chosen, the suffix added, the heading and rows written.
    t.dialogs->saveFiles.push_back(t.path("table"));
    table->Export_CSV->click();
    const std::string csv = read("table.csv");
    EXPECT_EQ(csv.substr(0, csv.find("\r\n")),
              "Pr\xE9"
              "fixe,Contr\xE9"
              "e,Continent,Mixed,SSB,CW,RTTY,Satellite,1.8 Mhz,3.5 Mhz,"
              "7.0 Mhz,10 Mhz,14 Mhz,18 Mhz,21 Mhz,24 Mhz,28 Mhz,50 Mhz,144 Mhz");
    EXPECT_NE(csv.find("\r\nF,France,EU,C,C,W,,,,,W,,C,,,,,,\r\n"), std::string::npos) << csv;
    EXPECT_EQ(takeMessages(), QStringList{"Exporté dans " + t.path("table.csv")});
}

// Saved under the name of one of the program's files in the data folder, the
// table is refused and the file kept; a pipe is refused without waiting; the
// chart's picture goes through the same door.
TEST_F(AwardToolsTest, ExportsNeverWriteOverTheProgramsFilesNorIntoAPipe) {
    ui::DxccTableWindow* table = openTable();
    ASSERT_NE(table, nullptr);
    const std::string prefixes = read("Prefixe_DXCC.txt");
    t.dialogs->saveFiles.push_back(t.path("Prefixe_DXCC.txt"));
    table->Export_CSV->click();
    EXPECT_EQ(
        takeMessages(),
        QStringList{"Ce fichier appartient à VEL_DXCC (log, préfixes ou prénoms) : choisissez "
                    "un autre nom.\r\nLe fichier n'a pas été écrit."});
    EXPECT_EQ(read("Prefixe_DXCC.txt"), prefixes);

    ASSERT_EQ(::mkfifo(ui::toPath(t.path("pipe.csv")).c_str(), 0600), 0);
    t.dialogs->saveFiles.push_back(t.path("pipe.csv"));
    table->Export_CSV->click();
    const QStringList told = takeMessages();
    ASSERT_EQ(told.size(), 1);
    EXPECT_TRUE(told[0].startsWith("Erreur N°  75")) << told[0].toStdString();
    EXPECT_TRUE(told[0].endsWith("Le fichier n'a pas été écrit."));
    EXPECT_TRUE(QFileInfo(t.path("pipe.csv")).isFile() == false);

    w->Mnu_Progression->trigger();
    auto* chart = window<ui::ProgressChartWindow>("Progression_DXCC");
    ASSERT_NE(chart, nullptr);
    t.dialogs->saveFiles.push_back(t.path("F6XYZ_DXCC.log"));
    const std::string log = read("F6XYZ_DXCC.log");
    chart->Export_PNG->click();
    EXPECT_EQ(takeMessages().size(), 1);
    EXPECT_EQ(read("F6XYZ_DXCC.log"), log);
    t.dialogs->saveFiles.push_back(t.path("progression"));
    chart->Export_PNG->click();
    EXPECT_EQ(read("progression.png").substr(1, 3), "PNG");
}

TEST_F(AwardToolsTest, TableFollowsTheLog) {
    ui::DxccTableWindow* table = openTable();
    ASSERT_NE(table, nullptr);
    EXPECT_EQ(table->model()->index(2, 3).data().toString(), "");
    table->Table->setCurrentIndex(table->model()->index(1, 0));
    // A QSO with Brazil added to the log shows at once; the selection stays.
    auto* list = qobject_cast<ui::LogListModel*>(w->Liste_DXCC->model());
    ASSERT_NE(list, nullptr);
    list->follow(w->session().commitEntry(
        {}, logLine("PY1AA", "07/02/09", "CW", "28 Mhz ", "PY", "Brazil", '*'), "PY1AA", ""));
    EXPECT_EQ(table->model()->index(2, 3).data().toString(), "C");
    EXPECT_EQ_PREFIX(table->model()->prefixAt(table->Table->currentIndex().row()), "JA");
}

TEST_F(AwardToolsTest, MapNamesDotsAndOpensTheirRow) {
    w->Mnu_Carte->trigger();
    auto* map = window<ui::WorldMapWindow>("Carte_Monde");
    ASSERT_NE(map, nullptr);
    map->resize(900, 700);
    EXPECT_EQ(map->Centre->text(), "Centre : JN18du");
    const ui::MapContent& c = map->Carte->content();
    ASSERT_EQ(c.dots.size(), 3u);  // the entities with a position
    QMap<QString, dxcc::Need> marks;
    for (const ui::MapDot& d : c.dots) marks[d.prefix] = d.mark;
    EXPECT_EQ(marks["F"], dxcc::Need::Confirmed);
    EXPECT_EQ(marks["JA"], dxcc::Need::Worked);
    EXPECT_EQ(marks["PY"], dxcc::Need::Never);

    int japan = -1;
    for (int i = 0; i < 3; ++i)
        if (c.dots[static_cast<size_t>(i)].prefix == "JA") japan = i;
    const QPointF at = map->Carte->dotPosition(japan);
    EXPECT_EQ(map->Carte->dotAt(at + QPointF(2, 2)), japan);
    EXPECT_EQ(map->Carte->dotAt(at + QPointF(30, 30)), -1);
    // JN18du to 36N 138E: north-east, about 9,800 km.
    const QString tip = map->Carte->dotText(japan);
    EXPECT_TRUE(tip.startsWith("JA - Japan : ")) << tip.toStdString();
    const int heading = tip.section(": ", 1).section(QChar(0xB0), 0, 0).toInt();
    EXPECT_NEAR(heading, 35, 5) << tip.toStdString();
    // Headings are straight lines from the centre: the dot lies at its heading.
    const QPointF centre(map->Carte->width() / 2.0, map->Carte->height() / 2.0);
    const double drawn = std::atan2(at.x() - centre.x(), centre.y() - at.y()) * 180 / M_PI;
    EXPECT_NEAR(drawn, heading, 1.0);

    // A click on the dot opens the table on Japan's row.
    QTest::mouseClick(map->Carte, Qt::LeftButton, {}, at.toPoint());
    auto* table = window<ui::DxccTableWindow>("Tableau_DXCC");
    ASSERT_NE(table, nullptr);
    EXPECT_EQ_PREFIX(table->model()->prefixAt(table->Table->currentIndex().row()), "JA");

    // The plain map puts the same dot east of the centre, north of the equator.
    map->Planisphere->setChecked(true);
    const QPointF plain = map->Carte->dotPosition(japan);
    EXPECT_GT(plain.x(), centre.x());
    EXPECT_LT(plain.y(), centre.y());

    t.dialogs->saveFiles.push_back(t.path("carte.png"));
    map->Export_PNG->click();
    EXPECT_EQ(read("carte.png").substr(1, 3), "PNG");
}

TEST_F(AwardToolsTest, ChartCurvesPerAward) {
    w->Mnu_Progression->trigger();
    auto* chart = window<ui::ProgressChartWindow>("Progression_DXCC");
    ASSERT_NE(chart, nullptr);
    auto points = [](QXYSeries* s) {
        QList<QPair<int, int>> out;
        for (const QPointF& p : s->points()) out << qMakePair(int(p.x()), int(p.y()));
        return out;
    };
    const int d1 = int(dxcc::dayNumber(2008, 2, 1));
    const int d3 = int(dxcc::dayNumber(2008, 2, 3));
    const int d5 = int(dxcc::dayNumber(2009, 2, 5));
    const int d6 = int(dxcc::dayNumber(2009, 2, 6));
    EXPECT_EQ(points(chart->worked()),
              (QList<QPair<int, int>>{{d1, 1}, {d5, 1}, {d5, 2}, {d6, 2}, {d6, 3}}));
    EXPECT_EQ(points(chart->confirmed()), (QList<QPair<int, int>>{{d1, 1}, {d6, 1}, {d6, 2}}));
    chart->Diplome->setCurrentText("CW");
    EXPECT_EQ(points(chart->worked()), (QList<QPair<int, int>>{{d3, 1}, {d3 + 30, 1}}));
    EXPECT_TRUE(points(chart->confirmed()).isEmpty());
    chart->Diplome->setCurrentText("50 Mhz");
    EXPECT_TRUE(points(chart->worked()).isEmpty());
    EXPECT_EQ(chart->Note->text(), "Aucun QSO daté pour ce diplôme");
    EXPECT_EQ(chart->Diplome->count(), 16);

    // The open chart follows the log: a contact added, then the change undone.
    chart->Diplome->setCurrentText("Mixed");
    auto* list = qobject_cast<ui::LogListModel*>(w->Liste_DXCC->model());
    ASSERT_NE(list, nullptr);
    const int d7 = int(dxcc::dayNumber(2009, 3, 7));
    list->follow(w->session().commitEntry(
        {}, logLine("PY1AA", "07/03/09", "CW", "28 Mhz ", "PY", "Brazil", '*'), "PY1AA", ""));
    EXPECT_EQ(points(chart->worked()).back(), qMakePair(d7, 4));
    EXPECT_EQ(points(chart->confirmed()).back(), qMakePair(d7, 3));
    list->follow(w->session().deleteContact(4, std::string(w->session().log().record(4))));
    EXPECT_EQ(points(chart->worked()).back(), qMakePair(d6, 3));
}

}  // namespace
