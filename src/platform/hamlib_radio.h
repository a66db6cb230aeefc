#pragma once

#include <QObject>
#include <QString>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "core/radio/radio_follow.h"
#include "core/session/station_settings.h"

struct s_rig;

namespace ui {

// How to reach the radio: a Hamlib model, its serial device (or host:port of
// a running rigctld for the network model) and the serial speed.
struct RigSettings {
    int model = 0;  // 0: no radio
    QString port;
    int speed = 0;  // 0: the model's default
};

// The radio of the settings.
inline RigSettings rigSettingsOf(const dxcc::RadioSettings& radio) {
    return {radio.model, QString::fromStdString(radio.port), radio.speed};
}

// The model number of Hamlib's network radio (a rigctld already running) and
// of its dummy radio.
inline constexpr int kRigctldModel = 2;
inline constexpr int kDummyRigModel = 1;

struct RigModel {
    int id;
    QString name;  // "Yaesu FT-991"
};
// Every model Hamlib knows, by maker then model.
std::vector<RigModel> hamlibRigModels();

// One radio through a Hamlib handle. Not thread-safe: one thread uses it.
class HamlibRadio : public dxcc::radio::Radio {
public:
    explicit HamlibRadio(RigSettings settings);
    ~HamlibRadio() override;
    HamlibRadio(const HamlibRadio&) = delete;
    HamlibRadio& operator=(const HamlibRadio&) = delete;

    // Opens the radio when it is not open; the French error when it cannot.
    std::optional<QString> open();
    void close();
    bool isOpen() const { return open_; }
    std::optional<dxcc::radio::RadioReading> read() override;
    bool tune(int64_t hertz, std::string_view mode) override;
    // Whether the open radio offers a data mode on the upper sideband.
    bool hasDataMode() const;

private:
    bool setMode(std::string_view mode);

    RigSettings settings_;
    s_rig* rig_ = nullptr;
    bool open_ = false;
};

struct RadioChannel;

// Polls the radio about once a second on a thread of its own; the window's
// thread hears of it through queued signals and never waits for the radio:
// neither to start, to stop nor to quit. A radio that stops answering is
// closed and opened again; one that does not answer within `answerMs` (a
// radio stuck in the middle of an answer) is reported as silent, and its
// thread, left to itself, ends whenever the radio lets it go.
class RadioLink : public QObject {
    Q_OBJECT
public:
    static constexpr int kAnswerMs = 4000;

    explicit RadioLink(QObject* parent = nullptr, int intervalMs = 1000, int answerMs = kAnswerMs);
    ~RadioLink() override;
    // Starts following the radio (a model of 0 stops).
    void start(const RigSettings& settings);
    void stop();
    // Asks the radio to go to a frequency, and to a mode unless it is empty
    // (a Hamlib mode name: "CW", "USB", "PKTUSB").
    void tune(qint64 hertz, const QString& mode = {});
    bool running() const { return channel_ != nullptr; }
    // Whether the radio, once opened, told that it has a data mode.
    bool hasDataMode() const { return hasDataMode_; }

    // What the radio's thread tells after each poll.
    struct Report {
        QString status;
        std::optional<dxcc::radio::RadioReading> reading;  // when it changed
        std::optional<bool> hasDataMode;                   // once opened
    };

signals:
    void reading(qint64 hertz, const QString& mode);
    // The status field's text: the frequency, or the French error.
    void status(const QString& text);

private:
    friend struct RadioChannel;
    void take(unsigned generation, const Report& report);
    void showStatus(const QString& text);

    int intervalMs_;
    QTimer* silence_;
    std::shared_ptr<RadioChannel> channel_;
    unsigned generation_ = 0;
    bool hasDataMode_ = false;
    QString lastStatus_;
};

}  // namespace ui
