#pragma once
// Notices a PostgreSQL server that has stopped answering while a statement waits for it.
//
// Statements run on the window's thread and libpq waits for the answer without a limit. TCP
// keepalives and a user timeout end a connection whose packets go nowhere, but not one whose
// far end still takes packets and never answers: a proxy, a tunnel or a NAT box whose server is
// gone, or a server that hangs. The watch looks at each connection once a second; when a
// statement has had no word from the server for kQuiet, it asks the server over a connection of
// its own whether it is there and whether our session still is and has read the statement. Only
// when it is not does the
// watch shut the socket down, so the waiting statement fails at once and the connection's usual
// loss handling takes over. A statement that runs long on a server that answers is never cut.
#include <QByteArray>
#include <QtGlobal>

#include <chrono>
#include <condition_variable>
#include <atomic>
#include <list>
#include <memory>
#include <mutex>
#include <thread>

namespace orv {

// Where a PostgreSQL connection goes, as libpq's connection keywords take it.
struct PgEndpoint {
    QByteArray host, port, user, password, database;
};

class ServerWatch {
public:
    // What the connection's owner is doing: `busy` counts statements under way (rows being
    // read included), `since` is when the first of them began (steady clock, milliseconds).
    struct Activity {
        std::atomic<int> busy{0};
        std::atomic<qint64> since{0};
    };

    static constexpr std::chrono::milliseconds kQuiet{5000};
    // A probe that gets no answer in this time finds the server gone.
    static constexpr int kProbeSeconds = 3;

    // The one watch of the process; it lives until the process ends.
    static ServerWatch &instance();

    // Watches the connection on `socket` (a duplicate is kept, so the socket stays the same
    // whatever libpq does with its own descriptor) until forget(). Returns the watch's id, 0
    // when the socket is not a TCP one (a local socket has no network to lose).
    int watch(int socket, int backendPid, const PgEndpoint &endpoint, std::shared_ptr<const Activity> activity);
    void forget(int id);

    // The server behind `endpoint` answers and backend `pid` still serves us: it is listed and,
    // when we have waited `waited` for it, has not sat idle since before our statement went out
    // (a backend that is stopped or cut off from our packets never reads it). A server that
    // refuses the probe has answered too.
    static bool serverAnswers(const PgEndpoint &endpoint, int pid,
                              std::chrono::milliseconds waited = std::chrono::milliseconds(0));

private:
    ServerWatch() = default;
    struct Entry {
        int id = 0;
        int fd = -1;
        int pid = 0;
        PgEndpoint endpoint;
        std::shared_ptr<const Activity> activity;
        std::chrono::steady_clock::time_point lastProbe{};
        bool probing = false;
        bool cut = false;
    };
    void run();
    // How long the server has kept us waiting; zero when we wait for nothing.
    static std::chrono::milliseconds waiting(const Entry &e);

    std::mutex m_mutex;
    std::condition_variable m_wake;
    std::list<Entry> m_entries;
    std::thread m_thread;
    int m_nextId = 0;
};

} // namespace orv
