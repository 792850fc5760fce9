#include "text/font_matcher.h"

#include "common/limits.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <cctype>
#include <memory>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace velmora::platform {
namespace {

constexpr auto kMaxCachedMatches = limits::kMaxCachedFontMatches;
constexpr auto kMaxCachedLinks = limits::kMaxCachedFontLinks;

struct Substitute {
  const char* face;                         // lower case, as normalised
  std::array<const char*, 2> families;      // tried in order; null ends the list
};

// The CJK family (fonts-wqy-microhei): one proportional and one fixed-pitch
// face that carry Chinese, Japanese and Korean alike.
constexpr const char* kCjkSans = "WenQuanYi Micro Hei";
constexpr const char* kCjkFixed = "WenQuanYi Micro Hei Mono";

// The faces Windows metafiles name most, mapped to metric-compatible fonts
// (or, for the symbol faces, to fonts that carry the same code points). The
// CJK faces appear under their English and their native names; the
// fixed-pitch ones (half-width Latin) go to the fixed CJK face.
constexpr Substitute kSubstitutes[] = {
    {"arial", {"Liberation Sans"}},
    {"helvetica", {"Liberation Sans"}},
    {"arial narrow", {"Liberation Sans Narrow"}},
    {"times new roman", {"Liberation Serif"}},
    {"times", {"Liberation Serif"}},
    {"courier new", {"Liberation Mono"}},
    {"courier", {"Liberation Mono"}},
    {"symbol", {"Symbol", "Standard Symbols PS"}},
    {"wingdings", {"Wingdings"}},
    {"webdings", {"Webdings"}},
    {"marlett", {"Marlett"}},
    {"system", {"Tahoma", "DejaVu Sans"}},
    {"tahoma", {"Tahoma", "DejaVu Sans"}},
    {"ms shell dlg", {"Tahoma", "DejaVu Sans"}},
    {"ms shell dlg 2", {"Tahoma", "DejaVu Sans"}},
    // Chinese (simplified)
    {"simsun", {kCjkSans}},
    {"宋体", {kCjkSans}},
    {"nsimsun", {kCjkFixed}},
    {"新宋体", {kCjkFixed}},
    {"simhei", {kCjkSans}},
    {"黑体", {kCjkSans}},
    {"microsoft yahei", {kCjkSans}},
    {"微软雅黑", {kCjkSans}},
    {"kaiti", {kCjkSans}},
    {"simkai", {kCjkSans}},
    {"楷体", {kCjkSans}},
    {"fangsong", {kCjkSans}},
    {"仿宋", {kCjkSans}},
    // Chinese (traditional)
    {"pmingliu", {kCjkSans}},
    {"新細明體", {kCjkSans}},
    {"mingliu", {kCjkFixed}},
    {"細明體", {kCjkFixed}},
    {"dfkai-sb", {kCjkSans}},
    {"標楷體", {kCjkSans}},
    {"microsoft jhenghei", {kCjkSans}},
    // Japanese
    {"ms mincho", {kCjkFixed}},
    {"ＭＳ 明朝", {kCjkFixed}},
    {"ms pmincho", {kCjkSans}},
    {"ＭＳ Ｐ明朝", {kCjkSans}},
    {"ms gothic", {kCjkFixed}},
    {"ＭＳ ゴシック", {kCjkFixed}},
    {"ms pgothic", {kCjkSans}},
    {"ＭＳ Ｐゴシック", {kCjkSans}},
    {"ms ui gothic", {kCjkSans}},
    {"meiryo", {kCjkSans}},
    {"メイリオ", {kCjkSans}},
    {"meiryo ui", {kCjkSans}},
    {"yu gothic", {kCjkSans}},
    // Korean
    {"batang", {kCjkSans}},
    {"바탕", {kCjkSans}},
    {"batangche", {kCjkFixed}},
    {"gulim", {kCjkSans}},
    {"굴림", {kCjkSans}},
    {"gulimche", {kCjkFixed}},
    {"dotum", {kCjkSans}},
    {"돋움", {kCjkSans}},
    {"dotumche", {kCjkFixed}},
    {"gungsuh", {kCjkSans}},
    {"malgun gothic", {kCjkSans}},
    {"맑은 고딕", {kCjkSans}},
    // Whole-Unicode faces Office names for mixed scripts
    {"arial unicode ms", {kCjkSans}},
    // Symbol faces with no Debian font of their layout: the platform's mapper
    // gives the character set precedence over the name, so another symbol
    // font draws them, never a text face's letters.
    {"wingdings 2", {"Wingdings"}},
    {"wingdings 3", {"Wingdings"}},
    {"mt extra", {"Symbol", "Standard Symbols PS"}},
};

// Faces of the fonts-wine package, which the stock Fontconfig setup does not
// index: the Symbol and Wingdings code-point layouts exist in no other
// Debian font. Fontconfig reads an added file with FreeType each time, which
// costs more than drawing a small picture, so they are added only when a
// search could choose one of them: a search for its family (folded, as
// Fontconfig compares names), or one open to every family.
struct ExtraFontFile {
  const char* family;  // folded
  const char* path;
};
constexpr ExtraFontFile kExtraFontFiles[] = {
    {"symbol", "/usr/share/wine/fonts/symbol.ttf"},   {"wingdings", "/usr/share/wine/fonts/wingding.ttf"},
    {"webdings", "/usr/share/wine/fonts/webdings.ttf"}, {"tahoma", "/usr/share/wine/fonts/tahoma.ttf"},
    {"tahoma", "/usr/share/wine/fonts/tahomabd.ttf"},   {"marlett", "/usr/share/wine/fonts/marlett.ttf"},
};

// Where a character the chosen face lacks is looked for first: the CJK
// family, then the widest-ranging Latin face.
constexpr const char* kPreferredLinks[] = {kCjkSans, "DejaVu Sans"};

constexpr int kFamilyMask = 0xF0;

std::string normalised(const std::string& face) {
  std::string out;
  for (char c : face) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

constexpr std::uint8_t kSymbolCharset = 2;

bool is_cjk_charset(std::uint8_t charset) {
  switch (charset) {
    case 128:  // SHIFTJIS_CHARSET
    case 129:  // HANGUL_CHARSET
    case 130:  // JOHAB_CHARSET
    case 134:  // GB2312_CHARSET (and GBK)
    case 136:  // CHINESEBIG5_CHARSET
      return true;
    default:
      return false;
  }
}

bool wants_fixed_pitch(std::uint8_t pitch_and_family) {
  return (pitch_and_family & kFamilyMask) == FF_MODERN || (pitch_and_family & FIXED_PITCH) != 0;
}

// The family a face that no installed font carries is drawn with: the
// character set decides first, as in the platform's mapper, then the pitch
// and family.
const char* fallback_family(std::uint8_t charset, std::uint8_t pitch_and_family) {
  if (is_cjk_charset(charset)) return wants_fixed_pitch(pitch_and_family) ? kCjkFixed : kCjkSans;
  if (charset == kSymbolCharset) return "Symbol";
  if ((pitch_and_family & kFamilyMask) == FF_ROMAN) return "Liberation Serif";
  if (wants_fixed_pitch(pitch_and_family)) return "Liberation Mono";
  return "Liberation Sans";
}

std::vector<std::string> candidate_families(const FontRequest& request) {
  std::vector<std::string> out;
  const std::string face = normalised(request.face);
  bool substituted = false;
  for (const Substitute& s : kSubstitutes) {
    if (face != s.face) continue;
    for (const char* family : s.families)
      if (family) out.emplace_back(family);
    substituted = true;
  }
  if (!substituted && !face.empty()) out.push_back(request.face);
  out.emplace_back(fallback_family(request.charset, request.pitch_and_family));
  if (request.charset == kSymbolCharset) out.emplace_back("Standard Symbols PS");
  return out;
}

// Family names compare as Fontconfig compares them: ignoring case and blanks.
std::string folded(const char* name) {
  std::string out;
  for (; *name; ++name)
    if (*name != ' ') out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*name))));
  return out;
}

