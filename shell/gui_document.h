// The document of the program's one window. It holds nothing: the catalogue
// and the session live in the main view, the settings in the main frame. It
// reads and writes no file and is never modified.
#pragma once

namespace tallowin {

class CGUI_RezEreDoc {};

}  // namespace tallowin
