#include "data/serverwatch.h"

#include <QLoggingCategory>

#include <fcntl.h>
#include <libpq-fe.h>
#include <netinet/in.h>
#include <netinet/tcp.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace orv {

Q_DECLARE_LOGGING_CATEGORY(lcDb)

using namespace std::chrono;

ServerWatch &ServerWatch::instance()
{
    // Never destroyed: connections closed at exit still reach it.
    static ServerWatch *watch = new ServerWatch;
    return *watch;
}

int ServerWatch::watch(int socket, int backendPid, const PgEndpoint &endpoint, std::shared_ptr<const Activity> activity)
{
    sockaddr_storage address{};
    socklen_t length = sizeof address;
    if (socket < 0 || ::getsockname(socket, reinterpret_cast<sockaddr *>(&address), &length) != 0
        || (address.ss_family != AF_INET && address.ss_family != AF_INET6))
        return 0;
    const int fd = ::fcntl(socket, F_DUPFD_CLOEXEC, 0);
    if (fd < 0)
        return 0;
    const std::lock_guard lock(m_mutex);
    if (!m_thread.joinable())
        m_thread = std::thread([this] { run(); });
    m_wake.notify_all();
    Entry e;
    e.id = ++m_nextId;
    e.fd = fd;
    e.pid = backendPid;
    e.endpoint = endpoint;
    e.activity = std::move(activity);
    m_entries.push_back(e);
    return e.id;
}

void ServerWatch::forget(int id)
{
    if (!id)
        return;
    const std::lock_guard lock(m_mutex);
    for (auto it = m_entries.begin(); it != m_entries.end(); ++it)
        if (it->id == id) {
            ::close(it->fd);
            m_entries.erase(it);
            return;
        }
}

milliseconds ServerWatch::waiting(const Entry &e)
{
    tcp_info info{};
    socklen_t length = sizeof info;
    if (::getsockopt(e.fd, IPPROTO_TCP, TCP_INFO, &info, &length) != 0)
        return milliseconds(0);
    // Counted back from now, to the millisecond the kernel knows.
    const milliseconds heard(info.tcpi_last_data_recv);
    if (e.activity && e.activity->busy.load() > 0) {
        const milliseconds busyFor(duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count()
                                   - e.activity->since.load());
        return std::min(heard, busyFor);
    }
    // A statement made past the connection's owner: one that went out after the last word from
    // the server waits for its answer.
    if (info.tcpi_last_data_sent < info.tcpi_last_data_recv)
        return milliseconds(info.tcpi_last_data_sent);
    return milliseconds(0);
}

void ServerWatch::run()
{
    std::unique_lock lock(m_mutex);
    for (;;) {
        m_wake.wait(lock, [this] { return !m_entries.empty(); });
        m_wake.wait_for(lock, seconds(1));
        for (Entry &e : m_entries) {
            const auto now = steady_clock::now();
            if (e.cut || e.probing || waiting(e) < kQuiet || now - e.lastProbe < kQuiet)
                continue;
            e.probing = true;
            const int id = e.id, pid = e.pid;
            const PgEndpoint endpoint = e.endpoint;
            const milliseconds waited = waiting(e);
            lock.unlock();
            const bool answers = serverAnswers(endpoint, pid, waited);
            lock.lock();
            // The connection may have been closed meanwhile: look it up again.
            for (Entry &still : m_entries) {
                if (still.id != id)
                    continue;
                still.probing = false;
                still.lastProbe = steady_clock::now();
                if (!answers && waiting(still) >= kQuiet) {
                    qCWarning(lcDb) << "The server stopped answering; the connection is given up";
                    ::shutdown(still.fd, SHUT_RDWR);
                    still.cut = true;
                }
            }
            break; // the list may have changed while unlocked
        }
    }
}

namespace {
// Waits for the probe's socket until `deadline`; false when time ran out or the socket failed.
bool waitFor(PGconn *c, short events, steady_clock::time_point deadline)
{
    const auto left = duration_cast<milliseconds>(deadline - steady_clock::now()).count();
    if (left <= 0)
        return false;
    pollfd p{PQsocket(c), events, 0};
    return ::poll(&p, 1, int(left)) > 0;
}
} // namespace

bool ServerWatch::serverAnswers(const PgEndpoint &e, int pid, milliseconds waited)
{
    const QByteArray timeout = QByteArray::number(kProbeSeconds);
    const char *keys[] = {"host", "port", "user", "password", "dbname", "connect_timeout", "application_name", nullptr};
    const char *values[] = {e.host.constData(), e.port.constData(), e.user.constData(), e.password.constData(),
                            e.database.constData(), timeout.constData(), "orv-watch", nullptr};
    const auto deadline = steady_clock::now() + seconds(kProbeSeconds);
    PGconn *c = PQconnectStartParams(keys, values, 0);
    if (!c)
        return true; // no memory: nothing learnt about the server
    bool answered = false;
    PostgresPollingStatusType state = PQstatus(c) == CONNECTION_BAD ? PGRES_POLLING_FAILED : PGRES_POLLING_WRITING;
    while (state != PGRES_POLLING_OK && state != PGRES_POLLING_FAILED) {
        if (!waitFor(c, state == PGRES_POLLING_READING ? POLLIN : POLLOUT, deadline))
            break;
        state = PQconnectPoll(c);
    }
    if (state == PGRES_POLLING_OK) {
        const QByteArray backend = QByteArray::number(pid);
        // A second's slack for the statement's way to the server.
        const QByteArray idleMs = QByteArray::number(qMax<qint64>(0, waited.count() - 1000));
        const char *params[] = {backend.constData(), idleMs.constData()};
        if (PQsendQueryParams(c,
                              "select 1 from pg_stat_activity where pid = $1::int and ($2::bigint = 0 or "
                              "coalesce(state, '') not like 'idle%' or "
                              "state_change > now() - $2::bigint * interval '1 millisecond')",
                              2, nullptr, params, nullptr, nullptr, 0)) {
            while (PQisBusy(c) && waitFor(c, POLLIN, deadline) && PQconsumeInput(c)) {
            }
            if (!PQisBusy(c)) {
                PGresult *r = PQgetResult(c);
                // No row: the server is there but our session is not, or never read our statement.
                answered = PQresultStatus(r) == PGRES_TUPLES_OK && PQntuples(r) == 1;
                PQclear(r);
            }
        }
    } else if (state == PGRES_POLLING_FAILED) {
        // A refusal is an answer (too many clients, a changed password, nobody listening):
        // only silence cuts a statement that may still be running.
        answered = true;
    }
    PQfinish(c);
    return answered;
}

} // namespace orv
