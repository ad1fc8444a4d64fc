#include "animation/KilnAnimationExporter.h"

#include "animation/TimeConversion.h"
#include "host/Interface.h"
#include "io/CZX9_DiskWriter.h"

namespace kiln {

KilnAnimationExporter::KilnAnimationExporter(CZX9_DiskWriter* streamWriter, CZX9_DiskWriter* writer,
                                             Interface* ip)
    : streamWriter_(streamWriter), writer_(writer), ip_(ip) {}

bool KilnAnimationExporter::ExportTrack(INode* node, TrackRequest request) {
  (void)node, (void)request;
  return true;
}

void WriteAnimationRange(CZX9_DiskWriter* writer, Interface* ip) {
  Interval range = ip->GetAnimRange();
  writer->BeginChunk(20, 0, 1);
  writer->WriteFloat(ExactTime(range.Start(), ip));
  int frames = (range.End() - range.Start()) / ip->GetTicksPerFrame();
  writer->WriteFloat(static_cast<float>(frames) / static_cast<float>(ip->GetFrameRate()));
  writer->EndChunk();
}

}  // namespace kiln
