#pragma once

#include <QDialog>
#include <QLabel>
#include <QPushButton>
#include <functional>

#include "platform/app_context.h"

namespace ui {

// "Gestiom erreur": the station's log file has gone. Lets the operator forget the
// station callsign so the next start asks for it again, then quit.
class RecoveryWindow : public QDialog {
    Q_OBJECT
public:
    // `forgetStation` is what "Initialiser" does.
    RecoveryWindow(AppContext& ctx, const QString& stationCallsign,
                   std::function<void()> forgetStation, QWidget* parent = nullptr);

    QLabel* Ind_Station1;
    QLabel* Ind_Station2;
    QLabel* Err_Departement;
    QPushButton* Initialisation;
    QPushButton* Quitter;

protected:
    // Closing by the frame ends the program as "Quitter" does: the interrupted
    // load cannot go on.
    void reject() override;

private:
    void initialise();
    void quitProgram();

    AppContext& ctx_;
    std::function<void()> forgetStation_;
};

}  // namespace ui
