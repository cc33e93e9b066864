#pragma once
// The SMS gateway behind the SMS window: four calls with the vendor library's results.
// No gateway exists on this platform; the one implementation says so and refuses to connect.
#include <QString>

namespace orv {

class SmsGateway {
public:
    virtual ~SmsGateway() = default;
    // A positive connection handle, or 0 or below as the error code.
    virtual int connect(const QString &server, int port, const QString &account, const QString &password) = 0;
    // 1 when the connection works; anything else is a failure code.
    virtual int testConnection(int handle) = 0;
    // 1 when the message was accepted; anything else is a failure code.
    virtual int send(int handle, const QString &mobile, const QString &text) = 0;
    virtual void disconnect(int handle) = 0;
    // What the operator should know before using it (empty when the gateway is ready).
    virtual QString notice() const { return QString(); }
};

// The gateway of a machine without one: every connect fails with kNotInstalled.
class NoSmsGateway : public SmsGateway {
public:
    static constexpr int kNotInstalled = -1;
    int connect(const QString &, int, const QString &, const QString &) override { return kNotInstalled; }
    int testConnection(int) override { return kNotInstalled; }
    int send(int, const QString &, const QString &) override { return kNotInstalled; }
    void disconnect(int) override {}
    QString notice() const override;
};

// The gateway the SMS window uses; tests put their own in place (not owned; nullptr restores).
SmsGateway &smsGateway();
void setSmsGateway(SmsGateway *gateway);

} // namespace orv
