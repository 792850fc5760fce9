// The binary resource formats a resource compiler writes (a .res file, and
// inside it string tables, menu templates, accelerator tables and extended
// dialog templates), read into typed values. Every read goes through the
// bounds-checked byte reader: a damaged resource gives an empty result,
// never a read outside its bytes. Strings are UTF-16LE in the data and wide
// strings here.
#pragma once

#include "common/byte_reader.h"

#include <windows.h>

#include <optional>
#include <string>
#include <vector>

namespace velmora::window {

// A resource type or name: a 16-bit ordinal or a string.
struct ResourceName {
  bool is_ordinal = true;
  WORD ordinal = 0;
  std::wstring text;

  // A name as the API takes it: MAKEINTRESOURCEW(n) or a string (compared
  // without regard to ASCII case, as resource names are).
  bool matches(LPCWSTR name) const;
};

struct ResourceEntry {
  ResourceName type;
  ResourceName name;
  std::vector<std::uint8_t> data;
};

// The entries of a .res file (the leading empty entry is skipped).
std::optional<std::vector<ResourceEntry>> read_res_file(platform::ByteReader bytes);

// String number `index` (0 to 15) of a string-table block.
std::optional<std::wstring> read_table_string(platform::ByteReader block, unsigned index);

struct MenuItem {
  std::wstring text;  // with its '&' mnemonic marks
  UINT id = 0;        // command id; 0 for popups
  UINT flags = 0;     // MF_POPUP, MF_GRAYED, MF_SEPARATOR...
  std::vector<MenuItem> children;
};

// The items of a standard (not extended) menu template.
std::optional<std::vector<MenuItem>> read_menu_template(platform::ByteReader bytes);

std::optional<std::vector<ACCEL>> read_accelerator_table(platform::ByteReader bytes);

// Predefined control classes of a dialog item, by their ordinal.
enum class ControlClass : WORD { Button = 0x80, Edit = 0x81, Static = 0x82, Other = 0 };

struct DialogItem {
  DWORD style = 0;
  DWORD ex_style = 0;
  RECT box{};  // dialog units: left, top, right, bottom
  DWORD id = 0;
  ControlClass control = ControlClass::Other;
  std::wstring text;
};

struct DialogTemplate {
  DWORD style = 0;
  DWORD ex_style = 0;
  RECT box{};  // dialog units
  std::wstring caption;
  WORD point_size = 0;  // with DS_SETFONT
  WORD weight = FW_NORMAL;
  bool italic = false;
  std::wstring face;
  std::vector<DialogItem> items;
};

// An extended dialog template (DIALOGEX); the older form is not read.
std::optional<DialogTemplate> read_dialog_template(platform::ByteReader bytes);

}  // namespace velmora::window
