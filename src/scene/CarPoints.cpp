#include "scene/CarPoints.h"

#include "geometry/AxisExchange.h"
#include "geometry/FormatPoint.h"
#include "geometry/LocalTransform.h"
#include "host/INode.h"
#include "host/Interface.h"
#include "platform/ProfileFile.h"
#include "plugin/Globals.h"
#include "scene/NodeNames.h"

namespace kiln {
namespace {

constexpr const char* kAttachmentPoints[] = {
    "Point_engine",         "Point_exhaust1",       "Point_exhaust2", "Point_gearbox",
    "Point_light_lb",       "Point_light_lf",       "Point_light_rb", "Point_light_rf",
    "Point_light_brake_rb", "Point_light_brake_lb", "Point_wing_l",   "Point_wing_f",
};

void WritePointEntry(const char* section, const char* key, const Point3& hostPoint) {
  std::string text = FormatPoint(ExchangePointAxes(hostPoint));
  platform::WritePrivateProfileStringA(section, key, text.c_str(), IniFileName.c_str());
}

}  // namespace

bool IsCarAttachmentPoint(const char* name) {
  for (const char* point : kAttachmentPoints) {
    if (EqualsIgnoringCase(name, point)) return true;
  }
  return false;
}

void WriteCarPointEntries(INode* node, Interface* ip, bool withNormal) {
  Matrix3 local = LocalTransform(node, ip->GetAnimRange().Start());
  WritePointEntry(node->GetName(), "Pos", local.GetTrans());
  if (withNormal) WritePointEntry(node->GetName(), "Normal", local.GetRow(1));
}

}  // namespace kiln
