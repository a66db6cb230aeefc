#include "windows/digital/digital_window.h"

#include <gtest/gtest.h>

#include <QElapsedTimer>
#include <QFile>
#include <QRandomGenerator>
#include <QStatusBar>
#include <QTest>
#include <QUdpSocket>
#include <atomic>
#include <fstream>
#include <thread>

#include "core/base/program_constants.h"
#include "core/digital/qt_data_stream.h"
#include "core/prefixes/entity_data.h"
#include "core/prefixes/prefix_table.h"
#include "core/session/data_folder_lock.h"
#include "decoder_datagrams.h"
#include "platform/colours.h"
#include "running_log.h"
#include "windows/cluster/live_links.h"

namespace {

namespace dg = testing_support::decoder_datagrams;
namespace dd = dxcc::digital;
using testing_support::logLine;
using Col = ui::DecodeTableModel::Column;

// A datagram the program sent to the decoder, read back as far as the tests need.
struct Sent {
    std::uint32_t type = 0;
    std::string id;
    std::string text;  // Reply: the message; Highlight Callsign: the callsign
    dd::Colour background;
};

Sent readSent(std::string_view bytes) {
    dd::StreamReader in(bytes);
    Sent s;
    std::uint32_t magic = 0, schema = 0;
    in.readU32(magic);
    in.readU32(schema);
    in.readU32(s.type);
    in.readText(s.id, 1000);
    if (s.type == 4) {  // Reply: time, snr, dt, df, mode, then the message
        std::uint32_t u = 0;
        std::int32_t i = 0;
        double d = 0;
        std::string mode;
        in.readTime(u);
        in.readI32(i);
        in.readDouble(d);
        in.readU32(u);
        in.readText(mode, 100);
    }
    in.readText(s.text, 1000);
    if (s.type == 13) {
        // A QColor: its spec (0 invalid, 1 RGB), alpha, red, green, blue, pad.
        std::uint8_t spec = 0;
        in.readU8(spec);
        std::uint8_t b[2];
        std::uint16_t channels[4];
        for (std::uint16_t& c : channels) {
            in.readU8(b[0]);
            in.readU8(b[1]);
            c = std::uint16_t(b[0] << 8 | b[1]);
        }
        s.background = spec == 0 ? dd::Colour::none()
                                 : dd::Colour::rgb(std::uint8_t(channels[1] >> 8),
                                                   std::uint8_t(channels[2] >> 8),
                                                   std::uint8_t(channels[3] >> 8));
    }
    return s;
}

// A decoder (WSJT-X) on a socket of its own, sending to the program's port and
// reading what the program sends back.
struct FakeDecoder {
    FakeDecoder() { EXPECT_TRUE(socket.bind(QHostAddress::LocalHost, 0)); }
    void send(const std::string& d, quint16 port) {
        socket.writeDatagram(d.data(), qint64(d.size()), QHostAddress::LocalHost, port);
    }
    // Everything received until `done` says so (5 s at most).
    bool receiveUntil(const std::function<bool(const std::vector<Sent>&)>& done) {
        return QTest::qWaitFor(
            [&] {
                while (socket.hasPendingDatagrams()) {
                    QByteArray bytes(int(socket.pendingDatagramSize()), '\0');
                    socket.readDatagram(bytes.data(), bytes.size());
                    received.push_back(readSent(bytes.toStdString()));
                }
                return done(received);
            },
            5000);
    }
    // The highlights sent for `callsign`, oldest first.
    std::vector<dd::Colour> highlightsOf(const std::string& callsign) const {
        std::vector<dd::Colour> out;
        for (const Sent& s : received)
            if (s.type == 13 && s.text == callsign) out.push_back(s.background);
        return out;
    }
    QUdpSocket socket;
    std::vector<Sent> received;
};

dd::Colour wire(const QColor& c) {
    return dd::Colour::rgb(uint8_t(c.red()), uint8_t(c.green()), uint8_t(c.blue()));
}

// The prefix file, the entities' places and continents, and a log where the
// United States are confirmed in FT8 on 20 m and France worked in SSB on 40 m.
void writeReference(testing_support::RunningLogBase& r) {
    std::vector<std::string> prefixes;
    for (auto [call, name, dxcc] : {std::tuple{"F", "France", "F"},
                                    {"K", "United States", "K"},
                                    {"VP8", "Falkland Is.", "VP8"}})
        prefixes.push_back(dxcc::buildPrefixEntry(call, name, dxcc));
    r.writePrefixes(prefixes);
    r.write(QString::fromStdString(std::string(dxcc::kEntityDataFileName)),
            dxcc::formatEntityData({{"F", "France", 46, 2, "EU", 14, 27, 1, 227},
                                    {"K", "United States", 37, -91, "NA", 5, 8, -5, 291},
                                    {"VP8", "Falkland Is.", -51.6, -59, "SA", 13, 16, -3, 141}}));
    r.writeLog({logLine("K1ABC", "01/01/24", "FT8", "14 Mhz ", "K", "United States", '*'),
                logLine("F5AA", "02/01/24", "SSB", "7.0 Mhz", "F", "France", ' ')});
}

class DigitalWindowTest : public testing_support::RunningLog {
protected:
    void SetUp() override {
        writeReference(*this);
        QUdpSocket probe;
        ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
        port = probe.localPort();
        probe.close();
        t.settings->set("Setup ", "WSJTX Port", std::to_string(port));
        t.settings->set("Setup F6XYZ", "Locator", "JN18du");
        start();
        w->Mnu_Trafic_Numerique->trigger();
        digital = window<ui::DigitalWindow>("Trafic_Numerique");
        ASSERT_NE(digital, nullptr);
        ASSERT_TRUE(feed().link().listening());
        send(dg::heartbeat("WSJT-X"));
        send(dg::status("WSJT-X", 14'074'000, "FT8"));
    }
    ui::DigitalFeed& feed() { return w->liveLinks()->digitalFeed(); }
    void send(const std::string& d) { decoder.send(d, port); }
    // Decodes of one period; waits until the list shows `rows` rows.
    void hear(const std::vector<std::string>& messages, int rows, std::uint32_t at = 36'000'000) {
        for (const std::string& m : messages) send(dg::decode("WSJT-X", at, -10, m));
        ASSERT_TRUE(QTest::qWaitFor([&] { return shown()->rowCount() == rows; }, 5000))
            << shown()->rowCount();
    }
    QAbstractItemModel* shown() const { return digital->Liste_Decodes->model(); }
    QString cell(int row, int column) const {
        return shown()->index(row, column).data().toString();
    }
    QStringList column(int column) const {
        QStringList out;
        for (int r = 0; r < shown()->rowCount(); ++r) out << cell(r, column);
        return out;
    }
    int rowOf(const QString& callsign) const {
        return int(column(Col::Callsign).indexOf(callsign));
    }
    QString statuses(int row) const {
        return cell(row, Col::EntityStatus) + cell(row, Col::BandStatus) +
               cell(row, Col::ModeStatus);
    }
    QString statusBarText() const { return w->statusBar()->currentMessage(); }

