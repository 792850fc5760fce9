#include "window/resource_templates.h"

#include <cwctype>

namespace velmora::window {
namespace {

using platform::ByteReader;

// Resource strings are short; a longer one is damage, not text.
constexpr std::size_t kMaxStringUnits = 4096;
// Menus nest a few levels; deeper nesting is damage and would recurse far.
constexpr int kMaxMenuDepth = 8;
constexpr std::size_t kMaxMenuItems = 1024;
constexpr std::size_t kMaxAccelerators = 1024;

// UTF-16 code units to wide characters, joining surrogate pairs.
class WideBuilder {
 public:
  void add(std::uint16_t unit) {
    if (unit >= 0xD800 && unit < 0xDC00) {
      high_ = unit;
      return;
    }
    if (unit >= 0xDC00 && unit < 0xE000 && high_) {
      text_.push_back(static_cast<wchar_t>(0x10000 + ((high_ - 0xD800) << 10) + (unit - 0xDC00)));
    } else {
      text_.push_back(static_cast<wchar_t>(unit));
    }
    high_ = 0;
  }
  std::wstring take() { return std::move(text_); }

 private:
  std::wstring text_;
  std::uint16_t high_ = 0;
};

// A null-terminated UTF-16 string at the cursor.
std::optional<std::wstring> read_sz(ByteReader& r) {
  WideBuilder text;
  for (std::size_t n = 0; n < kMaxStringUnits; ++n) {
    std::optional<std::uint16_t> unit = r.read<std::uint16_t>();
    if (!unit) return std::nullopt;
    if (*unit == 0) return text.take();
    text.add(*unit);
  }
  return std::nullopt;
}

// Either 0xFFFF and an ordinal, or a null-terminated string.
std::optional<ResourceName> read_sz_or_ord(ByteReader& r) {
  std::optional<std::uint16_t> first = r.read_at<std::uint16_t>(r.position());
  if (!first) return std::nullopt;
  ResourceName name;
  if (*first == 0xFFFF) {
    r.skip(2);
    std::optional<std::uint16_t> ordinal = r.read<std::uint16_t>();
    if (!ordinal) return std::nullopt;
    name.ordinal = *ordinal;
    return name;
  }
  std::optional<std::wstring> text = read_sz(r);
  if (!text) return std::nullopt;
  name.is_ordinal = false;
  name.text = std::move(*text);
  return name;
}

bool align4(ByteReader& r) { return r.seek((r.position() + 3) & ~std::size_t{3}); }

std::optional<ResourceEntry> read_res_entry(ByteReader& r) {
  const std::size_t start = r.position();
  std::optional<std::uint32_t> data_size = r.read<std::uint32_t>();
  std::optional<std::uint32_t> header_size = r.read<std::uint32_t>();
  if (!data_size || !header_size || *header_size < 8) return std::nullopt;
  std::optional<ByteReader> header = r.sub(start, *header_size);
  if (!header || !header->skip(8)) return std::nullopt;
  ResourceEntry entry;
  std::optional<ResourceName> type = read_sz_or_ord(*header);
  std::optional<ResourceName> name = type ? read_sz_or_ord(*header) : std::nullopt;
  if (!name) return std::nullopt;
  entry.type = std::move(*type);
  entry.name = std::move(*name);
  if (!r.seek(start + *header_size)) return std::nullopt;
  std::optional<std::span<const std::uint8_t>> data = r.bytes(*data_size);
  if (!data) return std::nullopt;
  entry.data.assign(data->begin(), data->end());
  if (!align4(r)) r.seek(r.size());
  return entry;
}

std::optional<MenuItem> read_menu_item(ByteReader& r, int depth, std::size_t& budget, bool& last);

std::optional<std::vector<MenuItem>> read_menu_level(ByteReader& r, int depth, std::size_t& budget) {
  if (depth > kMaxMenuDepth) return std::nullopt;
  std::vector<MenuItem> items;
  bool last = false;
  while (!last) {
    if (budget-- == 0) return std::nullopt;
    std::optional<MenuItem> item = read_menu_item(r, depth, budget, last);
    if (!item) return std::nullopt;
    items.push_back(std::move(*item));
  }
  return items;
}

std::optional<MenuItem> read_menu_item(ByteReader& r, int depth, std::size_t& budget, bool& last) {
  std::optional<std::uint16_t> flags = r.read<std::uint16_t>();
  if (!flags) return std::nullopt;
  MenuItem item;
  item.flags = *flags & ~MF_END;
  last = (*flags & MF_END) != 0;
  if (!(*flags & MF_POPUP)) {
    std::optional<std::uint16_t> id = r.read<std::uint16_t>();
    if (!id) return std::nullopt;
    item.id = *id;
  }
  std::optional<std::wstring> text = read_sz(r);
  if (!text) return std::nullopt;
  item.text = std::move(*text);
  if (item.id == 0 && item.text.empty() && !(*flags & MF_POPUP)) item.flags |= MF_SEPARATOR;
  if (*flags & MF_POPUP) {
    std::optional<std::vector<MenuItem>> children = read_menu_level(r, depth + 1, budget);
    if (!children) return std::nullopt;
    item.children = std::move(*children);
  }
  return item;
}

std::optional<DialogItem> read_dialog_item(ByteReader& r) {
  if (!align4(r)) return std::nullopt;
  DialogItem item;
  std::optional<std::uint32_t> help = r.read<std::uint32_t>();
  std::optional<std::uint32_t> ex_style = r.read<std::uint32_t>();
  std::optional<std::uint32_t> style = r.read<std::uint32_t>();
  std::optional<std::int16_t> x = r.read<std::int16_t>(), y = r.read<std::int16_t>();
  std::optional<std::int16_t> cx = r.read<std::int16_t>(), cy = r.read<std::int16_t>();
  std::optional<std::uint32_t> id = r.read<std::uint32_t>();
  if (!help || !ex_style || !style || !x || !y || !cx || !cy || !id) return std::nullopt;
  item.style = *style;
  item.ex_style = *ex_style;
  item.box = {*x, *y, *x + *cx, *y + *cy};
  item.id = *id;
  std::optional<ResourceName> control = read_sz_or_ord(r);
  std::optional<ResourceName> text = control ? read_sz_or_ord(r) : std::nullopt;
  std::optional<std::uint16_t> extra = text ? r.read<std::uint16_t>() : std::nullopt;
  if (!extra || !r.skip(*extra)) return std::nullopt;
  const bool predefined = control->is_ordinal && control->ordinal >= 0x80 && control->ordinal <= 0x82;
  item.control = predefined ? static_cast<ControlClass>(control->ordinal) : ControlClass::Other;
  item.text = text->is_ordinal ? std::wstring() : text->text;
  return item;
}

bool read_dialog_font(ByteReader& r, DialogTemplate& dialog) {
  std::optional<std::uint16_t> points = r.read<std::uint16_t>();
  std::optional<std::uint16_t> weight = r.read<std::uint16_t>();
  std::optional<std::uint8_t> italic = r.read<std::uint8_t>();
  std::optional<std::uint8_t> charset = r.read<std::uint8_t>();
  std::optional<std::wstring> face = charset ? read_sz(r) : std::nullopt;
  if (!points || !weight || !italic || !face) return false;
  dialog.point_size = *points;
  dialog.weight = *weight ? *weight : FW_NORMAL;
  dialog.italic = *italic != 0;
  dialog.face = std::move(*face);
  return true;
}

}  // namespace

bool ResourceName::matches(LPCWSTR name) const {
  if (IS_INTRESOURCE(name)) return is_ordinal && ordinal == static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name));
  if (is_ordinal) return false;
  std::size_t i = 0;
  for (; name[i] && i < text.size(); ++i)
    if (std::towupper(static_cast<wint_t>(name[i])) != std::towupper(static_cast<wint_t>(text[i]))) return false;
  return name[i] == 0 && i == text.size();
}

