#pragma once

#include <QWebEngineView>

#include <functional>

class QWebEnginePage;
class QWebEngineProfile;

namespace claimcheck {

// The input window's web view: it loads the patent pages and copies their text for the retrieval. The user never
// reads or reaches it: it takes no focus (nor does the widget its page puts inside it) and accepts no drops.
//
// The browser engine starts with the first address the view is asked to load, not when the window is built or
// shown: starting Chromium takes time, and as root without --no-sandbox it ends the process, so a window that
// never fetches a patent never starts it.
class WebView : public QWebEngineView {
    Q_OBJECT
public:
    explicit WebView(QWidget* parent = nullptr);
    ~WebView() override;

    // Starts loading the address and returns at once; loadFinished reports the end of the load later. The address
    // is read leniently (QUrl::TolerantMode), as typed into a browser's address bar.
    void Navigate(const QString& address);

    // Whether `document` is the view's own top-level document (its page), as opposed to a frame or anything else.
    bool isTopLevelDocument(const QObject* document) const { return m_page && document == m_page; }

    // The view's own top-level document, or null when it has none (never started, or stopped for good).
    const QObject* topLevelDocument() const { return m_page; }

    // Selects the whole page, copies the selection to the clipboard and clears the selection. It happens later,
    // while events are processed, and the copied text reaches the clipboard a few milliseconds after that (seconds,
    // for a page of megabytes); once `wanted` answers false it does not happen at all, and a copy that reaches the
    // clipboard when `wanted` answers false is taken off it at once.
    void selectAllCopyClear(std::function<bool()> wanted);

    // Stops for good whatever the page is doing: its loading, its reloads, its scripts and its copying. The page
    // goes, so no request, completion or copy of it can follow; a later Navigate starts afresh.
    void stopForGood();

    // Whether the browser engine has been started.
    bool started() const { return m_page != nullptr; }

protected:
    void showEvent(QShowEvent* event) override;
    void hideEvent(QHideEvent* event) override;
    void childEvent(QChildEvent* event) override;

private:
    void dropUnwantedCopy();

    QWebEngineProfile* m_profile = nullptr;
    QWebEnginePage* m_page = nullptr;
    std::function<bool()> m_copyWanted; // of the last copy asked for
};

} // namespace claimcheck
