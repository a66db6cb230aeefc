#include "platform/hamlib_radio.h"

#include <hamlib/rig.h>

#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <clocale>
#include <mutex>

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::cluster::messages;

namespace {

// Hamlib's backend list and debug level are global: set them up once.
// Opening a radio, Hamlib switches the C locale to "C" and back, keeping the
// name setlocale gave it across the switch: glibc frees that name unless it is
// "C" itself, so the switch back reads freed memory (and the change is made
// for the whole process from the radio's thread). With the C locale "C" from
// the start, the switch changes nothing. Qt reads the operator's locale from
// the environment and converts text as UTF-8 on its own, not through it.
void prepareHamlib() {
    static std::once_flag once;
    std::call_once(once, [] {
        std::setlocale(LC_ALL, "C");
        rig_set_debug(RIG_DEBUG_NONE);
        rig_load_all_backends();
    });
}

bool usesSerialDevice(int model) { return model != kRigctldModel && model != kDummyRigModel; }

}  // namespace

std::vector<RigModel> hamlibRigModels() {
    prepareHamlib();
    std::vector<RigModel> models;
    rig_list_foreach(
        [](const rig_caps* caps, rig_ptr_t data) -> int {
            auto* out = static_cast<std::vector<RigModel>*>(data);
            out->push_back({int(caps->rig_model), QString::fromUtf8(caps->mfg_name) + " " +
                                                      QString::fromUtf8(caps->model_name)});
            return 1;
        },
        &models);
    std::sort(models.begin(), models.end(), [](const RigModel& a, const RigModel& b) {
        const int c = QString::compare(a.name, b.name, Qt::CaseInsensitive);
        return c != 0 ? c < 0 : a.id < b.id;
    });
    return models;
}

HamlibRadio::HamlibRadio(RigSettings settings) : settings_(std::move(settings)) { prepareHamlib(); }

HamlibRadio::~HamlibRadio() { close(); }

std::optional<QString> HamlibRadio::open() {
    if (open_) return std::nullopt;
    if (settings_.model <= 0) return fromView(msg::kRadioNone);
    if (usesSerialDevice(settings_.model) &&
        (settings_.port.isEmpty() || !QFileInfo::exists(settings_.port)))
        return fromView(msg::kRadioPortMissing).arg(settings_.port);
    if (!rig_) rig_ = rig_init(rig_model_t(settings_.model));
    if (!rig_) return fromView(msg::kRadioOpenFailed).arg(settings_.model);
    if (!settings_.port.isEmpty()) {
        const QByteArray port = settings_.port.toLocal8Bit();
        rig_set_conf(rig_, rig_token_lookup(rig_, "rig_pathname"), port.constData());
    }
    if (settings_.speed > 0)
        rig_set_conf(rig_, rig_token_lookup(rig_, "serial_speed"),
                     QByteArray::number(settings_.speed).constData());
    const int result = rig_open(rig_);
    if (result != RIG_OK) {
        rig_cleanup(rig_);
        rig_ = nullptr;
        return fromView(msg::kRadioNoAnswer);
    }
    open_ = true;
    return std::nullopt;
}

void HamlibRadio::close() {
    if (!rig_) return;
    if (open_) rig_close(rig_);
    rig_cleanup(rig_);
    rig_ = nullptr;
    open_ = false;
}

std::optional<dxcc::radio::RadioReading> HamlibRadio::read() {
    if (!open_) return std::nullopt;
    freq_t frequency = 0;
    if (rig_get_freq(rig_, RIG_VFO_CURR, &frequency) != RIG_OK) return std::nullopt;
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    dxcc::radio::RadioReading reading;
    reading.hertz = static_cast<int64_t>(frequency);
    if (rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width) == RIG_OK && mode != RIG_MODE_NONE)
        reading.mode = rig_strrmode(mode);
    return reading;
}

bool HamlibRadio::tune(int64_t hertz) {
    return open_ && rig_set_freq(rig_, RIG_VFO_CURR, freq_t(hertz)) == RIG_OK;
}

namespace {

// Lives on the radio's thread: owns the handle, the poll timer.
class RadioWorker : public QObject {
    Q_OBJECT
public:
    RadioWorker(RigSettings settings, int intervalMs) : radio_(settings), intervalMs_(intervalMs) {}

    void begin() {
        timer_ = new QTimer(this);
        connect(timer_, &QTimer::timeout, this, &RadioWorker::poll);
        timer_->start(intervalMs_);
        poll();
    }
    void end() {
        if (timer_) timer_->stop();
        radio_.close();
    }
    void tune(qint64 hertz) {
        if (radio_.tune(hertz)) poll();
    }

signals:
    void reading(qint64 hertz, const QString& mode);
    void status(const QString& text);

private:
    void poll() {
        if (auto error = radio_.open()) {
            last_ = {};
            report(*error);
            return;
        }
        const auto r = radio_.read();
        if (!r) {
            // A radio switched off or unplugged: try it afresh next time.
            radio_.close();
            last_ = {};
            report(fromView(msg::kRadioNoAnswer));
            return;
        }
        if (*r != last_) {
            last_ = *r;
            emit reading(r->hertz, QString::fromStdString(r->mode));
        }
        report(QString::fromStdString(dxcc::radio::frequencyText(r->hertz)) +
               (r->mode.empty() ? QString() : "  " + QString::fromStdString(r->mode)));
    }
    void report(const QString& text) {
        if (text == lastStatus_) return;
        lastStatus_ = text;
        emit status(text);
    }

    HamlibRadio radio_;
    int intervalMs_;
    QTimer* timer_ = nullptr;
    dxcc::radio::RadioReading last_;
    QString lastStatus_;
};

}  // namespace

RadioLink::RadioLink(QObject* parent, int intervalMs) : QObject(parent), intervalMs_(intervalMs) {}

RadioLink::~RadioLink() { stop(); }

void RadioLink::start(const RigSettings& settings) {
    stop();
    if (settings.model <= 0) {
        emit status(fromView(msg::kRadioNone));
        return;
    }
    thread_ = new QThread(this);
    auto* worker = new RadioWorker(settings, intervalMs_);
    worker->moveToThread(thread_);
    worker_ = worker;
    connect(worker, &RadioWorker::reading, this, &RadioLink::reading, Qt::QueuedConnection);
    connect(worker, &RadioWorker::status, this, &RadioLink::status, Qt::QueuedConnection);
    connect(thread_, &QThread::started, worker, &RadioWorker::begin);
    thread_->start();
}

void RadioLink::stop() {
    if (!thread_) return;
    auto* worker = static_cast<RadioWorker*>(worker_);
    QMetaObject::invokeMethod(worker, [worker] { worker->end(); }, Qt::BlockingQueuedConnection);
    thread_->quit();
    thread_->wait();
    delete worker;
    delete thread_;
    worker_ = nullptr;
    thread_ = nullptr;
}

void RadioLink::tune(qint64 hertz) {
    if (auto* worker = static_cast<RadioWorker*>(worker_))
        QMetaObject::invokeMethod(worker, [worker, hertz] { worker->tune(hertz); });
}

}  // namespace ui

#include "hamlib_radio.moc"
