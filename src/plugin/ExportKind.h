#pragma once

namespace kiln {

// What one export writes, chosen by the output file's extension.
enum ExportKind : int {
  kExportScene = 0,      // "zqs"
  kExportHuman = 1,      // "zqh"
  kExportCar = 2,        // "zqc"
  kExportAnimation = 3,  // "zqa"
};

}  // namespace kiln
