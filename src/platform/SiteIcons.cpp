#include "platform/SiteIcons.h"

#include <algorithm>
#include <charconv>
#include <tuple>

namespace brindlework {
namespace {

constexpr std::string_view kSpaces = " \t\n\f\r";  // HTML's ASCII whitespace
constexpr std::string_view kNameEnd = " \t\n\f\r/>";
constexpr auto kNone = std::string_view::npos;

char Lower(char c) {
  return c >= 'A' && c <= 'Z' ? static_cast<char>(c - 'A' + 'a') : c;
}
bool IsAlpha(char c) {
  return Lower(c) >= 'a' && Lower(c) <= 'z';
}
bool IsDigit(char c) {
  return c >= '0' && c <= '9';
}
bool SameText(std::string_view a, std::string_view b) {
  return std::equal(a.begin(), a.end(), b.begin(), b.end(),
                    [](char x, char y) { return Lower(x) == Lower(y); });
}
std::string_view Trimmed(std::string_view text) {
  const auto first = text.find_first_not_of(kSpaces);
  if (first == kNone) return {};
  return text.substr(first, text.find_last_not_of(kSpaces) + 1 - first);
}

// Calls `use` with each space-separated token of `text`.
template <class Use>
void ForEachToken(std::string_view text, Use use) {
  for (auto at = text.find_first_not_of(kSpaces); at != kNone;
       at = text.find_first_not_of(kSpaces, at)) {
    const auto end = std::min(text.find_first_of(kSpaces, at), text.size());
    use(text.substr(at, end - at));
    at = end;
  }
}

std::uint16_t DefaultPort(bool secure) {
  return secure ? 443 : 80;
}

// The host and port of an authority into `address`, whose scheme is set; the user part is never
// sent. False for no host, a character that no host name holds (so a blank; names beyond ASCII
// are not converted), or a port that is not a number from 1 to 65535.
bool ReadAuthority(std::string_view authority, WebAddress& address) {
  if (const auto at = authority.rfind('@'); at != kNone) authority.remove_prefix(at + 1);
  std::string_view host = authority;
  std::string_view allowed = "-._";
  if (authority.starts_with('[')) {  // an IPv6 literal
    const auto close = authority.find(']');
    if (close == kNone) return false;
    host = authority.substr(1, close - 1);
    authority.remove_prefix(close + 1);
    if (host.find(':') == kNone || (!authority.empty() && authority[0] != ':')) return false;
    allowed = ":.";
  } else {
    host = authority.substr(0, authority.find(':'));
    authority.remove_prefix(host.size());
  }
  if (host.empty() || !std::all_of(host.begin(), host.end(), [allowed](char c) {
        return IsAlpha(c) || IsDigit(c) || allowed.find(c) != kNone;
      })) {
    return false;
  }
  address.host.clear();
  for (const char c : host) address.host += Lower(c);
  address.port = DefaultPort(address.secure);
  if (authority.size() > 1) {  // ":digits"; a bare ':' names the scheme's own port
    unsigned port = 0;
    for (const char c : authority.substr(1)) {
      if (!IsDigit(c) || (port = port * 10 + (c - '0')) > 65535) return false;
    }
    if (port == 0) return false;
    address.port = static_cast<std::uint16_t>(port);
  }
  return true;
}

// RFC 3986's remove_dot_segments, for a path that starts with '/'.
std::string WithoutDots(std::string_view path) {
  std::vector<std::string_view> kept;
  for (std::size_t at = 1;;) {
    const auto end = std::min(path.find('/', at), path.size());
    const auto segment = path.substr(at, end - at);
    const bool last = end == path.size();
    if (segment == ".." && !kept.empty()) kept.pop_back();
    if (segment != "." && segment != "..") {
      kept.push_back(segment);
    } else if (last) {
      kept.emplace_back();  // "/a/b/.." is "/a/", a folder
    }
    if (last) break;
    at = end + 1;
  }
  std::string out;
  for (const auto segment : kept) out.append("/").append(segment);
  return out;
}

// What RFC 3986 allows in a path and query goes as it is ('%' too: it may be encoded already);
// every other byte, those of UTF-8 among them, as %XX, since WinHTTP sends ASCII.
std::string Encoded(std::string_view text) {
  constexpr std::string_view kAllowed = "-._~:/?[]@!$&'()*+,;=%";
  std::string out;
  for (const char c : text) {
    if (IsAlpha(c) || IsDigit(c) || kAllowed.find(c) != kNone) {
      out += c;
    } else {
      const auto byte = static_cast<unsigned char>(c);
      out.append({'%', "0123456789ABCDEF"[byte >> 4], "0123456789ABCDEF"[byte & 15]});
    }
  }
  return out;
}

// The reference resolved as RFC 3986 section 5.2 does, against `base` when there is one.
std::optional<WebAddress> Resolve(const WebAddress* base, std::string_view reference) {
  // Browsers drop tabs and line breaks anywhere in an address and trim controls and blanks.
  std::string text;
  for (const char c : reference) {
    if (c != '\t' && c != '\n' && c != '\r') text += c;
  }
  const auto isBlank = [](char c) { return static_cast<unsigned char>(c) <= ' '; };
  text.erase(std::find_if_not(text.rbegin(), text.rend(), isBlank).base(), text.end());
  text.erase(text.begin(), std::find_if_not(text.begin(), text.end(), isBlank));
  if (text.empty()) return std::nullopt;  // an empty href would name the page itself
  std::string_view rest = std::string_view(text).substr(0, text.find('#'));  // never sent

  WebAddress address;
  if (const auto colon = rest.find_first_of(":/?"); colon != kNone && rest[colon] == ':') {
    address.secure = SameText(rest.substr(0, colon), "https");
    if (!address.secure && !SameText(rest.substr(0, colon), "http")) return std::nullopt;
    rest.remove_prefix(colon + 1);
    if (!rest.starts_with("//")) return std::nullopt;
  } else if (!base) {
    return std::nullopt;
  } else {
    address.secure = base->secure;
  }
  const bool ownHost = rest.starts_with("//");
  if (ownHost) {
    const auto end = std::min(rest.find_first_of("/?", 2), rest.size());
    if (!ReadAuthority(rest.substr(2, end - 2), address)) return std::nullopt;
    rest.remove_prefix(end);
  } else {
    address.host = base->host;
    address.port = base->port;
  }
  const auto question = std::min(rest.find('?'), rest.size());
  std::string path(rest.substr(0, question));
  std::string_view query = rest.substr(question);
  if (!ownHost && !path.starts_with('/')) {
    const std::string_view whole = base->pathAndQuery;
    const std::string_view basePath = whole.substr(0, whole.find('?'));
    if (path.empty() && query.empty()) query = whole.substr(basePath.size());
    // An empty path is the base's; any other goes beside the base's last segment.
    path.insert(0, path.empty() ? basePath : basePath.substr(0, basePath.rfind('/') + 1));
  }
  if (!path.starts_with('/')) path.insert(0, "/");
  address.pathAndQuery = Encoded(WithoutDots(path).append(query));
  return address;
}

// The attributes that a <link> or <base> is read for, as the page wrote them.
enum Attribute { kRel, kHref, kSizes, kMedia, kType, kAttributeCount };
constexpr std::string_view kAttributeNames[kAttributeCount] = {"rel", "href", "sizes", "media",
                                                               "type"};

struct Tag {
  std::string name;  // lower case
  std::optional<std::string_view> values[kAttributeCount];
};

// The start tags of a page's first kPageLimit bytes as HTML's tokenizer sees them: nothing in a
// comment, and nothing in the raw text of a script, style, textarea or title. A tag that the
// page's end cuts is no tag.
class Tags {
 public:
  explicit Tags(std::string_view page) : page_(page.substr(0, kPageLimit)) {}