    quint16 port = 0;
    FakeDecoder decoder;
    ui::DigitalWindow* digital = nullptr;
};

TEST_F(DigitalWindowTest, EachDecodeShowsWhatAContactWouldBring) {
    hear({"CQ K9XYZ EN37", "CQ F5XYZ JN18", "CQ VP8LP GD18", "TNX BOB 73 GL",
          "CQ VP8LP GD18"},  // decoded twice in the period: one row
         4);
    EXPECT_EQ(column(Col::Callsign), (QStringList{"", "VP8LP", "F5XYZ", "K9XYZ"}));
    const int vp8 = rowOf("VP8LP");
    EXPECT_EQ(statuses(vp8), "NNN");
    EXPECT_EQ(statuses(rowOf("F5XYZ")), "WNN");
    EXPECT_EQ(statuses(rowOf("K9XYZ")), "CCC");
    EXPECT_EQ(cell(vp8, Col::Entity), "Falkland Is.");
    EXPECT_EQ(cell(vp8, Col::Continent), "SA");
    EXPECT_EQ(cell(vp8, Col::Time), "10:00:00");
    EXPECT_EQ(cell(vp8, Col::Snr), "-10");
    EXPECT_EQ(cell(vp8, Col::DeltaTime), "0.2");
    EXPECT_EQ(cell(vp8, Col::Offset), "1200");
    EXPECT_FALSE(cell(vp8, Col::Heading).isEmpty());
    EXPECT_GT(cell(vp8, Col::Km).toInt(), 12'000);
    // The cluster's colours; the new entity in bold, told in the status bar.
    const auto background = [&](int row) {
        return shown()->index(row, 0).data(Qt::BackgroundRole).value<QColor>();
    };
    EXPECT_EQ(background(vp8), ui::kNewEntityLight);
    EXPECT_EQ(background(rowOf("F5XYZ")), ui::kNewSlotLight);
    EXPECT_EQ(background(rowOf("K9XYZ")), ui::kConfirmedLight);
    EXPECT_TRUE(shown()->index(vp8, Col::Callsign).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_FALSE(shown()->index(rowOf("F5XYZ"), 0).data(Qt::FontRole).value<QFont>().bold());
    EXPECT_EQ(statusBarText(), "Nouvelle contrée entendue : VP8LP (Falkland Is.)");
    // The decoder's line, and the entry form on its band, FT8 as a data mode.
    EXPECT_EQ(digital->Decodeurs->text(), "WSJT-X : 14 Mhz FT8");
    EXPECT_EQ(w->entryForm()->Bande_A->currentText().trimmed(), "14 Mhz");
    EXPECT_EQ(w->entryForm()->Mode_A->currentText(), "DIG");
    // Highlights: once per callsign and colour, none for what brings nothing.
    ASSERT_TRUE(
        decoder.receiveUntil([&](auto&) { return decoder.highlightsOf("F5XYZ").size() == 1; }));
    EXPECT_EQ(decoder.highlightsOf("VP8LP"), (std::vector<dd::Colour>{wire(ui::kNewEntityLight)}));
    EXPECT_EQ(decoder.highlightsOf("F5XYZ"), (std::vector<dd::Colour>{wire(ui::kNewSlotLight)}));
    EXPECT_TRUE(decoder.highlightsOf("K9XYZ").empty());
    // A newer period goes on top.
    hear({"CQ VP8LP GD18"}, 5, 36'015'000);
    EXPECT_EQ(cell(0, Col::Time), "10:00:15");
}

TEST_F(DigitalWindowTest, FiltersShowWhatTheOperatorAsks) {
    hear({"CQ K9XYZ EN37", "CQ F5XYZ JN18", "K9XYZ VP8LP -12", "F5XYZ W1AW R-05"}, 4);
    // A second decoder on 40 m.
    send(dg::heartbeat("JTDX"));
    send(dg::status("JTDX", 7'074'000, "FT8"));
    send(dg::decode("JTDX", 36'000'000, -3, "CQ F5ZZZ JN03"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown()->rowCount() == 5; }, 5000));
    struct Case {
        QCheckBox* box;
        QStringList callsigns;
    };
    const Case cases[] = {
        {digital->Filtre_CQ, {"F5ZZZ", "F5XYZ", "K9XYZ"}},
        {digital->Filtre_Utile, {"F5ZZZ", "VP8LP", "F5XYZ"}},
        // JTDX spoke last: its band.
        {digital->Filtre_Bande_Decodeur, {"F5ZZZ"}},
        {digital->Filtre_Continent, {"W1AW", "VP8LP", "K9XYZ"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.box->text().toStdString());
        c.box->click();
        EXPECT_EQ(column(Col::Callsign), c.callsigns);
        c.box->click();
    }
    EXPECT_EQ(shown()->rowCount(), 5);
}

TEST_F(DigitalWindowTest, DoubleClickRepliesToTheDecoderAndFillsTheForm) {
    hear({"CQ VP8LP GD18", "CQ K9XYZ EN37"}, 2);
    QTableView* view = digital->Liste_Decodes;
    const QModelIndex index = shown()->index(rowOf("VP8LP"), Col::Callsign);
    const QPoint at = view->visualRect(index).center();
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, at);
    QTest::mouseDClick(view->viewport(), Qt::LeftButton, {}, at);
    ASSERT_TRUE(decoder.receiveUntil([](const std::vector<Sent>& got) {
        return std::any_of(got.begin(), got.end(), [](const Sent& s) { return s.type == 4; });
    }));
    const auto reply = std::find_if(decoder.received.begin(), decoder.received.end(),
                                    [](const Sent& s) { return s.type == 4; });
    EXPECT_EQ(reply->id, "WSJT-X");
    EXPECT_EQ(reply->text, "CQ VP8LP GD18");
    ui::EntryForm* form = w->entryForm();
    EXPECT_EQ(form->Ind_A->text(), "VP8LP");
    EXPECT_EQ(form->Prefixe_A->text(), "VP8");
    takeMessages();
    // Enter on another row does the same.
    form->Efface_A->click();
    view->setFocus();
    view->setCurrentIndex(shown()->index(rowOf("K9XYZ"), 0));
    QTest::keyClick(view, Qt::Key_Return);
    EXPECT_EQ(form->Ind_A->text(), "K9XYZ");
}

TEST_F(DigitalWindowTest, TheDecodersDxCallGoesIntoTheForm) {
    // The operator double-clicked VP8LP in the decoder.
    send(dg::status("WSJT-X", 14'074'000, "FT8", "VP8LP"));
    ASSERT_TRUE(QTest::qWaitFor([&] { return w->entryForm()->Ind_A->text() == "VP8LP"; }, 5000));
    EXPECT_EQ(w->entryForm()->Pays_A->text().trimmed(), "Falkland Is.");
}

TEST_F(DigitalWindowTest, ALoggedContactGoesIntoTheLogOnceAndRecolours) {
    hear({"CQ VP8LP GD18"}, 1);
    ASSERT_TRUE(
        decoder.receiveUntil([&](auto&) { return decoder.highlightsOf("VP8LP").size() == 1; }));
    const size_t before = t.session.log().size();
    const std::string adif =
        "<call:5>VP8LP <qso_date:8>20240301 <time_on:6>101500 <band:3>20m <mode:3>FT8 "
        "<rst_sent:3>-10 <rst_rcvd:3>-12 <eor>";
    send(dg::loggedAdif("WSJT-X", adif));
    send(dg::loggedAdif("WSJT-X", adif));  // the same contact again
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return w->Liste_DXCC->model()->rowCount() == int(before) + 1; }, 5000));
    EXPECT_EQ(t.session.log().size(), before + 1);
    EXPECT_TRUE(statusBarText().startsWith("QSO enregistré depuis WSJT-X : VP8LP"))
        << statusBarText().toStdString();
    EXPECT_EQ(statuses(0), "WWW");
    EXPECT_EQ(shown()->index(0, 0).data(Qt::BackgroundRole).value<QColor>(), ui::kWorkedLight);
    // The decoder's window follows, and loses the colours when the program quits.
    ASSERT_TRUE(
        decoder.receiveUntil([&](auto&) { return decoder.highlightsOf("VP8LP").size() == 2; }));
    EXPECT_EQ(decoder.highlightsOf("VP8LP").back(), wire(ui::kWorkedLight));
    w.reset();
    ASSERT_TRUE(
        decoder.receiveUntil([&](auto&) { return decoder.highlightsOf("VP8LP").size() == 3; }));
    EXPECT_FALSE(decoder.highlightsOf("VP8LP").back().valid);
}

