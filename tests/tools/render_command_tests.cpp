// velmora-render from the outside: the command line, the failure lines and
// exit statuses, output written whole or not at all, folder batches, -j,
// and standard input and output.
#include <gtest/gtest.h>

#include <filesystem>
#include <regex>

#include "support/emf_builder.h"
#include "tools/command_runner.h"

namespace velmora::test {
namespace {

namespace fs = std::filesystem;

const fs::path kData = VELMORA_TEST_DATA;
const fs::path kTiger = fs::path(VELMORA_SOURCE_DIR) / "samples/tiger.emf";

std::vector<std::uint8_t> square_picture() {
  EmfBuilder emf;
  emf.create_brush(1, BS_SOLID, RGB(200, 0, 0)).select_object(1).rectangle(20, 20, 300, 300);
  return emf.bytes();
}

// An EMF by its signature that the platform refuses: its header record's
// size is not a whole number of 32-bit words.
std::vector<std::uint8_t> refused_picture() {
  std::vector<std::uint8_t> bytes = square_picture();
  bytes[4] = 110;  // nSize, low byte (108 in a sound file)
  return bytes;
}

// The lines of standard error that name a file; the summary excluded.
std::vector<std::string> failure_lines(const std::string& err) {
  std::vector<std::string> lines;
  std::regex line("velmora-render: [^\\n]+: [^\\n]+");
  for (std::sregex_iterator it(err.begin(), err.end(), line), end; it != end; ++it) {
    if (it->str().find(" rendered, ") == std::string::npos) lines.push_back(it->str());
  }
  return lines;
}

struct BadCommand {
  std::vector<std::string> args;
  std::string expected;  // a part of the message
};

TEST(RenderCommandLine, BadOptionsAreUsageErrorsThatSayWhatWasExpected) {
  const std::string tiger = kTiger.string();
  const BadCommand cases[] = {
      {{"--width", "abc", tiger}, "--width: expected a whole number of pixels from 1 to 262144, got 'abc'"},
      {{"--width", "0", tiger}, "--width: expected a whole number of pixels"},
      {{"--height=-5", tiger}, "--height: expected"},
      {{"--size", "640", tiger}, "--size: expected WIDTHxHEIGHT"},
      {{"--dpi", "0", tiger}, "--dpi: expected dots per inch"},
      {{"--crop", "0.5,0,0.4,1", tiger}, "--crop: expected LEFT,TOP,RIGHT,BOTTOM"},
      {{"--crop", "0,0,1", tiger}, "--crop: expected"},
      {{"--alpha", "256", tiger}, "--alpha: expected an opacity from 0 to 255"},
      {{"--background", "#12345", tiger}, "--background: expected #rrggbb"},
      {{"-j", "0", tiger}, "-j: expected a number of parallel jobs"},
      {{"--angle", "nan", tiger}, "--angle: expected degrees"},
      {{"--width"}, "--width: expected a value after it"},
      {{"--plain", "--compare", tiger}, "--plain and --compare exclude each other"},
      {{"--plain", "--angle", "10", tiger}, "--angle turns the anti-aliased rendering only"},
      {{"--thumbnail", "64", "--width", "10", tiger}, "--thumbnail sets the size itself"},
      {{"--frobnicate", tiger}, "unknown option '--frobnicate'"},
      {{"--info=yes", tiger}, "--info: takes no value"},
      {{}, "no input given"},
      {{"-", "-"}, "standard input ('-') can be read once"},
      {{tiger, tiger, "-o", "-"}, "-o - writes one PNG"},
      {{(kData / "corpus").string(), "-o", "-"}, "-o - writes one PNG; a folder gives several"},
  };
  for (const BadCommand& c : cases) {
    const CommandResult r = run_render(c.args);
    EXPECT_EQ(r.status, 2) << c.expected;
    EXPECT_NE(r.err.find(c.expected), std::string::npos) << r.err;
    EXPECT_NE(r.err.find("Try 'velmora-render --help'"), std::string::npos) << r.err;
    EXPECT_TRUE(r.out.empty()) << c.expected;
  }
}

TEST(RenderCommandLine, HelpAndVersionGoToStandardOutput) {
  const CommandResult help = run_render({"--help"});
  EXPECT_EQ(help.status, 0);
  for (const char* part : {"Usage: velmora-render", "--crop L,T,R,B", "Exit status", "Examples"}) {
    EXPECT_NE(help.out.find(part), std::string::npos) << part;
  }
  const CommandResult version = run_render({"--version"});
  EXPECT_EQ(version.status, 0);
  EXPECT_TRUE(std::regex_match(version.out, std::regex("velmora-render [0-9]+\\.[0-9]+\\.[0-9]+\n")));
}

// Each failure: exit status 1, one line naming the file and the reason, and
// nothing left in the output folder.
TEST(RenderFailures, EachNamesTheFileAndTheReasonAndLeavesNoOutput) {
  const ScratchFolder dir;
  write_bytes(dir / "text.emf", {'h', 'e', 'l', 'l', 'o'});
  write_bytes(dir / "refused.emf", refused_picture());
  write_bytes(dir / "square.emf", square_picture());
  const fs::path out = dir / "out";
  fs::create_directory(out);
  const struct {
    std::vector<std::string> args;
    std::string line;
  } cases[] = {
      {{(dir / "missing.emf").string()}, (dir / "missing.emf").string() + ": not found"},
      {{"/dev/null"}, "/dev/null: unreadable (not a regular file)"},
      {{(dir / "text.emf").string()}, (dir / "text.emf").string() + ": not a metafile"},
      {{(dir / "refused.emf").string()}, (dir / "refused.emf").string() + ": refused by the player"},
      {{"--width", "200000", (dir / "square.emf").string()}, ": too large for memory (200000 x 200000 pixels"},
      {{(dir / "square.emf").string(), "-o", (dir / "no/such/folder/x.png").string()},
       ": output not writable: " + (dir / "no/such/folder/x.png").string() + " (No such file or directory)"},
  };
  for (const auto& c : cases) {
    std::vector<std::string> args = c.args;
    if (std::find(args.begin(), args.end(), "-o") == args.end())
      args.insert(args.end(), {"-o", (out / "x.png").string()});
    const CommandResult r = run_render(args);
    EXPECT_EQ(r.status, 1) << c.line;
    const std::vector<std::string> lines = failure_lines(r.err);
    ASSERT_EQ(lines.size(), 1u) << r.err;
    EXPECT_NE(lines[0].find(c.line), std::string::npos) << lines[0];
    EXPECT_EQ(std::count(r.err.begin(), r.err.end(), '\n'), 1) << r.err;
    EXPECT_TRUE(files_under(out).empty()) << c.line;
  }
}

TEST(RenderFailures, AFailedRenderKeepsTheFileItWouldHaveReplaced) {
  const ScratchFolder dir;
  write_bytes(dir / "text.emf", {'n', 'o', 'p', 'e'});
  write_bytes(dir / "old.png", {1, 2, 3});
  const CommandResult r = run_render({(dir / "text.emf").string(), "-o", (dir / "old.png").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(read_bytes(dir / "old.png"), std::string("\1\2\3"));
  EXPECT_EQ(files_under(dir.path()), (std::vector<std::string>{"old.png", "text.emf"}));
}

// A folder tree with pictures found by content (one without an extension),
// a file that is no metafile (skipped) and one the player refuses (failed).
TEST(RenderBatch, AFolderGivesOnePngPerMetafileKeepingItsLayoutAndReportsTheBadOne) {
  const ScratchFolder dir;
  const fs::path in = dir / "in";
  fs::create_directories(in / "deep/er");
  fs::copy_file(kData / "corpus/wrench.emf", in / "wrench.emf");
  fs::copy_file(kData / "corpus/64716_image1.wmf", in / "deep/placeable");
  fs::copy_file(kData / "corpus/test_embedded_zip_image3.wmf", in / "deep/er/plain.WMF");
  write_bytes(in / "notes.txt", {'h', 'i'});
  write_bytes(in / "deep/broken.emf", refused_picture());
  const CommandResult r = run_render({"-j", "2", "--width", "64", in.string(), "-o", (dir / "out").string()});
  EXPECT_EQ(r.status, 1);
  EXPECT_EQ(files_under(dir / "out"),
            (std::vector<std::string>{"deep/er/plain.png", "deep/placeable.png", "wrench.png"}));
  const std::vector<std::string> lines = failure_lines(r.err);
  ASSERT_EQ(lines.size(), 1u) << r.err;
  EXPECT_NE(lines[0].find("deep/broken.emf: refused by the player"), std::string::npos) << lines[0];
  EXPECT_TRUE(std::regex_search(r.err, std::regex("velmora-render: 3 rendered, 1 failed, [0-9.]+ s\n$"))) << r.err;
}

TEST(RenderBatch, AProgressBarOnlyOnATerminal) {
  const ScratchFolder dir;
  for (const char* name : {"wrench.emf", "64716_image1.wmf", "test_embedded_zip_image3.wmf"}) {
    fs::create_directories(dir / "in");
    fs::copy_file(kData / "corpus" / name, dir / "in" / name);
  }
  const std::vector<std::string> args = {"--width", "32", (dir / "in").string(), "-o", (dir / "out").string()};
  const CommandResult on_terminal = run_render_on_terminal(args);
  EXPECT_EQ(on_terminal.status, 0) << on_terminal.err;
  EXPECT_NE(on_terminal.err.find("] 3/3 "), std::string::npos) << on_terminal.err;
  EXPECT_NE(on_terminal.err.find("\r\033[K"), std::string::npos) << "the bar is redrawn in place";
  const CommandResult piped = run_render(args);
  EXPECT_EQ(piped.err.find('['), std::string::npos) << piped.err;
  const CommandResult png_to_terminal = run_render_on_terminal({"-", "-o", "-"});
  EXPECT_EQ(png_to_terminal.status, 2);
  EXPECT_NE(png_to_terminal.err.find("standard output is a terminal"), std::string::npos) << png_to_terminal.err;
  EXPECT_TRUE(std::regex_match(piped.err, std::regex("velmora-render: 3 rendered, 0 failed, [0-9.]+ s\n")))
      << piped.err;
}

TEST(RenderBatch, FourJobsWriteTheSameBytesAndReportsAsOne) {
  const ScratchFolder dir;
  const fs::path in = dir / "in";
  for (int i = 0; i < 3; ++i) {
    fs::create_directories(in / std::to_string(i));
    for (const char* name : {"wrench.emf", "64716_image1.wmf", "test_embedded_zip_image3.wmf"}) {
      fs::copy_file(kData / "corpus" / name, in / std::to_string(i) / name);
    }
  }
  fs::copy_file(kTiger, in / "tiger.emf");
  write_bytes(in / "1/broken.emf", refused_picture());
  const auto run = [&](const char* jobs, const char* out) {
    return run_render({"-j", jobs, "--time", "--width", "120", in.string(), "-o", (dir / out).string()});
  };
  const CommandResult one = run("1", "one");
  const CommandResult four = run("4", "four");
  EXPECT_EQ(one.status, 1);
  EXPECT_EQ(four.status, 1);
  const std::vector<std::string> files = files_under(dir / "one");
  ASSERT_EQ(files.size(), 10u);
  EXPECT_EQ(files_under(dir / "four"), files);
  for (const std::string& f : files) EXPECT_EQ(read_bytes(dir / "one" / f), read_bytes(dir / "four" / f)) << f;
  // The reports differ only in the times measured.
  const auto without_times = [](const std::string& text) {
    return std::regex_replace(text, std::regex("[0-9.]+ (ms|s)\\b"), "T");
  };
  EXPECT_EQ(without_times(one.out), without_times(four.out));
  EXPECT_EQ(without_times(one.err), without_times(four.err));
  EXPECT_EQ(std::count(one.out.begin(), one.out.end(), '\n'), 10);
}

TEST(RenderStreams, StandardInputToStandardOutputGivesTheFilesRendering) {
  const ScratchFolder dir;
  const CommandResult from_file = run_render({"--width", "150", kTiger.string(), "-o", (dir / "file.png").string()});
  ASSERT_EQ(from_file.status, 0) << from_file.err;
  const CommandResult piped = run_render({"--width", "150", "-", "-o", "-"}, kTiger);
  ASSERT_EQ(piped.status, 0) << piped.err;
  EXPECT_TRUE(piped.err.empty()) << piped.err;
  EXPECT_EQ(piped.out.substr(1, 3), "PNG");
  EXPECT_EQ(piped.out, read_bytes(dir / "file.png"));
}

TEST(RenderStreams, ReportsMoveToStandardErrorWhenThePngTakesStandardOutput) {
  const CommandResult r = run_render({"--time", "--repeat", "3", "--width", "40", "-", "-o", "-"}, kTiger);
  ASSERT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(
      std::regex_search(r.err, std::regex("^-: 40 x 40, median [0-9.]+ ms of 3 \\(min [0-9.]+, max [0-9.]+\\)\n$")))
      << r.err;
  EXPECT_EQ(r.out.substr(1, 3), "PNG");
}

TEST(RenderStreams, AnInputWithoutOutputIsWrittenBesideIt) {
  const ScratchFolder dir;
  fs::copy_file(kData / "corpus/wrench.emf", dir / "wrench.emf");
  const CommandResult r = run_render({(dir / "wrench.emf").string()});
  EXPECT_EQ(r.status, 0) << r.err;
  EXPECT_TRUE(r.out.empty() && r.err.empty()) << r.out << r.err;
  EXPECT_TRUE(fs::exists(dir / "wrench.png"));
}

}  // namespace
}  // namespace velmora::test
