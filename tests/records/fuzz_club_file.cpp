// Any bytes as a club file: the check says why it is bad, and a file that passes can be
// read member by member and updated without breaking its layout.

#include <cstdint>
#include <cstdlib>
#include <string_view>

#include "records/club_file.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  const std::string_view bytes(reinterpret_cast<const char*>(data), size);
  auto club = trilane::ParseClubFile(bytes);
  if (!club) {
    if (club.error().reason.empty()) std::abort();
    return 0;
  }
  const bool verified = !trilane::VerifyClubFile(*club);
  (void)trilane::ReadTopTen(*club);
  for (int slot = 1; slot <= trilane::kClubMembers + 1; ++slot) {
    const trilane::Member m = trilane::ReadMember(*club, slot);
    (void)trilane::DecodePassword(m.passwordCode);
    auto result =
        trilane::MatchResultFor(*club, slot, "Fuzz", *trilane::EncodePassword("f"),
                                size % 7 == 0 ? -40 : 17, 80 - static_cast<int>(size % 80));
    if (!result) continue;
    trilane::ClubFile copy = *club;
    if (auto out = trilane::ApplyMemberResult(copy, *result)) {
      trilane::UpdateClubChecksums(copy);
      auto reread = trilane::ParseClubFile(trilane::FormatClubFile(copy));
      if (!reread || (verified && trilane::VerifyClubFile(*reread))) std::abort();
    }
  }
  return 0;
}
