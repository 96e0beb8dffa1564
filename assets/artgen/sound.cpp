// Sound effects synthesised from a few partials with envelopes, the menu song as a standard
// MIDI file built from the notes in assets/song.txt, and the spoken card names (espeak-ng).

#include <QFile>
#include <QProcess>
#include <QStringList>
#include <QTemporaryDir>
#include <cmath>
#include <map>

#include "assets/artgen/artgen.h"

namespace trilane::artgen {
namespace {

constexpr int kRate = 22050;
constexpr double kPi = 3.14159265358979323846;

class Mix {
 public:
  explicit Mix(double seconds) : s_(static_cast<size_t>(seconds * kRate) + 1, 0.0) {}

  // A struck tone: partials at ratio multiples with their own decay, soft attack.
  void Tone(double at, double freq, double len, double amp, const std::vector<double>& partials,
            double decay, double attack = 0.004) {
    const size_t start = static_cast<size_t>(at * kRate);
    const size_t n = static_cast<size_t>(len * kRate);
    for (size_t i = 0; i < n && start + i < s_.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      double env = std::exp(-t * decay);
      if (t < attack) env *= t / attack;
      const double tail = len - t;
      if (tail < 0.02) env *= tail / 0.02;  // no click at the end
      double v = 0;
      for (size_t k = 0; k < partials.size(); ++k) {
        v += partials[k] * std::sin(2 * kPi * freq * static_cast<double>(k + 1) * t) *
             std::exp(-t * decay * 0.5 * static_cast<double>(k));
      }
      s_[start + i] += amp * env * v;
    }
  }
  // A pitch sweep (whoosh, pop).
  void Sweep(double at, double f0, double f1, double len, double amp) {
    const size_t start = static_cast<size_t>(at * kRate);
    const size_t n = static_cast<size_t>(len * kRate);
    double phase = 0;
    for (size_t i = 0; i < n && start + i < s_.size(); ++i) {
      const double u = static_cast<double>(i) / static_cast<double>(n);
      phase += 2 * kPi * (f0 + (f1 - f0) * u) / kRate;
      const double env = std::sin(kPi * u);
      s_[start + i] += amp * env * env * std::sin(phase);
    }
  }
  // Filtered noise burst (a card flick).
  void Noise(double at, double len, double amp, double smooth, uint32_t seed) {
    Rng rng(seed);
    const size_t start = static_cast<size_t>(at * kRate);
    const size_t n = static_cast<size_t>(len * kRate);
    double lp = 0, prev = 0;
    for (size_t i = 0; i < n && start + i < s_.size(); ++i) {
      const double t = static_cast<double>(i) / static_cast<double>(n);
      const double white = rng.Unit() * 2 - 1;
      lp += (white - lp) * smooth;
      const double hp = lp - prev;  // a touch of high-pass keeps it crisp
      prev = lp;
      s_[start + i] += amp * (lp * 0.6 + hp * 2.0) * std::exp(-t * 6) * std::min(1.0, t * 60);
    }
  }
  // A soft square-ish buzz (errors).
  void Buzz(double at, double freq, double len, double amp) {
    const size_t start = static_cast<size_t>(at * kRate);
    const size_t n = static_cast<size_t>(len * kRate);
    for (size_t i = 0; i < n && start + i < s_.size(); ++i) {
      const double t = static_cast<double>(i) / kRate;
      double v = 0;
      for (int k = 1; k <= 7; k += 2) v += std::sin(2 * kPi * freq * k * t) / k;
      const double u = static_cast<double>(i) / static_cast<double>(n);
      s_[start + i] += amp * v * std::min(1.0, u * 40) * (1 - u) * (1 - u);
    }
  }