TEST_F(DigitalWindowTest, QuittingFromTheMenuTakesTheColoursAway) {
    hear({"CQ VP8LP GD18"}, 1);
    ASSERT_TRUE(
        decoder.receiveUntil([&](auto&) { return decoder.highlightsOf("VP8LP").size() == 1; }));
    // The menu's quit ends the process where it stands: no destructor runs
    // after it, so the decoder must have heard the clearing before.
    w->Mnu_Quitter->trigger();
    EXPECT_EQ(t.quitCodes, QList<int>{0});
    ASSERT_TRUE(
        decoder.receiveUntil([&](auto&) { return decoder.highlightsOf("VP8LP").size() == 2; }));
    EXPECT_FALSE(decoder.highlightsOf("VP8LP").back().valid);
}

TEST_F(DigitalWindowTest, AskingFirstPutsTheContactInTheFormForEnter) {
    t.settings->set("Setup ", "WSJTX Demander", "Oui");
    feed().settingsChanged();
    const size_t before = t.session.log().size();
    send(dg::loggedAdif("WSJT-X",
                        "<call:5>VP8LP <name:3>Bob <qso_date:8>20240301 <time_on:4>1015 "
                        "<band:3>20m <mode:3>FT8 <rst_sent:3>-10 <rst_rcvd:3>-12 <eor>"));
    ui::EntryForm* form = w->entryForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Ind_A->text() == "VP8LP"; }, 5000));
    EXPECT_EQ(t.session.log().size(), before);
    // Until the operator is done with it, a kill would find it in the pending file.
    const QString pendingFile = QString::fromUtf8(dxcc::kPendingContactsFileName.data());
    EXPECT_NE(read(pendingFile).find("<call:5>VP8LP"), std::string::npos) << read(pendingFile);
    EXPECT_EQ(form->Mode_A->currentText(), "FT8");
    EXPECT_EQ(form->Date_A->text(), "01/03/24");
    EXPECT_EQ(form->Heure_A->text(), "10:15");
    EXPECT_EQ(form->RST_A->text(), "-12");
    EXPECT_EQ(form->Prenom_A->text(), "BOB");
    t.dialogs->answers.push_back(true);  // "Valider ce QSO ?"
    QTest::keyClick(form->Valide_A, Qt::Key_Return);
    ASSERT_EQ(t.session.log().size(), before + 1) << takeMessages().join("|").toStdString();
    EXPECT_NE(t.session.log().record(before).find("VP8LP"), std::string::npos);
    EXPECT_NE(t.session.log().record(before).find("FT8"), std::string::npos);
    ASSERT_TRUE(QTest::qWaitFor([&] { return read(pendingFile) == ""; }, 5000))
        << read(pendingFile);
}

