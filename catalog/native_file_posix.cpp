// Closing a file descriptor.
#include <unistd.h>

#include <cerrno>

#include "catalog/native_file.h"

namespace tallowin {

// After EINTR the descriptor is closed all the same on the systems this
// program runs on; closing it again could close another thread's new file.
bool CloseNativeFile(NativeFile file) { return ::close(file) == 0 || errno == EINTR; }

}  // namespace tallowin
