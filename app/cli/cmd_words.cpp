// trilane-cli words: one text of the words tables, or the whole table as JSON.

#include <cstdio>
#include <string>

#include "cli.h"
#include "commands.h"
#include "words/words.h"

namespace trilane::cli {
namespace {

void WriteDump() {
  Json json;
  json.BeginObject();

  json.Key("entries").BeginObject();
  for (int entry : CarriedEntries()) {
    json.Key(std::to_string(entry)).BeginArray();
    for (int language = 0; language < kLanguageCount; ++language) {
      json.String(WordIn(entry, language));
    }
    json.EndArray();
  }
  json.EndObject();

  json.Key("titles").BeginObject();
  const std::pair<const char*, std::string_view LanguageInfo::*> kTitles[] = {
      {"product", &LanguageInfo::productTitle}, {"short", &LanguageInfo::shortTitle},
      {"author", &LanguageInfo::authorLine},    {"date", &LanguageInfo::releaseDate},
      {"suffix", &LanguageInfo::pictureSuffix},
  };
  for (const auto& [key, field] : kTitles) {
    json.Key(key).BeginArray();
    for (const LanguageInfo& language : Languages()) json.String(language.*field);
    json.EndArray();
  }
  json.EndObject();

  json.Key("languages").BeginArray();
  for (int i = 0; i < kLanguageCount; ++i) {
    const LanguageInfo& language = Languages()[i];
    json.BeginObject();
    json.Key("index").Int(i);
    json.Key("code").String(language.code);
    json.Key("name").String(language.englishName);
    json.Key("list").String(language.listName);
    json.Key("suffix").String(language.pictureSuffix);
    json.Key("translated").Bool(language.translated);
    json.EndObject();
  }
  json.EndArray();

  json.Key("countries").BeginObject();
  for (int continent = 1; continent <= kContinentCount; ++continent) {
    json.Key(std::to_string(continent)).BeginArray();
    for (const Country& country : CountryTable(continent)) {
      json.BeginObject();
      json.Key("english").String(country.englishName);
      json.Key("short").String(country.shortName);
      json.Key("russian").String(country.russianName);
      json.EndObject();
    }
    json.EndArray();
  }
  json.EndObject();

  json.EndObject();
  std::printf("%s\n", json.Text().c_str());
}

}  // namespace

int RunWords(const CommandArgs& raw) {
  // --dump is JSON in any case; --json is accepted with it as with every command.
  const Args args(raw, {"lang", "entry"}, {"dump", "json"});
  if (!args.Positional().empty())
    throw UsageError("unexpected argument '" + args.Positional()[0] + "'");
  const bool dump = args.Flag("dump");
  const auto entryText = args.Value("entry");
  if (dump == entryText.has_value()) throw UsageError("give either --entry E or --dump");
  if (dump) {
    if (args.Value("lang"))
      throw UsageError("--lang applies to --entry; --dump shows every language");
    WriteDump();
    return 0;
  }
  const int language = static_cast<int>(args.Int("lang", 0, kLanguageCount - 1, kEnglish));
  const int entry = static_cast<int>(ParseInt(*entryText, 0, 1 << 20, "--entry"));
  if (!IsCarried(entry))
    throw UsageError("entry " + std::to_string(entry) + " is not in the words tables");
  const std::string_view text = WordIn(entry, language);
  if (args.Flag("json")) {
    Json json;
    json.BeginObject().Key("entry").Int(entry).Key("language").Int(language);
    json.Key("text").String(text).EndObject();
    std::printf("%s\n", json.Text().c_str());
    return 0;
  }
  std::fwrite(text.data(), 1, text.size(), stdout);
  std::fputc('\n', stdout);
  return 0;
}

}  // namespace trilane::cli
