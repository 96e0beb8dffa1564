// The program's own resources, read back through the platform's resource module exactly as
// the game reads them: every name the catalogue lists, in the format and size it lists.

#include <gtest/gtest.h>

#include <QFile>
#include <cstring>
#include <span>

#include "assets/assets.h"
#include "assets/catalogue.h"
#include "tests/assets/catalogue_fixture.h"
#include "platform/images.h"
#include "platform/resource_module.h"

namespace trilane {
namespace {

using test::Bytes;
using test::Catalogue;

class ProgramResources : public ::testing::Test {
 protected:
  static void SetUpTestSuite() { InitAssets(); }
  ResourceModule module = ResourceModule::Program();
  std::optional<QByteArray> Get(std::string_view type, std::string_view name) {
    return module.Find(ParseResourceType(type), name);
  }
};

uint16_t Le16(const QByteArray& b, int at) {
  return static_cast<uint16_t>(static_cast<uint8_t>(b[at]) | static_cast<uint8_t>(b[at + 1]) << 8);
}
uint32_t Le32(const QByteArray& b, int at) {
  return Le16(b, at) | uint32_t{Le16(b, at + 2)} << 16;
}

// Checks one resource's bytes against its catalogue entry; returns what is wrong, or "".
std::string Check(const assets::Asset& a, const QByteArray& bytes) {
  if (bytes.isEmpty()) return "empty";
  if (a.format == "wav") {
    return bytes.startsWith("RIFF") && bytes.mid(8, 4) == "WAVE" ? "" : "not a wave file";
  }
  if (a.format == "mid") return bytes.startsWith("MThd") ? "" : "not a MIDI file";
  QImage img;
  if (a.format == "png") {
    if (!bytes.startsWith("\x89PNG")) return "not a PNG";
    img = DecodePng(Bytes(bytes));
  } else if (a.format == "jpeg") {
    if (!bytes.startsWith("\xff\xd8")) return "not a JPEG";
    img = DecodeJpeg(Bytes(bytes));
  } else if (a.format == "gif") {
    if (!bytes.startsWith("GIF89a")) return "not a GIF";
    img = DecodeGif(Bytes(bytes));
  } else if (a.format == "dib") {
    // Device-independent bitmap without the file header: the info header comes first.
    if (bytes.size() < 40 || Le32(bytes, 0) != 40) return "no bitmap info header";
    img = DecodeDib(Bytes(bytes));
  }
  if (img.isNull()) return "does not decode";
  if (a.width > 0 && img.size() != QSize(a.width, a.height)) {
    return "size " + std::to_string(img.width()) + "x" + std::to_string(img.height());
  }
  return "";
}

TEST_F(ProgramResources, EveryCatalogueEntryIsThereAndDecodes) {
  const auto entries = Catalogue().OfModule(assets::kProgramModule);
  ASSERT_GT(entries.size(), 300u);
  for (const assets::Asset* a : entries) {
    auto bytes = Get(a->type, a->name);
    ASSERT_TRUE(bytes.has_value()) << a->type << "/" << a->name << " is missing";
    EXPECT_EQ(Check(*a, *bytes), "") << a->type << "/" << a->name;
  }
}

// A cross-check of names other parts of the program ask for, independent of the catalogue,
// so that a line dropped from the catalogue cannot go unnoticed. Case does not matter.
TEST_F(ProgramResources, NamesThePartsAskForAreFound) {
  const std::pair<const char*, const char*> names[] = {
      {"BITMAP", "CH02"},          {"BITMAP", "pi5a"},         {"BITMAP", "Cher"},
      {"BITMAP", "OB07SU"},        {"RCDATA", "CH02B"},        {"RCDATA", "PIKIB"},
      {"RCDATA", "OB01MOB"},       {"RCDATA", "GCardOrangBg"}, {"RCDATA", "GCardBlackSm"},
      {"RCDATA", "GCard0Sm"},      {"RCDATA", "GKnockNBg"},    {"JPEG", "FonG"},
      {"JPEG", "FONGB"},           {"RCDATA", "SPFiolet"},     {"RCDATA", "Xb"},
      {"RCDATA", "R44_2"},         {"RCDATA", "Q59_L"},        {"RCDATA", "R29_R"},
      {"RCDATA", "Logo"},          {"RCDATA", "CapCze"},       {"RCDATA", "EliteEng"},
      {"RCDATA", "Net__Rus"},      {"RCDATA", "GTitle"},       {"RCDATA", "PngMenu2"},
      {"RCDATA", "GifMenu1"},      {"RCDATA", "LampY24"},      {"RCDATA", "StarG0"},
      {"RCDATA", "Account48"},     {"RCDATA", "GClockBG"},     {"RCDATA", "GBClockP"},
      {"RCDATA", "GNClock9"},      {"RCDATA", "GTimerY"},      {"RCDATA", "GMedal"},
      {"RCDATA", "GPlace10"},      {"RCDATA", "GMEDAL03"},     {"RCDATA", "GEndBads"},
      {"RCDATA", "GQorsT128"},     {"RCDATA", "GAcNoF"},       {"RCDATA", "GAcInstagramm"},
      {"RCDATA", "FaceWoman16"},   {"RCDATA", "GClubG"},       {"RCDATA", "GTopTen"},
      {"RCDATA", "GTourOff"},      {"RCDATA", "GSirenaR"},     {"RCDATA", "GNew"},
      {"RCDATA", "AdvButG"},       {"RCDATA", "AdvBar3"},      {"JPEG", "GIFBackGr"},
      {"RCDATA", "RamkaERBg"},     {"RCDATA", "Windows"},      {"RCDATA", "Android"},
      {"RCDATA", "CURARROW"},      {"RCDATA", "CURWAIT"},      {"RCDATA", "GCap610"},
      {"RCDATA", "GLenta280x090"}, {"RCDATA", "MidiSong"},     {"WAVE", "WDing_1"},
      {"WAVE", "WOpenFo"},         {"WAVE", "WKoGutX"},        {"WAVE", "STimerB"},
  };
  for (const auto& [type, name] : names) {
    EXPECT_TRUE(Get(type, name).has_value()) << type << "/" << name;
  }
  // The flag strips hold one 16 x 11 picture per country row, row 0 "Unknown" included.
  const std::pair<const char*, int> flags[] = {{"ILEuro", 49}, {"ILAsia", 52}, {"ILNAme", 36},
                                               {"ILSAme", 15}, {"ILOcea", 24}, {"ILAfri", 55},
                                               {"ILLang", 10}};
  for (const auto& [name, rows] : flags) {
    auto bytes = Get("RCDATA", name);
    ASSERT_TRUE(bytes.has_value()) << name;
    EXPECT_EQ(DecodePng(Bytes(*bytes)).size(), QSize(16 * rows, 11)) << name;
  }
}

TEST_F(ProgramResources, BuiltInFacesDifferFromEachOther) {
  // A generator slip that drew every card alike would still pass the checks above.
  const auto a = Get("RCDATA", "CH02B"), b = Get("RCDATA", "CH03B"), c = Get("BITMAP", "PI4K");
  const auto d = Get("BITMAP", "PI3Q");
  ASSERT_TRUE(a && b && c && d);
  EXPECT_NE(*a, *b);
  EXPECT_NE(*c, *d);
}

TEST_F(ProgramResources, EffectsAreShortAudiblePcm) {
  for (const assets::Asset* a : Catalogue().OfModule(assets::kProgramModule)) {
    if (a->kind != "effect") continue;
    auto bytes = Get(a->type, a->name);
    ASSERT_TRUE(bytes.has_value()) << a->name;
    const QByteArray& w = *bytes;
    ASSERT_GE(w.size(), 44) << a->name;
    EXPECT_EQ(Le16(w, 20), 1) << a->name;   // PCM
    EXPECT_EQ(Le16(w, 22), 1) << a->name;   // mono
    EXPECT_EQ(Le16(w, 34), 16) << a->name;  // 16-bit
    const uint32_t rate = Le32(w, 24), dataSize = Le32(w, 40);
    EXPECT_EQ(dataSize + 44, static_cast<uint32_t>(w.size())) << a->name;
    const double seconds = dataSize / 2.0 / rate;
    EXPECT_GT(seconds, 0.03) << a->name;
    EXPECT_LT(seconds, 2.0) << a->name;
    int peak = 0;
    for (int i = 44; i + 1 < w.size(); i += 2) {
      peak = std::max(peak, std::abs(static_cast<int16_t>(Le16(w, i))));
    }
    EXPECT_GT(peak, 8000) << a->name << " is nearly silent";
  }
}

// Reads the song's tracks and returns its length in seconds (one tempo for the whole song).
double SongSeconds(const QByteArray& m, int* tracks, int* notes) {
  auto be32 = [&](int at) {
    return static_cast<uint32_t>(
        static_cast<uint8_t>(m[at]) << 24 | static_cast<uint8_t>(m[at + 1]) << 16 |
        static_cast<uint8_t>(m[at + 2]) << 8 | static_cast<uint8_t>(m[at + 3]));
  };
  const int division = static_cast<uint8_t>(m[12]) << 8 | static_cast<uint8_t>(m[13]);
  *tracks = static_cast<uint8_t>(m[10]) << 8 | static_cast<uint8_t>(m[11]);
  *notes = 0;
  uint32_t tempo = 500000, longest = 0;
  int at = 14;
  for (int t = 0; t < *tracks; ++t) {
    EXPECT_EQ(m.mid(at, 4), "MTrk");
    const int end = at + 8 + static_cast<int>(be32(at + 4));
    int i = at + 8;
    uint32_t tick = 0;
    uint8_t status = 0;
    bool ended = false;
    while (i < end) {
      uint32_t delta = 0;
      uint8_t c;
      do {
        c = static_cast<uint8_t>(m[i++]);
        delta = delta << 7 | (c & 0x7f);
      } while (c & 0x80);
      tick += delta;
      if (static_cast<uint8_t>(m[i]) & 0x80) status = static_cast<uint8_t>(m[i++]);
      if (status == 0xff) {
        const uint8_t type = static_cast<uint8_t>(m[i++]);
        const int len = static_cast<uint8_t>(m[i++]);
        if (type == 0x51) tempo = be32(i - 1) & 0xffffff;
        if (type == 0x2f) ended = true;
        i += len;
      } else {
        if ((status & 0xf0) == 0x90 && m[i + 1] != 0) ++*notes;
        i += (status & 0xf0) == 0xc0 || (status & 0xf0) == 0xd0 ? 1 : 2;
      }
    }
    EXPECT_TRUE(ended) << "track " << t << " has no end";
    EXPECT_EQ(i, end) << "track " << t;
    longest = std::max(longest, tick);
    at = end;
  }
  EXPECT_EQ(at, m.size());
  return longest * (tempo / 1e6) / division;
}

TEST_F(ProgramResources, SongIsAMinuteLongMultiTrackMidi) {
  auto song = Get("RCDATA", "MidiSong");
  ASSERT_TRUE(song.has_value());
  ASSERT_GE(song->size(), 14);
  EXPECT_EQ(song->left(4), "MThd");
  EXPECT_EQ(song->at(9), 1);  // format 1
  int tracks = 0, notes = 0;
  const double seconds = SongSeconds(*song, &tracks, &notes);
  EXPECT_EQ(tracks, 5);  // tempo, melody, harmony, bass, brushes
  EXPECT_GT(notes, 300);
  EXPECT_NEAR(seconds, 57.6, 1.0);  // 24 bars of 4 beats at 100 beats a minute
}

}  // namespace
}  // namespace trilane
