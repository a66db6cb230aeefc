// The embedded browser, built as a module of its own: Qt WebEngine is large
// (some 25 MB of a process's memory and part of its start just to be linked),
// and only the two web pages of the Help menu need it, so the program loads
// this module the first time one of them is opened.
#include <QTimer>
#include <QUrl>
#include <QWebEngineSettings>
#include <QWebEngineView>
#include <QWidget>
#include <memory>

namespace {

// How long a page that could not be reached waits before it is tried again.
constexpr int kRetryMs = 30'000;

// Shows `unreachableHtml` in place of the browser's own (English) error page
// when a page cannot be reached, and tries `url` again until it can. The
// view's property "unreachable" says whether the note is what it shows.
void showUnreachableInstead(QWebEngineView* view, const QUrl& url, const QString& unreachableHtml) {
    view->settings()->setAttribute(QWebEngineSettings::ErrorPageEnabled, false);
    auto* retry = new QTimer(view);
    retry->setSingleShot(true);
    retry->setInterval(kRetryMs);
    QObject::connect(retry, &QTimer::timeout, view, [view, url] {
        if (view->property("unreachable").toBool()) view->load(url);
    });
    auto noteLoading = std::make_shared<bool>(false);
    QObject::connect(view, &QWebEngineView::loadFinished, view,
                     [view, url, unreachableHtml, retry, noteLoading](bool ok) {
                         if (*noteLoading) {  // our own note has been laid out
                             *noteLoading = false;
                             return;
                         }
                         view->setProperty("unreachable", !ok);
                         if (ok) return;
                         *noteLoading = true;
                         view->setHtml(unreachableHtml, url);
                         retry->start();
                     });
}

}  // namespace

extern "C" Q_DECL_EXPORT QWidget* velCreateWebView(QWidget* parent, const QString& url,
                                                   const QString& unreachableHtml) {
    auto* view = new QWebEngineView(parent);
    showUnreachableInstead(view, QUrl(url), unreachableHtml);
    view->load(QUrl(url));
    return view;
}
