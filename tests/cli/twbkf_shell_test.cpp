// twbkf as a shell user meets it: every message names the program, what
// failed and why; exit codes never call a partial or empty result a
// success; files are chosen and laid out as archive tools do it.
#include <sys/file.h>
#include <sys/stat.h>
#include <fcntl.h>

#include "tests/cli/twbkf_fixture.h"

namespace tallowin {
namespace {

std::string FirstLine(const std::string& text) { return text.substr(0, text.find('\n')); }

TEST_F(TwbkfTest, EachSourceThatCannotBeScannedNamesItsCause) {
  fs::create_directories(dir_ / "Documents");
  ASSERT_EQ(::mkfifo((dir_ / "pipe").c_str(), 0600), 0);
  const fs::path bkf = Bkf(TwoFiles());
  const int holder = ::open(bkf.c_str(), O_RDONLY);
  ASSERT_EQ(::flock(holder, LOCK_EX), 0);
  const std::vector<std::pair<std::string, std::string>> cases = {
      {(dir_ / "Documents").string(), "Is a directory"},
      {"/dev/null", "not a regular file or disk"},
      {(dir_ / "pipe").string(), "not a regular file or disk"},
      {(dir_ / "missing.bkf").string(), "No such file or directory"},
      {bkf.string(), "in use by another program"},
  };
  for (const auto& [source, cause] : cases) {
    for (const char* command : {"scan", "list"}) {
      const auto result = Twbkf({command, source});
      EXPECT_EQ(result.exitCode, 2) << command << " " << source;
      EXPECT_EQ(result.err, "twbkf: " + source + ": cannot scan: " + cause + "\n") << command;
      EXPECT_EQ(result.out, "");
    }
  }
  ::close(holder);
}

// Root reads every file: the test then runs twbkf as the user nobody.
TEST_F(TwbkfTest, AFileThatMayNotBeReadSaysPermissionDenied) {
  const fs::path bkf = Bkf(TwoFiles());
  ::chmod(bkf.c_str(), 0);
  ::chmod(dir_.c_str(), 0755);
  std::vector<std::string> arguments = {"/bin/sh", "-c", "test -x \"$0\" || exit 77; exec \"$0\" scan \"$1\"",
                                        TWBKF_PATH, bkf.string()};
  if (::geteuid() == 0) {
    if (!fs::exists("/usr/bin/setpriv")) GTEST_SKIP() << "no setpriv to drop root's rights";
    arguments.insert(arguments.begin(), {"/usr/bin/setpriv", "--reuid=65534", "--regid=65534", "--clear-groups"});
  }
  const auto result = RunProgram(arguments);
  if (result.exitCode == 77) GTEST_SKIP() << "the program cannot be run by nobody from where it was built";
  EXPECT_EQ(result.exitCode, 2);
  EXPECT_EQ(result.err, "twbkf: " + bkf.string() + ": cannot scan: Permission denied\n");
}

TEST_F(TwbkfTest, EveryUsageErrorBeginsWithTheProgramsName) {
  const std::vector<std::vector<std::string>> wrong = {
      {}, {"scan"}, {"scan", "x.bkf", "--no-such-option"}, {"extract", "x.bkf"},
      {"extract", "x.bkf", "-C", "d", "-o", "a.tar"}, {"extract", "x.bkf", "-o", "a.rar"},
      {"extract", "x.bkf", "-C", "d", "--flat", "--strip-components", "1"},
      {"extract", "x.bkf", "-C", "d", "--strip-components", "-1"},
  };
  for (const auto& arguments : wrong) {
    const auto result = Twbkf(arguments);
    EXPECT_EQ(result.exitCode, 1) << (arguments.empty() ? "" : arguments.back());
    EXPECT_EQ(result.err.rfind("twbkf: ", 0), 0u) << result.err;
    EXPECT_EQ(std::count(result.err.begin(), result.err.end(), '\n'), 1) << result.err;
    EXPECT_EQ(result.out, "");
  }
}

TEST_F(TwbkfTest, AnUnknownCommandIsNamedAsSuch) {
  const auto result = Twbkf({"lst", "x.bkf"});
  EXPECT_EQ(result.exitCode, 1);
  EXPECT_EQ(result.err, "twbkf: 'lst' is not a command; see twbkf --help\n");
  EXPECT_EQ(Twbkf({"-q", "frobnicate"}).err, "twbkf: 'frobnicate' is not a command; see twbkf --help\n");
}

TEST_F(TwbkfTest, GlobalOptionsMayStandBeforeOrAfterTheCommand) {
  const fs::path bkf = Bkf(TwoFiles());
  for (const auto& arguments : {std::vector<std::string>{"-q", "list", bkf.string()},
                                {"list", bkf.string(), "-q"}, {"list", "--quiet", bkf.string()}}) {
    const auto result = Twbkf(arguments);
    EXPECT_EQ(result.exitCode, 0) << result.err;
    EXPECT_EQ(std::count(result.out.begin(), result.out.end(), '\n'), 2);
  }
}

TEST_F(TwbkfTest, AMatchThatMatchesNothingSaysSoAndExitsThree) {
  const fs::path bkf = Bkf(TwoFiles());
  fs::create_directories(dir_ / "out");
  for (const char* command : {"list", "verify", "extract"}) {
    std::vector<std::string> arguments = {command, bkf.string(), "--match", "*.pdf"};
    if (std::string(command) == "extract") arguments.insert(arguments.end(), {"-C", (dir_ / "out").string()});
    const auto result = Twbkf(arguments);
    EXPECT_EQ(result.exitCode, 3) << command;
    EXPECT_EQ(FirstLine(result.err), "twbkf: *.pdf: matches no file") << command;
  }
  EXPECT_TRUE(fs::is_empty(dir_ / "out")) << "nothing chosen, nothing made";
  // One pattern that finds nothing beside one that does: the found ones
  // are listed, the other named, and the exit is still 3.
  const auto some = Twbkf({"list", bkf.string(), "--match", "*.doc", "--match", "*.pdf"});
  EXPECT_EQ(some.exitCode, 3);
  EXPECT_NE(some.out.find("b.doc"), std::string::npos);
  EXPECT_EQ(some.err, "twbkf: *.pdf: matches no file\n");
}

TEST_F(TwbkfTest, PathsChooseFilesAndFoldersWithEitherSlash) {
  MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs");
  writer.File({.name = u"a.txt", .data = "alpha"}).File({.name = u"b.doc", .data = "beta"});
  writer.Directory(u"Docs\\Old").File({.name = u"c.txt", .data = "gamma"});
  writer.Directory(u"Docsx").File({.name = u"d.txt", .data = "delta"});
  const fs::path bkf = Bkf(writer);
  const auto names = [&](std::vector<std::string> arguments) {
    arguments.insert(arguments.begin(), {"list", bkf.string()});
    const auto result = Twbkf(arguments);
    std::string found;
    for (std::size_t at = 0; (at = result.out.find('\\', at)) != std::string::npos;) {
      const auto end = result.out.find('\n', at);
      const auto name = result.out.substr(result.out.rfind('\\', end) + 1, end - result.out.rfind('\\', end) - 1);
      found += name + " ";
      at = end;
    }
    return std::to_string(result.exitCode) + ": " + found;
  };
  // A folder takes everything below it, and nothing of a folder whose name
  // merely begins the same.
  EXPECT_EQ(names({"BKF/BACKUP SET 1(Daily)/Docs"}), "0: a.txt b.doc c.txt ");
  EXPECT_EQ(names({"BACKUP SET 1(Daily)\\Docs\\Old\\"}), "0: c.txt ");
  EXPECT_EQ(names({"BKF/BACKUP SET 1(Daily)/Docs/b.doc", "BKF/BACKUP SET 1(Daily)/Docsx"}), "0: b.doc d.txt ");
  EXPECT_EQ(names({"bkf/backup set 1(daily)/docs/old", "--ignore-case"}), "0: c.txt ");
  EXPECT_EQ(names({"--match", "*/Docs/*", "--exclude", "*.doc"}), "0: a.txt c.txt ");
  EXPECT_EQ(names({"--match", "*.TXT", "-i"}), "0: a.txt c.txt d.txt ");
  EXPECT_EQ(names({"--exclude", "Old"}), "0: a.txt b.doc d.txt ");
  // A pattern takes one value: what follows it is a path again.
  EXPECT_EQ(names({"--match", "*.doc", "BKF/BACKUP SET 1(Daily)/Docsx"}), "0: b.doc d.txt ");
  EXPECT_EQ(names({"--exclude", "*.doc", "BKF/BACKUP SET 1(Daily)/Docs"}), "0: a.txt c.txt ");
  // A path that names nothing is said, the others still listed.
  const auto missing = Twbkf({"list", bkf.string(), "BKF/BACKUP SET 1(Daily)/Docs/b.doc", "Docs/nothing.txt"});
  EXPECT_EQ(missing.exitCode, 3);
  EXPECT_EQ(missing.err, "twbkf: Docs/nothing.txt: not found in the backup\n");
  EXPECT_NE(missing.out.find("b.doc"), std::string::npos);

  WriteAll(dir_ / "wanted.txt", "BKF/BACKUP SET 1(Daily)/Docs/a.txt\r\n\nBKF\\BACKUP SET 1(Daily)\\Docsx\n");
  EXPECT_EQ(names({"--files-from", (dir_ / "wanted.txt").string()}), "0: a.txt d.txt ");
  const auto unreadable = Twbkf({"list", bkf.string(), "-T", (dir_ / "none.txt").string()});
  EXPECT_EQ(unreadable.exitCode, 2);
  EXPECT_EQ(unreadable.err, "twbkf: " + (dir_ / "none.txt").string() + ": cannot read: No such file or directory\n");
}

TEST_F(TwbkfTest, FilesFromReadsStandardInput) {
  const fs::path bkf = Bkf(TwoFiles());
  WriteAll(dir_ / "wanted.txt", "BKF/BACKUP SET 1(Daily)/Docs/b.doc\n");
  const auto result = RunProgram({"/bin/sh", "-c", "exec \"$0\" list \"$1\" -T - < \"$2\"", TWBKF_PATH, bkf.string(),
                                  (dir_ / "wanted.txt").string()});
  EXPECT_EQ(result.exitCode, 0) << result.err;
  EXPECT_EQ(result.out, "3000\t2007-05-12T14:30:45Z\tBKF\\BACKUP SET 1(Daily)\\Docs\\b.doc\n");
}

TEST_F(TwbkfTest, ListJsonNamesTheSetTheFolderAndTheName) {
  MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs\\Old").File({.name = u"a.txt", .data = "alpha"});
  const auto result = Twbkf({"list", Bkf(writer).string(), "--json"});
  ASSERT_EQ(result.exitCode, 0) << result.err;
  EXPECT_NE(result.out.find("\"set\": \"BACKUP SET 1(Daily)\", \"folder\": \"Docs\\\\Old\", \"name\": \"a.txt\""),
            std::string::npos)
      << result.out;
}

TEST_F(TwbkfTest, ScanSummarisesEachDataSetAndJsonSaysTheSame) {
  MtfWriter writer(test::WriterStyle::kWindowsUtility);
  writer.Tape().DataSet(u"Monday").Directory(u"Docs");
  writer.FileWithStreams({.name = u"a.txt", .data = "alpha"});
  writer.FileWithStreams({.name = u"b.txt", .data = std::string(2048, 'b')});
  writer.Directory(u"Docs\\Old").FileWithStreams({.name = u"c.txt", .data = "c"});
  writer.EndOfSet();
  writer.DataSet(u"Tuesday").Directory(u"Mail");
  writer.FileWithStreams({.name = u"d.pst", .data = std::string(5000, 'd')});
  const fs::path bkf = Bkf(writer);  // the second set has no end: the backup was cut

  const auto plain = Twbkf({"scan", bkf.string()});
  ASSERT_EQ(plain.exitCode, 0) << plain.err;
  EXPECT_EQ(plain.out,
            "File(s) Found : 4\n"
            "Set 1 \"Monday\", written 2007-05-12T14:30:45Z: 3 file(s), 2.0 KiB (2054 bytes) in 2 folder(s)\n"
            "Set 2 \"Tuesday\", written 2007-05-12T14:30:45Z: 1 file(s), 4.9 KiB (5000 bytes) in 1 folder(s)\n"
            "  cut short: its end-of-set block was not found\n");

  const auto json = Twbkf({"scan", bkf.string(), "--json"});
  ASSERT_EQ(json.exitCode, 0) << json.err;
  EXPECT_EQ(std::count(json.out.begin(), json.out.end(), '\n'), 1) << "one document";
  EXPECT_NE(json.out.find("{\"number\": 1, \"name\": \"Monday\", \"label\": \"BACKUP SET 1(Monday)\", "
                          "\"written\": \"2007-05-12T14:30:45Z\", \"files\": 3, \"bytes\": 2054, \"folders\": 2, "
                          "\"cutShort\": false, \"damage\": []}"),
            std::string::npos)
      << json.out;
  EXPECT_NE(json.out.find("\"number\": 2, \"name\": \"Tuesday\""), std::string::npos);
  EXPECT_NE(json.out.find("\"cutShort\": true"), std::string::npos);
  EXPECT_NE(json.out.find("\"size\": " + std::to_string(fs::file_size(bkf)) + ", \"files\": 4, \"stopped\": false"),
            std::string::npos)
      << "a file smaller than a window has its size too";
}

TEST_F(TwbkfTest, ExtractLaysFilesOutAsTarAndUnzipWould) {
  MtfWriter writer;
  writer.Tape().DataSet(u"Daily").Directory(u"Docs");
  writer.File({.name = u"a.txt", .data = "alpha"});
  writer.Directory(u"Other").File({.name = u"a.txt", .data = "other"});
  const fs::path bkf = Bkf(writer);
  const std::string out = (dir_ / "out").string();
  fs::create_directories(out);

  const auto stripped = Twbkf({"extract", bkf.string(), "-C", out, "--strip-components", "2", "-q"});
  EXPECT_EQ(stripped.exitCode, 0) << stripped.err;
  EXPECT_EQ(ReadAll(dir_ / "out/Docs/a.txt"), "alpha");
  EXPECT_EQ(ReadAll(dir_ / "out/Other/a.txt"), "other");

  const auto flat = Twbkf({"extract", bkf.string(), "-C", out, "--flat", "-q"});
  EXPECT_EQ(flat.exitCode, 0) << flat.err;
  EXPECT_EQ(ReadAll(dir_ / "out/a.txt"), "alpha");
  EXPECT_EQ(ReadAll(dir_ / "out/a (2).txt"), "other");

  // A dry run names what a save would write, after mending and numbering,
  // and writes nothing.
  const auto before = std::distance(fs::recursive_directory_iterator(out), fs::recursive_directory_iterator());
  const auto dry = Twbkf({"extract", bkf.string(), "-C", out, "--flat", "--dry-run"});
  EXPECT_EQ(dry.exitCode, 0) << dry.err;
  EXPECT_EQ(dry.out, out + "/a (3).txt\n" + out + "/a (4).txt\n2 file(s) would be written; nothing was written.\n");
  EXPECT_EQ(std::distance(fs::recursive_directory_iterator(out), fs::recursive_directory_iterator()), before);

  // -v: one line per file written, on standard error.
  const auto verbose = Twbkf({"extract", bkf.string(), "-C", out, "-v", "-q"});
  EXPECT_EQ(verbose.exitCode, 0) << verbose.err;
  EXPECT_EQ(verbose.err, out + "/RecBKF/BACKUP SET 1(Daily)/Docs/a.txt\n" + out +
                             "/RecBKF/BACKUP SET 1(Daily)/Other/a.txt\n");
}

TEST_F(TwbkfTest, StdoutGivesTheChosenFilesBytesOneAfterAnother) {
  const fs::path bkf = Bkf(TwoFiles());
  const auto one = Twbkf({"extract", bkf.string(), "BKF/BACKUP SET 1(Daily)/Docs/a.txt", "--stdout"});
  EXPECT_EQ(one.exitCode, 0) << one.err;
  EXPECT_EQ(one.out, "alpha");
  EXPECT_NE(one.err.find("1 file(s) saved"), std::string::npos) << "the summary goes beside the bytes";
  const auto both = Twbkf({"extract", bkf.string(), "-O", "-q"});
  EXPECT_EQ(both.out, "alpha" + std::string(3000, 'b'));
}

TEST_F(TwbkfTest, AnUnwritableDestinationIsSaidOnceWithItsCause) {
  const fs::path bkf = Bkf(TwoFiles());
  for (const char* dryRun : {"", "--dry-run"}) {
    std::vector<std::string> arguments = {"extract", bkf.string(), "-C", (dir_ / "nowhere").string()};
    if (*dryRun != '\0') arguments.emplace_back(dryRun);
    const auto result = Twbkf(arguments);
    EXPECT_EQ(result.exitCode, 4) << dryRun;
    EXPECT_EQ(result.err, "twbkf: " + (dir_ / "nowhere").string() + ": cannot write: No such file or directory\n");
  }
}

}  // namespace
}  // namespace tallowin
