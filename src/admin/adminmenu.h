#pragma once

class QWidget;

namespace orv {

// Connects the administration entries of 系统维护 (系统初始化, 数据备份, 数据恢复, 数据导入,
// 权限设置, 操作员管理, 密码修改, 系统日志) and 服务支持.
void registerAdminWindows();

// 数据备份 and 数据恢复: the chosen file, the work, and the result as a message.
void backupDatabase(QWidget *parent);
void restoreDatabase(QWidget *parent);

} // namespace orv
