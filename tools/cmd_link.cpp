// nivra-tool link encode|decode: produce private links from record texts and show what the
// player reads from them.

#include <charconv>
#include <iostream>
#include <nlohmann/json.hpp>

#include "player/links/url_link.h"
#include "player/links/url_link_encoder.h"
#include "tools/tool_command.h"

namespace nivra::tool {
namespace {

constexpr const char* kUsage =
    "usage: nivra-tool link encode [--lower] [--slash] [--prefix TEXT] [--length N] RECORD\n"
    "       nivra-tool link decode TEXT...\n"
    "encode prints the private link for RECORD (kind|name|size|address); --lower writes "
    "lower-case\n"
    "  digits, --slash appends \"/\", --prefix replaces \"Nivra://\", --length writes N "
    "(0..65535)\n"
    "  as the length prefix instead of the record's length.\n"
    "decode prints {\"kind\":K,\"name\":\"...\",\"size\":N,\"address\":\"...\"} for every TEXT "
    "that\n"
    "  decodes (kind 0 included); exit 1 when any TEXT is not a private link.\n";

// A text as a JSON string, so messages stay on one line whatever the text holds.
std::string quoted(const std::string& text) {
  return nlohmann::json(text).dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
}

int usageError(const std::string& message) {
  std::cerr << "nivra-tool link: " << message << " (see nivra-tool link --help)\n";
  return 2;
}

int runEncode(const std::vector<std::string>& args) {
  player::LinkEncoding encoding;
  std::optional<std::string> record;
  for (std::size_t i = 0; i < args.size(); ++i) {
    const std::string& a = args[i];
    const bool hasValue = i + 1 < args.size();
    if (a == "--lower") {
      encoding.lowerCaseDigits = true;
    } else if (a == "--slash") {
      encoding.trailingSlash = true;
    } else if (a == "--prefix" && hasValue) {
      encoding.prefix = args[++i];
    } else if (a == "--length" && hasValue) {
      const std::string& v = args[++i];
      unsigned value = 0;
      const auto [end, ec] = std::from_chars(v.data(), v.data() + v.size(), value);
      if (ec != std::errc() || end != v.data() + v.size() || value > 0xFFFF)
        return usageError("--length wants a number from 0 to 65535, not " + quoted(v));
      encoding.lengthPrefix = static_cast<std::uint16_t>(value);
    } else if (a.starts_with("--")) {
      return usageError("unknown or incomplete option " + quoted(a));
    } else if (record) {
      return usageError("encode takes one RECORD");
    } else {
      record = a;
    }
  }
  if (!record) return usageError("encode needs a RECORD");
  std::cout << player::EncodeLink(*record, encoding) << "\n";
  return 0;
}

int runDecode(const std::vector<std::string>& args) {
  if (args.empty()) return usageError("decode needs at least one TEXT");
  int status = 0;
  for (const auto& text : args) {
    const auto link = player::TEd2kLinkManager::Decode(text);
    if (!link) {
      std::cerr << "nivra-tool link decode: not a private link: " << quoted(text) << "\n";
      status = 1;
      continue;
    }
    nlohmann::ordered_json line;
    line["kind"] = link->Kind;
    line["name"] = link->Name;
    line["size"] = link->Size;
    line["address"] = link->Address;
    std::cout << line.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace) << "\n";
  }
  return status;
}

int runLink(const std::vector<std::string>& args) {
  if (args.empty()) return usageError("missing encode or decode");
  if (wantsHelp(args)) {
    std::cout << kUsage;
    return 0;
  }
  const std::vector<std::string> rest(args.begin() + 1, args.end());
  if (args[0] == "encode") return runEncode(rest);
  if (args[0] == "decode") return runDecode(rest);
  return usageError("unknown subcommand " + quoted(args[0]));
}

const ToolCommandRegistrar registrar{
    {"link", "encode a record text as a private link, or decode private links", runLink}};

}  // namespace
}  // namespace nivra::tool