// Fontconfig's objects, released however the scope is left: reading a font's
// name or file allocates, and a failed allocation must not leak them.
struct PatternRelease {
  void operator()(FcPattern* pattern) const { FcPatternDestroy(pattern); }
};
struct FontSetRelease {
  void operator()(FcFontSet* set) const { FcFontSetDestroy(set); }
};
struct CharSetRelease {
  void operator()(FcCharSet* set) const { FcCharSetDestroy(set); }
};
using PatternPtr = std::unique_ptr<FcPattern, PatternRelease>;
using FontSetPtr = std::unique_ptr<FcFontSet, FontSetRelease>;
using CharSetPtr = std::unique_ptr<FcCharSet, CharSetRelease>;

bool has_family(FcPattern* font, const std::string& family) {
  const std::string wanted = folded(family.c_str());
  FcChar8* value = nullptr;
  for (int i = 0; FcPatternGetString(font, FC_FAMILY, i, &value) == FcResultMatch; ++i) {
    if (folded(reinterpret_cast<const char*>(value)) == wanted) return true;
  }
  return false;
}

int fc_int(FcPattern* font, const char* property, int fallback) {
  int value = fallback;
  return FcPatternGetInteger(font, property, 0, &value) == FcResultMatch ? value : fallback;
}

std::optional<MatchedFont> matched_from(FcPattern* font, const FontRequest& request) {
  FcChar8* file = nullptr;
  FcBool scalable = FcFalse;
  if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
  if (FcPatternGetBool(font, FC_SCALABLE, 0, &scalable) == FcResultMatch && !scalable) return std::nullopt;
  MatchedFont matched;
  matched.file = {reinterpret_cast<const char*>(file), fc_int(font, FC_INDEX, 0)};
  FcChar8* family = nullptr;
  if (FcPatternGetString(font, FC_FAMILY, 0, &family) == FcResultMatch)
    matched.family = reinterpret_cast<const char*>(family);
  matched.synthetic_bold = request.wants_bold() && fc_int(font, FC_WEIGHT, FC_WEIGHT_REGULAR) < FC_WEIGHT_DEMIBOLD;
  matched.synthetic_italic = request.italic && fc_int(font, FC_SLANT, FC_SLANT_ROMAN) == FC_SLANT_ROMAN;
  return matched;
}

