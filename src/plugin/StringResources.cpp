#include "plugin/StringResources.h"

#include <cstring>
#include <iterator>

namespace kiln {
namespace {

struct StringResource {
  int id;
  const char* text;
};

constexpr StringResource kStrings[] = {
    {IDS_LIBDESCRIPTION, "Kiln exporter: chunked scene, car, character and animation files"},
    {IDS_CLASS_NAME, "Kiln Exporter"},
    {IDS_EXT_SCENE, "zqs"},
    {IDS_EXT_HUMAN, "zqh"},
    {IDS_EXT_CAR, "zqc"},
    {IDS_LONG_DESC, "Kiln game engine exporter (scene, human character, car, animation)"},
    {IDS_SHORT_DESC, "Kiln Exporter"},
    {IDS_AUTHOR, "The Kiln developers"},
    {IDS_COPYRIGHT, "Copyright the Kiln developers"},
    {IDS_EXT_ANIMATION, "zqa"},
};

}  // namespace

const char* GetString(int id) {
  static char buffer[256];
  for (const StringResource& entry : kStrings) {
    if (entry.id != id) continue;
    std::strncpy(buffer, entry.text, sizeof buffer - 1);
    buffer[sizeof buffer - 1] = '\0';
    return buffer;
  }
  return nullptr;
}

}  // namespace kiln
