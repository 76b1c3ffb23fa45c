#include "wav_writer.h"

namespace gen {

Bytes encode_wav(const WavFormat& format, const Bytes& data) {
  const std::uint32_t block_align = static_cast<std::uint32_t>(format.bits_per_sample / 8);
  const std::uint32_t data_size = static_cast<std::uint32_t>(data.size());
  const std::uint32_t pad = data_size % 2;
  const std::uint32_t fact_size = format.fact_chunk ? 8 + 4 : 0;
  const std::uint32_t riff_size = 4 + (8 + 16) + fact_size + (8 + data_size + pad);

  Bytes out;
  out.reserve(8 + riff_size);
  put_tag(out, "RIFF");
  put_le32(out, riff_size);
  put_tag(out, "WAVE");

  put_tag(out, "fmt ");
  put_le32(out, 16);
  put_le16(out, 1);  // PCM
  put_le16(out, 1);  // mono
  put_le32(out, static_cast<std::uint32_t>(format.sample_rate));
  put_le32(out, static_cast<std::uint32_t>(format.sample_rate) * block_align);
  put_le16(out, block_align);
  put_le16(out, static_cast<std::uint32_t>(format.bits_per_sample));

  if (format.fact_chunk) {
    put_tag(out, "fact");
    put_le32(out, 4);
    put_le32(out, data_size / block_align);  // samples per channel
  }

  put_tag(out, "data");
  put_le32(out, data_size);
  put_bytes(out, data);
  if (pad) put_u8(out, 0);
  return out;
}

}  // namespace gen
