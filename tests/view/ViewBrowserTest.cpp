// Pages opened in headless Chromium with software WebGL: the DOM once the
// page is ready, and screenshots of the 3D view. Skipped, with a message,
// where Chromium is not installed or cannot start.
#include <gtest/gtest.h>
#include <png.h>

#include <array>
#include <cstdio>
#include <map>
#include <memory>

#include "standalone/SceneNode.h"
#include "standalone/ViewCommand.h"
#include "view/ViewPageSupport.h"

namespace kiln::testing {
namespace {

std::string Browser() {
  for (const char* path : {"/usr/bin/chromium", "/usr/bin/chromium-browser"}) {
    if (std::filesystem::exists(path)) return path;
  }
  return "";
}

// Opens page in Chromium and returns the DOM, or writes a screenshot.
std::string Open(const ExportHarness& h, const std::string& page, const std::string& what) {
  const std::string command = Browser() +
                              " --headless --no-sandbox --use-angle=swiftshader"
                              " --enable-unsafe-swiftshader --virtual-time-budget=2000"
                              " --window-size=1200,800 --user-data-dir=" +
                              h.OutPath("profile") + " " + what + " 'file://" + h.OutPath(page) +
                              "' 2>/dev/null";
  std::unique_ptr<FILE, int (*)(FILE*)> pipe(popen(command.c_str(), "r"), pclose);
  std::string out;
  char buffer[65536];
  size_t n;
  while (pipe && (n = fread(buffer, 1, sizeof buffer, pipe.get())) > 0) out.append(buffer, n);
  return out;
}

using Rgb = std::array<int, 3>;

std::vector<Rgb> Pixels(const std::string& path) {
  png_image image{};
  image.version = PNG_IMAGE_VERSION;
  if (!png_image_begin_read_from_file(&image, path.c_str())) return {};
  image.format = PNG_FORMAT_RGB;
  std::vector<uint8_t> bytes(PNG_IMAGE_SIZE(image));
  if (!png_image_finish_read(&image, nullptr, bytes.data(), 0, nullptr)) return {};
  std::vector<Rgb> pixels;
  for (size_t i = 0; i + 2 < bytes.size(); i += 3)
    pixels.push_back({bytes[i], bytes[i + 1], bytes[i + 2]});
  return pixels;
}

// Pixels of each strongly coloured hue (twelve hue sectors) in a screenshot.
std::map<int, int> Hues(const std::vector<Rgb>& pixels) {
  std::map<int, int> hues;
  for (const Rgb& p : pixels) {
    const int hi = std::max({p[0], p[1], p[2]}), lo = std::min({p[0], p[1], p[2]});
    if (hi - lo < 60) continue;
    double h = hi == p[0]   ? (p[1] - p[2]) / double(hi - lo)
               : hi == p[1] ? 2 + (p[2] - p[0]) / double(hi - lo)
                            : 4 + (p[0] - p[1]) / double(hi - lo);
    ++hues[static_cast<int>((h < 0 ? h + 6 : h) * 2)];
  }
  return hues;
}

int Count(const std::vector<Rgb>& pixels, Rgb colour) {
  return static_cast<int>(std::count(pixels.begin(), pixels.end(), colour));
}

bool Has(const std::string& text, const std::string& part) {
  return text.find(part) != std::string::npos;
}

TEST(ViewBrowser, carAnimationAndRejectedPagesShowTheirContent) {
  if (Browser().empty())
    GTEST_SKIP() << "Chromium is not installed (Debian: chromium): browser checks skipped";
  ExportHarness h;
  // A node name with markup must show as text.
  ExportExample(h, "car.kscene.json", "car.zqc", [](standalone::Scene& scene) {
    scene.FindNode("x_debug_axle")->SetName("x_<img src=x onerror=alert(1)>");
  });
  ExportExample(h, "walk.kscene.json", "walk.zqa");
  const std::string carBytes = h.ReadText("car.zqc");
  h.WriteText("cut.zqc", carBytes.substr(0, carBytes.size() - 7));
  for (const char* file : {"car.zqc", "walk.zqa", "cut.zqc"}) {
    standalone::ViewOptions options{h.OutPath(file), h.OutPath(std::string(file) + ".html")};
    standalone::RunViewCommand(options);
  }

  const std::string car = Open(h, "car.zqc.html#zones", "--dump-dom");
  if (!Has(car, "data-ready=\"1\""))
    GTEST_SKIP() << "Chromium did not start or the page never got ready: browser checks skipped";
  for (const char* part :
       {">Body [", "s_shadow [", "(18, 0, 1) hierarchy", "material \"Car::Paint\"", "<span>zone ",
        "<span>no zone</span>", "class=\"side-file\" data-role=\"ini\"",
        "x_&lt;img src=x onerror=alert(1)&gt; ["}) {
    EXPECT_TRUE(Has(car, part)) << part;
  }
  EXPECT_FALSE(Has(car, "<img"));
  const std::string walk = Open(h, "walk.zqa.html", "--dump-dom");
  EXPECT_TRUE(Has(walk, "data-ready=\"1\""));
  EXPECT_TRUE(Has(walk, "<td>Pelvis::PRS</td><td>position 0.000 1.000 0.000</td>"));
  EXPECT_TRUE(Has(walk, "<td>Thigh L::PRS</td><td>sample 0 of 6</td>"));
  EXPECT_FALSE(Has(walk, "<section id=\"timeline\" hidden"));

  if (!Has(car, "data-webgl=\"yes\""))
    GTEST_SKIP() << "WebGL could not start: screenshot checks skipped";
  Open(h, "car.zqc.html#zones", "--screenshot=" + h.OutPath("zones.png"));
  Open(h, "cut.zqc.html", "--screenshot=" + h.OutPath("cut.png"));
  const std::vector<Rgb> zones = Pixels(h.OutPath("zones.png")),
                         rejected = Pixels(h.OutPath("cut.png"));
  ASSERT_FALSE(zones.empty());
  const Rgb clear{0x20, 0x24, 0x2a}, errorBanner{0x6a, 0x1c, 0x1c};
  EXPECT_GT(Count(zones, clear), 10000);  // the 3D view is there ...
  int coloured = 0;
  for (auto [hue, pixels] : Hues(zones)) coloured += pixels > 2000;  // more than a legend swatch
  EXPECT_GE(coloured, 2);  // ... and shows more than one zone colour
  EXPECT_GT(Count(rejected, errorBanner), 5000);
}

}  // namespace
}  // namespace kiln::testing
