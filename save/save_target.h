// Where a save puts what it makes: a folder on disk, an archive, standard
// output, or nowhere (a dry run). The save decides every name (mended in
// safe_names, numbered on a clash); a target only makes what it is told and
// reports a name that is taken with EEXIST, never replacing anything.
#pragma once

#include <cstdint>
#include <filesystem>
#include <memory>
#include <span>
#include <string>

#include "engine/file_data.h"
#include "catalog/number_text.h"

namespace tallowin {

struct FileTimes {
  FileTime modified = 0;
  FileTime accessed = 0;
  FileTime created = 0;
};

// One file being made. What was written of it is gone unless Keep is called.
class TargetFile : public FileDataSink {
 public:
  // The file is finished: it stays under its name, with the times it was
  // created with. False with an errno value when that failed; nothing of it
  // stays then.
  virtual bool Keep(int& error) = 0;
  // The file was cut short (a cancel, a failed write): nothing of it stays.
  virtual void Discard() = 0;
};

// A folder is named by the names of its folders from the target's root.
using TargetFolder = std::span<const std::string>;

class SaveTarget {
 public:
  virtual ~SaveTarget() = default;
  // The folder `name` in `parent`. With `fresh`, nothing of that name may
  // exist yet (EEXIST); otherwise an existing folder is used as it is.
  // EEXIST, ENOTDIR or ELOOP when something else holds the name.
  virtual bool MakeFolder(TargetFolder parent, const std::string& name, bool fresh, int& error) = 0;
  // A new file, with its times; EEXIST when anything of that name exists.
  virtual std::unique_ptr<TargetFile> CreateFile(TargetFolder folder, const std::string& name,
                                                 const FileTimes& times, int& error) = 0;
  // Where a folder or file of the target is, as the user names it.
  virtual std::filesystem::path Where(TargetFolder folder, const std::string& name = {}) const = 0;
  // False for a target that writes nothing: the files' data is not read.
  virtual bool WantsData() const { return true; }
};

// The folder the user chose, on disk. Opens it at once; `error` is set when
// that failed, and then the target makes nothing.
std::unique_ptr<SaveTarget> MakeFolderTarget(const std::filesystem::path& destination, int& error);

}  // namespace tallowin
