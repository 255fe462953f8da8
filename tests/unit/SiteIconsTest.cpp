#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "platform/SiteIcons.h"

namespace brindlework {
namespace {

using Texts = std::vector<std::string>;

const WebAddress kPage = *ParseWebAddress(u"https://example.com/dir/page.html?x=1");
const std::string kFavicon = "https://example.com/favicon.ico";

std::string Shown(const std::optional<WebAddress>& address) {
  return address ? AddressText(*address) : "none";
}
Texts Candidates(std::string_view page) {
  Texts texts;
  for (const auto& address : IconCandidates(page, kPage)) texts.push_back(AddressText(address));
  return texts;
}
std::string At(std::string_view path) {
  return "https://example.com" + std::string(path);
}

TEST(SiteIconsTest, AddressesAreResolvedAsBrowsersDoAndOnlyHttpOnesKept) {
  const std::pair<std::string_view, std::string> resolved[] = {
      {"a.png", At("/dir/a.png")},
      {"./b/./c/../../../up.png", At("/up.png")},
      {"../../../up.png", At("/up.png")},
      {"/r.png?v=2#frag", At("/r.png?v=2")},
      {"?q", At("/dir/page.html?q")},
      {"#top", At("/dir/page.html?x=1")},
      {"//CDN.Example.NET:8443/i.png", "https://cdn.example.net:8443/i.png"},
      {"HTTP://user:pw@Other.org:80", "http://other.org/"},
      {" \t/a\nb c\xC3\xA9.png\r\n ", At("/ab%20c%C3%A9.png")},
      {"http://[::1]:8080/x", "http://[::1]:8080/x"},
  };
  for (const auto& [reference, address] : resolved) {
    EXPECT_EQ(Shown(ResolveAddress(kPage, reference)), address) << reference;
  }
  for (const std::string_view nothing :
       {"", " \t ", "javascript:alert(1)", "data:image/png;base64,AA", "ftp://example.com/a",
        "file:///C:/a", "http:// /", "http://a:65536/", "http://a:0/", "http://a:8o/",
        "https:/x"}) {
    EXPECT_EQ(Shown(ResolveAddress(kPage, nothing)), "none") << nothing;
  }
  // What the user types: non-ASCII and blanks of the path and query encoded, the host lower case.
  EXPECT_EQ(Shown(ParseWebAddress(u"HTTPS://Example.COM:443")), "https://example.com/");
  EXPECT_EQ(Shown(ParseWebAddress(u"http://[2001:DB8::1]:81/a b/\u00E9?q=\u4E2D#f")),
            "http://[2001:db8::1]:81/a%20b/%C3%A9?q=%E4%B8%AD");
  for (const TextView nothing :
       {u"example.com", u"https://", u"https://exa mple.com/", u"https://a:x/"}) {
    EXPECT_FALSE(ParseWebAddress(nothing));
  }
}

TEST(SiteIconsTest, ThePageOffersItsBestIconsFirstAndFaviconIcoLast) {
  const struct {
    const char* name;
    std::string_view page;
    Texts candidates;
  } rows[] = {
      {"rel tokens in any case",
       "<link rel=mask-icon href=m.png><link rel=fluid-icon href=f.png>"
       "<LINK REL='Shortcut ICON' HREF=a.png><Link Rel=\"alternate  icon\" href=b.png>",
       {At("/dir/a.png"), At("/dir/b.png"), kFavicon}},
      {"quotes, references, the first of duplicates",
       "<link href='/q?a=1&amp;b&#38;c&#x26;d&quot;'"
       " rel=icon href=no.png>",
       {At("/q?a=1&b&c&d%22"), kFavicon}},
      {"sizes: the largest, of WxH the smaller side, any is none",
       "<link rel=icon href=u.png><link rel=icon sizes=any href=any.png>"
       "<link rel=icon sizes='16x16 64X48' href=48.png><link rel=icon sizes=32x32 href=32.png>",
       {At("/dir/48.png"), At("/dir/32.png"), At("/dir/u.png"), kFavicon}},
      {"media after those without, touch tiles last",
       "<link rel=apple-touch-icon sizes=180x180 href=t.png>"
       "<link rel=icon media='(prefers-color-scheme: dark)' sizes=64x64 href=dark.png>"
       "<body><link rel=icon href=plain.png>",
       {At("/dir/plain.png"), At("/dir/dark.png"), At("/dir/t.png"), kFavicon}},
      {"touch tiles alone, largest first",
       "<link rel=apple-touch-icon-precomposed href=p.png><link rel=apple-touch-icon sizes=57x57 "
       "href=t.png>",
       {At("/dir/t.png"), At("/dir/p.png"), kFavicon}},
      {"SVG, data: and javascript: skipped",
       "<link rel=icon type=' Image/SVG+xml ' href=a.png><link rel=icon href=b.SVG?v=1>"
       "<link rel=icon href='data:image/png;base64,AA'><link rel=icon href=javascript:x><link "
       "rel=icon href=ok>",
       {At("/dir/ok"), kFavicon}},
      {"nothing in comments or raw text",
       "<!-- <link rel=icon href=c.png> --><script>'<link rel=icon href=s.png>'</script >"
       "<style><link rel=icon href=st.png></style><title><link rel=icon href=t.png></title>"
       "<textarea><link rel=icon href=ta.png></TEXTAREA><!--><link rel=icon href=ok>",
       {At("/dir/ok"), kFavicon}},
      {"the first base, wherever it stands",
       "<link rel=icon href=a.png><base href=/other/><base href=/ignored/>",
       {At("/other/a.png"), kFavicon}},
      {"each address once",
       "<link rel=icon href=/favicon.ico><link rel=icon href=/favicon.ico#x>",
       {kFavicon}},
      {"no links", "", {kFavicon}},
      {"not HTML", std::string_view("\0\xFF<<\x80</ <!", 10), {kFavicon}},
      {"cut inside a tag", "<link rel=icon href='a.png>", {kFavicon}},
  };
  for (const auto& row : rows) {
    EXPECT_EQ(Candidates(row.page), row.candidates) << row.name;
  }
}

TEST(SiteIconsTest, APageIsReadToItsLimitAndKeepsItsFirstLinks) {
  const std::string link = "<link rel=icon href=/i.png>";
  const auto ending = [&link](std::size_t size) {
    return std::string(size - link.size(), ' ') + link;
  };
  EXPECT_EQ(Candidates(ending(kPageLimit)), (Texts{At("/i.png"), kFavicon}));
  EXPECT_EQ(Candidates(ending(kPageLimit + 1)), Texts{kFavicon});

  std::string many;
  for (int i = 1; i < 64; ++i) many += "<link rel=icon href=/" + std::to_string(i) + ">";
  many += "<link rel=icon sizes=16x16 href=/64th><link rel=icon sizes=32x32 href=/65th>";
  EXPECT_EQ(Candidates(many), (Texts{At("/64th"), At("/1"), At("/2"), kFavicon}));
}

TEST(SiteIconsTest, RedirectsAreFollowedFiveTimesToHttpAddressesNeverLessSecure) {
  using O = Redirect::Outcome;
  const struct {
    const char16_t* from;
    int status;
    std::string_view location;
    int soFar;
    O outcome;
    std::string next;
  } rows[] = {
      {u"https://example.com/a/b?x", 301, "sub/page?q=1", 0, O::Follow, At("/a/sub/page?q=1")},
      {u"https://example.com/a/b", 302, "/root#frag", 0, O::Follow, At("/root")},
      {u"https://example.com/a/b", 303, "//other.example/x", 0, O::Follow,
       "https://other.example/x"},
      {u"https://example.com/a/b", 307, "https://u:p@h.example:8443/", 0, O::Follow,
       "https://h.example:8443/"},
      {u"https://example.com/a/b", 308, "../c", 4, O::Follow, At("/c")},
      {u"http://example.com/", 302, "https://example.com/", 0, O::Follow, At("/")},
      {u"https://example.com/a/b", 308, "/x", 5, O::Refused, ""},
      {u"https://example.com/a/b", 302, "http://example.com/", 0, O::Refused, ""},
      {u"http://example.com/", 301, "file:///etc/passwd", 0, O::Refused, ""},
      {u"http://example.com/", 302, "ftp://example.com/", 0, O::Refused, ""},
      {u"http://example.com/", 302, "", 0, O::Refused, ""},
      {u"http://example.com/", 200, "/x", 0, O::NotRedirected, ""},
      {u"http://example.com/", 304, "/x", 0, O::NotRedirected, ""},
  };
  for (const auto& row : rows) {
    const Redirect redirect =
        NextAddress(*ParseWebAddress(row.from), row.status, row.location, row.soFar);
    EXPECT_EQ(redirect.outcome, row.outcome) << row.status << " " << row.location;
    if (row.outcome == O::Follow) {
      EXPECT_EQ(AddressText(redirect.next), row.next) << row.location;
    }
  }
}

}  // namespace
}  // namespace brindlework