  bool Next(Tag& tag) {
    for (;;) {
      const auto open = page_.find('<', at_);
      if (open == kNone) return false;
      at_ = open + 1;
      const std::string_view rest = page_.substr(at_);
      const bool end = rest.starts_with('/');
      if (rest.starts_with("!--")) {
        SkipPast("-->", open + 2);  // from "<!" on, so that "<!-->" closes itself as in HTML
      } else if (rest.starts_with('!') || rest.starts_with('?') ||
                 (end && !(rest.size() > 1 && IsAlpha(rest[1])))) {
        SkipPast(">", at_);  // a doctype or a bogus comment
      } else if (!rest.empty() && (IsAlpha(rest[0]) || end)) {
        at_ += end;
        if (!Read(tag)) return false;
        if (end) continue;
        for (const std::string_view raw : {"script", "style", "textarea", "title"}) {
          if (tag.name == raw) SkipRawText(raw);
        }
        return true;
      }
    }
  }

 private:
  void SkipPast(std::string_view mark, std::size_t from) {
    const auto found = page_.find(mark, from);
    at_ = found == kNone ? page_.size() : found + mark.size();
  }

  // To the element's end tag: "</name" then a blank, '/' or '>'.
  void SkipRawText(std::string_view name) {
    for (auto close = page_.find("</", at_); close != kNone; close = page_.find("</", close + 2)) {
      const std::string_view after = page_.substr(close + 2);
      if (after.size() > name.size() && SameText(after.substr(0, name.size()), name) &&
          kNameEnd.find(after[name.size()]) != kNone) {
        at_ = close;
        return;
      }
    }
    at_ = page_.size();
  }

