// The direct-play decoder against arbitrary input, two ways.
//
// As a raw stream in arbitrary reads: nothing may crash, the buffer stays bounded, every
// message decoded is exactly what the encoder writes for it at the place it was found, and
// how the bytes were split into reads changes nothing.
//
// As a script of messages that this program could send (chats with any text, names of any
// printable bytes, any deck, any rows): encoded one after another and fed in reads of the
// sizes the input chooses, they decode back to exactly those messages, in order and at
// their places, with nothing skipped.

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <string_view>
#include <vector>

#include "net/direct/direct_codec.h"
#include "rules/deck.h"

using trilane::direct::Decoded;
using trilane::direct::Decoder;
using trilane::direct::Message;

namespace {

void Check(bool ok) {
  if (!ok) std::abort();
}

void CheckRawStream(std::string_view input) {
  if (input.empty()) return;
  // The first byte chooses the read sizes; the rest is the stream.
  const size_t chunk = 1 + static_cast<uint8_t>(input[0]) % 64;
  const std::string_view stream = input.substr(1);

  Decoder inReads;
  std::vector<Decoded> got;
  for (size_t pos = 0; pos < stream.size(); pos += chunk) {
    for (Decoded& d : inReads.Feed(stream.substr(pos, chunk))) got.push_back(std::move(d));
    Check(inReads.BufferedBytes() <= Decoder::kMaxBufferedBytes);
  }
  for (const Decoded& d : got) {
    const std::string bytes = trilane::direct::Encode(d.message);
    Check(bytes.size() == d.length);
    Check(d.streamOffset + d.length <= stream.size());
    Check(stream.substr(d.streamOffset, d.length) == bytes);
  }

  Decoder whole;
  const std::vector<Decoded> once = whole.Feed(stream);
  Check(once.size() == got.size());
  for (size_t i = 0; i < once.size(); ++i) {
    Check(once[i].message == got[i].message && once[i].streamOffset == got[i].streamOffset);
  }
}

// Reads the input from the front; zeros once it runs out.
class Script {
 public:
  explicit Script(std::string_view input) : input_(input) {}
  bool Done() const { return pos_ >= input_.size(); }
  uint8_t Byte() { return pos_ < input_.size() ? static_cast<uint8_t>(input_[pos_++]) : 0; }
  int Pick(int from, int to) { return from + Byte() % (to - from + 1); }
  std::string Bytes(size_t n) {
    std::string out;
    for (size_t i = 0; i < n; ++i) out.push_back(static_cast<char>(Byte()));
    return out;
  }
  // A name as a player could type it: any byte from the blank up.
  std::string Name() {
    std::string name = Bytes(trilane::direct::kNameBytes);
    for (char& c : name) c = static_cast<char>(std::max<uint8_t>(static_cast<uint8_t>(c), 0x20));
    return name;
  }

 private:
  std::string_view input_;
  size_t pos_ = 0;
};

Message NextMessage(Script& s) {
  namespace d = trilane::direct;
  const auto names = [&s] { return d::NetNames{s.Name(), s.Name(), s.Name(), s.Name()}; };
  switch (s.Byte() % 8) {
    case 0:
      return d::Greeting{s.Pick(0, 99), s.Pick(0, 99), s.Name()};
    case 1:
      return d::Seated{s.Pick(2, 4), names()};
    case 2:
      return d::Joined{s.Pick(3, 4), names()};
    case 3:
      return d::Abort{};
    case 4: {
      // What EncodeChat makes of any text is what travels.
      const int writer = s.Pick(1, 4);
      const std::string text = s.Bytes(s.Byte() % 20);
      return d::Chat{writer, d::EncodeChat(writer, text).substr(2)};
    }
    case 5: {
      trilane::DeckRandom random(static_cast<uint32_t>(s.Byte()) << 8 | s.Byte());
      return d::Deal{trilane::ShuffleDeck(random), (s.Byte() & 1) != 0};
    }
    default: {
      d::Stage stage;
      stage.step = s.Pick(1, 7);
      stage.sender = s.Pick(1, 4);
      if (stage.step == 2) {
        for (trilane::CardCode& code : stage.codes) {
          const int number = s.Pick(0, trilane::kDeckSize);
          code = number == 0 ? trilane::CardCode{'#', '#'} : trilane::CardFromNumber(number).code;
        }
      }
      return stage;
    }
  }
}

void CheckMessageScript(std::string_view input) {
  Script script(input);
  const size_t chunk = 1 + script.Byte() % 97;
  std::vector<Message> sent;
  std::string stream;
  while (!script.Done() && sent.size() < 64) {
    sent.push_back(NextMessage(script));
    stream += trilane::direct::Encode(sent.back());
  }
  // A chat at the end may still be an older peer's short one until the next bytes say
  // otherwise; one more message ends the stream.
  sent.push_back(trilane::direct::Abort{});
  stream += trilane::direct::EncodeAbort();

  Decoder decoder;
  std::vector<Decoded> got;
  for (size_t pos = 0; pos < stream.size(); pos += chunk) {
    for (Decoded& d : decoder.Feed(std::string_view(stream).substr(pos, chunk))) {
      got.push_back(std::move(d));
    }
  }
  Check(got.size() == sent.size());
  uint64_t offset = 0;
  for (size_t i = 0; i < got.size(); ++i) {
    Check(got[i].message == sent[i]);
    Check(got[i].streamOffset == offset);
    offset += got[i].length;
  }
  Check(decoder.SkippedBytes() == 0 && decoder.BufferedBytes() == 0);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view input(reinterpret_cast<const char*>(data), size);
  CheckRawStream(input);
  CheckMessageScript(input);
  return 0;
}
