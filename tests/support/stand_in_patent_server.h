#pragma once

// A stand-in for the patent database's web server: plain HTTP on 127.0.0.1, started and stopped by the test.
// It answers the request targets it has been given pages for, says 404 to the rest, and records every request
// line in the order they come in.

#include <QByteArray>
#include <QHash>
#include <QHostAddress>
#include <QList>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTimer>

#include <functional>
#include <utility>

class StandInPatentServer : public QObject {
public:
    struct Page {
        QByteArray html;
        int delayMs = 0;     // how long the answer is held back
        bool silent = false; // never answered, until answerSilentRequests()
    };

    StandInPatentServer() {
        connect(&m_server, &QTcpServer::newConnection, this, [this] {
            while (QTcpSocket* socket = m_server.nextPendingConnection()) {
                socket->setParent(this);
                connect(socket, &QTcpSocket::readyRead, this, [this, socket] { read(socket); });
                connect(socket, &QTcpSocket::disconnected, socket, &QObject::deleteLater);
            }
        });
    }

    bool start() { return m_server.listen(QHostAddress::LocalHost); }

    // Pages of an odd server. Each of the first three yields no text when the web view copies it once it has
    // completed.
    static QByteArray emptyPage() { return "<html><body></body></html>"; }
    // A script writes the text 1.5 s after the page has completed: long after its copy.
    static QByteArray pageFilledLate(const QByteArray& text) {
        return "<html><body><script>window.addEventListener('load', () => setTimeout(() => "
               "{ document.body.textContent = '" +
               text + "'; }, 1500));</script></body></html>";
    }
    // The frames' text is not part of the copy.
    static QByteArray frameset(const QByteArray& frameTarget) {
        return "<html><frameset cols='50%,50%'><frame src='" + frameTarget + "'><frame src='" + frameTarget +
               "'></frameset></html>";
    }
    // Loads itself again `seconds` after each completion, for as long as it is shown.
    static QByteArray selfReloadingPage(const QByteArray& text, double seconds) {
        return "<html><head><meta http-equiv='refresh' content='" + QByteArray::number(seconds) + "'></head><body>" +
               text + "</body></html>";
    }
    // About `megabytes` MB of text in one block of long lines, after a line that holds the title. The web view took
    // about 10 s to load 20 MB of it and 3.5 s more to copy it (seen on two busy cores).
    static QByteArray hugePage(const QByteArray& title, int megabytes) {
        QByteArray filler;
        while (filler.size() < 10000)
            filler += " a claim word and its support in the description";
        QByteArray html = "<html><body><pre>" + title + "\n";
        html.reserve(megabytes * 1024 * 1024 + filler.size() + 100);
        for (int line = 1; html.size() < megabytes * 1024 * 1024; ++line)
            html += "Line " + QByteArray::number(line) + ":" + filler + "\n";
        return html + "</pre></body></html>";
    }

    // What the retrieval puts between "http://" and the path.
    QString authority() const { return QStringLiteral("127.0.0.1:%1").arg(m_server.serverPort()); }

    void serve(const QByteArray& target, Page page) { m_pages.insert(target, std::move(page)); }

    const QList<QByteArray>& requestLines() const { return m_requestLines; }

    // Request lines whose target begins with `prefix`.
    QList<QByteArray> requestLinesFor(const QByteArray& prefix) const {
        QList<QByteArray> lines;
        for (const QByteArray& line : m_requestLines)
            if (line.startsWith("GET " + prefix))
                lines << line;
        return lines;
    }

    // Called as each request comes in, before it is answered.
    std::function<void(const QByteArray& target)> onRequest;

    // Answers every request held by a silent page, now, with `html`.
    void answerSilentRequests(const QByteArray& html) {
        for (const QPointer<QTcpSocket>& socket : std::exchange(m_silent, {}))
            if (socket)
                answer(socket, "200 OK", html);
    }

private:
    void read(QTcpSocket* socket) {
        QByteArray& buffer = m_buffers[socket];
        buffer += socket->readAll();
        const qsizetype end = buffer.indexOf("\r\n\r\n");
        if (end < 0)
            return;
        const QByteArray requestLine = buffer.left(buffer.indexOf("\r\n"));
        m_buffers.remove(socket);
        m_requestLines << requestLine;
        const QList<QByteArray> parts = requestLine.split(' ');
        const QByteArray target = parts.size() == 3 ? parts[1] : QByteArray();
        if (onRequest)
            onRequest(target);

        const auto page = m_pages.constFind(target);
        if (page == m_pages.cend()) {
            answer(socket, "404 Not Found",
                   "<html><body>No page at " + QString::fromLatin1(target).toHtmlEscaped().toLatin1() +
                       "</body></html>");
        } else if (page->silent) {
            m_silent << socket;
        } else if (page->delayMs > 0) {
            QTimer::singleShot(page->delayMs, socket, [socket, html = page->html] { answer(socket, "200 OK", html); });
        } else {
            answer(socket, "200 OK", page->html);
        }
    }

    static void answer(QTcpSocket* socket, const QByteArray& status, const QByteArray& html) {
        socket->write("HTTP/1.1 " + status + "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                      QByteArray::number(html.size()) + "\r\nCache-Control: no-store\r\nConnection: close\r\n\r\n" +
                      html);
        socket->disconnectFromHost();
    }

    QTcpServer m_server;
    QHash<QByteArray, Page> m_pages;
    QHash<QTcpSocket*, QByteArray> m_buffers;
    QList<QPointer<QTcpSocket>> m_silent;
    QList<QByteArray> m_requestLines;
};
