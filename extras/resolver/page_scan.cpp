#include "extras/resolver/page_scan.h"

#include <algorithm>
#include <charconv>
#include <cstdint>
#include <map>
#include <optional>

#include "platform/text.h"

namespace nivra::extras {
namespace {

struct Tag {
  std::string name;  // lower case; "/video" for an end tag
  std::map<std::string, std::string> attributes;  // names lower case, values decoded
  bool complete = false;                           // its ">" was found (else the page ended)
};

bool isSpace(char c) { return c == ' ' || c == '\t' || c == '\n' || c == '\r' || c == '\f'; }

// Reads the tag that starts at html[pos] == '<'; pos ends after its '>'.
Tag readTag(std::string_view html, std::size_t& pos) {
  Tag tag;
  std::size_t i = pos + 1;
  const std::size_t nameStart = i;
  while (i < html.size() && !isSpace(html[i]) && html[i] != '>' && (html[i] != '/' || i == nameStart)) ++i;
  tag.name = text::toLower(html.substr(nameStart, i - nameStart));
  while (i < html.size() && html[i] != '>') {
    if (isSpace(html[i]) || html[i] == '/') {
      ++i;
      continue;
    }
    const std::size_t an = i;
    while (i < html.size() && !isSpace(html[i]) && html[i] != '=' && html[i] != '>') ++i;
    std::string name = text::toLower(html.substr(an, i - an));
    while (i < html.size() && isSpace(html[i])) ++i;
    std::string value;
    if (i < html.size() && html[i] == '=') {
      ++i;
      while (i < html.size() && isSpace(html[i])) ++i;
      if (i < html.size() && (html[i] == '"' || html[i] == '\'')) {
        const char quote = html[i++];
        const std::size_t end = std::min(html.find(quote, i), html.size());
        value = DecodeEntities(html.substr(i, end - i));
        i = std::min(end + 1, html.size());
      } else {
        const std::size_t vs = i;
        while (i < html.size() && !isSpace(html[i]) && html[i] != '>') ++i;
        value = DecodeEntities(html.substr(vs, i - vs));
      }
    }
    tag.attributes.emplace(std::move(name), std::move(value));
  }
  tag.complete = i < html.size();
  pos = std::min(i + 1, html.size());
  return tag;
}

// Skips raw text up to the end tag `</name` (script and style content hold no tags).
void skipRawText(std::string_view html, std::size_t& pos, std::string_view name) {
  for (std::size_t at = pos; (at = html.find("</", at)) != std::string_view::npos; at += 2) {
    if (text::startsWithNoCase(html.substr(at + 2), name)) {
      pos = at;
      return;
    }
  }
  pos = html.size();
}

bool startsTag(std::string_view html, std::size_t pos) {
  if (pos + 1 >= html.size()) return false;
  const char c = html[pos + 1];
  return c == '/' || c == '!' || (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

std::string attribute(const Tag& tag, const std::string& name) {
  const auto it = tag.attributes.find(name);
  return it == tag.attributes.end() ? std::string() : std::string(text::trim(it->second));
}

bool isWebAddress(std::string_view url) {
  return text::startsWithNoCase(url, "http://") || text::startsWithNoCase(url, "https://");
}

std::optional<double> secondsOf(std::string_view s) {
  s = text::trim(s);
  double v = 0;
  const auto [end, ec] = std::from_chars(s.data(), s.data() + s.size(), v);
  if (ec != std::errc() || end != s.data() + s.size() || !(v > 0) || v > 1e9) return std::nullopt;
  return v;
}

void appendCodePoint(std::string& out, std::uint32_t cp) {
  if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) cp = 0xFFFD;
  if (cp < 0x80) {
    out += static_cast<char>(cp);
  } else if (cp < 0x800) {
    out += static_cast<char>(0xC0 | (cp >> 6));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else if (cp < 0x10000) {
    out += static_cast<char>(0xE0 | (cp >> 12));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  } else {
    out += static_cast<char>(0xF0 | (cp >> 18));
    out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
    out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
    out += static_cast<char>(0x80 | (cp & 0x3F));
  }
}

}  // namespace

std::string DecodeEntities(std::string_view s) {
  static const std::map<std::string_view, char> kNamed{
      {"amp", '&'}, {"lt", '<'}, {"gt", '>'}, {"quot", '"'}, {"apos", '\''}};
  std::string out;
  for (std::size_t i = 0; i < s.size(); ++i) {
    const auto semi = s[i] == '&' ? s.find(';', i) : std::string_view::npos;
    if (semi == std::string_view::npos || semi - i > 10) {
      out += s[i];
      continue;
    }
    const std::string_view ref = s.substr(i + 1, semi - i - 1);
    if (const auto it = kNamed.find(ref); it != kNamed.end()) {
      out += it->second;
    } else if (ref.size() > 1 && ref[0] == '#') {
      const bool hex = ref[1] == 'x' || ref[1] == 'X';
      const std::string_view digits = ref.substr(hex ? 2 : 1);
      std::uint32_t cp = 0;
      const auto [end, ec] = std::from_chars(digits.data(), digits.data() + digits.size(), cp, hex ? 16 : 10);
      if (ec != std::errc() || end != digits.data() + digits.size() || digits.empty()) {
        out += s[i];
        continue;
      }
      appendCodePoint(out, cp);
    } else {
      out += s[i];
      continue;
    }
    i = semi;
  }
  return out;
}

std::string ResolveUrl(std::string_view base, std::string_view ref) {
  ref = text::trim(ref);
  const auto colon = ref.find(':');
  const auto firstSep = ref.find_first_of("/?#");
  if (colon != std::string_view::npos && colon > 0 && (firstSep == std::string_view::npos || colon < firstSep))
    return std::string(ref);  // has its own scheme
  const auto schemeEnd = base.find("://");
  if (schemeEnd == std::string_view::npos) return std::string(ref);
  const std::string_view scheme = base.substr(0, schemeEnd);
  const auto pathStart = base.find('/', schemeEnd + 3);
  const std::string_view origin = base.substr(0, pathStart);
  std::string_view path = pathStart == std::string_view::npos ? "/" : base.substr(pathStart);
  path = path.substr(0, path.find_first_of("?#"));
  if (ref.starts_with("//")) return std::string(scheme) + ":" + std::string(ref);
  if (ref.starts_with("/")) return std::string(origin) + std::string(ref);
  if (ref.empty()) return std::string(base.substr(0, base.find('#')));
  if (ref.starts_with("?")) return std::string(origin) + std::string(path) + std::string(ref);
  if (ref.starts_with("#")) return std::string(base.substr(0, base.find('#'))) + std::string(ref);
  const std::string_view dir = path.substr(0, path.rfind('/') + 1);
  return std::string(origin) + std::string(dir) + std::string(ref);
}

PageMedia ScanPageForMedia(std::string_view html, std::string_view pageUrl) {
  PageMedia media;
  std::string base(pageUrl);
  std::vector<std::string> videos;
  std::map<std::string, std::string> openGraph;
  bool inVideo = false;
  bool videoHasSource = false;
  std::size_t pos = 0;
  while ((pos = html.find('<', pos)) != std::string_view::npos) {
    if (html.substr(pos, 4) == "<!--") {
      const auto end = html.find("-->", pos + 4);
      pos = end == std::string_view::npos ? html.size() : end + 3;
      continue;
    }
    if (!startsTag(html, pos)) {
      ++pos;
      continue;
    }
    const Tag tag = readTag(html, pos);
    if (!tag.complete) break;  // a tag cut off by the end of the page makes no element
    if (tag.name == "script" || tag.name == "style") {
      skipRawText(html, pos, tag.name);
    } else if (tag.name == "base" && !attribute(tag, "href").empty()) {
      base = ResolveUrl(pageUrl, attribute(tag, "href"));
    } else if (tag.name == "video") {
      inVideo = true;
      videoHasSource = false;
      if (auto src = attribute(tag, "src"); !src.empty()) {
        videos.push_back(ResolveUrl(base, src));
        videoHasSource = true;
      }
    } else if (tag.name == "/video") {
      inVideo = false;
    } else if (tag.name == "source" && inVideo && !videoHasSource) {
      if (auto src = attribute(tag, "src"); !src.empty()) {
        videos.push_back(ResolveUrl(base, src));
        videoHasSource = true;
      }
    } else if (tag.name == "meta") {
      std::string key = text::toLower(attribute(tag, "property"));
      if (key.empty()) key = text::toLower(attribute(tag, "name"));
      if (!key.empty() && !openGraph.contains(key)) openGraph[key] = attribute(tag, "content");
    }
  }
  if (videos.empty()) {
    for (const char* key : {"og:video:secure_url", "og:video:url", "og:video"}) {
      if (auto it = openGraph.find(key); it != openGraph.end() && !it->second.empty()) {
        videos.push_back(ResolveUrl(base, it->second));
        break;
      }
    }
  }
  for (auto& url : videos) {
    if (!isWebAddress(url) || url.find_first_of("\r\n") != std::string::npos) continue;
    if (std::find(media.urls.begin(), media.urls.end(), url) != media.urls.end()) continue;
    if (media.urls.size() == kMaxPageMedia) break;
    media.urls.push_back(std::move(url));
  }
  for (const char* key : {"video:duration", "og:video:duration"}) {
    if (auto it = openGraph.find(key); it != openGraph.end()) {
      if (auto seconds = secondsOf(it->second)) {
        media.durationSeconds = *seconds;
        break;
      }
    }
  }
  return media;
}

}  // namespace nivra::extras
