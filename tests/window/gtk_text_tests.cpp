// What the GTK back end hands to GTK: mnemonic labels and file patterns.
#include "window/gtk_text.h"

#include <fnmatch.h>

#include <gtest/gtest.h>

namespace velmora::window {
namespace {

TEST(GtkText, AmpersandMnemonicsBecomeUnderscores) {
  EXPECT_EQ(gtk_mnemonic_label(L"&File"), "_File");
  EXPECT_EQ(gtk_mnemonic_label(L"E&xit"), "E_xit");
  EXPECT_EQ(gtk_mnemonic_label(L"&About ..."), "_About ...");
  EXPECT_EQ(gtk_mnemonic_label(L"Metafile open"), "Metafile open");
  EXPECT_EQ(gtk_mnemonic_label(L"Fish && Chips"), "Fish & Chips");
  EXPECT_EQ(gtk_mnemonic_label(L"snake_case"), "snake__case");
  EXPECT_EQ(gtk_mnemonic_label(L"trailing&"), "trailing");
}

TEST(GtkText, FilterPatternsMatchInAnyLetterCase) {
  const std::string wmf = case_insensitive_pattern(L"*.wmf");
  const std::string emf = case_insensitive_pattern(L"*.emf");
  EXPECT_EQ(wmf, "*.[wW][mM][fF]");
  for (const char* name : {"tiger.emf", "TIGER.EMF", "Tiger.Emf"}) EXPECT_EQ(fnmatch(emf.c_str(), name, 0), 0) << name;
  for (const char* name : {"a.wmf", "A.WMF", "b.wMf"}) EXPECT_EQ(fnmatch(wmf.c_str(), name, 0), 0) << name;
  for (const char* name : {"a.wmf.txt", "a.emf", "wmf"}) EXPECT_NE(fnmatch(wmf.c_str(), name, 0), 0) << name;
}

TEST(GtkText, WideAndUtf8RoundTrip) {
  const std::wstring text = L"Gr\u00fc\u00dfe \u2026 \U0001F600";
  EXPECT_EQ(from_utf8(to_utf8(text).c_str()), text);
  EXPECT_EQ(from_utf8(nullptr), L"");
}

}  // namespace
}  // namespace velmora::window
