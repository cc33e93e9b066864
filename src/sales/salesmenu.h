#pragma once
// Sales' tables and menu entries.
namespace orv {

void registerSalesWindows();

} // namespace orv
