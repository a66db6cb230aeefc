#pragma once

#include <QObject>
#include <QString>
#include <QTcpSocket>
#include <QTimer>
#include <memory>

#include "core/cluster/cluster_stream.h"

Q_DECLARE_METATYPE(dxcc::cluster::Spot)

namespace ui {

// A connection to a DX cluster server over a QTcpSocket, in the thread that
// owns it, without ever waiting: logs in, hands on spots and other lines, and
// after a loss tries again with a growing delay until disconnected.
class ClusterClient : public QObject, public dxcc::cluster::ClusterLink {
    Q_OBJECT
public:
    enum class State { Disconnected, Connecting, Connected, Lost };
    explicit ClusterClient(dxcc::cluster::ReconnectSchedule schedule = {},
                           QObject* parent = nullptr);
    ~ClusterClient() override;

    void connectTo(const QString& host, quint16 port, const QString& callsign);
    // Closes the connection and stops trying again.
    void disconnectFromServer();
    void sendCommand(const QString& text);
    State state() const { return state_; }
    const QString& stateText() const { return stateText_; }
    // What the conversation writes to the server.
    void send(std::string_view bytes) override;

signals:
    void stateChanged(ui::ClusterClient::State state, const QString& text);
    void spotReceived(const dxcc::cluster::Spot& spot);
    void consoleLine(const QString& line);

private:
    void attempt();
    void readAvailable();
    void lost(const QString& reason);
    void setState(State state, const QString& text);

    QTcpSocket* socket_;
    QTimer* retry_;
    dxcc::cluster::ReconnectSchedule schedule_;
    std::unique_ptr<dxcc::cluster::ClusterConversation> conversation_;
    QString host_;
    quint16 port_ = 0;
    bool wanted_ = false;  // the operator wants to be connected
    State state_ = State::Disconnected;
    QString stateText_;
};

}  // namespace ui
