// The bytes of the two request variants, compared exactly.

#include <gtest/gtest.h>

#include <string>

#include "web/request.h"

namespace trilane::web {
namespace {

// "Москва" in code page 1251.
const std::string kMoscow = "\xCC\xEE\xF1\xEA\xE2\xE0";

TEST(RequestBody, PostFormJoinsRawBytesUnescaped) {
  EXPECT_EQ(BuildPostForm({{"nick", "Ann&Bob"}, {"about", "a=b c"}, {"city", kMoscow}}),
            "nick=Ann&Bob&about=a=b c&city=" + kMoscow);
  EXPECT_EQ(BuildPostForm({}), "");
  EXPECT_EQ(BuildPostForm({{"label1", "0"}}), "label1=0");
}

TEST(RequestBody, PostFieldsEncodesUtf8AndDoublesTheSeparator) {
  EXPECT_EQ(BuildPostFields({{"nick", "Ann"}, {"pw", "se cret&1"}, {"label0", "0"}}),
            "nick=Ann&&pw=se+cret%261&&label0=0");
  EXPECT_EQ(BuildPostFields({{"city", kMoscow}}), "city=%D0%9C%D0%BE%D1%81%D0%BA%D0%B2%D0%B0");
  EXPECT_EQ(BuildPostFields({{"k", "*-._~!$="}}), "k=*-._%7E%21%24%3D");
  EXPECT_EQ(BuildPostFields({{"one", "1"}}), "one=1");
}

TEST(RequestBody, ScriptRequestCarriesTheTokenAndFormType) {
  const HttpRequest r = ScriptRequest("http://h/scripts/account", {{"label1", "0"}},
                                      FormVariant::kPostForm, std::chrono::milliseconds(3000));
  EXPECT_EQ(r.url, "http://h/scripts/account");
  EXPECT_EQ(r.body, "label1=0");
  EXPECT_EQ(r.readTimeout.count(), 3000);
  EXPECT_EQ(r.headers, (std::vector<std::string>{"User-Agent: MosaicTurnKey",
                                                 "Content-Type: application/x-www-form-urlencoded",
                                                 "Accept: text/html, */*"}));
}

}  // namespace
}  // namespace trilane::web
