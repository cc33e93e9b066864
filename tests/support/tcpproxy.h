#pragma once
// A TCP proxy between a test and its server, for a network path that goes quiet: it forwards
// until told to swallow, then takes whatever comes from either side and passes nothing on,
// keeping every connection open, and takes new connections without ever forwarding them. It
// runs on a thread of its own, so it keeps forwarding while the test's thread waits on a
// statement.
#include <QString>

#include <memory>

class QThread;

namespace orv::test {

class ProxyWorker;

class TcpProxy {
public:
    TcpProxy(const QString &targetHost, quint16 targetPort);
    ~TcpProxy(); // closes every connection, as a network that comes back would find them gone
    TcpProxy(const TcpProxy &) = delete;
    TcpProxy &operator=(const TcpProxy &) = delete;

    quint16 port() const { return m_port; }
    // From now on nothing passes on the connections there are, nor on new ones. With
    // `afterServerBytes`, the connections there are first pass that many more bytes from the
    // server (a result that stops halfway).
    void swallow(qint64 afterServerBytes = 0);
    // New connections are forwarded again; the swallowed ones stay swallowed.
    void forwardNew();

private:
    std::unique_ptr<QThread> m_thread;
    ProxyWorker *m_worker = nullptr;
    quint16 m_port = 0;
};

} // namespace orv::test
