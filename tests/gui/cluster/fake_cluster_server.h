#pragma once

#include <gtest/gtest.h>

#include <QByteArray>
#include <QHostAddress>
#include <QPointer>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTest>
#include <functional>

namespace testing_support {

// A DX cluster server on the loopback interface: asks for a callsign, then
// sends what the test gives it.
class FakeClusterServer {
public:
    explicit FakeClusterServer(QByteArray greeting = "\xff\xfb\x01\xff\xfd\x18Welcome\r\nlogin: ")
        : greeting_(std::move(greeting)) {
        listen(0);
        QObject::connect(&server_, &QTcpServer::newConnection, [this] {
            while (QTcpSocket* s = server_.nextPendingConnection()) {
                ++connections;
                client_ = s;
                QObject::connect(s, &QTcpSocket::readyRead,
                                 [this, s] { received += s->readAll(); });
                s->write(greeting_);
            }
        });
    }
    bool listen(quint16 port) { return server_.listen(QHostAddress::LocalHost, port); }
    void stopListening() { server_.close(); }
    quint16 port() const { return port_ ? port_ : (port_ = server_.serverPort()); }

    void send(const QByteArray& bytes) {
        if (client_) client_->write(bytes);
    }
    // Drops the connection as a failing server would.
    void drop() {
        if (client_) client_->abort();
    }
    void closeGracefully() {
        if (client_) {
            client_->flush();
            client_->disconnectFromHost();
        }
    }
    bool waitForLogin(const QByteArray& callsign, int timeoutMs = 5000) {
        return QTest::qWaitFor([&] { return received.contains(callsign + "\r\n"); }, timeoutMs);
    }
    // The login the test expects; without it the test fails, and the
    // connection is dropped so that a client waiting for spots ends rather
    // than waits for ever.
    bool expectLogin(const QByteArray& callsign, int timeoutMs = 5000) {
        if (waitForLogin(callsign, timeoutMs)) return true;
        ADD_FAILURE() << "no login as " << callsign.toStdString()
                      << "; the server received: " << received.toStdString();
        stopListening();
        drop();
        return false;
    }

    int connections = 0;
    QByteArray received;

private:
    QByteArray greeting_;
    QTcpServer server_;
    QPointer<QTcpSocket> client_;
    mutable quint16 port_ = 0;
};

// A loopback port nobody listens on (just freed).
inline quint16 freeLoopbackPort() {
    QTcpServer probe;
    probe.listen(QHostAddress::LocalHost, 0);
    const quint16 port = probe.serverPort();
    probe.close();
    return port;
}

}  // namespace testing_support
