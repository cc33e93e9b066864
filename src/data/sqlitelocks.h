#pragma once
// Locks on the embedded database that no close elsewhere in the process can drop.
//
// SQLite locks its files with classic POSIX record locks, which belong to the process: Linux
// releases all of them when the process closes any descriptor of the file. File dialogs, icon
// and type lookups (QMimeDatabase reads a file to tell its type) open orv.db, orv.db-wal and
// orv.db-shm and close them again; the program would then write on without its locks, and the
// next client would take the write-ahead log for abandoned and delete it.
//
// Open file description locks belong to the descriptor that took them, so another descriptor's
// close leaves them alone, and they conflict with POSIX locks: other instances of the program
// and any other SQLite client still share the file and wait on each other as before.
//
// One limit: SQLite shares one lock among the connections of a process to the same file and
// keeps it on the descriptor of the first. That stays right while the first connection outlives
// the later ones, as here (one connection; the settings check's short one closes inside it).
// Closed the other way round, a read lock could stay until both close; at worst the write-ahead
// log is not tidied away at exit, nothing is lost.
namespace orv {

// Makes SQLite take open file description locks. Call before any SQLite database is opened
// in the process; later calls do nothing.
void useDescriptorLocksForSqlite();

} // namespace orv
