#pragma once
// Tables of departments, staff and customers. Call before the program or a test connects.
namespace orv {

void registerPartnersSchema();

} // namespace orv
