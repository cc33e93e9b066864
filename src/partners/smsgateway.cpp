#include "partners/smsgateway.h"

namespace orv {

namespace {
SmsGateway *g_gateway = nullptr;
} // namespace

QString NoSmsGateway::notice() const { return QStringLiteral("本机没有安装短信网关，无法连接短信服务器发送短信"); }

SmsGateway &smsGateway()
{
    static NoSmsGateway none;
    return g_gateway ? *g_gateway : none;
}

void setSmsGateway(SmsGateway *gateway) { g_gateway = gateway; }

} // namespace orv