class Matcher {
 public:
  static Matcher& instance() {
    static Matcher matcher;
    return matcher;
  }

  std::optional<MatchedFont> match(const FontRequest& request) {
    const std::string key = cache_key(request);
    std::lock_guard lock(mutex_);
    if (auto hit = cache_.find(key); hit != cache_.end()) return hit->second;
    std::optional<MatchedFont> found = search(request);
    if (cache_.size() >= kMaxCachedMatches) cache_.clear();
    cache_.emplace(key, found);
    return found;
  }

  std::optional<FontFile> link(char32_t code) {
    std::lock_guard lock(mutex_);
    if (auto hit = links_.find(code); hit != links_.end()) return hit->second;
    std::optional<FontFile> found = search_link(code);
    if (links_.size() >= kMaxCachedLinks) links_.clear();
    links_.emplace(code, found);
    return found;
  }

 private:
  Matcher() : config_(FcInitLoadConfigAndFonts()) {}

  ~Matcher() {
    preferred_links_.clear();
    if (config_) FcConfigDestroy(config_);
  }
  Matcher(const Matcher&) = delete;
  Matcher& operator=(const Matcher&) = delete;

  // Adds the extra files of one family, or of all when family is null; each
  // once.
  void add_extra_fonts(const std::string* family) {
    const std::string wanted = family ? folded(family->c_str()) : std::string();
    for (std::size_t i = 0; i < std::size(kExtraFontFiles); ++i) {
      if (extra_added_[i] || (family && wanted != kExtraFontFiles[i].family)) continue;
      extra_added_[i] = true;
      FcConfigAppFontAddFile(config_, reinterpret_cast<const FcChar8*>(kExtraFontFiles[i].path));
    }
  }

  static std::string cache_key(const FontRequest& r) {
    return normalised(r.face) + '|' + std::to_string(r.weight == 0 ? FW_NORMAL : r.weight) + '|' +
           std::to_string(r.italic) + '|' + std::to_string(r.pitch_and_family) + '|' + std::to_string(r.charset);
  }

  std::optional<MatchedFont> search(const FontRequest& request) {
    if (!config_) return std::nullopt;
    for (const std::string& family : candidate_families(request)) {
      if (auto found = match_family(&family, request)) return found;
    }
    return match_family(nullptr, request);  // any scalable font at all
  }

