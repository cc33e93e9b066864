#pragma once

namespace orv {
// Registers the tables of departments, staff and customers and the menu entries
// 客户目录 (N7), 部门资料 (CopyItem) and 人员目录 (PasteItem).
void registerPartnersWindows();
} // namespace orv
