// The installed thumbnailer entry, run the way a desktop file manager runs
// it: the Exec line split into words, %s, %i and %o replaced, and the
// program found by its name.
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "common/png_io.h"
#include "tools/command_runner.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const fs::path kEntry = fs::path(VELMORA_SOURCE_DIR) / "tools/render/velmora.thumbnailer";
const fs::path kData = VELMORA_TEST_DATA;

std::map<std::string, std::string> read_entry() {
  std::ifstream in(kEntry);
  std::map<std::string, std::string> keys;
  std::string line;
  std::getline(in, line);
  EXPECT_EQ(line, "[Thumbnailer Entry]");
  while (std::getline(in, line)) {
    const std::size_t equals = line.find('=');
    if (equals != std::string::npos) keys[line.substr(0, equals)] = line.substr(equals + 1);
  }
  return keys;
}

// The Exec line's words with the file manager's fields filled in.
std::vector<std::string> command_of(const std::string& exec, const std::string& size, const std::string& input,
                                    const std::string& output) {
  std::istringstream words(exec);
  std::vector<std::string> command;
  for (std::string word; words >> word;) {
    if (word == "%s") word = size;
    if (word == "%i") word = input;
    if (word == "%o") word = output;
    command.push_back(word);
  }
  return command;
}

TEST(Thumbnailer, TheEntryNamesTheProgramAndTheMetafileTypes) {
  const std::map<std::string, std::string> keys = read_entry();
  EXPECT_EQ(keys.at("TryExec"), "velmora-render");
  EXPECT_EQ(keys.at("Exec").substr(0, std::string("velmora-render ").size()), "velmora-render ");
  for (const char* type : {"image/wmf;", "image/x-wmf;", "image/emf;", "image/x-emf;", "application/x-msmetafile;"}) {
    EXPECT_NE(keys.at("MimeType").find(type), std::string::npos) << type;
  }
}

TEST(Thumbnailer, ItsExecLineMakesAFittedTransparentThumbnailOfEachKind) {
  const std::string exec = read_entry().at("Exec");
  for (const char* name : {"wrench.emf", "64716_image1.wmf", "test_embedded_zip_image3.wmf"}) {
    const ScratchFolder dir;
    // GNOME gives an output path of its own choosing, with no extension.
    const std::string output = (dir / "gnome-desktop-thumbnailer-1234").string();
    std::vector<std::string> command = command_of(exec, "128", (kData / "corpus" / name).string(), output);
    ASSERT_EQ(command.front(), "velmora-render");
    command.erase(command.begin());  // run_render starts the built program
    const CommandResult r = run_render(command);
    EXPECT_EQ(r.status, 0) << name << ": " << r.err;
    EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
    tools::Image thumbnail;
    ASSERT_TRUE(tools::read_png(output, thumbnail)) << name;
    EXPECT_EQ(std::max(thumbnail.width, thumbnail.height), 128) << name;
    EXPECT_LE(std::min(thumbnail.width, thumbnail.height), 128) << name;
    bool some_transparent = false;
    for (std::size_t i = 3; i < thumbnail.bgra.size(); i += 4) some_transparent |= thumbnail.bgra[i] == 0;
    EXPECT_TRUE(some_transparent) << name << ": the background stays transparent";
    EXPECT_EQ(files_under(dir.path()), std::vector<std::string>{"gnome-desktop-thumbnailer-1234"});
  }
}

}  // namespace
}  // namespace velmora::test