// Contacts the operator did not see before the program ended are offered
// again at the next start, one after the other; one the operator clears is
// gone for good.
TEST_F(DigitalWindowTest, AskingFirstOffersAgainWhatAKillLeft) {
    t.settings->set("Setup ", "WSJTX Demander", "Oui");
    feed().settingsChanged();
    for (const char* call : {"VP8LP", "K9XYZ"})
        send(dg::loggedAdif("WSJT-X", std::string("<call:5>") + call +
                                          "<qso_date:8>20240301<time_on:4>1015"
                                          "<band:3>20m<mode:3>FT8<eor>"));
    ui::EntryForm* form = w->entryForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Ind_A->text() == "VP8LP"; }, 5000));
    const QString pendingFile = QString::fromUtf8(dxcc::kPendingContactsFileName.data());
    const auto holds = [&](const char* call) {
        return read(pendingFile).find(call) != std::string::npos;
    };
    ASSERT_TRUE(QTest::qWaitFor([&] { return holds("K9XYZ"); }, 5000));
    const size_t before = t.session.log().size();

    w.reset();
    start();
    form = w->entryForm();
    ASSERT_TRUE(QTest::qWaitFor([&] { return form->Ind_A->text() == "VP8LP"; }, 5000));
    QTest::mouseClick(form->Efface_A, Qt::LeftButton);
    EXPECT_EQ(form->Ind_A->text(), "K9XYZ");
    EXPECT_FALSE(holds("VP8LP"));
    EXPECT_TRUE(holds("K9XYZ"));
    EXPECT_EQ(t.session.log().size(), before);
}

