// Why a BKF file cannot be opened, in words that name the cause.
#include <string>

#include "catalog/program_texts.h"
#include "engine/bkf_file.h"

namespace tallowin {
namespace {

class BkfOpenErrorCategory final : public std::error_category {
 public:
  const char* name() const noexcept override { return "bkf-open"; }
  std::string message(int value) const override {
    switch (static_cast<BkfOpenError>(value)) {
      case BkfOpenError::kNotFileOrDisk: return std::string(texts::kNotFileOrDisk);
      case BkfOpenError::kInUse: return std::string(texts::kInUseElsewhere);
    }
    return std::string(texts::kNotFileOrDisk);
  }
};

}  // namespace

const std::error_category& BkfOpenCategory() {
  static const BkfOpenErrorCategory category;
  return category;
}

std::error_code make_error_code(BkfOpenError error) { return {static_cast<int>(error), BkfOpenCategory()}; }

std::error_code WhyBkfNotOpened(const std::filesystem::path& path) {
  CBkfFile file;
  if (file.Open(path)) return {};
  return file.OpenError();
}

}  // namespace tallowin
