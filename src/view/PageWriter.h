#pragma once
#include <ostream>
#include <string>
#include <string_view>

#include "view/PageModel.h"
#include "view/ThreeLibrary.h"

namespace kiln::view {

// Writes one self-contained HTML page: the 3D library, the page's script,
// the model's JSON and its binary blob, all inline. The page's content
// security policy allows no request of any kind: nothing leaves the page.
void WritePage(std::ostream& out, const PageModel& model, const ThreeLibrary& library);

// Script text made safe inside a <script> element: "</script" and "<!--"
// cannot end or confuse the element.
std::string InlineScript(std::string_view script);

// Writes the page to path through a temporary file beside it, so a failed
// write never leaves half a page; throws std::runtime_error naming the path.
void WritePageFile(const std::string& path, const PageModel& model, const ThreeLibrary& library);

}  // namespace kiln::view
