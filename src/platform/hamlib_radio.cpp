#include "platform/hamlib_radio.h"

#include <dlfcn.h>
#include <hamlib/rig.h>

#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <clocale>

#include "core/cluster/cluster_messages.h"
#include "platform/text.h"

namespace ui {

namespace msg = dxcc::cluster::messages;

namespace {

// Hamlib's entry points, found in the library when it is first needed.
struct HamlibCalls {
    decltype(&::rig_set_debug) rig_set_debug;
    decltype(&::rig_load_all_backends) rig_load_all_backends;
    decltype(&::rig_list_foreach) rig_list_foreach;
    decltype(&::rig_init) rig_init;
    decltype(&::rig_set_conf) rig_set_conf;
    decltype(&::rig_token_lookup) rig_token_lookup;
    decltype(&::rig_open) rig_open;
    decltype(&::rig_close) rig_close;
    decltype(&::rig_cleanup) rig_cleanup;
    decltype(&::rig_get_freq) rig_get_freq;
    decltype(&::rig_get_mode) rig_get_mode;
    decltype(&::rig_set_freq) rig_set_freq;
    decltype(&::rig_strrmode) rig_strrmode;
};

template <typename F>
bool resolve(void* library, const char* name, F& call) {
    call = reinterpret_cast<F>(::dlsym(library, name));
    return call != nullptr;
}

std::optional<HamlibCalls> loadHamlib() {
    void* library = ::dlopen(VEL_HAMLIB_SONAME, RTLD_NOW | RTLD_LOCAL);
    if (library == nullptr) return std::nullopt;
    HamlibCalls c{};
    const bool all = resolve(library, "rig_set_debug", c.rig_set_debug) &&
                     resolve(library, "rig_load_all_backends", c.rig_load_all_backends) &&
                     resolve(library, "rig_list_foreach", c.rig_list_foreach) &&
                     resolve(library, "rig_init", c.rig_init) &&
                     resolve(library, "rig_set_conf", c.rig_set_conf) &&
                     resolve(library, "rig_token_lookup", c.rig_token_lookup) &&
                     resolve(library, "rig_open", c.rig_open) &&
                     resolve(library, "rig_close", c.rig_close) &&
                     resolve(library, "rig_cleanup", c.rig_cleanup) &&
                     resolve(library, "rig_get_freq", c.rig_get_freq) &&
                     resolve(library, "rig_get_mode", c.rig_get_mode) &&
                     resolve(library, "rig_set_freq", c.rig_set_freq) &&
                     resolve(library, "rig_strrmode", c.rig_strrmode);
    if (!all) return std::nullopt;  // the library stays loaded: it may be in use elsewhere
    return c;
}

// Hamlib's backend list and debug level are global: set them up once.
// Opening a radio, Hamlib switches the C locale to "C" and back, keeping the
// name setlocale gave it across the switch: glibc frees that name unless it is
// "C" itself, so the switch back reads freed memory (and the change is made
// for the whole process from the radio's thread). With the C locale "C" from
// the start, the switch changes nothing. Qt reads the operator's locale from
// the environment and converts text as UTF-8 on its own, not through it.
// Null when the library cannot be loaded.
const HamlibCalls* hamlib() {
    static const std::optional<HamlibCalls> calls = [] {
        std::optional<HamlibCalls> c = loadHamlib();
        if (c) {
            std::setlocale(LC_ALL, "C");
            c->rig_set_debug(RIG_DEBUG_NONE);
            c->rig_load_all_backends();
        }
        return c;
    }();
    return calls ? &*calls : nullptr;
}

bool usesSerialDevice(int model) {
    return model != kRigctldModel && model != kDummyRigModel;
}

}  // namespace

std::vector<RigModel> hamlibRigModels() {
    std::vector<RigModel> models;
    const HamlibCalls* hl = hamlib();
    if (hl == nullptr) return models;
    hl->rig_list_foreach(
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

// Loaded here, on the thread that makes the radio (the windows'), not on the
// radio's own thread: loading sets the C locale, which must not change under
// another thread.
HamlibRadio::HamlibRadio(RigSettings settings) : settings_(std::move(settings)) { hamlib(); }

HamlibRadio::~HamlibRadio() {
    close();
}

std::optional<QString> HamlibRadio::open() {
    if (open_) return std::nullopt;
    if (settings_.model <= 0) return fromView(msg::kRadioNone);
    if (usesSerialDevice(settings_.model) &&
        (settings_.port.isEmpty() || !QFileInfo::exists(settings_.port)))
        return fromView(msg::kRadioPortMissing).arg(settings_.port);
    const HamlibCalls* hl = hamlib();
    if (hl == nullptr) return fromView(msg::kRadioNoHamlib);
    if (!rig_) rig_ = hl->rig_init(rig_model_t(settings_.model));
    if (!rig_) return fromView(msg::kRadioOpenFailed).arg(settings_.model);
    if (!settings_.port.isEmpty()) {
        const QByteArray port = settings_.port.toLocal8Bit();
        hl->rig_set_conf(rig_, hl->rig_token_lookup(rig_, "rig_pathname"), port.constData());
    }
    if (settings_.speed > 0)
        hl->rig_set_conf(rig_, hl->rig_token_lookup(rig_, "serial_speed"),
                         QByteArray::number(settings_.speed).constData());
    const int result = hl->rig_open(rig_);
    if (result != RIG_OK) {
        hl->rig_cleanup(rig_);
        rig_ = nullptr;
        return fromView(msg::kRadioNoAnswer);
    }
    open_ = true;
    return std::nullopt;
}

void HamlibRadio::close() {
    if (!rig_) return;
    const HamlibCalls* hl = hamlib();  // a handle exists only once the library is loaded
    if (open_) hl->rig_close(rig_);
    hl->rig_cleanup(rig_);
    rig_ = nullptr;
    open_ = false;
}

std::optional<dxcc::radio::RadioReading> HamlibRadio::read() {
    if (!open_) return std::nullopt;
    freq_t frequency = 0;
    const HamlibCalls* hl = hamlib();
    if (hl->rig_get_freq(rig_, RIG_VFO_CURR, &frequency) != RIG_OK) return std::nullopt;
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    dxcc::radio::RadioReading reading;
    reading.hertz = static_cast<int64_t>(frequency);
    if (hl->rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width) == RIG_OK && mode != RIG_MODE_NONE)
        reading.mode = hl->rig_strrmode(mode);
    return reading;
}

bool HamlibRadio::tune(int64_t hertz) {
    return open_ && hamlib()->rig_set_freq(rig_, RIG_VFO_CURR, freq_t(hertz)) == RIG_OK;
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

RadioLink::~RadioLink() {
    stop();
}

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
    QMetaObject::invokeMethod(
        worker, [worker] { worker->end(); }, Qt::BlockingQueuedConnection);
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
