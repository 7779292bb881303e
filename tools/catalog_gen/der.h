// A small DER writer: each function returns the complete encoding (tag,
// definite length, contents) of one value, so structures are built by
// concatenating the encodings of their parts.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace der {

using Bytes = std::string;  // raw octets

// Tag and length in front of the contents octets (short form up to 127, long form above).
Bytes Wrap(unsigned char tag, const Bytes& contents);
Bytes Sequence(const std::vector<Bytes>& parts);
// A SET OF: DER orders the elements by their encodings.
Bytes SetOf(std::vector<Bytes> parts);
// Dotted object identifier, e.g. "1.3.6.1.4.1.311.10.1".
Bytes Oid(const std::string& dotted);
Bytes Integer(std::int64_t value);
Bytes Null();
Bytes OctetString(const Bytes& octets);
// BMPString of an ASCII text (two octets per character, big-endian).
Bytes BmpString(const std::string& ascii);
// UTCTime for 1950..2049, GeneralizedTime otherwise, from seconds since 1970 (UTC).
Bytes Time(std::int64_t unixSeconds);
// Context-specific tag number n: constructed (EXPLICIT or a constructed IMPLICIT) or primitive.
Bytes Explicit(int n, const Bytes& inner);
Bytes ImplicitPrimitive(int n, const Bytes& contents);
// The contents octets of one encoding (what lies after its tag and length); empty when malformed.
Bytes ContentsOf(const Bytes& encoding);

// UTF-16LE of an ASCII text with its terminating zero, as Windows stores names and values.
Bytes Utf16LeZ(const std::string& ascii);
// Upper-case hexadecimal of octets.
std::string Hex(const Bytes& octets);

}  // namespace der