  QByteArray Wave() const {
    double peak = 1e-9;
    for (double v : s_) peak = std::max(peak, std::abs(v));
    const double gain = 0.85 / peak;
    QByteArray data;
    for (double v : s_) {
      const int s = static_cast<int>(std::lround(v * gain * 32767));
      data.append(static_cast<char>(s & 0xff));
      data.append(static_cast<char>((s >> 8) & 0xff));
    }
    QByteArray b;
    auto put32 = [&](uint32_t v) {
      for (int i = 0; i < 4; ++i) b.append(static_cast<char>((v >> (8 * i)) & 0xff));
    };
    auto put16 = [&](uint16_t v) {
      b.append(static_cast<char>(v & 0xff));
      b.append(static_cast<char>(v >> 8));
    };
    b.append("RIFF");
    put32(static_cast<uint32_t>(36 + data.size()));
    b.append("WAVEfmt ");
    put32(16);
    put16(1);
    put16(1);
    put32(kRate);
    put32(kRate * 2);
    put16(2);
    put16(16);
    b.append("data");
    put32(static_cast<uint32_t>(data.size()));
    b.append(data);
    return b;
  }

 private:
  std::vector<double> s_;
};

double Note(int midi) {
  return 440.0 * std::pow(2.0, (midi - 69) / 12.0);
}

const std::vector<double> kBell = {1.0, 0.0, 0.35, 0.0, 0.2, 0.12};
const std::vector<double> kMallet = {1.0, 0.25, 0.1};
const std::vector<double> kBrass = {1.0, 0.6, 0.45, 0.3, 0.2, 0.12};
const std::vector<double> kSoft = {1.0, 0.15};

}  // namespace

QByteArray SynthEffect(const std::string& name) {
  if (name == "WOpenFo") {  // a light upward swish and a tap
    Mix m(0.22);
    m.Sweep(0.0, 500, 1500, 0.12, 0.35);
    m.Tone(0.07, Note(88), 0.15, 0.5, kMallet, 30);
    return m.Wave();
  }
  if (name == "WDing_1") {  // a clear bell
    Mix m(0.6);
    m.Tone(0, Note(84), 0.6, 1.0, kBell, 7);
    m.Tone(0, Note(91), 0.4, 0.25, kSoft, 12);
    return m.Wave();
  }
  if (name == "WPlMore") {  // bonus: a quick rising arpeggio
    Mix m(0.5);
    const int notes[] = {79, 83, 86, 91};
    for (int i = 0; i < 4; ++i) m.Tone(i * 0.07, Note(notes[i]), 0.3, 0.6, kMallet, 14);
    return m.Wave();
  }
  if (name == "WTasoKo") {  // the deck riffled: a run of card flicks
    Mix m(0.55);
    for (int i = 0; i < 9; ++i) m.Noise(i * 0.05, 0.06, 0.5, 0.35, 77 + i);
    m.Noise(0.46, 0.08, 0.7, 0.2, 99);
    return m.Wave();
  }
  if (name == "WKoGood") {  // match ended ahead
    Mix m(1.0);
    const int notes[] = {72, 76, 79, 84};
    for (int i = 0; i < 4; ++i) m.Tone(i * 0.12, Note(notes[i]), 0.55, 0.6, kBrass, 5);
    return m.Wave();
  }
  if (name == "WKoBads") {  // a deal or a match lost: a gentle falling minor third
    Mix m(0.9);
    m.Tone(0, Note(67), 0.35, 0.6, kSoft, 5);
    m.Tone(0.22, Note(63), 0.35, 0.6, kSoft, 5);
    m.Tone(0.44, Note(60), 0.45, 0.6, kSoft, 4);
    return m.Wave();
  }
  if (name == "WKoGutX") {  // a deal won: "ta-da"
    Mix m(0.7);
    m.Tone(0, Note(79), 0.12, 0.5, kBrass, 8);
    m.Tone(0.12, Note(84), 0.55, 0.6, kBrass, 5);
    m.Tone(0.12, Note(88), 0.55, 0.35, kBrass, 5);
    return m.Wave();
  }
  if (name == "WNichya") {  // a draw: two level notes
    Mix m(0.5);
    m.Tone(0, Note(74), 0.22, 0.5, kMallet, 9);
    m.Tone(0.2, Note(74), 0.28, 0.5, kMallet, 9);
    return m.Wave();
  }
  if (name == "WFiBest") {  // the best result: a fanfare
    Mix m(1.5);
    const int notes[] = {67, 72, 76, 79, 76, 79, 84};
    const double at[] = {0, 0.12, 0.24, 0.36, 0.6, 0.72, 0.84};
    for (int i = 0; i < 7; ++i) m.Tone(at[i], Note(notes[i]), i == 6 ? 0.65 : 0.3, 0.6, kBrass, 4);
    m.Tone(0.84, Note(76), 0.65, 0.3, kBrass, 4);
    m.Tone(0.84, Note(72), 0.65, 0.3, kBrass, 4);
    return m.Wave();
  }
  if (name == "WFiGood") {  // a good result
    Mix m(1.1);
    const int notes[] = {72, 76, 79, 84, 88};
    for (int i = 0; i < 5; ++i) m.Tone(i * 0.1, Note(notes[i]), 0.6, 0.5, kBell, 5);
    return m.Wave();
  }
  if (name == "WFiBads") {  // regrets: slow descending minor
    Mix m(1.4);
    const int notes[] = {69, 67, 65, 64};
    for (int i = 0; i < 4; ++i) m.Tone(i * 0.28, Note(notes[i]), 0.5, 0.5, kSoft, 3);
    m.Tone(0.84, Note(57), 0.5, 0.3, kSoft, 3);
    return m.Wave();
  }
  if (name == "WToMenK") {  // something arrived: a soft two-note pop
    Mix m(0.35);
    m.Tone(0, Note(81), 0.15, 0.5, kMallet, 16);
    m.Tone(0.1, Note(88), 0.25, 0.5, kMallet, 14);
    return m.Wave();
  }
  if (name == "WWrongs") {  // something failed: a short low buzz, twice
    Mix m(0.4);
    m.Buzz(0, 196, 0.16, 0.4);
    m.Buzz(0.18, 185, 0.2, 0.4);
    return m.Wave();
  }
  if (name == "STimerA") {  // clock tick
    Mix m(0.06);
    m.Tone(0, 1250, 0.05, 0.6, kMallet, 80, 0.001);
    return m.Wave();
  }
  if (name == "STimerB") {  // last seconds: a brighter, doubled tick
    Mix m(0.14);
    m.Tone(0, 2000, 0.05, 0.6, kMallet, 70, 0.001);
    m.Tone(0.07, 2000, 0.06, 0.6, kMallet, 70, 0.001);
    return m.Wave();
  }
  return {};
}

// ---- the song -------------------------------------------------------------------------------
//
// assets/song.txt: "tempo <bpm>", "loop <n>" and tracks:
//   track <channel 0-15> <program 0-127> <velocity>
//   then lines of tokens NOTE/BEATS, NOTE+NOTE/BEATS (a chord) or r/BEATS (a rest),
//   where NOTE is a letter, an optional # or b and an octave (C4 = middle C = 60), or a drum
//   number on channel 9. "|" between bars is ignored. A track's text may use "xN" after a
//   bar group in brackets: "[ ... ]x2" repeats it.

namespace {

constexpr int kTicks = 480;  // per quarter note

void PutVar(QByteArray& b, uint32_t v) {
  unsigned char buf[5];
  int n = 0;
  buf[n++] = v & 0x7f;
  while ((v >>= 7) != 0) buf[n++] = static_cast<unsigned char>((v & 0x7f) | 0x80);
  while (n > 0) b.append(static_cast<char>(buf[--n]));
}

int ParseNote(const QString& s, bool* ok) {
  *ok = false;
  if (s.isEmpty()) return 0;
  bool num = false;
  const int asNumber = s.toInt(&num);
  if (num) {
    *ok = asNumber >= 0 && asNumber < 128;
    return asNumber;
  }
  static const std::map<QChar, int> kSteps = {{'C', 0}, {'D', 2}, {'E', 4}, {'F', 5},
                                              {'G', 7}, {'A', 9}, {'B', 11}};
  auto it = kSteps.find(s[0].toUpper());
  if (it == kSteps.end()) return 0;
  int i = 1, pitch = it->second;
  if (i < s.size() && s[i] == '#')
    ++pitch, ++i;
  else if (i < s.size() && s[i] == 'b')
    --pitch, ++i;
  const int octave = s.mid(i).toInt(&num);
  if (!num) return 0;
  const int midi = (octave + 1) * 12 + pitch;
  *ok = midi >= 0 && midi < 128;
  return midi;
}

struct Event {
  uint32_t tick;
  int order;  // note-offs before note-ons at the same tick
  QByteArray bytes;
};

}  // namespace

QByteArray BuildSong(const QString& notesFile, QString* error) {
  QFile f(notesFile);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = "cannot read " + notesFile;
    return {};
  }
  const QStringList lines = QString::fromUtf8(f.readAll()).split('\n');
  int bpm = 100;
  struct Track {
    int channel, program, velocity;
    QStringList tokens;
  };
  std::vector<Track> tracks;
  for (int ln = 0; ln < lines.size(); ++ln) {
    QString line = lines[ln];
    const int hash = line.indexOf('#');
    if (hash >= 0) line.truncate(hash);
    const QStringList w = line.split(' ', Qt::SkipEmptyParts);
    if (w.isEmpty()) continue;
    if (w[0] == "tempo" && w.size() == 2) {
      bpm = w[1].toInt();
    } else if (w[0] == "track" && w.size() == 4) {
      tracks.push_back({w[1].toInt(), w[2].toInt(), w[3].toInt(), {}});
    } else if (!tracks.empty()) {
      tracks.back().tokens += w;
    } else {
      *error = QString("line %1: notes before a track").arg(ln + 1);
      return {};
    }
  }
  if (bpm <= 0 || tracks.empty()) {
    *error = "no tempo or no tracks";
    return {};
  }
  auto chunk = [](const char* id, const QByteArray& body) {
    QByteArray b(id);
    const uint32_t n = static_cast<uint32_t>(body.size());
    b.append(static_cast<char>(n >> 24)).append(static_cast<char>(n >> 16));
    b.append(static_cast<char>(n >> 8)).append(static_cast<char>(n));
    return b + body;
  };
  QByteArray header;
  header.append('\0').append('\1');  // format 1
  const int ntracks = static_cast<int>(tracks.size()) + 1;
  header.append(static_cast<char>(ntracks >> 8)).append(static_cast<char>(ntracks));
  header.append(static_cast<char>(kTicks >> 8)).append(static_cast<char>(kTicks & 0xff));
  QByteArray file = chunk("MThd", header);

