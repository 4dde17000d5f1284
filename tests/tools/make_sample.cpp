// Writes the bundled sample: a backup of two data sets as the Windows backup
// utility lays them out (1 KiB blocks, security data, checksums, empty,
// sparse and encrypted files, a catalogue after each set), then damaged as
// backups are in the field: a region zeroed, a region overwritten with
// noise, a cluster of one file's data overwritten with another's (only the
// stored checksum tells), one file's block lost (the set's catalogue brings
// it back whole), one folder's block lost (its files keep their folder all
// the same), and the file cut short in the middle of its last file's data.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/mtf_writer.h"

namespace {

using tallowin::test::MtfWriter;
using tallowin::test::RealFile;
using tallowin::test::WriterStyle;

// Deterministic text so that the sample is the same on every machine.
std::string Text(const std::string& title, std::size_t size) {
  std::string text = title + "\r\n";
  std::uint32_t state = static_cast<std::uint32_t>(size * 2654435761u);
  static const char* const kWords[] = {"backup", "tape", "report", "quarter", "budget", "draft",
                                       "meeting", "notes", "final", "review", "data", "set"};
  while (text.size() < size) {
    state = state * 1103515245u + 12345u;
    text += kWords[(state >> 16) % 12];
    text += (state >> 8) % 9 == 0 ? ".\r\n" : " ";
  }
  text.resize(size);
  return text;
}

void Noise(MtfWriter& writer, std::size_t from, std::size_t length) {
  std::uint32_t state = 7;
  for (std::size_t i = from; i < from + length && i < writer.Size(); ++i) {
    state = state * 1664525u + 1013904223u;
    writer.Bytes()[i] = std::byte(static_cast<std::uint8_t>(state >> 24));
  }
}

}  // namespace

int main(int argc, char** argv) {
  if (argc != 2) {
    std::fprintf(stderr, "usage: make_sample OUTPUT.bkf\n");
    return 1;
  }
  MtfWriter w(WriterStyle::kWindowsUtility);
  w.Tape().DataSet(u"Set created 12/05/2007 at 14:30");
  w.Directory(u"Documents");
  w.FileWithStreams({.name = u"letter.txt", .data = Text("Dear customer,", 1800)});
  w.FileWithStreams({.name = u"desktop.ini"});
  w.FileWithStreams({.name = u"budget.csv", .data = Text("year;amount", 5200)});
  // A cluster of budget.csv now holds bytes of letter.txt.
  const std::size_t crossLinked = *w.LastFile().data + 2048;
  w.FileWithStreams({.name = u"salaries.xls", .data = Text("Encrypted by its owner", 700), .encrypted = true});
  w.Directory(u"Documents\\Reports");
  // Audited on a file server: its security data is over 1 KiB. Its block's
  // first kilobyte is lost, its data is not.
  w.FileWithStreams({.name = u"q1 report.txt", .data = Text("First quarter", 12000), .securityDescriptorSize = 1400});
  const std::size_t lostFileBlock = w.LastFile().block;
  const std::size_t zeroedFrom = w.Size();
  w.FileWithStreams({.name = u"q2 report.txt", .data = Text("Second quarter", 9000)});
  const std::size_t zeroedTo = w.Size();
  w.FileWithStreams({.name = u"q3 report.txt", .data = Text("Third quarter", 7000)});
  w.FileWithStreams({.name = u"New Text Document.txt"});
  const std::size_t lostFolderBlock = w.Size();
  w.Directory(u"Pictures");
  const std::size_t noiseFrom = w.Size();
  w.FileWithStreams({.name = u"holiday.txt", .data = Text("Photo list", 3000)});
  w.FileWithStreams({.name = u"camera.txt", .data = Text("Camera settings", 2500)});
  w.EndOfSet();
  w.DataSet(u"Weekly \"full\" backup");
  w.Directory(u"Projects\\Tallow");
  w.FileWithStreams({.name = u"plan.txt", .data = Text("Project plan", 40000)});
  w.FileWithStreams({.name = u"disk.vhd",
                     .sparse = {{0, Text("Disk header", 512)}, {262144, Text("Second extent", 1024)}},
                     .sparseSize = 1048576});
  w.FileWithStreams({.name = u"notes.txt", .data = Text("Notes", 900)});
  w.Directory(u"Projects\\Wick");
  w.FileWithStreams({.name = u"design.txt", .data = Text("Design", 30000)});
  w.FileWithStreams({.name = u"archive.log", .data = Text("Archive", 20000)});
  const std::size_t cut = w.Size() - 9000;

  for (std::size_t i = 0; i < 512; ++i) w.Bytes()[crossLinked + i] = w.Bytes()[i + 4096];
  w.ZeroCluster(zeroedFrom, zeroedTo - zeroedFrom);
  w.ZeroCluster(lostFileBlock, 1024);
  w.ZeroCluster(lostFolderBlock, 1024);
  Noise(w, noiseFrom, 600);
  w.Cut(cut);
  w.WriteTo(argv[1]);
  return 0;
}
