#include <gtest/gtest.h>

#include <string>

#include "platform/SiteIcons.h"

namespace brindlework {
namespace {

const WebAddress kPage = *ParseWebAddress(u"https://example.com/dir/page.html?x=1");

// An address as text, "/..." when it is on the page's host.
std::string Shown(const std::optional<WebAddress>& address) {
  if (!address) return "none";
  const std::string text = AddressText(*address);
  return text.starts_with("https://example.com/") ? text.substr(19) : text;
}
// The candidates of a page read at kPage, in order.
std::string Candidates(std::string_view page) {
  std::string texts;
  for (const auto& address : IconCandidates(page, kPage)) texts += Shown(address) + " ";
  return texts;
}

TEST(SiteIconsTest, AddressesResolveAsBrowsersResolveThemAndOnlyHttpOnesAreKept) {
  const std::pair<std::string_view, std::string> rows[] = {
      {"./b/./c/../../../up.png", "/up.png"},
      {"/r.png?v=2#frag", "/r.png?v=2"},
      {"?q", "/dir/page.html?q"},
      {"//CDN.Example.NET:8443/i.png", "https://cdn.example.net:8443/i.png"},
      {"HTTP://user:pw@Other.org:80", "http://other.org/"},
      {" \t/a\nb c\xC3\xA9.png\r\n ", "/ab%20c%C3%A9.png"},
      {"http://[::1]:8080/x", "http://[::1]:8080/x"},
  };
  for (const auto& [reference, address] : rows) {
    EXPECT_EQ(Shown(ResolveAddress(kPage, reference)), address) << reference;
  }
  for (const std::string_view nothing :
       {"", " \t ", "javascript:alert(1)", "data:image/png,AA", "file:///C:/a", "http:// /",
        "http://a:65536/", "http://a:8o/"}) {
    EXPECT_FALSE(ResolveAddress(kPage, nothing)) << nothing;
  }
  // What the user types: non-ASCII and blanks of the path and query encoded, the host lower case.
  EXPECT_EQ(Shown(ParseWebAddress(u"http://[2001:DB8::1]:81/a b/\u00E9?q=\u4E2D#f")),
            "http://[2001:db8::1]:81/a%20b/%C3%A9?q=%E4%B8%AD");
  for (const TextView nothing : {u"example.com", u"https://", u"https://exa mple.com/"}) {
    EXPECT_FALSE(ParseWebAddress(nothing));
  }
}

TEST(SiteIconsTest, ThePageOffersItsBestIconsFirstAndFaviconIcoLast) {
  const std::pair<std::string_view, std::string> rows[] = {
      // rel tokens, names in any case, the three quotings; mask-icon and fluid-icon are others
      {"<link rel=mask-icon href=m.png><link rel=fluid-icon href=f.png>"
       "<LINK REL='Shortcut ICON' HREF=a.png><Link Rel=\"alternate  icon\" href=b.png>",
       "/dir/a.png /dir/b.png /favicon.ico "},
      // character references; the first of duplicate attributes wins
      {"<link href='/q?a&amp;b&#38;c&#x26;d&quot;' rel=icon href=no.png>",
       "/q?a&b&c&d%22 /favicon.ico "},
      {"<link rel=icon href=u.png><link rel=icon sizes=any href=any.png>"
       "<link rel=icon sizes='16x16 64X48' href=48.png><link rel=icon sizes=32x32 href=32.png>",
       "/dir/48.png /dir/32.png /dir/u.png /favicon.ico "},
      {"<link rel=apple-touch-icon sizes=180x180 href=t.png><link rel=icon sizes=64x64"
       " media='(prefers-color-scheme: dark)' href=dark.png><body><link rel=icon href=plain.png>",
       "/dir/plain.png /dir/dark.png /dir/t.png /favicon.ico "},
      {"<link rel=apple-touch-icon-precomposed href=p.png>"
       "<link rel=apple-touch-icon sizes=57x57 href=t.png>",
       "/dir/t.png /dir/p.png /favicon.ico "},
      // what WIC cannot read, and what is no http(s) address
      {"<link rel=icon type=' Image/SVG+xml ' href=a.png><link rel=icon href=b.SVG?v=1>"
       "<link rel=icon href='data:image/png,AA'><link rel=icon href=javascript:x>"
       "<link rel=icon href=ok>",
       "/dir/ok /favicon.ico "},
      {"<!-- <link rel=icon href=c.png> --><script>'<link rel=icon href=s.png>'</script >"
       "<style><link rel=icon href=st.png></style><title><link rel=icon href=t.png></title>"
       "<textarea><link rel=icon href=ta.png></TEXTAREA><!--><link rel=icon href=ok>",
       "/dir/ok /favicon.ico "},
      {"<link rel=icon href=a.png><base href=/other/><base href=/ignored/>",
       "/other/a.png /favicon.ico "},
      {"<link rel=icon href=/favicon.ico><link rel=icon href=/favicon.ico#x>", "/favicon.ico "},
      {"", "/favicon.ico "},
      {std::string_view("\0\xFF<<\x80</ <!", 10), "/favicon.ico "},
      {"<link rel=icon href='a.png>", "/favicon.ico "},
  };
  for (const auto& [page, candidates] : rows) {
    EXPECT_EQ(Candidates(page), candidates) << page;
  }
}

TEST(SiteIconsTest, APageIsReadToItsLimitAndKeepsItsFirstLinks) {
  const std::string link = "<link rel=icon href=/i.png>";
  EXPECT_EQ(Candidates(std::string(kPageLimit - link.size(), ' ') + link), "/i.png /favicon.ico ");
  EXPECT_EQ(Candidates(std::string(kPageLimit + 1 - link.size(), ' ') + link), "/favicon.ico ");

  std::string many;
  for (int i = 1; i < 64; ++i) many += "<link rel=icon href=/" + std::to_string(i) + ">";
  many += "<link rel=icon sizes=16x16 href=/64th><link rel=icon sizes=32x32 href=/65th>";
  EXPECT_EQ(Candidates(many), "/64th /1 /2 /favicon.ico ");
}

TEST(SiteIconsTest, RedirectsAreFollowedFiveTimesToHttpAddressesNeverLessSecure) {
  const struct {
    bool secure;  // from https://example.com/a/b?x, else from http://example.com/
    int status;
    std::string_view location;
    int redirectsSoFar;
    std::string next;
  } rows[] = {
      {true, 301, "sub/page?q=1", 0, "/a/sub/page?q=1"},
      {true, 303, "//other.example/x#f", 0, "https://other.example/x"},
      {true, 307, "https://u:p@h.example:8443", 0, "https://h.example:8443/"},
      {true, 308, "../c", 4, "/c"},
      {false, 302, "https://example.com/", 0, "/"},
      {true, 308, "/x", 5, "refused"},
      {true, 302, "http://example.com/", 0, "refused"},
      {false, 301, "file:///etc/passwd", 0, "refused"},
      {false, 302, "", 0, "refused"},
      {false, 200, "/x", 0, "the answer"},
      {false, 304, "/x", 0, "the answer"},
  };
  for (const auto& row : rows) {
    const auto from =
        ParseWebAddress(row.secure ? u"https://example.com/a/b?x" : u"http://example.com/");
    const auto [outcome, next] = NextAddress(*from, row.status, row.location, row.redirectsSoFar);
    const std::string shown[] = {"the answer", Shown(next), "refused"};  // by Outcome
    EXPECT_EQ(shown[static_cast<int>(outcome)], row.next) << row.status << " " << row.location;
  }
}

}  // namespace
}  // namespace brindlework
