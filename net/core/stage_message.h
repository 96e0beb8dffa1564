#pragma once
// What direct play and the tournament's club frames both carry: the stage message and the
// cards of a deal, written and read the same way on both paths.
//
//   Stage  1 "h"; 2 the step "1".."7"; 3-32 the payload; 33 the sender ("1".."4").
//          For "h2" the payload is the sender's fifteen slots, Front 1..5, Middle 1..5,
//          Back 1..5, two bytes each ("##" for an empty slot); for every other step thirty
//          "0". Direct play sends these 33 bytes as they are; a club frame pads them to 50.
//   Deal   1 "b"; 2-105 the 52 card codes in deck order; 106-209 their rank values, two
//          digits each ("01".."13", matching the rank letters). Direct play adds its rule
//          letter at 210; a tournament deal ends here.
//
// Positions are 1-based; every byte is code page 1251. None of these layouts may change:
// every peer reads fixed positions.

#include <array>
#include <cstddef>
#include <optional>
#include <string>
#include <string_view>

#include "rules/arrangement.h"
#include "rules/deck.h"

namespace trilane::net {

inline constexpr int kPayloadBytes = 30;
inline constexpr int kStageBytes = 33;
inline constexpr size_t kDealCardBytes = 209;

// The fifteen slot codes of an arrangement in travel order.
using PayloadCodes = std::array<CardCode, 15>;

struct Stage {
  int step = 1;          // 1..7
  PayloadCodes codes{};  // "h2" only; every other step carries thirty "0"
  int sender = 1;        // byte 33: 1..4
  friend bool operator==(const Stage&, const Stage&) = default;
};

// Whether byte `i` of a stage message (i < kStageBytes) or of a deal's cards
// (i < kDealCardBytes) fits its layout, given the bytes before it; `b` holds byte `i`.
// A stream decoder uses these to take a message only once all of its bytes fit.
bool StageByteFits(std::string_view b, size_t i);
bool DealCardByteFits(std::string_view b, size_t i);

// The stage message in the first kStageBytes of `b`; nothing when they break its layout or
// are fewer.
std::optional<Stage> ReadStage(std::string_view b);
// The deck in the first kDealCardBytes of `b`; nothing when they break its layout or are
// fewer.
std::optional<Deck> ReadDealCards(std::string_view b);

std::string EncodeStage(const Stage& stage);
// "h1", "h3".."h7" from `sender`.
std::string EncodeStep(int step, int sender);
// "h2": the sender's rows.
std::string EncodeArrangement(const Arrangement& rows, int sender);
// "b", the card codes and their rank values, without a rule letter.
std::string EncodeDealCards(const Deck& deck);

// The 30-byte payload of "h2" and its reading; a payload of another length is refused.
std::string ArrangementPayload(const Arrangement& rows);
std::optional<PayloadCodes> ParseArrangementPayload(std::string_view payload);

}  // namespace trilane::net
