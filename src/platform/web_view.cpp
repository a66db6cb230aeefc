#include "platform/web_view.h"

#include <QCoreApplication>
#include <QLabel>
#include <QLibrary>
#include <QOpenGLContext>
#include <QUrl>
#include <QVBoxLayout>

#include "core/session/web_pages.h"

// Qt's global shared OpenGL context, which Qt WebEngine draws through: Qt
// makes it at start when asked, and exports these two to set it later.
QOpenGLContext* qt_gl_global_share_context();
void qt_gl_set_global_share_context(QOpenGLContext* context);

namespace ui {

namespace {

// Made just before the browser's module is loaded, so that a start that never
// shows a web page never loads the OpenGL driver.
void shareOpenGLContexts() {
    if (qt_gl_global_share_context() != nullptr) return;
    auto* context = new QOpenGLContext(QCoreApplication::instance());
    context->setFormat(QSurfaceFormat::defaultFormat());
    // Set even when it cannot be made (no OpenGL), as Qt does at start: Qt
    // WebEngine reads the context, and a missing one makes it crash.
    context->create();
    qt_gl_set_global_share_context(context);
}

using CreateWebView = QWidget* (*)(QWidget*, const QString&, const QString&);

// The embedded browser's module: beside the program (a build), then where the
// package installs it; null when there is none or it cannot be loaded.
CreateWebView webViewFactory() {
    static CreateWebView factory = []() -> CreateWebView {
        QStringList places{QCoreApplication::applicationDirPath()};
        const QString asked = qEnvironmentVariable(kWebModuleDirVariable);
        if (!asked.isEmpty()) places.prepend(asked);
#ifdef VEL_WEB_MODULE_FROM_BIN
        places << QCoreApplication::applicationDirPath() + "/" + VEL_WEB_MODULE_FROM_BIN;
#endif
        shareOpenGLContexts();
        for (const QString& dir : places) {
            QLibrary module(dir + "/vel_dxcc_web");
            if (auto f = reinterpret_cast<CreateWebView>(module.resolve("velCreateWebView")))
                return f;  // the module stays loaded: QLibrary does not unload on destruction
        }
        return nullptr;
    }();
    return factory;
}

}  // namespace

QWidget* createWebWindow(const QString& objectName, const QString& title, const QString& url,
                         const std::function<bool(const QString&)>& openExternalUrl,
                         QWidget* parent) {
    auto* w = new QWidget(parent, Qt::Window);
    w->setObjectName(objectName);
    w->setWindowTitle(title);
    w->setAttribute(Qt::WA_DeleteOnClose);
    w->setProperty("url", url);  // the page asked for, whichever way it is shown
    auto* layout = new QVBoxLayout(w);
    if (CreateWebView create = webViewFactory()) {
        QWidget* view =
            create(w, url, QString::fromStdString(dxcc::unreachablePageHtml(url.toStdString())));
        view->setObjectName("WebBrowser1");
        layout->addWidget(view);
        w->resize(900, 650);
        return w;
    }
    auto* note = new QLabel(w);
    note->setObjectName("WebBrowser1");
    note->setWordWrap(true);
    note->setTextInteractionFlags(Qt::TextBrowserInteraction);
    note->setOpenExternalLinks(true);
    const bool opened = openExternalUrl && openExternalUrl(url);
    note->setText(QString("Ce programme n'a pas de navigateur intégré.<br>"
                          "La page %1 dans votre navigateur :<br><a href=\"%2\">%2</a>")
                      .arg(opened ? "a été ouverte" : "peut être ouverte", url.toHtmlEscaped()));
    layout->addWidget(note);
    w->resize(520, 140);
    return w;
}

}  // namespace ui
