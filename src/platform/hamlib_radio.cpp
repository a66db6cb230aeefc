#include "platform/hamlib_radio.h"

#include <dlfcn.h>
#include <hamlib/rig.h>

#include <QFileInfo>
#include <QMetaObject>
#include <algorithm>
#include <chrono>
#include <clocale>
#include <condition_variable>
#include <mutex>
#include <system_error>
#include <thread>

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
    decltype(&::rig_set_mode) rig_set_mode;
    decltype(&::rig_strrmode) rig_strrmode;
    decltype(&::rig_parse_mode) rig_parse_mode;
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
                     resolve(library, "rig_set_mode", c.rig_set_mode) &&
                     resolve(library, "rig_strrmode", c.rig_strrmode) &&
                     resolve(library, "rig_parse_mode", c.rig_parse_mode);
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
    // A frequency no radio can be on is a broken answer, not a reading.
    const std::optional<int64_t> hertz = dxcc::radio::radioHertz(frequency);
    if (!hertz) return std::nullopt;
    rmode_t mode = RIG_MODE_NONE;
    pbwidth_t width = 0;
    dxcc::radio::RadioReading reading;
    reading.hertz = *hertz;
    if (hl->rig_get_mode(rig_, RIG_VFO_CURR, &mode, &width) == RIG_OK && mode != RIG_MODE_NONE)
        reading.mode = hl->rig_strrmode(mode);
    return reading;
}

bool HamlibRadio::tune(int64_t hertz, std::string_view mode) {
    if (!open_) return false;
    const bool tuned = hamlib()->rig_set_freq(rig_, RIG_VFO_CURR, freq_t(hertz)) == RIG_OK;
    return (mode.empty() || setMode(mode)) && tuned;
}

bool HamlibRadio::setMode(std::string_view mode) {
    const HamlibCalls* hl = hamlib();
    const rmode_t wanted = hl->rig_parse_mode(std::string(mode).c_str());
    if (wanted == RIG_MODE_NONE || rig_->caps->set_mode == nullptr) return false;
    return hl->rig_set_mode(rig_, RIG_VFO_CURR, wanted, RIG_PASSBAND_NOCHANGE) == RIG_OK;
}

bool HamlibRadio::hasDataMode() const {
    if (!open_ || rig_->caps->set_mode == nullptr) return false;
    // The modes of the radio's receive ranges, as the model (or, for the
    // network model, the radio behind rigctld) describes them.
    rmode_t modes = rig_->state.mode_list;
    for (const freq_range_t& range : rig_->state.rx_range_list) {
        if (RIG_IS_FRNG_END(range)) break;
        modes |= range.modes;
    }
    return (modes & RIG_MODE_PKTUSB) != 0;
}

// What the window's side and the radio's thread share. The thread keeps it as
// long as it runs, so the window's side can let go of it at any moment.
struct RadioChannel {
    std::mutex mutex;
    std::condition_variable wake;
    bool stopping = false;
    // The latest tune asked for and not yet made: only the last one counts.
    std::optional<std::pair<int64_t, std::string>> tune;
    // Null once the link let go: nothing is posted any more.
    RadioLink* link = nullptr;
    unsigned generation = 0;

    void post(const RadioLink::Report& report) {
        const std::lock_guard lock(mutex);
        if (link == nullptr) return;
        QMetaObject::invokeMethod(
            link, [to = link, g = generation, report] { to->take(g, report); },
            Qt::QueuedConnection);
    }
};

namespace {

// The radio's thread: a poll a period, a tune as soon as it is asked for.
class RadioWorker {
public:
    RadioWorker(std::shared_ptr<RadioChannel> channel, std::unique_ptr<HamlibRadio> radio,
                std::chrono::milliseconds interval)
        : channel_(std::move(channel)), radio_(std::move(radio)), interval_(interval) {}

