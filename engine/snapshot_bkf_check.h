// Whether a BKF file holds the data that a catalogue describes, for a BKF
// file the user named when a snapshot's own had moved: a wrong choice would
// otherwise give every saved file another backup's bytes.
#pragma once

#include "catalog/catalogue.h"
#include "engine/bkf_file.h"

namespace tallowin {

// Looks at a sample of rows (the first, the last and 62 spread between, or
// every row of a smaller catalogue): a row passes when the 22 bytes before
// its data offset are a "STAN" header of its size (or of a sparse file), or,
// for an empty file, when a FILE block begins at its offset. The header's
// checksum is not asked for, since some writers leave it at zero. True when
// at least half of the sample passes; true for an empty catalogue.
bool HoldsCatalogueData(const Catalogue& catalogue, BkfReader& bkf);

}  // namespace tallowin
