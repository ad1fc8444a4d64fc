#include <gtest/gtest.h>

#include <filesystem>
#include <set>

#include "standalone/ExitCodes.h"
#include "standalone/SceneFile.h"
#include "standalone/SceneNode.h"
#include "standalone/ViewCommand.h"
#include "support/ExportHarness.h"
#include "view/PageModel.h"
#include "view/PageWriter.h"
#include "view/SideFiles.h"
#include "view/ViewPageSupport.h"

namespace kiln::testing {
namespace {

using nlohmann::json;

TEST(ViewPage, examplesShowTheirNodesMeshesZonesSkinsAndTracks) {
  struct Case {
    const char* scene;
    const char* output;
    std::vector<std::string> names;  // nodes or tracks the page must name
    const char* needs;               // "zones", "skin", "tracks", "shadow"
  };
  const Case cases[] = {
      {"car.kscene.json", "car.zqc", {"Body", "s_shadow"}, "zones"},
      {"human.kscene.json", "human.zqh", {"Torso", "B_head"}, "skin"},
      {"walk.kscene.json", "walk.zqa", {}, "tracks"},
      {"level.kscene.json", "level.zqs", {}, "objects"},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.scene);
    ExportHarness h;
    ExportExample(h, c.scene, c.output);
    reader::ChunkFile file;
    view::PageModel page = ModelOf(h.OutPath(c.output), file);
    const json& d = page.data;
    EXPECT_FALSE(d.contains("error"));
    for (const std::string& name : c.names) EXPECT_TRUE(Names(d).count(name)) << name;
    const std::string needs = c.needs;
    if (needs == "tracks") {
      EXPECT_FALSE(d["tracks"].empty());
      EXPECT_TRUE(d.contains("range"));
    } else {
      EXPECT_FALSE(d["objects"].empty());
    }
    std::set<int> zones, bones;
    for (const json& o : d["objects"]) {
      if (o.contains("zones")) {
        for (int16_t z : Values<int16_t>(page, o["zones"])) zones.insert(z);
      }
      if (o.contains("skin")) {
        for (int16_t b : Values<int16_t>(page, o["skin"]["index"])) bones.insert(b);
      }
    }
    if (needs == "zones") {
      EXPECT_GE(zones.size(), 2u);
    }
    if (needs == "skin") {
      EXPECT_GE(bones.size(), 2u);
    }
    std::set<std::string> roles;
    for (const json& f : d["sideFiles"]) roles.insert(f["role"]);
    if (needs == "zones") {
      EXPECT_TRUE(roles.count("ini") && roles.count("shaders"));
    }

    standalone::ViewOptions options{h.OutPath(c.output), h.OutPath("page.html")};
    EXPECT_EQ(standalone::RunViewCommand(options), standalone::kExitSuccess);
    EXPECT_TRUE(h.ReadText("page.html").starts_with("<!DOCTYPE html>"));
  }
}

TEST(ViewPage, rejectedAndHostileFilesGiveAPageThatShowsThemAsText) {
  ExportHarness h;
  ExportExample(h, "car.kscene.json", "car.zqc");
  const std::string bytes = h.ReadText("car.zqc");
  struct Case {
    const char* name;
    std::string bytes;
    bool strict;
    int code;
    bool page;
  };
  const Case cases[] = {
      {"cut.zqc", bytes.substr(0, bytes.size() / 2), false, standalone::kExitExportedWithErrors,
       true},
      {"cut-strict.zqc", bytes.substr(0, bytes.size() / 2), true, standalone::kExitFailure, false},
      {"noise.zqs", std::string(5000, '\xC7'), false, standalone::kExitExportedWithErrors, true},
      {"empty.zqs", "", false, standalone::kExitExportedWithErrors, true},
  };
  for (const Case& c : cases) {
    SCOPED_TRACE(c.name);
    h.WriteText(c.name, c.bytes);
    standalone::ViewOptions options{h.OutPath(c.name), "", c.strict};
    EXPECT_EQ(standalone::RunViewCommand(options), c.code);
    const std::string page = std::string(c.name) + ".html";
    ASSERT_EQ(h.Exists(page), c.page);
    if (c.page) {
      EXPECT_NE(h.ReadText(page).find("\"error\":\""), std::string::npos);
    }
  }

  // The page never replaces the file it shows.
  standalone::ViewOptions overwrite{h.OutPath("car.zqc"), h.OutPath("./car.zqc")};
  EXPECT_EQ(standalone::RunViewCommand(overwrite), standalone::kExitUsage);
  EXPECT_EQ(h.ReadText("car.zqc"), bytes);

  // A node name with markup stays text in the data: its '<' is escaped.
  auto scene = OneNodeScene();
  const char* hostile = "</script><img src=x onerror=alert(1)><!--";
  scene->Root().GetChildNode(0)->SetName(hostile);
  ASSERT_NE(h.Export(*scene, "hostile.zqs", true), 0);
  standalone::ViewOptions options{h.OutPath("hostile.zqs"), h.OutPath("hostile.html")};
  EXPECT_EQ(standalone::RunViewCommand(options), standalone::kExitSuccess);
  const std::string page = h.ReadText("hostile.html");
  EXPECT_EQ(page.find("<img src=x"), std::string::npos);
  EXPECT_NE(page.find("\\u003c/script>\\u003cimg src=x"), std::string::npos);
  EXPECT_EQ(view::InlineScript("a='</SCRIPT>'+'<!--'"), "a='<\\/SCRIPT>'+'<\\!--'");
}

TEST(ViewPage, zoneColoursAreDistinctAndVerticesTakeTheirHeaviestZone) {
  const auto& colours = view::ZoneColours();
  EXPECT_EQ(std::set<uint32_t>(colours.begin(), colours.end()).size(), 256u);
  for (uint32_t c : colours) {
    const int r = c >> 16, g = (c >> 8) & 255, b = c & 255;
    EXPECT_GT(std::max({r, g, b}) - std::min({r, g, b}), 40) << std::hex << c;
  }
  reader::CollisionZones zones;
  zones.zones.resize(256);
  zones.zones[3] = {{0, 1.0f}, {2, 0.25f}, {99, 1.0f}, {-1, 1.0f}};  // 99 and -1: no such vertex
  zones.zones[200] = {{2, 0.5f}};
  EXPECT_EQ(view::VertexZones(zones, 4), (std::vector<int16_t>{3, -1, 200, -1}));
}

}  // namespace
}  // namespace kiln::testing