    void run() {
        auto next = std::chrono::steady_clock::now();
        while (true) {
            std::optional<std::pair<int64_t, std::string>> tune;
            {
                std::unique_lock lock(channel_->mutex);
                channel_->wake.wait_until(lock, next,
                                          [this] { return channel_->stopping || channel_->tune; });
                if (channel_->stopping) break;
                tune = std::exchange(channel_->tune, std::nullopt);
            }
            if (tune && radio_->isOpen()) radio_->tune(tune->first, tune->second);
            poll();
            next = std::chrono::steady_clock::now() + interval_;
        }
        radio_->close();
    }

private:
    void poll() {
        RadioLink::Report report;
        if (auto error = radio_->open()) {
            last_ = {};
            report.status = *error;
            return channel_->post(report);
        }
        if (!dataModeTold_) {
            report.hasDataMode = radio_->hasDataMode();
            dataModeTold_ = true;
        }
        const auto r = radio_->read();
        if (!r) {
            // A radio switched off or unplugged: try it afresh next time.
            radio_->close();
            dataModeTold_ = false;
            last_ = {};
            report.status = fromView(msg::kRadioNoAnswer);
            return channel_->post(report);
        }
        if (*r != last_) report.reading = last_ = *r;
        report.status = QString::fromStdString(dxcc::radio::frequencyText(r->hertz)) +
                        (r->mode.empty() ? QString() : "  " + QString::fromStdString(r->mode));
        channel_->post(report);
    }

    std::shared_ptr<RadioChannel> channel_;
    std::unique_ptr<HamlibRadio> radio_;
    std::chrono::milliseconds interval_;
    dxcc::radio::RadioReading last_;
    bool dataModeTold_ = false;
};

}  // namespace

RadioLink::RadioLink(QObject* parent, int intervalMs, int answerMs)
    : QObject(parent), intervalMs_(intervalMs), silence_(new QTimer(this)) {
    // Each report of the radio's thread starts the count again; a thread that
    // stays silent past it is stuck in a call to the radio.
    silence_->setSingleShot(true);
    silence_->setInterval(intervalMs + answerMs);
    connect(silence_, &QTimer::timeout, this,
            [this] { showStatus(fromView(msg::kRadioNoAnswer)); });
}

RadioLink::~RadioLink() {
    stop();
}

void RadioLink::start(const RigSettings& settings) {
    stop();
    if (settings.model <= 0) return showStatus(fromView(msg::kRadioNone));
    showStatus(fromView(msg::kRadioConnecting));
    hasDataMode_ = false;
    channel_ = std::make_shared<RadioChannel>();
    channel_->link = this;
    channel_->generation = ++generation_;
    // Made here, on the windows' thread: making it loads Hamlib, which sets
    // the C locale, and that must not change under another thread.
    auto radio = std::make_unique<HamlibRadio>(settings);
    auto worker = std::make_shared<RadioWorker>(channel_, std::move(radio),
                                                std::chrono::milliseconds(intervalMs_));
    // Never joined: a radio stuck in a call keeps only its own thread, which
    // ends when the call returns; the program quits without it.
    try {
        std::thread([worker] { worker->run(); }).detach();
    } catch (const std::system_error&) {
        channel_.reset();
        return showStatus(fromView(msg::kRadioOpenFailed).arg(settings.model));
    }
    silence_->start();
}

void RadioLink::stop() {
    silence_->stop();
    if (!channel_) return;
    {
        const std::lock_guard lock(channel_->mutex);
        channel_->stopping = true;
        channel_->link = nullptr;
    }
    channel_->wake.notify_all();
    channel_.reset();
}

void RadioLink::tune(qint64 hertz, const QString& mode) {
    if (!channel_) return;
    {
        const std::lock_guard lock(channel_->mutex);
        channel_->tune.emplace(hertz, mode.toStdString());
    }
    channel_->wake.notify_all();
}

void RadioLink::take(unsigned generation, const Report& report) {
    // A report of a radio since let go of, still on its way.
    if (!channel_ || generation != generation_) return;
    silence_->start();
    if (report.hasDataMode) hasDataMode_ = *report.hasDataMode;
    if (report.reading)
        emit reading(report.reading->hertz, QString::fromStdString(report.reading->mode));
    showStatus(report.status);
}

void RadioLink::showStatus(const QString& text) {
    if (text == lastStatus_) return;
    lastStatus_ = text;
    emit status(text);
}

}  // namespace ui
