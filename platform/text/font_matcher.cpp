#include "text/font_matcher.h"

#include <fontconfig/fontconfig.h>

#include <array>
#include <cctype>
#include <mutex>
#include <unordered_map>
#include <vector>

namespace velmora::platform {
namespace {

// A metafile uses a handful of distinct fonts; the bound keeps a hostile one
// that creates thousands from growing the cache without end.
constexpr std::size_t kMaxCachedMatches = 256;

struct Substitute {
  const char* face;                         // lower case, as normalised
  std::array<const char*, 2> families;      // tried in order; null ends the list
};

// The faces Windows metafiles name most, mapped to metric-compatible fonts
// (or, for the symbol faces, to fonts that carry the same code points).
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
    {"system", {"Tahoma", "DejaVu Sans"}},
    {"tahoma", {"Tahoma", "DejaVu Sans"}},
    {"ms shell dlg", {"Tahoma", "DejaVu Sans"}},
    {"ms shell dlg 2", {"Tahoma", "DejaVu Sans"}},
};

// Faces of the fonts-wine package, which the stock Fontconfig setup does not
// index: the Symbol and Wingdings code-point layouts exist in no other
// Debian font.
constexpr const char* kExtraFontFiles[] = {
    "/usr/share/wine/fonts/symbol.ttf",  "/usr/share/wine/fonts/wingding.ttf", "/usr/share/wine/fonts/webdings.ttf",
    "/usr/share/wine/fonts/tahoma.ttf",  "/usr/share/wine/fonts/tahomabd.ttf", "/usr/share/wine/fonts/marlett.ttf",
};

constexpr int kFamilyMask = 0xF0;

std::string normalised(const std::string& face) {
  std::string out;
  for (char c : face) out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
  const auto first = out.find_first_not_of(' ');
  if (first == std::string::npos) return {};
  return out.substr(first, out.find_last_not_of(' ') - first + 1);
}

// The family a face that no installed font carries is drawn with.
const char* fallback_family(std::uint8_t pitch_and_family) {
  const int family = pitch_and_family & kFamilyMask;
  if (family == FF_ROMAN) return "Liberation Serif";
  if (family == FF_MODERN || (pitch_and_family & FIXED_PITCH) != 0) return "Liberation Mono";
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
  out.emplace_back(fallback_family(request.pitch_and_family));
  return out;
}

// Family names compare as Fontconfig compares them: ignoring case and blanks.
std::string folded(const char* name) {
  std::string out;
  for (; *name; ++name)
    if (*name != ' ') out.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(*name))));
  return out;
}

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

 private:
  Matcher() : config_(FcInitLoadConfigAndFonts()) {
    if (!config_) return;
    for (const char* path : kExtraFontFiles) FcConfigAppFontAddFile(config_, reinterpret_cast<const FcChar8*>(path));
  }

  ~Matcher() {
    if (config_) FcConfigDestroy(config_);
  }
  Matcher(const Matcher&) = delete;
  Matcher& operator=(const Matcher&) = delete;

  static std::string cache_key(const FontRequest& r) {
    return normalised(r.face) + '|' + std::to_string(r.weight == 0 ? FW_NORMAL : r.weight) + '|' +
           std::to_string(r.italic) + '|' + std::to_string(r.pitch_and_family);
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
    FcPattern* pattern = FcPatternCreate();
    if (!pattern) return std::nullopt;
    if (family) FcPatternAddString(pattern, FC_FAMILY, reinterpret_cast<const FcChar8*>(family->c_str()));
    FcPatternAddInteger(pattern, FC_WEIGHT, FcWeightFromOpenType(request.weight == 0 ? FW_NORMAL : request.weight));
    FcPatternAddInteger(pattern, FC_SLANT, request.italic ? FC_SLANT_ITALIC : FC_SLANT_ROMAN);
    FcPatternAddBool(pattern, FC_SCALABLE, FcTrue);
    FcConfigSubstitute(config_, pattern, FcMatchPattern);
    FcDefaultSubstitute(pattern);
    FcResult result = FcResultNoMatch;
    FcPattern* font = FcFontMatch(config_, pattern, &result);
    FcPatternDestroy(pattern);
    if (!font) return std::nullopt;
    std::optional<MatchedFont> matched;
    if (!family || has_family(font, *family)) matched = matched_from(font, request);
    FcPatternDestroy(font);
    return matched;
  }

  std::mutex mutex_;
  FcConfig* config_;  // our own configuration, so the extra files stay out of the process default
  std::unordered_map<std::string, std::optional<MatchedFont>> cache_;
};

}  // namespace

std::optional<MatchedFont> match_font(const FontRequest& request) {
  return Matcher::instance().match(request);
}

}  // namespace velmora::platform
