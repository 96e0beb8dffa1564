// The club decoders of both directions against arbitrary bytes: nothing may crash, no more
// than one frame's bytes ever wait, every frame decoded is the bytes at its place in the
// stream, deals, stages and introductions read back to the bytes their encoder writes, and
// how the bytes were split into reads changes nothing.

#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

#include "net/club/club_codec.h"

using namespace trilane::club;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

// A deal and a stage have one writing: decoded, they encode back to the very bytes read
// (a stage up to its byte 33, the rest of its frame being padding nobody reads).
void CheckWriting(const Decoded& d) {
  if (const auto* deal = std::get_if<Deal>(&d.message)) {
    Check(EncodeDeal(deal->deck) == d.bytes);
  } else if (const auto* stage = std::get_if<Stage>(&d.message)) {
    std::string head = "h" + std::string(1, static_cast<char>('0' + stage->step));
    for (const auto& code : stage->codes) head += stage->step == 2 ? code.Bytes() : "00";
    head += static_cast<char>('0' + stage->sender);
    Check(d.bytes.compare(0, head.size(), head) == 0);
  } else if (const auto* connect = std::get_if<Connect>(&d.message)) {
    Check(d.bytes.compare(0, 8, EncodeConnect(connect->seat).substr(0, 8)) == 0);
  }
}

void CheckStream(std::string_view input, Direction direction) {
  if (input.empty()) return;
  const size_t chunk = 1 + static_cast<uint8_t>(input[0]) % 64;
  const std::string_view stream = input.substr(1);

  Decoder inReads(direction);
  std::vector<Decoded> got;
  for (size_t pos = 0; pos < stream.size(); pos += chunk) {
    for (Decoded& d : inReads.Feed(stream.substr(pos, chunk))) got.push_back(std::move(d));
    Check(inReads.BufferedBytes() < kDealBytes);
  }
  Decoder whole(direction);
  const std::vector<Decoded> once = whole.Feed(stream);
  Check(once.size() == got.size());

  size_t offset = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    Check(got[i].bytes == once[i].bytes && got[i].message == once[i].message);
    Check(stream.substr(offset, got[i].bytes.size()) == got[i].bytes);
    offset += got[i].bytes.size();
    CheckWriting(got[i]);
  }
  Check(stream.size() - offset == whole.BufferedBytes());
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckStream(input, Direction::kToServer);
  CheckStream(input, Direction::kToPlayer);
  return 0;
}
