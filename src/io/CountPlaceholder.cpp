#include "io/CountPlaceholder.h"

#include "io/CZX9_DiskWriter.h"

namespace kiln {

CountPlaceholder::CountPlaceholder(CZX9_DiskWriter* writer)
    : writer_(writer), position_(writer->Tell()) {
  writer_->WriteDWord(0);
}

void CountPlaceholder::Fill(uint32_t count) {
  writer_->PushPosition();
  writer_->Seek(position_);
  writer_->WriteDWord(count);
  writer_->PopPosition();
}

}  // namespace kiln