  // The best font of one family (or of any family when family is null);
  // empty when Fontconfig's best match belongs to another family.
  std::optional<MatchedFont> match_family(const std::string* family, const FontRequest& request) {
    add_extra_fonts(family);
    const PatternPtr pattern(FcPatternCreate());
    if (!pattern) return std::nullopt;
    if (family) FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family->c_str()));
    FcPatternAddInteger(pattern.get(), FC_WEIGHT,
                        FcWeightFromOpenType(request.weight == 0 ? FW_NORMAL : request.weight));
    FcPatternAddInteger(pattern.get(), FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config_, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const PatternPtr font(FcFontMatch(config_, pattern.get(), &result));
    if (!font) return std::nullopt;
    if (family && !has_family(font.get(), *family)) return std::nullopt;
    return matched_from(font.get(), request);
  }

  // The preferred linked faces first, in a fixed order so that the font a
  // character comes from does not depend on what was drawn before; then
  // whatever else carries it.
  std::optional<FontFile> search_link(char32_t code) {
    if (!config_) return std::nullopt;
    if (!preferred_links_loaded_) load_preferred_links();
    for (const LinkFace& face : preferred_links_)
      if (FcCharSetHasChar(face.covered.get(), code)) return face.file;
    return sorted_link(code);
  }

  // Kept only once complete: a failed allocation part-way leaves nothing
  // loaded, so the next call tries again instead of linking from a shorter list.
  void load_preferred_links() {
    std::vector<LinkFace> faces;
    for (const char* family : kPreferredLinks) {
      const PatternPtr pattern(FcPatternCreate());
      if (!pattern) continue;
      FcPatternAddString(pattern.get(), FC_FAMILY, reinterpret_cast<const FcChar8*>(family));
      FcConfigSubstitute(config_, pattern.get(), FcMatchPattern);
      FcDefaultSubstitute(pattern.get());
      FcResult result = FcResultNoMatch;
      const PatternPtr font(FcFontMatch(config_, pattern.get(), &result));
      if (!font) continue;
      FcCharSet* covered = nullptr;
      FcChar8* file = nullptr;
      if (has_family(font.get(), family) && FcPatternGetCharSet(font.get(), FC_CHARSET, 0, &covered) == FcResultMatch &&
          FcPatternGetString(font.get(), FC_FILE, 0, &file) == FcResultMatch) {
        faces.push_back({{reinterpret_cast<const char*>(file), fc_int(font.get(), FC_INDEX, 0)},
                         CharSetPtr(FcCharSetCopy(covered))});
      }
    }
    preferred_links_ = std::move(faces);
    preferred_links_loaded_ = true;
  }

  std::optional<FontFile> sorted_link(char32_t code) {
    add_extra_fonts(nullptr);
    const CharSetPtr wanted(FcCharSetCreate());
    const PatternPtr pattern(FcPatternCreate());
    if (!wanted || !pattern || !FcCharSetAddChar(wanted.get(), code)) return std::nullopt;
    FcPatternAddCharSet(pattern.get(), FC_CHARSET, wanted.get());
    FcPatternAddBool(pattern.get(), FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config_, pattern.get(), FcMatchPattern);
    FcDefaultSubstitute(pattern.get());
    FcResult result = FcResultNoMatch;
    const FontSetPtr sorted(FcFontSort(config_, pattern.get(), FcFalse, nullptr, &result));
    if (!sorted) return std::nullopt;
    for (int i = 0; i < sorted->nfont; ++i) {
      if (auto found = link_candidate(sorted->fonts[i], code)) return found;
    }
    return std::nullopt;
  }

  // A sorted font that may draw the character: scalable, not a symbol
  // layout (whose cmap Fontconfig reads as Unicode), and carrying it.
  static std::optional<FontFile> link_candidate(FcPattern* font, char32_t code) {
    FcCharSet* covered = nullptr;
    FcBool flag = FcFalse;
    FcChar8* file = nullptr;
    if (FcPatternGetCharSet(font, FC_CHARSET, 0, &covered) != FcResultMatch || !FcCharSetHasChar(covered, code))
      return std::nullopt;
    if (FcPatternGetBool(font, FC_SYMBOL, 0, &flag) == FcResultMatch && flag) return std::nullopt;
    if (FcPatternGetBool(font, FC_SCALABLE, 0, &flag) == FcResultMatch && !flag) return std::nullopt;
    if (FcPatternGetString(font, FC_FILE, 0, &file) != FcResultMatch) return std::nullopt;
    return FontFile{reinterpret_cast<const char*>(file), fc_int(font, FC_INDEX, 0)};
  }

  std::mutex mutex_;
  FcConfig* config_;  // our own configuration, so the extra files stay out of the process default
  std::unordered_map<std::string, std::optional<MatchedFont>> cache_;
  std::unordered_map<char32_t, std::optional<FontFile>> links_;
  struct LinkFace {
    FontFile file;
    CharSetPtr covered;
  };
  std::vector<LinkFace> preferred_links_;
  bool preferred_links_loaded_ = false;
  bool extra_added_[std::size(kExtraFontFiles)] = {};
};

}  // namespace

std::optional<MatchedFont> match_font(const FontRequest& request) {
  return Matcher::instance().match(request);
}

std::optional<FontFile> linked_font(char32_t code) { return Matcher::instance().link(code); }

}  // namespace velmora::platform