  // Tempo track.
  QByteArray t0;
  const uint32_t usPerQuarter = 60000000u / static_cast<uint32_t>(bpm);
  PutVar(t0, 0);
  t0.append("\xff\x51\x03", 3);
  t0.append(static_cast<char>(usPerQuarter >> 16)).append(static_cast<char>(usPerQuarter >> 8));
  t0.append(static_cast<char>(usPerQuarter));
  PutVar(t0, 0);
  t0.append("\xff\x58\x04\x04\x02\x18\x08", 7);  // 4/4
  PutVar(t0, 0);
  t0.append("\xff\x2f\x00", 3);
  file += chunk("MTrk", t0);

  for (const Track& tr : tracks) {
    // Expand "[ ... ]xN" groups.
    QStringList flat;
    std::vector<std::pair<int, QStringList>> stack;
    for (const QString& tok : tr.tokens) {
      if (tok == "|") continue;
      if (tok == "[") {
        stack.push_back({0, {}});
      } else if (tok.startsWith("]x")) {
        if (stack.empty()) {
          *error = "unbalanced ]";
          return {};
        }
        QStringList group = stack.back().second;
        stack.pop_back();
        QStringList& target = stack.empty() ? flat : stack.back().second;
        for (int i = 0; i < tok.mid(2).toInt(); ++i) target += group;
      } else {
        (stack.empty() ? flat : stack.back().second) += tok;
      }
    }
    std::vector<Event> events;
    const char ch = static_cast<char>(tr.channel & 0x0f);
    events.push_back({0, 0,
                      QByteArray(1, static_cast<char>(0xC0 | ch)) +
                          QByteArray(1, static_cast<char>(tr.program & 0x7f))});
    uint32_t tick = 0;
    for (const QString& tok : flat) {
      const int slash = tok.indexOf('/');
      bool ok = false;
      const double beats = slash < 0 ? 0 : tok.mid(slash + 1).toDouble(&ok);
      if (slash < 0 || !ok || beats <= 0) {
        *error = "bad token " + tok;
        return {};
      }
      const uint32_t len = static_cast<uint32_t>(std::lround(beats * kTicks));
      const QString notes = tok.left(slash);
      if (notes != "r") {
        for (const QString& n : notes.split('+')) {
          const int pitch = ParseNote(n, &ok);
          if (!ok) {
            *error = "bad note " + n;
            return {};
          }
          const uint32_t gate = tr.channel == 9 ? kTicks / 8 : len - len / 10;
          QByteArray on(1, static_cast<char>(0x90 | ch));
          on.append(static_cast<char>(pitch)).append(static_cast<char>(tr.velocity & 0x7f));
          QByteArray off(1, static_cast<char>(0x80 | ch));
          off.append(static_cast<char>(pitch)).append('\0');
          events.push_back({tick, 1, on});
          events.push_back({tick + gate, 0, off});
        }
      }
      tick += len;
    }
    std::stable_sort(events.begin(), events.end(), [](const Event& a, const Event& b) {
      return a.tick != b.tick ? a.tick < b.tick : a.order < b.order;
    });
    QByteArray body;
    uint32_t last = 0;
    for (const Event& e : events) {
      PutVar(body, e.tick - last);
      body += e.bytes;
      last = e.tick;
    }
    PutVar(body, tick > last ? tick - last : 0);
    body.append("\xff\x2f\x00", 3);
    file += chunk("MTrk", body);
  }
  return file;
}

