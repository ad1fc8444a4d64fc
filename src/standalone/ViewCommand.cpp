#include "standalone/ViewCommand.h"

#include <cstdio>
#include <filesystem>
#include <optional>

#include "reader/ChunkFile.h"
#include "standalone/ExitCodes.h"
#include "view/PageWriter.h"
#include "view/SideFiles.h"

namespace kiln::standalone {

int RunViewCommand(const ViewOptions& options) {
  const std::string output = options.output.empty() ? options.file + ".html" : options.output;
  std::error_code same;
  if (std::filesystem::equivalent(options.file, output, same)) {
    std::fprintf(stderr, "kiln: the page %s would replace the file it shows; name another with -o\n",
                 output.c_str());
    return kExitUsage;
  }
  view::ThreeLibrary library;
  try {
    library = view::LoadThreeLibrary(options.threeFolder);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kiln: %s\n", error.what());
    return kExitFailure;
  }

  std::optional<reader::ChunkFile> file;
  view::PageInput input;
  input.fileName = std::filesystem::path(options.file).filename().string();
  std::error_code sizeError;
  input.fileSize = std::filesystem::file_size(options.file, sizeError);
  try {
    file = reader::ReadChunkFile(options.file);
    input.file = &*file;
  } catch (const reader::ReadError& error) {
    input.error = error.what();  // starts with the offset
  } catch (const std::bad_alloc&) {
    input.error = "not enough memory to read the file";
  }
  if (!input.error.empty()) {
    std::fprintf(stderr, "kiln: %s: %s\n", options.file.c_str(), input.error.c_str());
    if (options.strict) return kExitFailure;
  }
  input.sideFiles = view::ReadSideFiles(options.file);

  try {
    view::WritePageFile(output, view::BuildPageModel(input), library);
  } catch (const std::exception& error) {
    std::fprintf(stderr, "kiln: %s\n", error.what());
    return kExitFailure;
  }
  std::printf("kiln: wrote %s\n", output.c_str());
  return input.error.empty() ? kExitSuccess : kExitExportedWithErrors;
}

}  // namespace kiln::standalone
