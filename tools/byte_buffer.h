// Little-endian and big-endian byte appenders for the file writers.
#pragma once

#include <cstdint>
#include <string_view>
#include <vector>

namespace gen {

using Bytes = std::vector<std::uint8_t>;

inline void put_u8(Bytes& out, std::uint32_t v) {
  out.push_back(static_cast<std::uint8_t>(v));
}
inline void put_le16(Bytes& out, std::uint32_t v) {
  put_u8(out, v);
  put_u8(out, v >> 8);
}
inline void put_le32(Bytes& out, std::uint32_t v) {
  put_le16(out, v);
  put_le16(out, v >> 16);
}
inline void put_be32(Bytes& out, std::uint32_t v) {
  put_u8(out, v >> 24);
  put_u8(out, v >> 16);
  put_u8(out, v >> 8);
  put_u8(out, v);
}
inline void put_tag(Bytes& out, std::string_view tag) {
  for (char c : tag) put_u8(out, static_cast<unsigned char>(c));
}
inline void put_bytes(Bytes& out, const Bytes& more) {
  out.insert(out.end(), more.begin(), more.end());
}

}  // namespace gen
