#pragma once

#include <QObject>
#include <QString>
#include <QThread>
#include <QTimer>
#include <memory>
#include <optional>
#include <vector>

#include "core/radio/radio_follow.h"

struct s_rig;

namespace ui {

// How to reach the radio: a Hamlib model, its serial device (or host:port of
// a running rigctld for the network model) and the serial speed.
struct RigSettings {
    int model = 0;  // 0: no radio
    QString port;
    int speed = 0;  // 0: the model's default
};

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
    bool tune(int64_t hertz) override;

private:
    RigSettings settings_;
    s_rig* rig_ = nullptr;
    bool open_ = false;
};

// Polls the radio about once a second on a thread of its own; the window's
// thread hears of it through queued signals and is never held up by a slow
// or silent radio. A radio that stops answering is closed and opened again.
class RadioLink : public QObject {
    Q_OBJECT
public:
    explicit RadioLink(QObject* parent = nullptr, int intervalMs = 1000);
    ~RadioLink() override;
    // Starts following the radio (a model of 0 stops).
    void start(const RigSettings& settings);
    void stop();
    // Asks the radio to go to a frequency.
    void tune(qint64 hertz);
    bool running() const { return worker_ != nullptr; }

signals:
    void reading(qint64 hertz, const QString& mode);
    // The status field's text: the frequency, or the French error.
    void status(const QString& text);

private:
    int intervalMs_;
    QThread* thread_ = nullptr;
    QObject* worker_ = nullptr;
};

}  // namespace ui
