// The embedded browser, built as a module of its own: Qt WebEngine is large
// (some 25 MB of a process's memory and part of its start just to be linked),
// and only the two web pages of the Help menu need it, so the program loads
// this module the first time one of them is opened.
#include <QUrl>
#include <QWebEngineView>
#include <QWidget>

extern "C" Q_DECL_EXPORT QWidget* velCreateWebView(QWidget* parent, const QString& url) {
    auto* view = new QWebEngineView(parent);
    view->load(QUrl(url));
    return view;
}
