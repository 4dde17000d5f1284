// Writes the bundled sample: a small backup of two data sets that has been
// damaged three ways: a region zeroed, a region overwritten with noise, and
// the file cut short in the middle of its last file's data.
#include <cstdint>
#include <cstdio>
#include <string>

#include "tests/support/mtf_writer.h"

namespace {

using tallowin::test::FileEntry;
using tallowin::test::MtfWriter;

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
  MtfWriter w;
  w.Tape().DataSet(u"Set created 12/05/2007 at 14:30").Block("VOLB");
  w.Directory(u"Documents");
  w.File({.name = u"letter.txt", .data = Text("Dear customer,", 1800)});
  w.File({.name = u"budget.csv", .data = Text("year;amount", 5200)});
  w.Directory(u"Documents\\Reports");
  w.File({.name = u"q1 report.txt", .data = Text("First quarter", 12000)});
  const std::size_t zeroedFrom = w.Size();
  w.File({.name = u"q2 report.txt", .data = Text("Second quarter", 9000)});
  const std::size_t zeroedTo = w.Size();
  w.File({.name = u"q3 report.txt", .data = Text("Third quarter", 7000)});
  w.Directory(u"Pictures");
  const std::size_t noiseFrom = w.Size();
  w.File({.name = u"holiday.txt", .data = Text("Photo list", 3000)});
  w.File({.name = u"camera.txt", .data = Text("Camera settings", 2500)});
  w.EndOfSet();
  w.DataSet(u"Weekly \"full\" backup").Block("VOLB");
  w.Directory(u"Projects\\Tallow");
  w.File({.name = u"plan.txt", .data = Text("Project plan", 40000)});
  w.File({.name = u"notes.txt", .data = Text("Notes", 900)});
  w.Directory(u"Projects\\Wick");
  w.File({.name = u"design.txt", .data = Text("Design", 30000)});
  w.File({.name = u"archive.log", .data = Text("Archive", 20000)});
  const std::size_t cut = w.Size() - 9000;

  for (std::size_t i = zeroedFrom; i < zeroedTo; ++i) w.Bytes()[i] = std::byte{0};
  Noise(w, noiseFrom, 600);
  w.Bytes().resize(cut);
  w.WriteTo(argv[1]);
  return 0;
}