std::optional<std::vector<ResourceEntry>> read_res_file(ByteReader bytes) {
  std::vector<ResourceEntry> entries;
  while (bytes.remaining() > 0) {
    std::optional<ResourceEntry> entry = read_res_entry(bytes);
    if (!entry) return std::nullopt;
    const bool empty_lead = entry->type.is_ordinal && entry->type.ordinal == 0 && entry->data.empty();
    if (!empty_lead) entries.push_back(std::move(*entry));
  }
  return entries;
}

std::optional<std::wstring> read_table_string(ByteReader block, unsigned index) {
  if (index > 15) return std::nullopt;
  for (unsigned i = 0;; ++i) {
    std::optional<std::uint16_t> length = block.read<std::uint16_t>();
    if (!length) return std::nullopt;
    if (i == index) {
      WideBuilder text;
      for (unsigned n = 0; n < *length; ++n) {
        std::optional<std::uint16_t> unit = block.read<std::uint16_t>();
        if (!unit) return std::nullopt;
        text.add(*unit);
      }
      return text.take();
    }
    if (!block.skip(std::size_t{*length} * 2)) return std::nullopt;
  }
}

std::optional<std::vector<MenuItem>> read_menu_template(ByteReader bytes) {
  std::optional<std::uint16_t> version = bytes.read<std::uint16_t>();
  std::optional<std::uint16_t> offset = bytes.read<std::uint16_t>();
  if (!version || !offset || *version != 0 || !bytes.skip(*offset)) return std::nullopt;
  std::size_t budget = kMaxMenuItems;
  return read_menu_level(bytes, 0, budget);
}