// ---- spoken card names ------------------------------------------------------------------

namespace {

struct VoiceLanguage {
  const char* voice;  // espeak-ng voice
  const char* ranks[13];
  const char* suits[4];  // hearts, diamonds, clubs, spades
  const char* pattern;   // %r rank, %s suit
};

// Mandarin is written in tone-numbered pinyin for the pinyin voice; Japanese in kana.
const VoiceLanguage kVoices[10] = {
    {"en-gb",
     {"Two", "Three", "Four", "Five", "Six", "Seven", "Eight", "Nine", "Ten", "Jack", "Queen",
      "King", "Ace"},
     {"hearts", "diamonds", "clubs", "spades"},
     "%r of %s"},
    {"ru",
     {"двойка", "тройка", "четвёрка", "пятёрка", "шестёрка", "семёрка", "восьмёрка", "девятка",
      "десятка", "валет", "дама", "король", "туз"},
     {"червей", "бубен", "треф", "пик"},
     "%r %s"},
    {"de",
     {"Zwei", "Drei", "Vier", "Fünf", "Sechs", "Sieben", "Acht", "Neun", "Zehn", "Bube", "Dame",
      "König", "Ass"},
     {"Herz", "Karo", "Kreuz", "Pik"},
     "%s %r"},
    {"fr",
     {"Deux", "Trois", "Quatre", "Cinq", "Six", "Sept", "Huit", "Neuf", "Dix", "Valet", "Dame",
      "Roi", "As"},
     {"cœur", "carreau", "trèfle", "pique"},
     "%r de %s"},
    {"es",
     {"Dos", "Tres", "Cuatro", "Cinco", "Seis", "Siete", "Ocho", "Nueve", "Diez", "Jota", "Reina",
      "Rey", "As"},
     {"corazones", "diamantes", "tréboles", "picas"},
     "%r de %s"},
    {"cmn-latn-pinyin",
     {"er4", "san1", "si4", "wu3", "liu4", "qi1", "ba1", "jiu3", "shi2", "gou1", "quan1", "kai3",
      "jian1"},
     {"hong2 tao2", "fang1 kuai4", "mei2 hua1", "hei1 tao2"},
     "%s %r"},
    {"it",
     {"Due", "Tre", "Quattro", "Cinque", "Sei", "Sette", "Otto", "Nove", "Dieci", "Fante", "Donna",
      "Re", "Asso"},
     {"cuori", "quadri", "fiori", "picche"},
     "%r di %s"},
    {"cs",
     {"dvojka", "trojka", "čtyřka", "pětka", "šestka", "sedmička", "osmička", "devítka", "desítka",
      "kluk", "dáma", "král", "eso"},
     {"srdce", "káry", "kříže", "piky"},
     "%r %s"},
    {"ja",
     {"ツー", "スリー", "フォー", "ファイブ", "シックス", "セブン", "エイト", "ナイン", "テン",
      "ジャック", "クイーン", "キング", "エース"},
     {"ハート", "ダイヤ", "クラブ", "スペード"},
     "%sの%r"},
    {"ko",
     {"이", "삼", "사", "오", "육", "칠", "팔", "구", "십", "잭", "퀸", "킹", "에이스"},
     {"하트", "다이아몬드", "클로버", "스페이드"},
     "%s %r"},
};

}  // namespace

