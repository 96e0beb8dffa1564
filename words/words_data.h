#pragma once
// The compiled words table, as the generator writes it (words_data.cpp in the build folder).
// Only words.cpp reads these arrays; everyone else goes through words.h.

#include <cstdint>
#include <span>
#include <string_view>

#include "words/words.h"

namespace trilane::words_data {

inline constexpr int kEntryLimit = 1400;  // entry numbers are 0 .. kEntryLimit - 1

struct EntryRecord {
  int entry;
  std::string_view text[kLanguageCount];
};

extern const LanguageInfo kLanguageRecords[kLanguageCount];
extern const EntryRecord kEntryRecords[];  // by increasing entry
extern const int kEntryRecordCount;
extern const int kCarriedEntries[];                // the entry of each record, in the same order
extern const int16_t kRecordOfEntry[kEntryLimit];  // index into kEntryRecords, -1 if not carried
extern const std::span<const Country> kContinents[kContinentCount];

}  // namespace trilane::words_data