std::optional<std::vector<ACCEL>> read_accelerator_table(ByteReader bytes) {
  std::vector<ACCEL> table;
  for (std::size_t n = 0; n < kMaxAccelerators; ++n) {
    std::optional<std::uint16_t> flags = bytes.read<std::uint16_t>();
    std::optional<std::uint16_t> key = bytes.read<std::uint16_t>();
    std::optional<std::uint16_t> command = bytes.read<std::uint16_t>();
    if (!command || !bytes.skip(2)) return std::nullopt;
    table.push_back(ACCEL{static_cast<BYTE>(*flags & 0x7F), *key, *command});
    if (*flags & 0x80) return table;  // the last entry
  }
  return std::nullopt;
}

std::optional<DialogTemplate> read_dialog_template(ByteReader r) {
  std::optional<std::uint16_t> version = r.read<std::uint16_t>();
  std::optional<std::uint16_t> signature = r.read<std::uint16_t>();
  if (!version || !signature || *version != 1 || *signature != 0xFFFF) return std::nullopt;
  DialogTemplate dialog;
  std::optional<std::uint32_t> help = r.read<std::uint32_t>();
  std::optional<std::uint32_t> ex_style = r.read<std::uint32_t>();
  std::optional<std::uint32_t> style = r.read<std::uint32_t>();
  std::optional<std::uint16_t> count = r.read<std::uint16_t>();
  std::optional<std::int16_t> x = r.read<std::int16_t>(), y = r.read<std::int16_t>();
  std::optional<std::int16_t> cx = r.read<std::int16_t>(), cy = r.read<std::int16_t>();
  if (!help || !ex_style || !style || !count || !x || !y || !cx || !cy) return std::nullopt;
  dialog.style = *style;
  dialog.ex_style = *ex_style;
  dialog.box = {*x, *y, *x + *cx, *y + *cy};
  std::optional<ResourceName> menu = read_sz_or_ord(r);
  std::optional<ResourceName> window_class = menu ? read_sz_or_ord(r) : std::nullopt;
  std::optional<std::wstring> caption = window_class ? read_sz(r) : std::nullopt;
  if (!caption) return std::nullopt;
  dialog.caption = std::move(*caption);
  if ((dialog.style & (DS_SETFONT | DS_SHELLFONT)) && !read_dialog_font(r, dialog)) return std::nullopt;
  for (std::uint16_t i = 0; i < *count; ++i) {
    std::optional<DialogItem> item = read_dialog_item(r);
    if (!item) return std::nullopt;
    dialog.items.push_back(std::move(*item));
  }
  return dialog;
}

}  // namespace velmora::window
