#pragma once
// The warehouse's tables and menu entries (the seven internal document kinds).
namespace orv {

void registerWarehouseWindows();

} // namespace orv
