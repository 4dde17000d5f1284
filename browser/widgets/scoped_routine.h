// Puts another routine in the place of one of the program's replaceable
// routines (message box, file dialog, launcher) for the life of the object,
// and puts the old one back at its end. Tests answer the program this way.
#pragma once

#include <utility>

namespace tallowin {

template <typename Routine>
class ScopedRoutine {
 public:
  ScopedRoutine(Routine& slot, Routine routine)
      : slot_(slot), previous_(std::exchange(slot, std::move(routine))) {}
  ~ScopedRoutine() { slot_ = std::move(previous_); }
  ScopedRoutine(const ScopedRoutine&) = delete;
  ScopedRoutine& operator=(const ScopedRoutine&) = delete;

 private:
  Routine& slot_;
  Routine previous_;
};

}  // namespace tallowin
