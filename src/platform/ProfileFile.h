#pragma once
#include <string>

// Profile (INI) files with the platform's semantics: sections and keys matched
// without regard to case, a key's value replaced in place, new keys appended
// to their section, new sections appended to the file, CRLF line ends.
//
// Documents are kept in memory from their first use until FlushProfileFiles,
// so thousands of entries cost one write per file; the final content is the
// same as that of one write per call.
namespace kiln::platform {

// Sets key = value in section of file. Returns false, changing nothing, when
// the file cannot be read or the entry would not read back from the file (an
// empty name, a key holding "=" or starting with ";", a line that would read as
// a section header, a line break).
bool WritePrivateProfileStringA(const char* section, const char* key, const char* value,
                                const char* fileName);
// Writes every document changed since the last flush to its file and forgets
// them all. Returns false when a file could not be written.
bool FlushProfileFiles();
// Forgets every document without writing.
void DiscardProfileFiles();
// Makes fileName hold only the entries set since the documents were last
// flushed or discarded, in the order they were set: what was in the file
// before goes (the file is written on flush, empty when there are none).
void EmptyProfileFile(const char* fileName);

}  // namespace kiln::platform
