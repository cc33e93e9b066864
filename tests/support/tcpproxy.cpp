#include "tcpproxy.h"

#include <QHostAddress>
#include <QTcpServer>
#include <QTcpSocket>
#include <QThread>

#include <vector>

namespace orv::test {

// Lives on the proxy's thread, as do its server and sockets.
class ProxyWorker : public QObject {
public:
    QString host;
    quint16 targetPort = 0;
    QTcpServer *server = nullptr;
    bool swallowNew = false;

    struct Pair {
        QTcpSocket *client = nullptr;
        QTcpSocket *upstream = nullptr;
        bool swallowed = false;
        qint64 serverBytesLeft = -1; // >= 0: passes this many more from the server, then swallows
    };
    std::vector<std::shared_ptr<Pair>> pairs;

    quint16 start()
    {
        server = new QTcpServer(this);
        if (!server->listen(QHostAddress::LocalHost))
            return 0;
        connect(server, &QTcpServer::newConnection, this, [this] {
            while (server->hasPendingConnections())
                take(server->nextPendingConnection());
        });
        return server->serverPort();
    }

    void take(QTcpSocket *client)
    {
        auto p = std::make_shared<Pair>();
        p->client = client;
        pairs.push_back(p);
        if (swallowNew) {
            p->swallowed = true;
            connect(client, &QTcpSocket::readyRead, this, [client] { client->readAll(); });
            return;
        }
        p->upstream = new QTcpSocket(this);
        p->upstream->connectToHost(host, targetPort);
        p->upstream->waitForConnected(3000);
        connect(client, &QTcpSocket::readyRead, this, [p] { pass(*p, p->client, p->upstream, false); });
        connect(p->upstream, &QTcpSocket::readyRead, this, [p] { pass(*p, p->upstream, p->client, true); });
        connect(client, &QTcpSocket::disconnected, this, [p] {
            if (!p->swallowed)
                p->upstream->disconnectFromHost();
        });
        connect(p->upstream, &QTcpSocket::disconnected, this, [p] {
            if (!p->swallowed)
                p->client->disconnectFromHost();
        });
        pass(*p, client, p->upstream, false);
    }

    static void pass(Pair &p, QTcpSocket *from, QTcpSocket *to, bool fromServer)
    {
        QByteArray data = from->readAll();
        if (p.swallowed || data.isEmpty())
            return;
        if (fromServer && p.serverBytesLeft >= 0) {
            if (data.size() >= p.serverBytesLeft) {
                data.truncate(p.serverBytesLeft);
                p.swallowed = true;
            } else {
                p.serverBytesLeft -= data.size();
            }
        }
        to->write(data);
    }

    void swallow(qint64 afterServerBytes)
    {
        swallowNew = true;
        for (const auto &p : pairs) {
            if (afterServerBytes > 0)
                p->serverBytesLeft = afterServerBytes;
            else
                p->swallowed = true;
        }
    }

    void closeAll()
    {
        for (const auto &p : pairs) {
            p->client->abort();
            if (p->upstream)
                p->upstream->abort();
        }
        pairs.clear();
        server->close();
    }
};

TcpProxy::TcpProxy(const QString &targetHost, quint16 targetPort)
    : m_thread(std::make_unique<QThread>()), m_worker(new ProxyWorker)
{
    m_worker->host = targetHost;
    m_worker->targetPort = targetPort;
    m_worker->moveToThread(m_thread.get());
    m_thread->start();
    QMetaObject::invokeMethod(m_worker, [this] { m_port = m_worker->start(); }, Qt::BlockingQueuedConnection);
}

TcpProxy::~TcpProxy()
{
    QMetaObject::invokeMethod(m_worker, [this] { m_worker->closeAll(); }, Qt::BlockingQueuedConnection);
    m_thread->quit();
    m_thread->wait();
    delete m_worker;
}

void TcpProxy::swallow(qint64 afterServerBytes)
{
    QMetaObject::invokeMethod(m_worker, [this, afterServerBytes] { m_worker->swallow(afterServerBytes); },
                              Qt::BlockingQueuedConnection);
}

void TcpProxy::forwardNew()
{
    QMetaObject::invokeMethod(m_worker, [this] { m_worker->swallowNew = false; }, Qt::BlockingQueuedConnection);
}

} // namespace orv::test