std::string CardPhrase(int language, const std::string& code) {
  const VoiceLanguage& v = kVoices[language];
  int suit = 0;
  for (int s = 0; s < 4; ++s) {
    if (code.compare(0, 2, assets::kSuitPrefixes[s]) == 0) suit = s;
  }
  static const char* const kRankCodes[13] = {"02", "03", "04", "05", "06", "07", "08",
                                             "09", "10", "2J", "3Q", "4K", "5A"};
  int rank = 0;
  for (int r = 0; r < 13; ++r) {
    if (code.compare(2, 2, kRankCodes[r]) == 0) rank = r;
  }
  std::string out;
  for (const char* p = v.pattern; *p; ++p) {
    if (p[0] == '%' && p[1] == 'r') {
      out += v.ranks[rank];
      ++p;
    } else if (p[0] == '%' && p[1] == 's') {
      out += v.suits[suit];
      ++p;
    } else {
      out += *p;
    }
  }
  return out;
}

namespace {

// Cuts the silence espeak-ng leaves before and after the words (keeping a short margin), so
// a name is heard at once and the library stays small. Expects the 16-bit mono PCM espeak-ng
// writes, with the data chunk right after the format chunk.
QByteArray TrimSilence(const QByteArray& wave, QString* error) {
  if (wave.size() < 44 || !wave.startsWith("RIFF") || wave.mid(36, 4) != "data") {
    *error = "espeak-ng wrote an unexpected wave layout";
    return {};
  }
  auto le16 = [&](qsizetype at) {
    return static_cast<int16_t>(static_cast<uint8_t>(wave[at]) | static_cast<uint8_t>(wave[at + 1])
                                                                     << 8);
  };
  const int rate = static_cast<uint8_t>(wave[24]) | static_cast<uint8_t>(wave[25]) << 8;
  const qsizetype samples = (wave.size() - 44) / 2;
  qsizetype first = 0, last = samples - 1;
  while (first < samples && std::abs(le16(44 + first * 2)) < 400) ++first;
  while (last > first && std::abs(le16(44 + last * 2)) < 400) --last;
  const qsizetype margin = rate / 50;  // 20 ms
  first = std::max<qsizetype>(0, first - margin);
  last = std::min<qsizetype>(samples - 1, last + margin);
  QByteArray out = wave.left(44);
  out += wave.mid(44 + first * 2, (last - first + 1) * 2);
  auto put32 = [&](int at, uint32_t v) {
    for (int i = 0; i < 4; ++i) out[at + i] = static_cast<char>((v >> (8 * i)) & 0xff);
  };
  put32(4, static_cast<uint32_t>(out.size() - 8));
  put32(40, static_cast<uint32_t>(out.size() - 44));
  return out;
}

}  // namespace

QByteArray SpeakCardName(int language, const std::string& code, QString* error) {
  QTemporaryDir dir;
  if (!dir.isValid()) {
    *error = "no temporary folder";
    return {};
  }
  const QString out = dir.filePath("v.wav");
  QProcess p;
  // A slightly slower, clear voice; 10 ms of word gap keeps Mandarin syllables apart.
  p.start("espeak-ng", {"-v", kVoices[language].voice, "-s", "150", "-g", "1", "-w", out,
                        QString::fromStdString(CardPhrase(language, code))});
  if (!p.waitForFinished(30000) || p.exitStatus() != QProcess::NormalExit || p.exitCode() != 0) {
    *error = "espeak-ng failed (" + p.errorString() +
             "): " + QString::fromUtf8(p.readAllStandardError());
    return {};
  }
  QFile f(out);
  if (!f.open(QIODevice::ReadOnly)) {
    *error = "espeak-ng wrote nothing";
    return {};
  }
  return TrimSilence(f.readAll(), error);
}

}  // namespace trilane::artgen
