#pragma once

namespace kiln::view {

// The page's own script and style sheet.
extern const char* const kViewerScript;
extern const char* const kViewerStyle;
extern const char* const kViewerBody;

}  // namespace kiln::view
