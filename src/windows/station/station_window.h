#pragma once

#include <QDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <functional>
#include <string>

#include "platform/app_context.h"

namespace ui {

// "Selection Indicaif": sets the station callsign. Validating a callsign that has
// no log yet creates its empty log.
class StationWindow : public QDialog {
    Q_OBJECT
public:
    // `onValidated` receives the accepted callsign in stored form and switches the
    // main window to that station.
    StationWindow(AppContext& ctx, std::function<void(const std::string&)> onValidated,
                  QWidget* parent = nullptr);

    QLabel* Label2;
    QLabel* Label3;
    QLabel* Label5;
    QLineEdit* New_Indicatif;
    QPushButton* Validation;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void validate();

    AppContext& ctx_;
    std::function<void(const std::string&)> onValidated_;
};

}  // namespace ui
