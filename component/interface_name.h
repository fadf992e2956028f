#pragma once
// How a factory matches the interface name a client asks for.

namespace quorvel {

// True when `name` equals `expected` over its whole length without regard to ASCII
// case ("iundula" matches "IUndula"; "IUndulaX", "", and null do not).
bool SameInterfaceName(const char* name, const char* expected);

} // namespace quorvel
