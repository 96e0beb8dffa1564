// The Chinese titles drawn into the pictures are in the same script as the Chinese words
// tables. The check uses ICU's own Simplified-to-Traditional conversion: a Traditional text
// comes out of it unchanged, a Simplified one does not.

#include <gtest/gtest.h>
#include <unicode/translit.h>
#include <unicode/unistr.h>

#include <memory>
#include <string>
#include <string_view>

#include "assets/artgen/picture_titles.h"
#include "assets/catalogue.h"
#include "words/words.h"

namespace trilane {
namespace {

class TraditionalScript : public ::testing::Test {
 protected:
  void SetUp() override {
    UErrorCode status = U_ZERO_ERROR;
    toTraditional_.reset(
        icu::Transliterator::createInstance("Simplified-Traditional", UTRANS_FORWARD, status));
    ASSERT_TRUE(U_SUCCESS(status) && toTraditional_) << u_errorName(status);
  }

  // The text as the Traditional script writes it.
  std::string Traditional(std::string_view text) const {
    icu::UnicodeString u = icu::UnicodeString::fromUTF8(
        icu::StringPiece(text.data(), static_cast<int32_t>(text.size())));
    toTraditional_->transliterate(u);
    std::string out;
    return u.toUTF8String(out);
  }

  // The text without the characters both scripts write alike but which the conversion maps
  // to one of several Traditional forms (只 "only" becomes 隻 "a single one").
  static std::string WithoutShared(std::string_view text) {
    std::string out(text);
    for (std::string_view shared : {"只", "干", "后", "里", "台", "面", "范", "系", "准"}) {
      for (size_t at = out.find(shared); at != std::string::npos; at = out.find(shared, at)) {
        out.erase(at, shared.size());
      }
    }
    return out;
  }

  std::unique_ptr<icu::Transliterator> toTraditional_;
};

int ChinesePictureColumn() {
  for (int i = 0; i < 8; ++i) {
    if (std::string_view(assets::kPictureLanguages[i]) == Languages()[kChinese].pictureSuffix) {
      return i;
    }
  }
  return -1;
}

TEST_F(TraditionalScript, ConversionChangesSimplifiedText) {
  // The oracle itself: without this a broken conversion would pass everything below.
  EXPECT_EQ(Traditional("十三张"), "十三張");
  EXPECT_EQ(Traditional("我们的游戏"), "我們的遊戲");
}

TEST_F(TraditionalScript, ChineseWordsAndPictureTitlesAgree) {
  for (int entry : CarriedEntries()) {
    const std::string text = WithoutShared(WordIn(entry, kChinese));
    EXPECT_EQ(Traditional(text), text) << "Chinese words entry " << entry;
  }
  const int column = ChinesePictureColumn();
  ASSERT_GE(column, 0);
  for (const auto& [stem, titles] : artgen::kPictureTitles) {
    const std::string title = WithoutShared(titles[column]);
    EXPECT_EQ(Traditional(title), title) << "picture title " << stem;
  }
}

}  // namespace
}  // namespace trilane
