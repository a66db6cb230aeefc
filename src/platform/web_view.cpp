#include "platform/web_view.h"

#include <QLabel>
#include <QUrl>
#include <QVBoxLayout>

#ifdef VEL_HAVE_WEBENGINE
#include <QWebEngineView>
#endif

namespace ui {

QWidget* createWebWindow(const QString& objectName, const QString& title, const QString& url,
                         const std::function<bool(const QString&)>& openExternalUrl,
                         QWidget* parent) {
    auto* w = new QWidget(parent, Qt::Window);
    w->setObjectName(objectName);
    w->setWindowTitle(title);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setProperty("url", url);  // the page asked for, whichever way it is shown
    auto* layout = new QVBoxLayout(w);
#ifdef VEL_HAVE_WEBENGINE
    (void)openExternalUrl;
    auto* view = new QWebEngineView(w);
    view->setObjectName("WebBrowser1");
    view->load(QUrl(url));
    layout->addWidget(view);
    w->resize(900, 650);
#else
    auto* note = new QLabel(w);
    note->setObjectName("WebBrowser1");
    note->setWordWrap(true);
    note->setTextInteractionFlags(Qt::TextBrowserInteraction);
    note->setOpenExternalLinks(true);
    const bool opened = openExternalUrl && openExternalUrl(url);
    note->setText(QString("Ce programme a été construit sans navigateur intégré.<br>"
                          "La page %1 dans votre navigateur :<br><a href=\"%2\">%2</a>")
                      .arg(opened ? "a été ouverte" : "peut être ouverte", url.toHtmlEscaped()));
    layout->addWidget(note);
    w->resize(520, 140);
#endif
    return w;
}

}  // namespace ui