// The data folder held by another copy of the program from the start: the
// contacts wait in the pending file, and the operator is told how many.
TEST(DigitalFolderHeld, ContactsWaitAndTheOperatorIsToldHowMany) {
    testing_support::RunningLogBase r;
    writeReference(r);
    // (The test's session holds the folder; a second session stands for the
    // program that does not.)
    QUdpSocket probe;
    ASSERT_TRUE(probe.bind(QHostAddress::LocalHost, 0));
    const quint16 port = probe.localPort();
    probe.close();
    r.t.settings->set("Setup ", "WSJTX Port", std::to_string(port));
    dxcc::LogSession held(ui::toPath(r.t.dir.path()), r.t.settings);
    ASSERT_NE(held.claimDataFolder(), dxcc::DataFolderLock::Outcome::Held);
    ui::MainWindow main(r.t.ctx, held);
    main.startUp(held.startUp({}));
    main.Mnu_Trafic_Numerique->trigger();
    FakeDecoder decoder;
    decoder.send(dg::heartbeat("WSJT-X"), port);
    for (const char* call : {"VP8LP", "K9XYZ"})
        decoder.send(dg::loggedAdif("WSJT-X", std::string("<call:5>") + call +
                                                  "<qso_date:8>20240301<time_on:4>1015"
                                                  "<band:3>20m<mode:3>FT8<eor>"),
                     port);
    ASSERT_TRUE(QTest::qWaitFor(
        [&] { return main.Etat_WSJTX->text() == "2 QSO en attente d'enregistrement dans le log."; },
        5000))
        << main.Etat_WSJTX->text().toStdString();
    EXPECT_NE(r.read(QString::fromStdString(std::string(dxcc::kPendingContactsFileName))),
              "<missing>");
}

