#include "encode/ogg_writer.h"

#include <new>

namespace zarn {
namespace {

// One logical stream a file: its serial number need not be random.
constexpr int kSerial = 0x7A61726E;

void append(std::vector<std::uint8_t>& out, const unsigned char* bytes, long size) {
  out.insert(out.end(), bytes, bytes + size);
}

}  // namespace

OggWriter::OggWriter() {
  if (ogg_stream_init(&stream_, kSerial) != 0) throw std::bad_alloc();
}

OggWriter::~OggWriter() {
  ogg_stream_clear(&stream_);
}

void OggWriter::packet(std::span<const std::uint8_t> bytes, std::int64_t granule, bool last) {
  ogg_packet p{};
  p.packet = const_cast<unsigned char*>(bytes.data());  // libogg copies it
  p.bytes = static_cast<long>(bytes.size());
  p.b_o_s = number_ == 0;
  p.e_o_s = last;
  p.granulepos = granule;
  p.packetno = number_;
  packet(p);
}

void OggWriter::packet(ogg_packet& packet) {
  packet.packetno = number_++;
  if (ogg_stream_packetin(&stream_, &packet) != 0) throw std::bad_alloc();
}

void OggWriter::pages(std::vector<std::uint8_t>& out, bool flush) {
  ogg_page page;
  while ((flush ? ogg_stream_flush(&stream_, &page) : ogg_stream_pageout(&stream_, &page)) != 0) {
    append(out, page.header, page.header_len);
    append(out, page.body, page.body_len);
  }
}

}  // namespace zarn
