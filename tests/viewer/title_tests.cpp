// The title after a repaint, and the long-name rule: the end of the path
// after an ellipsis, the time always whole, never more than the buffer.
#include "title.h"

#include <gtest/gtest.h>

#include <cwchar>
#include <string>

namespace velmora::test {
namespace {

using viewer::FormatTitle;
using viewer::kTitleChars;

std::wstring title_for(const std::wstring& name, int ms) {
  WCHAR title[kTitleChars];
  std::wmemset(title, L'#', kTitleChars);
  FormatTitle(title, name.c_str(), ms);
  EXPECT_LT(std::wcslen(title), static_cast<std::size_t>(kTitleChars)) << "terminated inside the buffer";
  return title;
}

TEST(ViewerTitle, NameThenTimeInMilliseconds) {
  EXPECT_EQ(title_for(L"tiger.emf", 15), L"tiger.emf [15 ms]");
  EXPECT_EQ(title_for(L"tiger.emf", 0), L"tiger.emf [0 ms]");
  EXPECT_EQ(title_for(L"", 3), L" [3 ms]");
}

TEST(ViewerTitle, ANameThatJustFitsIsKeptWhole) {
  const std::wstring time = L" [15 ms]";
  const std::wstring name(kTitleChars - 1 - time.size(), L'a');
  EXPECT_EQ(title_for(name, 15), name + time);
}

TEST(ViewerTitle, ALongerNameKeepsItsEndAndTheWholeTime) {
  const std::wstring time = L" [2147483647 ms]";
  const std::wstring name = L"/" + std::wstring(200, L'd') + L"/picture.wmf";
  const std::wstring title = title_for(name, 2147483647);
  EXPECT_EQ(title.size(), static_cast<std::size_t>(kTitleChars - 1));
  EXPECT_EQ(title.front(), wchar_t{0x2026});
  EXPECT_EQ(title.substr(title.size() - time.size()), time);
  const std::wstring kept = title.substr(1, title.size() - 1 - time.size());
  EXPECT_EQ(name.substr(name.size() - kept.size()), kept) << "the end of the path";
}

TEST(ViewerTitle, NegativeTimesAndTheLongestNameStayInside) {
  const std::wstring name(259, L'z');  // the document's buffer holds 260 with the null
  const std::wstring title = title_for(name, -2147483647 - 1);
  EXPECT_EQ(title.substr(title.size() - 17), L" [-2147483648 ms]");
  EXPECT_EQ(title.size(), static_cast<std::size_t>(kTitleChars - 1));
}

}  // namespace
}  // namespace velmora::test
