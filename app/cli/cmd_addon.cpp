// Subcommands for add-on resource libraries: addon list, addon extract.

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "cli.h"
#include "commands.h"
#include "platform/pe_resources.h"

namespace trilane::cli {
namespace {

namespace fs = std::filesystem;

// Add-on libraries are tens of megabytes; anything far larger is no library of ours.
constexpr std::uintmax_t kMaxLibraryBytes = std::uintmax_t{1} << 30;

std::vector<uint8_t> ReadLibrary(const std::string& path) {
  std::error_code ec;
  const auto size = fs::file_size(PathArgument(path), ec);
  if (ec) throw std::runtime_error(path + ": cannot read (" + ec.message() + ")");
  if (size > kMaxLibraryBytes)
    throw std::runtime_error(path + ": too large for a resource library");
  std::ifstream in(PathArgument(path), std::ios::binary);
  std::vector<uint8_t> bytes(static_cast<size_t>(size));
  if (!in.read(reinterpret_cast<char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()))) {
    throw std::runtime_error(path + ": cannot read");
  }
  return bytes;
}

int List(const CommandArgs& raw) {
  const Args a(raw, {}, {"json"});
  if (a.Positional().size() != 1) throw UsageError("expected one FILE");
  const std::string path = a.Positional()[0];
  const std::vector<uint8_t> bytes = ReadLibrary(path);
  const auto resources = ListPeResources(bytes);
  if (resources.empty())
    throw std::runtime_error(path + ": not a resource library (or it holds none)");
  if (a.Flag("json")) {
    Json j;
    j.BeginObject().Key("file").String(path).Key("resources").BeginArray();
    for (const PeResource& r : resources) {
      j.BeginObject()
          .Key("type")
          .String(ResourceTypeName(r.type))
          .Key("name")
          .String(r.name.ToString())
          .Key("language")
          .Int(r.language)
          .Key("size")
          .Int(static_cast<int64_t>(r.size))
          .EndObject();
    }
    j.EndArray().EndObject();
    std::printf("%s\n", j.Text().c_str());
    return 0;
  }
  for (const PeResource& r : resources) {
    std::printf("%-8s %-24s %10zu\n", ResourceTypeName(r.type).c_str(), r.name.ToString().c_str(),
                r.size);
  }
  return 0;
}

int Extract(const CommandArgs& raw) {
  const Args a(raw, {"type", "name", "out"}, {"force", "json"});
  if (a.Positional().size() != 1) throw UsageError("expected one FILE");
  const std::string path = a.Positional()[0];
  const ResourceId type = ParseResourceType(a.Required("type"));
  const std::string name = a.Required("name");
  const fs::path out = PathArgument(a.Required("out"));
  std::error_code ec;
  if (!a.Flag("force") && fs::exists(out, ec)) {
    throw std::runtime_error(out.string() + " exists; add --force to replace it");
  }
  const std::vector<uint8_t> bytes = ReadLibrary(path);
  const auto found = FindPeResource(bytes, type, name);
  if (!found) {
    throw std::runtime_error("no resource " + ResourceTypeName(type) + " " + name + " in " + path);
  }
  // Written beside the target and renamed over it: a failed write leaves no half file.
  fs::path part = out;
  part += ".part";
  {
    std::ofstream file(part, std::ios::binary | std::ios::trunc);
    file.write(reinterpret_cast<const char*>(found->data()),
               static_cast<std::streamsize>(found->size()));
    file.close();
    if (!file) {
      fs::remove(part, ec);
      throw std::runtime_error(out.string() + ": cannot write");
    }
  }
  fs::rename(part, out, ec);
  if (ec) {
    fs::remove(part, ec);
    throw std::runtime_error(out.string() + ": cannot write");
  }
  if (a.Flag("json")) {
    Json j;
    j.BeginObject().Key("written").String(out.string());
    j.Key("bytes").Int(static_cast<int64_t>(found->size())).EndObject();
    std::printf("%s\n", j.Text().c_str());
  } else {
    std::printf("%zu bytes written to %s\n", found->size(), out.string().c_str());
  }
  return 0;
}

}  // namespace

int RunAddon(const CommandArgs& args) {
  if (args.empty() || args[0].rfind("--", 0) == 0) {
    throw UsageError("missing addon subcommand (list, extract)");
  }
  const CommandArgs rest(args.begin() + 1, args.end());
  if (args[0] == "list") return List(rest);
  if (args[0] == "extract") return Extract(rest);
  throw UsageError("unknown addon subcommand '" + args[0] + "' (list, extract)");
}

}  // namespace trilane::cli
