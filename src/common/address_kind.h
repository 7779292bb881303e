// What the address a user typed turned out to be: a dotted IPv4 address, or a
// host name (a ".local" name) that the system resolves.
#pragma once

enum class AddressKind { Ipv4Address, HostName };