  // The tag whose name starts at at_, as far as its '>'; false when the page ends before it.
  bool Read(Tag& tag) {
    tag = Tag{};
    auto end = Clamp(page_.find_first_of(kNameEnd, at_));
    for (const char c : page_.substr(at_, end - at_)) tag.name += Lower(c);
    for (at_ = end; (at_ = Clamp(page_.find_first_not_of(" \t\n\f\r/", at_))) < page_.size();) {
      if (page_[at_] == '>') {
        ++at_;
        return true;
      }
      end = Clamp(page_.find_first_of(" \t\n\f\r/>=", at_ + 1));  // a leading '=' is in the name
      const std::string_view name = page_.substr(at_, end - at_);
      std::string_view value;
      at_ = Clamp(page_.find_first_not_of(kSpaces, end));
      if (at_ < page_.size() && page_[at_] == '=') {
        at_ = Clamp(page_.find_first_not_of(kSpaces, at_ + 1));
        const bool quoted = at_ < page_.size() && (page_[at_] == '"' || page_[at_] == '\'');
        end = Clamp(quoted ? page_.find(page_[at_], at_ + 1)
                           : page_.find_first_of(" \t\n\f\r>", at_));
        value = page_.substr(at_ + quoted, end - at_ - quoted);
        at_ = end + quoted;
      }
      for (int i = 0; i < kAttributeCount; ++i) {  // the first of duplicates wins
        if (!tag.values[i] && SameText(name, kAttributeNames[i])) tag.values[i] = value;
      }
    }
    return false;
  }
  std::size_t Clamp(std::size_t at) const { return std::min(at, page_.size()); }

