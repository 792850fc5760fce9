// The program's compiled resources read back through the Win32 calls, and
// damaged resource bytes refused without reading outside them.
#include "window/resource_templates.h"

#include <windows.h>

#include <gtest/gtest.h>

#include <string>

namespace velmora::window {
namespace {

std::vector<std::uint8_t> resource(LPCWSTR name, LPCWSTR type) {
  HRSRC info = FindResourceW(nullptr, name, type);
  if (!info) return {};
  const auto* data = static_cast<const std::uint8_t*>(LockResource(LoadResource(nullptr, info)));
  return std::vector<std::uint8_t>(data, data + SizeofResource(nullptr, info));
}

std::wstring menu_string(HMENU menu, UINT item, UINT flags) {
  wchar_t text[64];
  const int n = GetMenuStringW(menu, item, text, 64, flags);
  return std::wstring(text, n);
}

TEST(Strings, LoadWithinTheBuffer) {
  wchar_t text[100];
  EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 103, text, 100), 11);
  EXPECT_EQ(std::wstring(text), L"VelmoraTest");
  EXPECT_EQ(LoadStringW(GetModuleHandleW(nullptr), 109, text, 100), 11);
  wchar_t small[5] = {L'x', L'x', L'x', L'x', L'x'};
  EXPECT_EQ(LoadStringW(nullptr, 109, small, 5), 4);
  EXPECT_EQ(std::wstring(small), L"Velm");
  EXPECT_EQ(LoadStringW(nullptr, 104, text, 100), 0) << "104 has no string";
  EXPECT_EQ(text[0], L'\0');
}

TEST(Menus, TheMenuResourceGivesPopupsItemsAndMnemonics) {
  HMENU menu = LoadMenuW(nullptr, MAKEINTRESOURCEW(109));
  ASSERT_NE(menu, nullptr);
  ASSERT_EQ(GetMenuItemCount(menu), 2);
  EXPECT_EQ(menu_string(menu, 0, MF_BYPOSITION), L"&File");
  EXPECT_EQ(menu_string(menu, 1, MF_BYPOSITION), L"&Help");
  HMENU file = GetSubMenu(menu, 0);
  ASSERT_EQ(GetMenuItemCount(file), 2);
  EXPECT_EQ(GetMenuItemID(file, 0), 32771u);
  EXPECT_EQ(GetMenuItemID(file, 1), 105u);
  EXPECT_EQ(menu_string(menu, 32771, MF_BYCOMMAND), L"Metafile open");
  EXPECT_EQ(menu_string(menu, 105, MF_BYCOMMAND), L"E&xit");
  EXPECT_EQ(menu_string(menu, 104, MF_BYCOMMAND), L"&About ...");
  EXPECT_EQ(GetMenuItemID(menu, 0), static_cast<UINT>(-1)) << "a popup has no command";
  EXPECT_TRUE(DestroyMenu(menu));
  EXPECT_EQ(GetMenuItemCount(file), -1) << "popups go with their menu";
  EXPECT_FALSE(DestroyMenu(menu));
}

TEST(Accelerators, CharacterCodesMatchOnlyWithAlt) {
  std::vector<std::uint8_t> bytes = resource(MAKEINTRESOURCEW(109), RT_ACCELERATOR);
  std::optional<std::vector<ACCEL>> table = read_accelerator_table(platform::ByteReader(bytes.data(), bytes.size()));
  ASSERT_TRUE(table);
  ASSERT_EQ(table->size(), 2u);
  for (const ACCEL& a : *table) {
    EXPECT_EQ(a.fVirt, FALT) << "Alt, a character code, not a virtual key";
    EXPECT_EQ(a.cmd, 104);
  }
  EXPECT_EQ((*table)[0].key, L'?');
  EXPECT_EQ((*table)[1].key, L'/');
}

TEST(Manifest, AsksToRunAsInvokerWithoutUiAccess) {
  const std::vector<std::uint8_t> bytes = resource(MAKEINTRESOURCEW(1), RT_MANIFEST);
  const std::string manifest(bytes.begin(), bytes.end());
  EXPECT_NE(manifest.find("level=\"asInvoker\""), std::string::npos);
  EXPECT_NE(manifest.find("uiAccess=\"false\""), std::string::npos);
}

