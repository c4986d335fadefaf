#include "web_view.h"

#include <QChildEvent>
#include <QClipboard>
#include <QGuiApplication>
#include <QMimeData>
#include <QPointer>
#include <QUrl>
#include <QWebEnginePage>
#include <QWebEngineProfile>
#include <QWebEngineScript>
#include <QWebEngineSettings>

#include <algorithm>
#include <utility>

namespace claimcheck {

namespace {

// What the engine puts on the clipboard when it copies a page (seen with Qt WebEngine 6.4): HTML, and plain text
// when the selection holds any. The program's own text boxes put Markdown and OpenDocument text beside those two,
// the number box plain text alone.
bool isPageCopy(const QClipboard& clipboard) {
    const QMimeData* data = clipboard.mimeData();
    if (!data || !clipboard.ownsClipboard() || !data->hasHtml())
        return false;
    const QStringList formats = data->formats();
    return std::all_of(formats.cbegin(), formats.cend(), [](const QString& format) {
        return format == QLatin1String("text/html") || format == QLatin1String("text/plain");
    });
}

} // namespace

WebView::WebView(QWidget* parent) : QWebEngineView(parent) {
    setFocusPolicy(Qt::NoFocus);
    setAcceptDrops(false); // a drop would need a page, and the user cannot see where it lands anyway
    setContextMenuPolicy(Qt::NoContextMenu);
    connect(QGuiApplication::clipboard(), &QClipboard::dataChanged, this, &WebView::dropUnwantedCopy);
}

WebView::~WebView() {
    // The page must go before its profile.
    delete m_page;
    delete m_profile;
}

void WebView::Navigate(const QString& address) {
    QWidget* top = window();
    const bool wasActive = top->isActiveWindow();
    if (!m_page) {
        // Off the record: nothing of the pages (cache, cookies) is written to disk.
        m_profile = new QWebEngineProfile(this);
        m_page = new QWebEnginePage(m_profile, this);
        // Nobody sees the page, so its icon is not fetched: a patent number costs the server two requests only.
        m_page->settings()->setAttribute(QWebEngineSettings::AutoLoadIconsForPage, false);
        setPage(m_page);
    }
    load(QUrl(address, QUrl::TolerantMode));
    // The first load puts the page's OpenGL widget into the view, and Qt re-creates the native window of the whole
    // window for it (seen under X11: the window gets a new id and is no longer the active one, so the keyboard
    // focus is gone). The window is made active again, which gives the focus back where the user left it.
    if (wasActive && !top->isActiveWindow())
        top->activateWindow();
}

void WebView::selectAllCopyClear(std::function<bool()> wanted) {
    if (!m_page)
        return;
    // Chromium silently ignores select-all and copy in a page that has never had focus (the clipboard keeps what
    // it held). Focusing the page's window from a script cures that without moving the keyboard focus of the
    // program. The script runs asynchronously, so the commands wait for its answer.
    m_copyWanted = wanted;
    QPointer<QWebEnginePage> page = m_page;
    m_page->runJavaScript(QStringLiteral("window.focus()"), QWebEngineScript::ApplicationWorld,
                          [page, wanted = std::move(wanted)](const QVariant&) {
                              if (!page || !wanted())
                                  return;
                              page->triggerAction(QWebEnginePage::SelectAll);
                              page->triggerAction(QWebEnginePage::Copy);
                              page->triggerAction(QWebEnginePage::Unselect);
                          });
}

// The copy of a page of megabytes can reach the clipboard seconds after it was asked for, when its capture has
// given up on it and emptied the clipboard (seen: 1.6 s to 8 s later, for pages of 1 to 20 MB). The page's text
// must not stay on the clipboard then. The engine copies nothing but what the retrieval asks for: the user never
// reaches the page.
void WebView::dropUnwantedCopy() {
    QClipboard* clipboard = QGuiApplication::clipboard();
    if (isPageCopy(*clipboard) && !(m_copyWanted && m_copyWanted()))
        clipboard->clear();
}

void WebView::stopForGood() {
    if (!m_page)
        return;
    m_page->triggerAction(QWebEnginePage::Stop);
    // The page itself goes, not only its load: with it go its scripts and timers (a page that reloads itself) and
    // any copy still under way.
    delete std::exchange(m_page, nullptr);
    delete std::exchange(m_profile, nullptr);
    m_copyWanted = nullptr;
}

// QWebEngineView hands both events to its page, creating the page (and so starting the engine) if there is none
// yet: without a page there is nobody to tell.
void WebView::showEvent(QShowEvent* event) {
    if (m_page)
        QWebEngineView::showEvent(event);
    else
        QWidget::showEvent(event);
}

void WebView::hideEvent(QHideEvent* event) {
    if (m_page)
        QWebEngineView::hideEvent(event);
    else
        QWidget::hideEvent(event);
}

// The page draws into a widget of its own that the view adopts once the page has something to show. That widget
// asks for strong focus, which would put it into the window's tab chain after "Get text ".
void WebView::childEvent(QChildEvent* event) {
    QWebEngineView::childEvent(event);
    if (event->added() && event->child()->isWidgetType())
        static_cast<QWidget*>(event->child())->setFocusPolicy(Qt::NoFocus);
}

} // namespace claimcheck
