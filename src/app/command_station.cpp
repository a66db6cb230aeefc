#include "app/command_station.h"

#include <optional>

#include "app/command_arguments.h"
#include "app/command_output.h"
#include "core/record/station_callsign.h"
#include "core/session/session_messages.h"
#include "platform/file_error_text.h"
#include "platform/text.h"

namespace ui {

namespace {

constexpr std::string_view kSeeHelp = "Tapez « vel_dxcc --help » pour l'aide.\n";

// The settings as a command sees them: the command line changes no setting.
class ReadOnlySettings : public dxcc::SessionSettings {
public:
    explicit ReadOnlySettings(std::shared_ptr<const dxcc::SessionSettings> settings)
        : settings_(std::move(settings)) {}
    std::string get(std::string_view section, std::string_view key,
                    std::string_view defaultValue) const override {
        return settings_ ? settings_->get(section, key, defaultValue) : std::string(defaultValue);
    }
    void set(std::string_view, std::string_view, std::string_view) override {}

private:
    std::shared_ptr<const dxcc::SessionSettings> settings_;
};

}  // namespace

std::shared_ptr<dxcc::SessionSettings> commandSettings(const CommandDefaults& defaults) {
    return std::make_shared<ReadOnlySettings>(defaults.settings);
}

int badUsage(std::ostream& err, const QString& message) {
    write(err, "vel_dxcc : " + message + "\n");
    err << kSeeHelp;
    return kCommandBadUsage;
}

int failure(std::ostream& err, const QString& message) {
    write(err, "vel_dxcc : " + message + "\n");
    return kCommandFailed;
}

QString plainErrorText(const dxcc::FileError& e) {
    QString text = fileErrorText(e);
    text.replace("\r\n", "\n");
    return text;
}

QString plainText(std::string_view utf8) {
    return fromView(utf8).replace("\r\n", "\n");
}

void openDataFolder(dxcc::LogSession& session, const CommandDefaults& defaults, std::ostream& err) {
    const dxcc::FolderOutcome opened = session.openDataFolder(
        defaults.shippedFiles ? defaults.shippedFiles() : std::vector<dxcc::ShippedFile>{});
    if (opened.fileError) write(err, "vel_dxcc : " + plainErrorText(*opened.fileError) + "\n");
    for (const std::string& message : opened.messages)
        write(err, "vel_dxcc : " + plainText(message) + "\n");
}

std::variant<std::unique_ptr<dxcc::LogSession>, int> openStation(const CommandArguments& given,
                                                                 const CommandDefaults& defaults,
                                                                 Access access, std::ostream& err) {
    const QString folder = given.value("--data-dir").value_or(defaults.dataDir());
    const std::optional<QString> station = given.value("--station");
    auto session =
        std::make_unique<dxcc::LogSession>(argumentPath(folder), commandSettings(defaults));
    const dxcc::SessionOutcome opened = session->openStation(
        station ? std::optional(station->trimmed().toStdString()) : std::nullopt);
    if (!opened.ok()) {
        const QString why = opened.messages.empty() ? QString() : fromView(opened.messages[0]);
        return station ? badUsage(err, why) : failure(err, why);
    }
    if (access == Access::Write &&
        session->claimDataFolder() == dxcc::DataFolderLock::Outcome::InUse)
        return failure(err, fromView(dxcc::lock_messages::kAlreadyOpenForImport) + folder);
    openDataFolder(*session, defaults, err);
    const dxcc::LoadOutcome loaded = session->loadLog();
    if (loaded.kind != dxcc::LoadOutcome::Kind::Loaded)
        return failure(err, "lecture du log de la station " +
                                fromCp1252(dxcc::displayForm(session->station())) +
                                " impossible.\n" + plainErrorText(*loaded.error));
    return session;
}

}  // namespace ui
