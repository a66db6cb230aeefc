#pragma once

#include <QDateTime>
#include <QString>
#include <functional>
#include <memory>

namespace ui {

class Clock {
public:
    virtual ~Clock() = default;
    virtual QDateTime utcNow() const = 0;
    virtual QDateTime localNow() const = 0;
};

// Every message the operator sees goes through here, so tests can read and answer them.
class Dialogs {
public:
    virtual ~Dialogs() = default;
    // OK button, no icon, program title unless `title` is given.
    virtual void inform(const QString& text, const QString& title = QString()) = 0;
    // Yes and No, no icon; true on Yes. Enter answers Yes.
    virtual bool askYesNo(const QString& text) = 0;
    // The same for a question whose Yes destroys data: Enter and Escape answer No,
    // so a key pressed out of habit erases nothing.
    virtual bool askYesNoDestructive(const QString& text) = 0;
    // OK and Cancel with the critical-stop icon; true on OK. Only asked before
    // destroying data, so Enter and Escape answer Cancel.
    virtual bool askOkCancelCritical(const QString& text) = 0;
    // Open-file dialog; empty when cancelled.
    virtual QString openFile(const QString& caption, const QString& filter) = 0;
    // Save-file dialog (asks before replacing a file); empty when cancelled.
    virtual QString saveFile(const QString& caption, const QString& filter) = 0;
};

// What every window is handed instead of reaching for globals. The settings
// are the session's (see dxcc::StationSettings).
struct AppContext {
    QString dataDir;  // where the log, prefix and first-name files live
    std::shared_ptr<Clock> clock;
    std::shared_ptr<Dialogs> dialogs;
    // Ends the program with `code` (the error path and the recovery window use it).
    std::function<void(int code)> quit;
    // Opens a page in the system browser (where no embedded browser is built in).
    std::function<bool(const QString& url)> openExternalUrl;
};

}  // namespace ui
