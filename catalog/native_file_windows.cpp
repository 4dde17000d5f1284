// Closing a HANDLE.
#include <windows.h>

#include "catalog/native_file.h"

namespace tallowin {

bool CloseNativeFile(NativeFile file) { return ::CloseHandle(reinterpret_cast<HANDLE>(file)) != 0; }

}  // namespace tallowin
