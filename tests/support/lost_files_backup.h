// A set of the Windows utility's style whose FILE blocks damage took, each
// the way its data survived, with the set's catalogue that names them all:
// the scan must find every file again, and the verification tell which data
// is whole.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "tests/support/mtf_writer.h"

namespace tallowin::test {

// Varied bytes, different for each seed, that never spell a block id.
inline std::string SeededData(std::size_t size, char seed) {
  std::string data(size, '\0');
  for (std::size_t i = 0; i < size; ++i) data[i] = static_cast<char>(seed + i * 13 % 241);
  return data;
}

class LostFilesBackup {
 public:
  // A row as the scan should give it, its name in the set's folder "Docs".
  struct ExpectedRow {
    std::u16string name;
    std::int64_t size = 0;
    std::uint64_t offset = 0;
    bool fromSetCatalogue = false;
  };

  LostFilesBackup() {
    writer.Tape().DataSet(u"Daily").Directory(u"Docs");
    writer.FileWithStreams({.name = u"intact.txt", .data = SeededData(700, 'i')});
    rows.push_back({u"intact.txt", 700, *writer.LastFile().data});
    // Its block's first half lost; its large security data put the data
    // stream header in the second half.
    writer.FileWithStreams({.name = u"far.txt", .data = SeededData(900, 'f'), .securityDescriptorSize = 700});
    Lose(512, u"far.txt", 900);
    // The block and the data stream header lost; the data and its checksum not.
    writer.FileWithStreams({.name = u"bare.txt", .data = SeededData(1500, 'b')});
    Lose(*writer.LastFile().data - writer.LastFile().block, u"bare.txt", 1500);
    // The same, and a byte of the data hit too.
    writer.FileWithStreams({.name = u"hit.txt", .data = SeededData(1500, 'h')});
    const std::size_t hit = *writer.LastFile().data;
    Lose(hit - writer.LastFile().block, u"hit.txt", 1500);
    writer.Bytes()[hit + 1000] ^= std::byte{0x55};
    writer.FileWithStreams({.name = u"empty.txt"});
    Lose(1024, u"empty.txt", 0);
    // Everything lost.
    writer.FileWithStreams({.name = u"gone.txt", .data = SeededData(300, 'g')});
    writer.ZeroCluster(writer.LastFile().block, 1024);
    writer.FileWithStreams({.name = u"last.txt", .data = SeededData(50, 'l')});
    rows.insert(rows.begin() + 1, {u"last.txt", 50, *writer.LastFile().data});
    writer.EndOfSet();
  }

  MtfWriter writer{WriterStyle::kWindowsUtility};
  std::vector<ExpectedRow> rows;  // in the scan's order

 private:
  // Zeros the first `count` bytes of the last file's block, and expects its
  // row from the catalogue: at its data, or for an empty file at its block.
  void Lose(std::size_t count, std::u16string_view name, std::int64_t size) {
    const WrittenFile& file = writer.LastFile();
    writer.ZeroCluster(file.block, count);
    rows.push_back({std::u16string(name), size, file.data.value_or(file.block), true});
  }
};

}  // namespace tallowin::test
