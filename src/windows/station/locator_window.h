#pragma once

#include <QDialog>
#include <QLineEdit>
#include <QPushButton>
#include <functional>

#include "core/session/station_settings.h"
#include "platform/app_context.h"

namespace ui {

// "Locator de la station": the station's Maidenhead locator (4 or 6
// characters), stored in the station's settings; an empty field removes it.
class LocatorWindow : public QDialog {
    Q_OBJECT
public:
    // `settings`: the station's, which keep the locator; `onChanged` runs
    // after a save.
    LocatorWindow(AppContext& ctx, dxcc::StationSettings& settings, std::function<void()> onChanged,
                  QWidget* parent = nullptr);

    QLineEdit* Locator_Station;
    QPushButton* Valider_Locator;
    QPushButton* Annuler_Locator;

private:
    void validate();

    AppContext& ctx_;
    dxcc::StationSettings& settings_;
    std::function<void()> onChanged_;
};

}  // namespace ui
