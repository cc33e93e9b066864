#pragma once
#include <QString>

namespace orv {
// The application title, captioning every plain message.
inline const QString kAppTitle = QStringLiteral("Orvane仓库管理软件-标准版");
QString appTitle();
void setAppTitle(const QString &title);
} // namespace orv