TEST(DialogTemplate, TheAboutBoxReadsAsWritten) {
  const std::vector<std::uint8_t> bytes = resource(MAKEINTRESOURCEW(103), RT_DIALOG);
  std::optional<DialogTemplate> t = read_dialog_template(platform::ByteReader(bytes.data(), bytes.size()));
  ASSERT_TRUE(t);
  EXPECT_EQ(t->caption, L"About VelmoraTest");
  EXPECT_EQ(t->box.right - t->box.left, 228);
  EXPECT_EQ(t->box.bottom - t->box.top, 63);
  EXPECT_EQ(t->face, L"MS Shell Dlg");
  EXPECT_EQ(t->point_size, 8);
  const DWORD styles = WS_POPUP | WS_CAPTION | WS_SYSMENU | DS_MODALFRAME | DS_SETFONT | DS_FIXEDSYS;
  EXPECT_EQ(t->style & styles, styles);
  ASSERT_EQ(t->items.size(), 4u);
  EXPECT_EQ(t->items[0].style & (SS_CENTER | SS_NOPREFIX), static_cast<DWORD>(SS_CENTER | SS_NOPREFIX));
  EXPECT_EQ(t->items[1].style & SS_NOPREFIX, 0u);
  EXPECT_EQ(t->items[2].control, ControlClass::Button);
  EXPECT_EQ(t->items[2].id, static_cast<DWORD>(IDOK));
  EXPECT_EQ(t->items[2].style & 0xF, static_cast<DWORD>(BS_DEFPUSHBUTTON));
  EXPECT_EQ(t->items[2].box.left, 171);
  EXPECT_EQ(t->items[2].box.top, 42);
  EXPECT_EQ(t->items[3].box.top, 30);
  for (int i : {0, 1, 3}) EXPECT_EQ(t->items[i].control, ControlClass::Static);
}

// Every shortened copy of each resource is refused or read within its
// bytes (the sanitiser build catches a read past the end).
TEST(DamagedResources, ShortenedCopiesAreRefused) {
  const std::vector<std::uint8_t> menu = resource(MAKEINTRESOURCEW(109), RT_MENU);
  const std::vector<std::uint8_t> dialog = resource(MAKEINTRESOURCEW(103), RT_DIALOG);
  const std::vector<std::uint8_t> accel = resource(MAKEINTRESOURCEW(109), RT_ACCELERATOR);
  const std::vector<std::uint8_t> strings = resource(MAKEINTRESOURCEW(7), RT_STRING);
  ASSERT_FALSE(menu.empty() || dialog.empty() || accel.empty() || strings.empty());
  for (std::size_t n = 0; n < menu.size(); ++n) {
    std::vector<std::uint8_t> part(menu.begin(), menu.begin() + n);
    EXPECT_FALSE(read_menu_template(platform::ByteReader(part.data(), n))) << n;
  }
  for (std::size_t n = 0; n < dialog.size(); ++n) {
    std::vector<std::uint8_t> part(dialog.begin(), dialog.begin() + n);
    EXPECT_FALSE(read_dialog_template(platform::ByteReader(part.data(), n))) << n;
  }
  for (std::size_t n = 0; n < accel.size(); ++n) {
    std::vector<std::uint8_t> part(accel.begin(), accel.begin() + n);
    EXPECT_FALSE(read_accelerator_table(platform::ByteReader(part.data(), n))) << n;
  }
  for (std::size_t n = 0; n < strings.size(); ++n) {
    std::vector<std::uint8_t> part(strings.begin(), strings.begin() + n);
    read_table_string(platform::ByteReader(part.data(), n), 13);  // may succeed once string 13 is whole
  }
}

TEST(DamagedResources, MenusNestedTooDeepOrEndlessAreRefused) {
  std::vector<std::uint8_t> deep = {0, 0, 0, 0};                                  // header: version 0, offset 0
  for (int i = 0; i < 64; ++i) deep.insert(deep.end(), {0x10, 0, 'a', 0, 0, 0});  // MF_POPUP "a"
  EXPECT_FALSE(read_menu_template(platform::ByteReader(deep.data(), deep.size())));
  std::vector<std::uint8_t> endless = {0, 0, 0, 0};
  for (int i = 0; i < 2000; ++i) endless.insert(endless.end(), {0, 0, 1, 0, 0, 0});  // items, never MF_END
  EXPECT_FALSE(read_menu_template(platform::ByteReader(endless.data(), endless.size())));
}

TEST(DamagedResources, AResFileWithAnImpossibleHeaderIsRefused) {
  std::vector<std::uint8_t> res = {8, 0, 0, 0, 4, 0, 0, 0};  // header size 4: shorter than its own fields
  EXPECT_FALSE(read_res_file(platform::ByteReader(res.data(), res.size())));
  std::vector<std::uint8_t> big = {0xFF, 0xFF, 0xFF, 0x7F, 32, 0, 0, 0, 0xFF, 0xFF, 6, 0, 0xFF, 0xFF, 1, 0};
  big.resize(32);
  EXPECT_FALSE(read_res_file(platform::ByteReader(big.data(), big.size()))) << "data larger than the file";
}

}  // namespace
}  // namespace velmora::window
