#pragma once

namespace kiln::standalone {

// Runs kiln again with the C library told to back its large allocations with
// transparent huge pages, unless it already is (or the build is sanitized, or
// KILN_SMALL_PAGES is set). Returns only when kiln goes on as it is.
void RestartWithHugePages(char** argv);

}  // namespace kiln::standalone