// A hostile sender: random bytes and made-up decodes, as fast as it can.
TEST_F(DigitalWindowTest, AFloodLeavesTheWindowAnswering) {
    const auto residentKb = [] {
        std::ifstream status("/proc/self/status");
        std::string line;
        while (std::getline(status, line))
            if (line.rfind("VmRSS:", 0) == 0) return std::stol(line.substr(6));
        return 0L;
    };
    const long before = residentKb();
    QRandomGenerator random(42);
    QElapsedTimer clock;
    clock.start();
    const quint64 readBefore = feed().link().datagramsRead();
    // From another thread, as from another program, while the window's
    // thread turns its event loop.
    std::atomic<bool> done = false;
    std::thread flooder([&] {
        QUdpSocket socket;
        for (int i = 0; i < 100'000; ++i) {
            std::string d;
            if (i % 2) {
                d.resize(random.bounded(1, 300));
                for (char& c : d) c = char(random.bounded(256));
            } else {
                d = dg::decode("WSJT-X", 36'000'000 + std::uint32_t(i / 100) * 15'000, -10,
                               "CQ K" + std::to_string(i) + "ZZ FN42");
            }
            socket.writeDatagram(d.data(), qint64(d.size()), QHostAddress::LocalHost, port);
        }
        done = true;
    });
    EXPECT_TRUE(QTest::qWaitFor([&] { return done.load(); }, 60'000));
    flooder.join();
    ASSERT_TRUE(QTest::qWaitFor([&] { return shown()->rowCount() > 0; }, 10000));
    // The window still answers: a filter applies at once.
    digital->Filtre_CQ->click();
    EXPECT_GT(shown()->rowCount(), 0);
    EXPECT_LE(shown()->rowCount(), int(dd::DecodeRows::kMaxRows));
    // And still hears its decoder (sent again until heard: the system drops
    // what comes while its buffer is full).
    digital->Filtre_CQ->click();
    EXPECT_TRUE(QTest::qWaitFor(
        [&] {
            send(dg::decode("WSJT-X", 86'399'000, -1, "CQ VP8LP GD18"));
            QTest::qWait(20);
            return rowOf("VP8LP") >= 0;
        },
        5000))
        << feed().link().datagramsRead() - readBefore << " read";
    std::printf("[ flood    ] %llu datagrams read, %d rows, %lld ms, memory %ld kB -> %ld kB\n",
                static_cast<unsigned long long>(feed().link().datagramsRead() - readBefore),
                shown()->rowCount(), static_cast<long long>(clock.elapsed()), before, residentKb());
}

}  // namespace