  std::string_view page_;
  std::size_t at_ = 0;
};

// An attribute's value with its character references decoded: the named ones an address may hold
// and every numeric one.
std::string Decoded(std::string_view value) {
  constexpr std::pair<std::string_view, char> kNamed[] = {
      {"amp;", '&'}, {"quot;", '"'}, {"apos;", '\''}, {"lt;", '<'}, {"gt;", '>'}};
  std::string out;
  for (std::size_t at = 0; at < value.size();) {
    const std::string_view rest = value.substr(at + 1);
    if (value[at] != '&') {
      out += value[at++];
    } else if (rest.starts_with('#')) {
      const bool hex = rest.size() > 1 && Lower(rest[1]) == 'x';
      const char* digits = rest.data() + (hex ? 2 : 1);
      std::uint32_t code = 0;
      const auto [end, error] =
          std::from_chars(digits, rest.data() + rest.size(), code, hex ? 16 : 10);
      if (end == digits) {  // no digits: no reference
        out += value[at++];
        continue;
      }
      if (error != std::errc() || code == 0 || code > 0x10FFFF ||
          (code >= 0xD800 && code < 0xE000)) {
        code = 0xFFFD;
      }
      out += Utf8(code > 0xFFFF ? Text{static_cast<char16_t>(0xD7C0 + (code >> 10)),
                                       static_cast<char16_t>(0xDC00 | (code & 0x3FF))}
                                : Text(1, static_cast<char16_t>(code)));
      at = static_cast<std::size_t>(end - value.data()) +
           (end < value.data() + value.size() && *end == ';');
    } else {
      const auto named =
          std::find_if(std::begin(kNamed), std::end(kNamed),
                       [rest](const auto& entry) { return rest.starts_with(entry.first); });
      out += named == std::end(kNamed) ? '&' : named->second;
      at += named == std::end(kNamed) ? 1 : 1 + named->first.size();
    }
  }
  return out;
}

// The largest size that a sizes attribute declares, of each "WxH" the smaller side; 0 for none
// ("any" is no size).
std::uint32_t LargestSize(std::string_view sizes) {
  const auto number = [](std::string_view digits) {
    std::uint32_t value = 0;
    const auto [end, error] = std::from_chars(digits.data(), digits.data() + digits.size(), value);
    return end == digits.data() + digits.size() && error == std::errc() ? value : 0;
  };
  std::uint32_t largest = 0;
  ForEachToken(sizes, [&](std::string_view token) {
    const auto x = token.find_first_of("xX");
    if (x == kNone) return;
    largest = std::max(largest, std::min(number(token.substr(0, x)), number(token.substr(x + 1))));
  });
  return largest;
}

struct Link {
  WebAddress address;
  bool touch;  // an apple-touch-icon: an opaque tile, tried only after every icon link
  bool media;  // often a dark-mode icon
  std::uint32_t size;
};

// The link that a <link> element names, if it is an icon that Windows may read.
std::optional<Link> IconLink(const Tag& tag, const WebAddress& base) {
  if (tag.name != "link" || !tag.values[kRel] || !tag.values[kHref]) return std::nullopt;
  bool icon = false;
  bool touch = false;
  ForEachToken(Decoded(*tag.values[kRel]), [&](std::string_view token) {
    icon = icon || SameText(token, "icon");
    touch = touch || SameText(token, "apple-touch-icon") ||
            SameText(token, "apple-touch-icon-precomposed");
  });
  // WIC reads no SVG.
  const std::string type = tag.values[kType] ? Decoded(*tag.values[kType]) : std::string();
  if ((!icon && !touch) ||
      SameText(Trimmed(std::string_view(type).substr(0, type.find(';'))), "image/svg+xml")) {
    return std::nullopt;
  }
  auto address = ResolveAddress(base, Decoded(*tag.values[kHref]));
  if (!address) return std::nullopt;
  const std::string_view path =
      std::string_view(address->pathAndQuery).substr(0, address->pathAndQuery.find('?'));
  if (path.size() >= 4 && SameText(path.substr(path.size() - 4), ".svg")) return std::nullopt;
  return Link{std::move(*address), !icon,
              tag.values[kMedia] && !Trimmed(*tag.values[kMedia]).empty(),
              tag.values[kSizes] ? LargestSize(Decoded(*tag.values[kSizes])) : 0};
}

}  // namespace

std::string AddressText(const WebAddress& address) {
  std::string text = address.secure ? "https://" : "http://";
  const bool ipv6 = address.host.find(':') != std::string::npos;
  text.append(ipv6 ? "[" : "").append(address.host).append(ipv6 ? "]" : "");
  if (address.port != DefaultPort(address.secure)) {
    text.append(":").append(std::to_string(address.port));
  }
  return text.append(address.pathAndQuery);
}

std::optional<WebAddress> ParseWebAddress(TextView text) {
  return Resolve(nullptr, Utf8(text));
}

std::optional<WebAddress> ResolveAddress(const WebAddress& base, std::string_view reference) {
  return Resolve(&base, reference);
}

std::vector<WebAddress> IconCandidates(std::string_view page, const WebAddress& final) {
  // Links resolve against the first <base href>, wherever it stands.
  WebAddress base = final;
  Tag tag;
  for (Tags tags(page); tags.Next(tag);) {
    if (tag.name == "base" && tag.values[kHref]) {
      base = ResolveAddress(final, Decoded(*tag.values[kHref])).value_or(final);
      break;
    }
  }
  // Icons before touch tiles, those for every screen first, the largest first; else page order.
  const auto better = [](const Link& a, const Link& b) {
    return std::tie(a.touch, a.media, b.size) < std::tie(b.touch, b.media, a.size);
  };
  std::vector<Link> links;  // in order: each goes after those as good as it
  for (Tags tags(page); links.size() < kMostPageLinks && tags.Next(tag);) {
    if (auto link = IconLink(tag, base)) {
      links.insert(std::upper_bound(links.begin(), links.end(), *link, better), std::move(*link));
    }
  }

  std::vector<WebAddress> candidates;
  const auto add = [&candidates](const WebAddress& address) {
    if (std::find(candidates.begin(), candidates.end(), address) == candidates.end()) {
      candidates.push_back(address);
    }
  };
  for (std::size_t i = 0; i < links.size() && candidates.size() < kMostPageCandidates; ++i) {
    add(links[i].address);
  }
  WebAddress favicon = final;
  favicon.pathAndQuery = "/favicon.ico";
  add(favicon);
  return candidates;
}

Redirect NextAddress(const WebAddress& current, int status, std::string_view location,
                     int redirectsSoFar) {
  if (status != 301 && status != 302 && status != 303 && status != 307 && status != 308) return {};
  const auto next = ResolveAddress(current, location);
  // Never from https to http: what the secure connection protected would go in the clear.
  if (redirectsSoFar >= kMostRedirects || !next || (current.secure && !next->secure)) {
    return {Redirect::Outcome::Refused, {}};
  }
  return {Redirect::Outcome::Follow, *next};
}

}  // namespace brindlework
